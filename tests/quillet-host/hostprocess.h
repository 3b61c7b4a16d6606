#pragma once

// A running quillet-host (or another program of the host's kind, such as the lobby), with no
// screen at all, and the lines it has printed.

#include "tests/support/xsession.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>

struct HostProcess
{
    QProcess proc;
    QStringList lines;
    QString binary = qEnvironmentVariable("QUILLET_HOST_BINARY");

    // More options after --port; `env` adds to this process's environment.
    void start(quint16 port, const QStringList &more = {}, const QProcessEnvironment &env = {})
    {
        QProcessEnvironment all = QProcessEnvironment::systemEnvironment();
        all.remove(QStringLiteral("DISPLAY"));
        all.remove(QStringLiteral("WAYLAND_DISPLAY"));
        all.remove(QStringLiteral("QT_QPA_PLATFORM"));
        for (const QString &key : env.keys())
            all.insert(key, env.value(key));
        proc.setProcessEnvironment(all);
        endsWithUs(proc);
        proc.start(binary,
                   QStringList{QStringLiteral("--port"), QString::number(port)} + more);
    }
    // Waits for a line that starts with the text; returns it, or empty on time-out.
    QString waitLine(const QString &start, int ms = 10000)
    {
        QDeadlineTimer until(ms);
        for (;;) {
            while (proc.canReadLine()) {
                lines << QString::fromUtf8(proc.readLine()).trimmed();
                if (lines.last().startsWith(start))
                    return lines.last();
            }
            if (until.hasExpired() || proc.state() == QProcess::NotRunning)
                return {};
            proc.waitForReadyRead(20);
            QCoreApplication::processEvents();
        }
    }
    ~HostProcess()
    {
        if (proc.state() != QProcess::NotRunning) {
            proc.kill();
            proc.waitForFinished(3000);
        }
    }
};
