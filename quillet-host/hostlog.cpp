#include "quillet-host/hostlog.h"

#include "host/tserver.h"
#include "protocol/commands.h"
#include "protocol/fields.h"

namespace hostlog {

namespace {

QString printable(QString text)
{
    for (QChar &c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QLatin1Char('?');
    return text;
}

QString slotAndName(const QString &slot, const QString &name)
{
    return QStringLiteral("slot ") + printable(slot) + QStringLiteral(" (") + printable(name) +
           QLatin1Char(')');
}

// "slot 2 (Ann)" from "2+Ann".
QString slotAndName(const QString &payload)
{
    FieldReader f(payload);
    const QString slot = f.next();
    return slotAndName(slot, f.rest());
}

} // namespace

QString describe(const QString &message, const std::function<QString(int slot)> &nameOf)
{
    const CommandText c = splitCommand(message);
    if (c.word == cmd::newplayerinfo)
        return QStringLiteral("Player joined: ") + slotAndName(c.rest);
    if (c.word == cmd::playerdisconnected)
        return QStringLiteral("Player left: ") + slotAndName(c.rest);
    if (c.word == cmd::startgame) {
        const QStringList f = c.rest.split(QLatin1Char('+'));
        if (f.size() < 4)
            return {};
        return QStringLiteral("Game started by slot ") + printable(f[0]) + QStringLiteral(": play to ") +
               printable(f[2]) + QStringLiteral(", ") + printable(f[3]) + QStringLiteral(" seconds a turn") +
               (f[1] == QLatin1String("true") ? QStringLiteral(", teams") : QString());
    }
    if (c.word == cmd::pickcatagory) {
        bool ok = false;
        const int slot = c.rest.toInt(&ok);
        const QString name = ok && nameOf ? nameOf(slot) : QString();
        return QStringLiteral("Turn: ") +
               (name.isEmpty() ? QStringLiteral("slot ") + printable(c.rest) : slotAndName(c.rest, name));
    }
    if (c.word == cmd::winner)
        return QStringLiteral("Winner: ") + printable(c.rest);
    return {};
}

} // namespace hostlog

HostLog::HostLog(TServer &host, std::FILE *stream, QObject *parent) : QObject(parent), out(stream)
{
    // Floods held or closed, and players refused: names come from the network.
    connect(&host, &TServer::noted, this, [this](const QString &text) { line(hostlog::printable(text)); });
    const HostGame &game = host.game();
    connect(&host, &TServer::said, this, [this, &game](const QString &message) {
        QString text = hostlog::describe(
            message, [&game](int slot) { return game.inuse(slot) ? game.player(slot).name : QString(); });
        // The start line tells whether the game has letter hints, which its own message leaves out.
        if (!text.isEmpty() && game.hints() && message.startsWith(cmd::startgame + QLatin1Char('+')))
            text += QStringLiteral(", letter hints");
        if (!text.isEmpty())
            line(text);
        // Each turn also logs the scores of the ten seats as the host holds them.
        if (message.startsWith(cmd::pickcatagory + QLatin1Char('+'))) {
            QString scores = QStringLiteral("Scores:");
            for (int seat = 1; seat <= HostGame::seats; ++seat)
                scores += QLatin1Char(' ') + QString::number(game.player(seat).score);
            line(scores);
        }
    });
}

void HostLog::line(const QString &text)
{
    const QByteArray bytes = (prefix + text).toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), out);
    std::fflush(out);
}
