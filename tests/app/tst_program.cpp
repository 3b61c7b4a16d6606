// The real executable: roles from the command line, the single instance, the lobby link.
#include "tests/support/netsupport.h"
#include "tests/support/programcopy.h"
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// True once something listens on the port (read from the kernel's table, without connecting:
// a probe connection would take a slot of its own).
bool listening(quint16 port)
{
    QFile f(u"/proc/net/tcp"_qs);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray needle = ':' + QByteArray::number(port, 16).toUpper().rightJustified(4, '0') + ' ';
    for (const QByteArray &line : f.readAll().split('\n')) {
        const QList<QByteArray> cols = line.simplified().split(' ');
        if (cols.size() > 3 && QByteArray(cols[1] + " ").endsWith(needle) && cols[3] == "0A")
            return true;
    }
    return false;
}

} // namespace

using testsupport::Copy;
using testsupport::Peer;

class TestProgram : public QObject
{
    Q_OBJECT
    QTemporaryDir home;
    int instances = 0;
    QString nextInstance()
    {
        return u"tst-program-"_qs + QString::number(QCoreApplication::applicationPid()) + u"-"_qs +
               QString::number(++instances);
    }

    // Connects a raw player to a hosting copy and logs it in as "Raw".
    void logInto(quint16 port, Peer &peer, QTcpSocket &sock, const QString &ownName)
    {
        QTRY_VERIFY_WITH_TIMEOUT(listening(port), 5000);
        QTest::qWait(300); // the copy's own player takes slot 1 first
        sock.connectToHost(QHostAddress::LocalHost, port);
        sock.waitForConnected(2000);
        QCOMPARE(sock.state(), QAbstractSocket::ConnectedState);
        peer.sock = &sock;
        QVERIFY(peer.waitFor(u"CMD_sendlogininfo+2"_qs));
        peer.send("CMD_logininfo+2+2.2.8+Raw");
        QVERIFY(peer.waitFor(u"CMD_newplayerinfo+2+Raw"_qs));
        QVERIFY(peer.waitFor(u"CMD_existingplayers+1+"_qs + ownName));
    }

private slots:
    void soloGameHostsItselfWithoutLobbyLink()
    {
        const quint16 port = freePort();
        QTcpServer lobby;
        QVERIFY(lobby.listen(QHostAddress::LocalHost));
        Copy c;
        c.start({}, port, lobby.serverPort(), nextInstance(), home.path());
        QTcpSocket sock;
        Peer peer;
        logInto(port, peer, sock, u"You"_qs);
        QTest::qWait(200);
        QVERIFY(!lobby.hasPendingConnections());
        QCOMPARE(c.errors(), QString());
    }

    void hostingCopyHostsAndOpensLobbyLink()
    {
        const quint16 port = freePort();
        QTcpServer lobby;
        QVERIFY(lobby.listen(QHostAddress::LocalHost));
        Copy c;
        // The address is stored but plays no part when hosting; a fourth parameter changes nothing.
        c.start({u"Ann"_qs, u"10.0.0.5"_qs, u"true"_qs, u"extra"_qs}, port, lobby.serverPort(),
                nextInstance(), home.path());
        QTcpSocket sock;
        Peer peer;
        logInto(port, peer, sock, u"Ann"_qs);
        QTRY_VERIFY(lobby.hasPendingConnections());
        QTcpSocket *link = lobby.nextPendingConnection();
        link->write("anything at all\xFF"); // the game neither reacts nor answers
        peer.send("CMD_chat+2+still here|clRed");
        QTest::qWait(300);
        QCOMPARE(link->bytesAvailable(), qint64(0));
        QCOMPARE(c.proc.state(), QProcess::Running);
        c.proc.terminate();
        QVERIFY(c.proc.waitForFinished(5000));
        QTRY_COMPARE(link->state(), QAbstractSocket::UnconnectedState);
    }

    void joiningCopyLogsInAndStaysWhenHostCloses_data()
    {
        QTest::addColumn<QString>("flag");
        QTest::newRow("any word") << u"x"_qs;
        QTest::newRow("TRUE in capitals joins") << u"TRUE"_qs;
    }
    void joiningCopyLogsInAndStaysWhenHostCloses()
    {
        QFETCH(QString, flag);
        QTcpServer host;
        QVERIFY(host.listen(QHostAddress::Any));
        QTcpServer lobby;
        QVERIFY(lobby.listen(QHostAddress::LocalHost));
        Copy c;
        c.start({u"Zed"_qs, u"127.0.0.1"_qs, flag}, host.serverPort(), lobby.serverPort(), nextInstance(),
                home.path());
        QTRY_VERIFY_WITH_TIMEOUT(host.hasPendingConnections(), 5000);
        Peer peer;
        peer.sock = host.nextPendingConnection();
        peer.send("CMD_sendlogininfo+3");
        QVERIFY(peer.waitFor(u"CMD_logininfo+3+2.2.8+Zed"_qs));
        QTRY_VERIFY(lobby.hasPendingConnections());
        QCOMPARE(c.errors(), QString());
        peer.sock->close(); // the host goes away: the window stays to say so
        QTest::qWait(300);
        QCOMPARE(c.proc.state(), QProcess::Running);
        QCOMPARE(c.errors(), QString());
        c.proc.terminate(); // and the program ends when the player closes it
        QVERIFY(c.proc.waitForFinished(5000));
        QCOMPARE(c.proc.exitCode(), 0);
    }

    void twoParametersStayIdle()
    {
        QTcpServer host;
        QVERIFY(host.listen(QHostAddress::Any));
        QTcpServer lobby;
        QVERIFY(lobby.listen(QHostAddress::LocalHost));
        Copy c;
        c.start({u"Ann"_qs, u"127.0.0.1"_qs}, host.serverPort(), lobby.serverPort(), nextInstance(),
                home.path());
        QTest::qWait(1000);
        QVERIFY(!host.hasPendingConnections());
        QVERIFY(!lobby.hasPendingConnections());
        QCOMPARE(c.proc.state(), QProcess::Running);
        QCOMPARE(c.errors(), QString());
    }

    void secondCopyEndsAtOnce()
    {
        const quint16 port = freePort();
        const QString instance = nextInstance();
        Copy first;
        first.start({u"Ann"_qs, u"127.0.0.1"_qs, u"true"_qs}, port, freePort(), instance, home.path());
        QTcpSocket sock;
        Peer peer;
        logInto(port, peer, sock, u"Ann"_qs);
        Copy second;
        second.start({u"Bob"_qs, u"127.0.0.1"_qs, u"true"_qs}, port, freePort(), instance, home.path());
        QVERIFY(second.proc.waitForFinished(5000));
        QCOMPARE(second.proc.exitCode(), 0);
        QCOMPARE(second.errors(), QString()); // it never tried to host
        QCOMPARE(first.proc.state(), QProcess::Running);
    }

    void takenPortShowsOneErrorBox()
    {
        QTcpServer taken;
        QVERIFY(taken.listen(QHostAddress::Any));
        Copy c;
        c.start({}, taken.serverPort(), freePort(), nextInstance(), home.path());
        QTRY_VERIFY_WITH_TIMEOUT(!c.errors().isEmpty(), 5000);
        QTest::qWait(500);
        QCOMPARE(c.errors(), u"Listen - Error Binding Socket.\n"_qs);
        QVERIFY(!taken.hasPendingConnections()); // the player side never connected
        QCOMPARE(c.proc.state(), QProcess::Running);
    }
};

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
