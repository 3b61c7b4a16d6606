// The real executable joining a stand-in host: error boxes that leave the game running, the
// settings file before login, its own command line, and one copy when two start at once.
#include "tests/support/netsupport.h"
#include "tests/support/programcopy.h"

#include <QDir>
#include <QTcpServer>
#include <QTemporaryDir>
#include <csignal>

using testsupport::Copy;
using testsupport::Peer;

class TestPlayerStart : public QObject
{
    Q_OBJECT
    QTemporaryDir home;
    int instances = 0;
    QString nextInstance()
    {
        return QStringLiteral("tst-playerstart-%1-%2")
            .arg(QCoreApplication::applicationPid())
            .arg(++instances);
    }

    // Starts a copy that joins `host` as the given name; the peer stands in for the host.
    void join(Copy &c, QTcpServer &host, Peer &peer, const QStringList &args)
    {
        QVERIFY(host.listen(QHostAddress::LocalHost));
        c.start(args, host.serverPort(), freePort(), nextInstance(), home.path());
        QTRY_VERIFY_WITH_TIMEOUT(host.hasPendingConnections(), 5000);
        peer.sock = host.nextPendingConnection();
    }

private slots:
    // A box stays open while the queue goes on, the same fault does not stack a second one, and
    // the copy ends when its window closes, with the box still open.
    void errorBoxLeavesTheGameRunning()
    {
        QTcpServer host;
        Copy c;
        c.showBoxes = true;
        Peer peer;
        join(c, host, peer, {QStringLiteral("Zed"), QStringLiteral("127.0.0.1"), QStringLiteral("x")});
        peer.send("CMD_sendlogininfo+3");
        QVERIFY(peer.take(QStringLiteral("CMD_logininfo+3+2.2.8+Zed")));
        peer.send("CMD_justwatching+x+1");
        peer.send("CMD_justwatching+x+1");
        peer.send("CMD_sendlogininfo+3");
        QVERIFY(peer.take(QStringLiteral("CMD_logininfo+3+2.2.8+Zed")));
        // Removed from the game, the window stays to say so; the copy ends when it closes.
        peer.send("CMD_playerdisconnected+3+Zed");
        QTest::qWait(300);
        QCOMPARE(c.proc.state(), QProcess::Running);
        ::kill(pid_t(c.proc.processId()), SIGTERM);
        QVERIFY(c.proc.waitForFinished(5000));
        QCOMPARE(c.proc.exitCode(), 0);
    }

    // A join that fails before the login leaves the settings file as it was, or absent.
    void settingsFileUntouchedBeforeLogin_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::newRow("no file") << QByteArray();
        QTest::newRow("a file") << QByteArray("[Quillet]\nLeft=40\nSnapcount=7\nPlaysounds=false\n");
    }
    void settingsFileUntouchedBeforeLogin()
    {
        QFETCH(QByteArray, before);
        QTemporaryDir own;
        const QString path = own.filePath(QStringLiteral("orvanelobby.ini"));
        if (!before.isEmpty()) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(before);
        }
        QTcpServer host;
        QVERIFY(host.listen(QHostAddress::LocalHost));
        Copy c;
        c.start({QStringLiteral("Zed"), QStringLiteral("127.0.0.1"), QStringLiteral("x")}, host.serverPort(),
                freePort(), nextInstance(), own.path());
        QTRY_VERIFY_WITH_TIMEOUT(host.hasPendingConnections(), 5000);
        host.nextPendingConnection()->close(); // the host goes away before asking for the login
        // The window stays to say why; closing it then still writes nothing.
        QTest::qWait(300);
        QCOMPARE(c.proc.state(), QProcess::Running);
        ::kill(pid_t(c.proc.processId()), SIGTERM);
        QVERIFY(c.proc.waitForFinished(5000));
        QFile f(path);
        if (before.isEmpty()) {
            QVERIFY(!f.exists());
        } else {
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), before);
        }
    }

    // Names that look like the toolkit's options are the player's name all the same.
    void ownParametersComeFirst_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("-style") << QStringLiteral("-style");
        QTest::newRow("-reverse") << QStringLiteral("-reverse");
    }
    void ownParametersComeFirst()
    {
        QFETCH(QString, name);
        QTcpServer host;
        Copy c;
        Peer peer;
        join(c, host, peer, {name, QStringLiteral("127.0.0.1"), QStringLiteral("x")});
        peer.send("CMD_sendlogininfo+4");
        QVERIFY(peer.take(QStringLiteral("CMD_logininfo+4+2.2.8+") + name));
    }

    // Two copies started at the same moment end as one, and only this user can reach it.
    void twoCopiesAtOnceLeaveOne()
    {
        QTemporaryDir runtime; // private to this user, as the real runtime folder is
        for (int round = 0; round < 3; ++round) {
            const QString instance = nextInstance();
            Copy a, b;
            for (Copy *c : {&a, &b})
                c->env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
            // Two parameters: each copy stays idle, with its window.
            const QStringList idle{QStringLiteral("Ann"), QStringLiteral("127.0.0.1")};
            a.start(idle, freePort(), freePort(), instance, home.path());
            b.start(idle, freePort(), freePort(), instance, home.path());
            QTRY_VERIFY_WITH_TIMEOUT(
                a.proc.state() == QProcess::NotRunning || b.proc.state() == QProcess::NotRunning, 8000);
            QTest::qWait(500);
            Copy &ended = a.proc.state() == QProcess::NotRunning ? a : b;
            Copy &running = &ended == &a ? b : a;
            QCOMPARE(running.proc.state(), QProcess::Running);
            QCOMPARE(ended.proc.exitStatus(), QProcess::NormalExit);
            QCOMPARE(ended.proc.exitCode(), 0);
        }
        const QFileInfoList files = QDir(runtime.path()).entryInfoList(QDir::Files | QDir::System);
        QVERIFY(!files.isEmpty());
        for (const QFileInfo &f : files) {
            const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                              QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
            QVERIFY2(!(f.permissions() & others), qPrintable(f.fileName()));
        }
    }
};

QTEST_GUILESS_MAIN(TestPlayerStart)
#include "tst_playerstart.moc"
