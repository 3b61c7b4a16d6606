#pragma once

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

namespace testsupport {

// A TCP port that nothing listens on right now, on any address.
inline quint16 freePort()
{
    QTcpServer s;
    s.listen(QHostAddress::Any, 0);
    return s.serverPort();
}

// Whether something accepts connections on this machine's port.
inline bool acceptsConnections(quint16 port)
{
    QTcpSocket probe;
    probe.connectToHost(QHostAddress::LocalHost, port);
    const bool up = probe.waitForConnected(200);
    probe.abort();
    return up;
}

} // namespace testsupport

using testsupport::freePort;
using testsupport::acceptsConnections;
