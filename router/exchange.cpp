#include "router/exchange.h"

#include <QHostAddress>
#include <QUrl>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace router {

namespace {

// Closes the socket however the exchange ends.
struct Fd
{
    int fd = -1;
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

// Waits until the socket is ready for `events`; an error text when the wait ends otherwise.
QString waitFor(int fd, short events, const QDeadlineTimer &deadline, const std::function<bool()> &abandoned)
{
    for (;;) {
        if (abandoned && abandoned())
            return QStringLiteral("the request was given up");
        if (deadline.hasExpired())
            return QStringLiteral("the router did not answer in time");
        pollfd p{fd, events, 0};
        const qint64 left = deadline.remainingTime();
        const int slice = int(left < 0 || left > 100 ? 100 : left);
        const int n = ::poll(&p, 1, slice);
        if (n > 0)
            return {};
        if (n < 0 && errno != EINTR)
            return QStringLiteral("the connection to the router failed");
    }
}

QString addressText(const sockaddr_storage &a)
{
    QHostAddress h(reinterpret_cast<const sockaddr *>(&a));
    if (h.protocol() == QAbstractSocket::IPv6Protocol) {
        bool mapped = false;
        const quint32 v4 = h.toIPv4Address(&mapped);
        if (mapped)
            h = QHostAddress(v4);
    }
    return h.toString();
}

} // namespace

Exchange exchange(const QString &url, const QByteArray &method, const QByteArray &headers,
                  const QByteArray &body, const QDeadlineTimer &deadline,
                  const std::function<bool()> &abandoned)
{
    Exchange out;
    const QUrl u(url);
    const QHostAddress host(u.host());
    if (u.scheme() != QLatin1String("http") || host.isNull() ||
        (host.protocol() != QAbstractSocket::IPv4Protocol &&
         host.protocol() != QAbstractSocket::IPv6Protocol)) {
        out.error = QStringLiteral("the router's address is not a numeric http address");
        return out;
    }
    const int port = u.port(80);
    sockaddr_storage to{};
    socklen_t toLength = 0;
    if (host.protocol() == QAbstractSocket::IPv4Protocol) {
        auto *a = reinterpret_cast<sockaddr_in *>(&to);
        a->sin_family = AF_INET;
        a->sin_port = htons(quint16(port));
        a->sin_addr.s_addr = htonl(host.toIPv4Address());
        toLength = sizeof *a;
    } else {
        auto *a = reinterpret_cast<sockaddr_in6 *>(&to);
        a->sin6_family = AF_INET6;
        a->sin6_port = htons(quint16(port));
        const Q_IPV6ADDR v6 = host.toIPv6Address();
        std::memcpy(&a->sin6_addr, &v6, sizeof v6);
        toLength = sizeof *a;
    }
    Fd s{::socket(to.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0)};
    if (s.fd < 0) {
        out.error = QStringLiteral("no socket for the router");
        return out;
    }
    if (::connect(s.fd, reinterpret_cast<sockaddr *>(&to), toLength) != 0 && errno != EINPROGRESS) {
        out.error = QStringLiteral("no router answered at ") + url;
        return out;
    }
    if (out.error = waitFor(s.fd, POLLOUT, deadline, abandoned); !out.error.isEmpty())
        return out;
    int soError = 0;
    socklen_t len = sizeof soError;
    ::getsockopt(s.fd, SOL_SOCKET, SO_ERROR, &soError, &len);
    if (soError != 0) {
        out.error = QStringLiteral("no router answered at ") + url;
        return out;
    }
    sockaddr_storage local{};
    socklen_t localLength = sizeof local;
    if (::getsockname(s.fd, reinterpret_cast<sockaddr *>(&local), &localLength) == 0)
        out.localAddress = addressText(local);

    QByteArray path = u.path(QUrl::FullyEncoded).toLatin1();
    if (path.isEmpty())
        path = "/";
    if (u.hasQuery())
        path += '?' + u.query(QUrl::FullyEncoded).toLatin1();
    const QByteArray hostField =
        (host.protocol() == QAbstractSocket::IPv6Protocol ? '[' + host.toString().toLatin1() + ']'
                                                          : host.toString().toLatin1()) +
        ':' + QByteArray::number(port);
    QByteArray request = method + ' ' + path + " HTTP/1.1\r\nHost: " + hostField + "\r\n" + headers;
    if (!body.isEmpty() || method == "POST")
        request += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    request += "Connection: close\r\n\r\n" + body;
    for (qsizetype sent = 0; sent < request.size();) {
        if (out.error = waitFor(s.fd, POLLOUT, deadline, abandoned); !out.error.isEmpty())
            return out;
        const ssize_t n =
            ::send(s.fd, request.constData() + sent, size_t(request.size() - sent), MSG_NOSIGNAL);
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            out.error = QStringLiteral("the connection to the router failed");
            return out;
        }
        sent += n > 0 ? n : 0;
    }

    QByteArray received;
    char chunk[4096];
    for (;;) {
        if (out.error = waitFor(s.fd, POLLIN, deadline, abandoned); !out.error.isEmpty())
            return out;
        const ssize_t n = ::recv(s.fd, chunk, sizeof chunk, 0);
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR)
                continue;
            out.error = QStringLiteral("the connection to the router failed");
            return out;
        }
        received.append(chunk, n);
        if (received.size() > maxAnswer) {
            out.error = QStringLiteral("the router's answer was longer than %1 KB").arg(maxAnswer / 1024);
            return out;
        }
        out.answer = readHttpAnswer(received, n == 0);
        if (out.answer.status == HttpAnswer::Complete)
            return out;
        if (out.answer.status == HttpAnswer::Bad) {
            out.error = QStringLiteral("the router's answer did not read");
            return out;
        }
    }
}

} // namespace router
