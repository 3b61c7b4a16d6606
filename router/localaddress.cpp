#include "router/localaddress.h"

#include <QNetworkInterface>

namespace router {

namespace {
bool privateUse(const QHostAddress &a)
{
    const quint32 v = a.toIPv4Address();
    return (v >> 24) == 10 || (v >> 20) == (172u << 4 | 1u) || (v >> 16) == (192u << 8 | 168u);
}
} // namespace

QHostAddress chooseLocalAddress(const QList<QHostAddress> &candidates)
{
    QHostAddress other;
    for (const QHostAddress &a : candidates) {
        if (a.protocol() != QAbstractSocket::IPv4Protocol || a.isLoopback() || a.isLinkLocal())
            continue;
        if (privateUse(a))
            return a;
        if (other.isNull())
            other = a;
    }
    return other.isNull() ? QHostAddress(QHostAddress::LocalHost) : other;
}

QString localAddress()
{
    QList<QHostAddress> addresses;
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &i : interfaces) {
        if (!i.flags().testFlag(QNetworkInterface::IsUp) || !i.flags().testFlag(QNetworkInterface::IsRunning))
            continue;
        const QList<QNetworkAddressEntry> entries = i.addressEntries();
        for (const QNetworkAddressEntry &e : entries)
            addresses << e.ip();
    }
    return chooseLocalAddress(addresses).toString();
}

} // namespace router
