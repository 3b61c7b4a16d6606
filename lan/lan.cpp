#include "lan/lan.h"

#include "platform/config.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

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
    clock.start();
}

GameListener::~GameListener()
{
    stop();
}

bool GameListener::start()
{
    if (fd >= 0)
        return true;
    const quint16 port = lan::announcePort();
    const QHostAddress destination = lan::announceAddress();
    if (port == 0 || destination.isNull())
        return false;
    const int s = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (s < 0)
        return false;
    // Other copies on this machine listen on the same port.
    const int on = 1;
    ::setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    // Announcements sent to a loopback address are heard there only; others on every interface.
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    local.sin_addr.s_addr = htonl(destination.isLoopback() ? destination.toIPv4Address() : INADDR_ANY);
    if (::bind(s, reinterpret_cast<const sockaddr *>(&local), sizeof local) != 0) {
        ::close(s);
        return false;
    }
    fd = s;
    notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(notifier.get(), &QSocketNotifier::activated, this, &GameListener::readPending);
    ageTimer.start();
    return true;
}

void GameListener::stop()
{
    ageTimer.stop();
    notifier.reset();
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

void GameListener::readPending()
{
    // One byte more than an announcement may have: a longer datagram shows as too long.
    char data[announce::maxDatagram + 1];
    for (int n = 0; n < portion && fd >= 0; ++n) {
        sockaddr_in from{};
        socklen_t fromSize = sizeof from;
        const ssize_t got =
            ::recvfrom(fd, data, sizeof data, 0, reinterpret_cast<sockaddr *>(&from), &fromSize);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return; // empty (or an error the next notification will tell again)
        }
        if (got > announce::maxDatagram || from.sin_family != AF_INET)
            continue;
        const auto game = announce::decode(QByteArray(data, got), prefix);
        if (!game)
            continue;
        const QString address = QHostAddress(ntohl(from.sin_addr.s_addr)).toString();
        if (games.heard(address, *game, clock.elapsed()))
            emit changed();
    }
}

void GameListener::age()
{
    if (games.age(clock.elapsed()))
        emit changed();
}
