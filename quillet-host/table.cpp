#include "quillet-host/table.h"

#include "platform/errors.h"
#include "protocol/commands.h"

Table::Table(std::FILE *logto, const QString &logprefix) : log(host, logto)
{
    log.prefix = logprefix;
    web.onseat = [this](Seat *seat) { host.admit(seat); };
}

void Table::setup(const std::array<QStringList, phrases::categories> *phraselists, bool hints)
{
    if (const QByteArray seed = qgetenv("QUILLET_HOST_SEED"); !seed.isEmpty())
        host.game().seed(seed.toUInt());
    if (phraselists)
        host.game().setPhraseLists(*phraselists);
    host.game().setHintsAlways(hints);
}

QString Table::listen(quint16 port)
{
    host.listener.PortName = QString::number(port);
    try {
        host.listener.setListen(true);
    } catch (const EError &e) {
        return errorbox::boxText(e.message());
    }
    return {};
}

bool Table::serveWeb(quint16 port)
{
    return web.listen(port);
}

void Table::close(const QString &why)
{
    host.tellall(cmd::buildActionRelay(0, QStringLiteral("The host"), why));
    web.close();
    host.listener.setListen(false);
}
