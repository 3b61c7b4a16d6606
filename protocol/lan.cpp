#include "protocol/lan.h"

#include "protocol/config.h"

namespace lan {

quint16 announcePort()
{
    bool ok = false;
    const uint port = config::announcePort().toUInt(&ok);
    return ok && port <= 65535 ? quint16(port) : 0;
}

QHostAddress announceAddress()
{
    const QHostAddress a(config::announceAddress());
    return a.protocol() == QAbstractSocket::IPv4Protocol ? a : QHostAddress();
}

} // namespace lan

GameAnnouncer::GameAnnouncer(const QString &name, quint16 gamePort, Count count, QObject *parent)
    : QObject(parent), count(std::move(count)), destination(lan::announceAddress()),
      port(lan::announcePort()), prefix(config::announcePrefix())
{
    base.name = name;
    base.port = gamePort;
    timer.setInterval(interval);
    connect(&timer, &QTimer::timeout, this, &GameAnnouncer::announceNow);
}

void GameAnnouncer::start()
{
    if (destination.isNull() || port == 0)
        return;
    announceNow();
    timer.start();
}

void GameAnnouncer::stop()
{
    timer.stop();
}

void GameAnnouncer::announceNow()
{
    if (destination.isNull() || port == 0)
        return;
    announce::Announcement a = base;
    if (count)
        count(a);
    // A network that is down or refuses the datagram only means nobody hears us this time.
    socket.writeDatagram(announce::encode(a, prefix), destination, port);
}

GameListener::GameListener(QObject *parent) : QObject(parent), prefix(config::announcePrefix())
{
    ageTimer.setInterval(1000);
    connect(&ageTimer, &QTimer::timeout, this, &GameListener::age);
    connect(&socket, &QUdpSocket::readyRead, this, &GameListener::readPending);
    clock.start();
}

bool GameListener::start()
{
    const quint16 port = lan::announcePort();
    const QHostAddress destination = lan::announceAddress();
    if (port == 0 || destination.isNull())
        return false;
    // Announcements sent to a loopback address are heard there only; others on every interface.
    const QHostAddress local = destination.isLoopback() ? destination : QHostAddress(QHostAddress::AnyIPv4);
    if (socket.state() != QAbstractSocket::BoundState &&
        !socket.bind(local, port, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint))
        return false;
    ageTimer.start();
    return true;
}

void GameListener::stop()
{
    ageTimer.stop();
    socket.close();
}

void GameListener::readPending()
{
    readScheduled = false;
    // A flood is read in portions, so the window keeps answering between them.
    for (int n = 0; n < 64 && socket.hasPendingDatagrams(); ++n) {
        const qint64 size = socket.pendingDatagramSize();
        if (size < 0 || size > announce::maxDatagram) {
            socket.readDatagram(nullptr, 0); // dropped unread
            continue;
        }
        QByteArray data(size, Qt::Uninitialized);
        QHostAddress sender;
        const qint64 got = socket.readDatagram(data.data(), size, &sender);
        if (got != size)
            continue;
        const auto game = announce::decode(data, prefix);
        if (!game)
            continue;
        bool isV4 = false;
        const quint32 v4 = sender.toIPv4Address(&isV4);
        const QString address = isV4 ? QHostAddress(v4).toString() : sender.toString();
        if (games.heard(address, *game, clock.elapsed()))
            emit changed();
    }
    if (socket.hasPendingDatagrams() && !readScheduled) {
        readScheduled = true;
        QTimer::singleShot(0, this, &GameListener::readPending);
    }
}

void GameListener::age()
{
    if (games.age(clock.elapsed()))
        emit changed();
}
