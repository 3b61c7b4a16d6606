#include "protocol/tsock.h"

#include "platform/errors.h"
#include "platform/wsaerrors.h"

#include <QHash>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
quint64 nextSerial = 1;
constexpr qsizetype receiveArea = 32768;

const QString txtSocketClosed = QStringLiteral("Socket Closed");
const QString txtIncoming = QStringLiteral("Non-Blocking Incoming Data");
const QString txtOutgoing = QStringLiteral("Non-Blocking Outgoing Data");

void setNonBlocking(int fd)
{
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
}
} // namespace

namespace sockets {

quint32 lookupHost(const QString &host)
{
    if (host.isEmpty())
        return INADDR_ANY;
    // Digits and dots alone are an address, as the classic reading has it; a name that merely
    // begins with a digit ("1example.org") is looked up as the name it is.
    const bool numeric =
        std::all_of(host.begin(), host.end(), [](QChar c) { return (c >= u'0' && c <= u'9') || c == u'.'; });
    if (host.at(0).isDigit() && numeric) {
        in_addr a{};
        if (::inet_aton(host.toLatin1().constData(), &a) == 0)
            return INADDR_NONE;
        return a.s_addr;
    }
    static QHash<QString, quint32> cache;
    if (auto it = cache.constFind(host); it != cache.constEnd())
        return it.value();
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *res = nullptr;
    if (::getaddrinfo(host.toLocal8Bit().constData(), nullptr, &hints, &res) != 0 || !res)
        throw ESockException(QStringLiteral("Host Lookup - Could Not Find Host Entry"));
    const quint32 addr = reinterpret_cast<sockaddr_in *>(res->ai_addr)->sin_addr.s_addr;
    ::freeaddrinfo(res);
    cache.insert(host, addr);
    return addr;
}

quint16 lookupPort(const QString &port)
{
    if (!port.isEmpty() && port.at(0).isDigit()) {
        // The decimal value of the leading digits, as the classic conversion reads it.
        quint32 v = 0;
        for (QChar c : port) {
            if (!c.isDigit())
                break;
            v = v * 10 + quint32(c.digitValue());
            if (v > 0xFFFF)
                break;
        }
        return quint16(v);
    }
    const servent *s = ::getservbyname(port.toLatin1().constData(), "tcp");
    if (!s)
        throw ESockException(QStringLiteral("Port Lookup - Could Not Find Service Entry"));
    return ntohs(quint16(s->s_port));
}

} // namespace sockets

TSock::TSock(QObject *parent) : QObject(parent), serialNo(nextSerial++) {}

TSock::~TSock()
{
    // Program end: the peer sees an orderly close; nobody is told any more.
    unwatch();
    if (fd >= 0)
        ::close(fd);
}

void TSock::info(TSocketInfo kind, const QString &msg)
{
    if (!OnInfo)
        return;
    try {
        OnInfo(this, kind, msg);
    } catch (...) {
        throw ESockException(QStringLiteral("Error here"));
    }
}

void TSock::watch(bool forListening)
{
    unwatch();
    readNotifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(readNotifier, &QSocketNotifier::activated, this, [this] { guard([this] { readable(); }); });
    if (!forListening) {
        writeNotifier = new QSocketNotifier(fd, QSocketNotifier::Write, this);
        writeNotifier->setEnabled(connecting || !output.isEmpty());
        connect(writeNotifier, &QSocketNotifier::activated, this, [this] { guard([this] { writable(); }); });
    }
}

void TSock::unwatch()
{
    // Notifiers may be going away from inside their own signal: disable now, delete later.
    for (QSocketNotifier *n : {readNotifier, writeNotifier}) {
        if (n) {
            n->setEnabled(false);
            n->disconnect(this);
            n->deleteLater();
        }
    }
    readNotifier = nullptr;
    writeNotifier = nullptr;
}

void TSock::configureConnection()
{
    // Keep-alive notices a vanished peer within about a minute.
    int on = 1, idle = 30, interval = 10, count = 3;
    ::setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &count, sizeof count);
    // Messages are small and each one matters at once: no waiting to fill a segment.
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

bool TSock::Open()
{
    if (fd >= 0)
        return connected;
    info(siLookup, QStringLiteral("Lookup Of Port ") + PortName);
    const quint16 port = sockets::lookupPort(PortName);
    info(siLookup, QStringLiteral("Lookup Of Host ") + HostName);
    const quint32 addr = sockets::lookupHost(HostName);

    fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    setNonBlocking(fd);
    configureConnection();
    connecting = true;
    connected = false;
    watch(false);

    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    sa.sin_addr.s_addr = addr;
    if (::connect(fd, reinterpret_cast<sockaddr *>(&sa), sizeof sa) < 0 && errno != EINPROGRESS) {
        // Failed at once: report it later, as a notification, like every other outcome.
        const int err = errno;
        writeNotifier->setEnabled(false);
        QPointer<TSock> self(this);
        const int myFd = fd;
        QTimer::singleShot(0, this, [self, err, myFd] {
            if (self && self->fd == myFd && self->connecting)
                guard([&] { self->finishConnect(err); });
        });
    }
    return connected;
}

int TSock::pendingError() const
{
    int err = 0;
    socklen_t len = sizeof err;
    ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len);
    return err;
}

void TSock::finishConnect(int err)
{
    connecting = false;
    if (err != 0) {
        // The socket stays open but unconnected; nothing more will come from it.
        if (readNotifier)
            readNotifier->setEnabled(false);
        if (writeNotifier)
            writeNotifier->setEnabled(false);
        info(siError, wsa::errorText(wsa::fromErrno(err)));
        return;
    }
    connected = true;
    if (writeNotifier)
        writeNotifier->setEnabled(!output.isEmpty());
    info(siConnect, QStringLiteral("Non-Blocking Socket Connected"));
    if (OnConnect)
        OnConnect(this);
    // The write notification that follows a completed connect.
    if (fd >= 0)
        writable();
}

void TSock::readable()
{
    if (fd < 0)
        return;
    if (listening) {
        if (OnAccept)
            OnAccept(this);
        return;
    }
    if (connecting) {
        finishConnect(pendingError());
        return;
    }
    char area[receiveArea];
    const ssize_t n = ::recv(fd, area, sizeof area, 0);
    if (n > 0) {
        input.append(area, n);
    } else if (n == 0) {
        dropPeer(0);
        return;
    } else if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
        dropPeer(errno);
        return;
    }
    info(siReceive, txtIncoming);
    if (OnRead)
        OnRead(this, input.size());
}

void TSock::dropPeer(int err)
{
    // An orderly close, and also a reset or aborted connection: the peer is gone.
    if (err != 0)
        info(siError, wsa::errorText(wsa::fromErrno(err)));
    if (OnDisconnect)
        OnDisconnect(this);
    Close();
}

void TSock::writable()
{
    if (fd < 0)
        return;
    if (connecting) {
        finishConnect(pendingError());
        return;
    }
    if (!output.isEmpty())
        Send(QByteArray());
    else if (writeNotifier)
        writeNotifier->setEnabled(false);
    info(siSend, txtOutgoing);
    if (OnWrite)
        OnWrite(this);
}

void TSock::pushOutput()
{
    if (!connected || fd < 0)
        return;
    while (!output.isEmpty()) {
        const ssize_t n = ::send(fd, output.constData(), size_t(output.size()), MSG_NOSIGNAL);
        if (n <= 0)
            break; // would block or failed: the data waits for the next chance
        output.remove(0, n);
    }
    if (writeNotifier)
        writeNotifier->setEnabled(!output.isEmpty());
}

void TSock::Send(const QByteArray &bytes)
{
    if (fd < 0)
        throw ESockException(QStringLiteral("Send - Socket Not Connected"));
    if (listening)
        throw ESockException(QStringLiteral("Send - Cannot Send On A Listener Socket"));
    if (doomed)
        return;
    output.append(bytes);
    if (output.isEmpty())
        return;
    info(siSend, txtOutgoing);
    pushOutput();
    if (output.size() > maxOutput) {
        // The peer stopped reading: let it go, outside whatever handler is sending now.
        doomed = true;
        output.clear();
        QPointer<TSock> self(this);
        QTimer::singleShot(0, this, [self] {
            if (self && self->fd >= 0)
                guard([&] { self->dropPeer(0); });
        });
    }
}

QByteArray TSock::Receive()
{
    if (fd < 0 && input.isEmpty())
        throw ESockException(QStringLiteral("Receive - Socket Not Connected"));
    if (listening)
        throw ESockException(QStringLiteral("Receive - Cannot Receive On A Listener Socket"));
    QByteArray all;
    all.swap(input);
    return all;
}

bool TSock::Close()
{
    bool ok = false;
    unwatch();
    if (fd >= 0)
        ok = ::close(fd) == 0;
    fd = -1;
    connected = false;
    connecting = false;
    doomed = false;
    output.clear();
    const bool wasListening = listening;
    listening = false;
    if (!wasListening)
        info(siClose, txtSocketClosed);
    return ok;
}

void TSock::setListen(bool on)
{
    if (!on) {
        if (listening) {
            unwatch();
            ::close(fd);
            fd = -1;
            listening = false;
            info(siListen, QStringLiteral("Listening Stopped"));
        }
        return;
    }
    if (fd >= 0 && !listening)
        throw ESockException(QStringLiteral("Listen - Socket Already In Use"));
    if (listening) {
        info(siListen, QStringLiteral("Listening Already Running"));
        return;
    }
    info(siLookup, QStringLiteral("Lookup Of Port ") + PortName);
    const quint16 port = sockets::lookupPort(PortName);
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0)
        throw ESockException(QStringLiteral("Listen - Error Binding Socket"));
    setNonBlocking(s);
    int on1 = 1;
    ::setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &on1, sizeof on1);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    sa.sin_addr.s_addr = htonl(INADDR_ANY);
    if (::bind(s, reinterpret_cast<sockaddr *>(&sa), sizeof sa) < 0) {
        ::close(s);
        throw ESockException(QStringLiteral("Listen - Error Binding Socket"));
    }
    if (::listen(s, 5) < 0) {
        ::close(s);
        throw ESockException(QStringLiteral("Listen - Error Starting Listen"));
    }
    fd = s;
    listening = true;
    watch(true);
    info(siListen, QStringLiteral("Listening Started"));
}

bool TSock::Accept(TSock *&out)
{
    if (!listening)
        throw ESockException(QStringLiteral("Accept - Socket Not In Listening Mode"));
    sockaddr_in peer{};
    socklen_t len = sizeof peer;
    const int s = ::accept(fd, reinterpret_cast<sockaddr *>(&peer), &len);
    if (s < 0) {
        info(siAccept, QStringLiteral("Could Not Accept Connection"));
        return false;
    }
    auto *sock = new TSock(this);
    sock->fd = s;
    setNonBlocking(s);
    sock->configureConnection();
    sock->connected = true;
    sock->Blocking = Blocking;
    sock->BlockingTimeout = BlockingTimeout;
    sock->OnRead = OnRead;
    sock->OnWrite = OnWrite;
    sock->OnDisconnect = OnDisconnect;
    sock->OnInfo = OnInfo;
    sock->PortName = PortName;
    char dotted[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &peer.sin_addr, dotted, sizeof dotted);
    sock->HostName = QString::fromLatin1(dotted);
    sock->watch(false);
    out = sock;
    info(siAccept, QStringLiteral("Created New TSock Structure"));
    return true;
}
