#pragma once

#include <QHostAddress>
#include <QList>
#include <QString>

namespace router {

// The address players on this network reach this machine at, out of its interfaces' addresses:
// a private IPv4 address first (10/8, 172.16/12, 192.168/16), then any other IPv4 address that is
// neither loopback nor link-local, then 127.0.0.1.
QHostAddress chooseLocalAddress(const QList<QHostAddress> &candidates);

// The same, from the interfaces that are up now.
QString localAddress();

} // namespace router
