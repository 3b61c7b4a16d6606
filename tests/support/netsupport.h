#pragma once

#include <QTcpServer>

namespace testsupport {

// A TCP port that nothing listens on right now, on any address.
inline quint16 freePort()
{
    QTcpServer s;
    s.listen(QHostAddress::Any, 0);
    return s.serverPort();
}

} // namespace testsupport

using testsupport::freePort;
