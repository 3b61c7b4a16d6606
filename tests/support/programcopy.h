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
    // Waits for the message and takes it (with everything before it) off the list.
    bool take(const QString &msg, int ms = 5000)
    {
        QDeadlineTimer deadline(ms);
        while (!deadline.hasExpired()) {
            poll();
            if (const qsizetype at = messages.indexOf(msg); at >= 0) {
                messages.remove(0, at + 1);
                return true;
            }
            QTest::qWait(10);
        }
        return false;
    }
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

    // Error boxes are recorded in a file unless `showBoxes`.
    void start(const QStringList &args, quint16 gamePort, const QString &instance, const QString &home,
               bool showBoxes = false)
    {
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("QUILLET_GAME_PORT"), QString::number(gamePort));
        env.insert(QStringLiteral("QUILLET_LOBBY_PORT"), QStringLiteral("no-such-service"));
        env.insert(QStringLiteral("QUILLET_INSTANCE"), instance);
        env.insert(QStringLiteral("QUILLET_HOME"), home);
        if (showBoxes)
            env.remove(QStringLiteral("QUILLET_ERRORBOX_LOG"));
        else
            env.insert(QStringLiteral("QUILLET_ERRORBOX_LOG"), home + QStringLiteral("/errors-") + instance);
        proc.setProcessEnvironment(env);
        proc.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        proc.start(qEnvironmentVariable("QUILLET_BINARY"), args);
        QVERIFY(proc.waitForStarted(5000));
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
