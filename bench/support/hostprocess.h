#pragma once
// quillet-host started for a benchmark on a loopback port, never announcing beyond this machine.

#include <QProcess>
#include <cstdio>

// QUILLET_HOST_BINARY in the environment may name another build of the host, or a wrapper that
// runs it; otherwise `built` does. False when it did not start and say so.
inline bool startHost(QProcess &host, const QString &built, quint16 port)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QUILLET_ANNOUNCE_ADDRESS"), QStringLiteral("127.0.0.1"));
    host.setProcessEnvironment(env);
    host.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    host.start(qEnvironmentVariable("QUILLET_HOST_BINARY", built),
               {QStringLiteral("--port"), QString::number(port), QStringLiteral("--no-announce")});
    if (host.waitForStarted() && host.waitForReadyRead(5000))
        return true;
    std::fprintf(stderr, "quillet-host did not start\n");
    return false;
}
