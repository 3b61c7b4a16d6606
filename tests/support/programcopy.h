#pragma once

// The real executable as a test sees it: one copy with its own ports, instance name and folder,
// and a raw peer that reads and writes framed messages.

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTcpSocket>
#include <QtTest>

namespace testsupport {

struct Peer
{
    QTcpSocket *sock = nullptr;
    QByteArray pending;
    QStringList messages;

    void poll()
    {
        pending += sock->readAll();
        qsizetype at;
        while ((at = pending.indexOf('\xFF')) >= 0) {
            messages << QString::fromLatin1(pending.left(at));
            pending.remove(0, at + 1);
        }
    }
    // Waits until the message has arrived; with `take`, it and everything before it leave the list.
    bool waitFor(const QString &msg, int ms = 5000, bool take = false)
    {
        QDeadlineTimer deadline(ms);
        while (!deadline.hasExpired()) {
            poll();
            if (const qsizetype at = messages.indexOf(msg); at >= 0) {
                if (take)
                    messages.remove(0, at + 1);
                return true;
            }
            QTest::qWait(10);
        }
        return false;
    }
    bool take(const QString &msg, int ms = 5000) { return waitFor(msg, ms, true); }
    void send(const QByteArray &text)
    {
        sock->write(text + '\xFF');
        sock->flush();
    }
};

struct Copy
{
    QProcess proc;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QString errorLog;
    bool showBoxes = false; // error boxes are shown rather than recorded in errorLog

    void start(const QStringList &args, quint16 gamePort, quint16 lobbyPort, const QString &instance,
               const QString &home)
    {
        errorLog = home + QStringLiteral("/errors-") + instance + QStringLiteral(".log");
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("QUILLET_GAME_PORT"), QString::number(gamePort));
        env.insert(QStringLiteral("QUILLET_LOBBY_PORT"), QString::number(lobbyPort));
        env.insert(QStringLiteral("QUILLET_INSTANCE"), instance);
        env.insert(QStringLiteral("QUILLET_HOME"), home);
        env.insert(QStringLiteral("QUILLET_ANNOUNCE_ADDRESS"), QStringLiteral("127.0.0.1"));
        if (showBoxes)
            env.remove(QStringLiteral("QUILLET_ERRORBOX_LOG"));
        else
            env.insert(QStringLiteral("QUILLET_ERRORBOX_LOG"), errorLog);
        proc.setProcessEnvironment(env);
        proc.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        proc.start(qEnvironmentVariable("QUILLET_BINARY"), args);
        QVERIFY(proc.waitForStarted(5000));
    }
    QString errors() const
    {
        QFile f(errorLog);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    ~Copy()
    {
        if (proc.state() != QProcess::NotRunning) {
            proc.kill();
            proc.waitForFinished(3000);
        }
    }
};

} // namespace testsupport
