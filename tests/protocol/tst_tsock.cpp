// The socket layer over real loopback connections.
#include "platform/errors.h"
#include "protocol/tsock.h"
#include "protocol/wire.h"
#include "tests/support/netsupport.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include <netinet/in.h>
#include <sys/socket.h>

namespace {
struct Event
{
    TSock::TSocketInfo kind;
    QString msg;
};

// Records every information event of a socket.
struct InfoLog
{
    QList<Event> events;
    void attach(TSock &s)
    {
        s.OnInfo = [this](TSock *, TSock::TSocketInfo k, const QString &m) { events.append({k, m}); };
    }
    int count(const QString &msg) const
    {
        return int(std::count_if(events.begin(), events.end(), [&](const Event &e) { return e.msg == msg; }));
    }
    int countKind(TSock::TSocketInfo k) const
    {
        return int(std::count_if(events.begin(), events.end(), [&](const Event &e) { return e.kind == k; }));
    }
};

// A listening TSock that accepts every connection.
struct Listener
{
    TSock sock;
    QList<TSock *> accepted;
    explicit Listener(quint16 port)
    {
        sock.PortName = QString::number(port);
        sock.OnAccept = [this](TSock *) {
            TSock *s = nullptr;
            if (sock.Accept(s))
                accepted.append(s);
        };
        sock.setListen(true);
    }
};
} // namespace

class TestTSock : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        errorbox::setHook([](const QString &t) { qWarning("error box: %s", qPrintable(t)); });
    }

    void refusedConnectReportsOnlyTheError()
    {
        TSock s;
        InfoLog log;
        log.attach(s);
        bool disconnected = false;
        s.OnDisconnect = [&](TSock *) { disconnected = true; };
        s.HostName = u"127.0.0.1"_qs;
        s.PortName = QString::number(freePort());
        QVERIFY(!s.Open());
        QTRY_COMPARE(log.countKind(TSock::siError), 1);
        QTest::qWait(50);
        QCOMPARE(log.count(u"Error #10061 (WSAECONNREFUSED)"_qs), 1);
        QCOMPARE(log.countKind(TSock::siClose), 0);
        QCOMPARE(log.countKind(TSock::siConnect), 0);
        QVERIFY(!disconnected);
        QVERIFY(!s.Connected());
        QCOMPARE(log.events.first().msg, u"Lookup Of Port "_qs + s.PortName);
    }

    void sendBeforeConnectGoesOutAfterIt()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        TSock s;
        InfoLog log;
        log.attach(s);
        bool connected = false;
        s.OnConnect = [&](TSock *) { connected = true; };
        s.HostName = u"127.0.0.1"_qs;
        s.PortName = QString::number(server.serverPort());
        s.Open();
        wire::send(s, u"CMD_logininfo+1+2.2.8+Ann"_qs);
        QVERIFY(!connected);
        QTRY_VERIFY(server.hasPendingConnections());
        QTcpSocket *peer = server.nextPendingConnection();
        QTRY_COMPARE(peer->bytesAvailable(), qint64(26));
        QCOMPARE(peer->readAll(), QByteArray("CMD_logininfo+1+2.2.8+Ann\xFF"));
        QVERIFY(connected);
        QCOMPARE(log.count(u"Non-Blocking Socket Connected"_qs), 1);
    }

    void partialSendsKeepByteOrder()
    {
        const quint16 port = freePort();
        Listener l(port);
        QTcpSocket peer;
        peer.setReadBufferSize(4096); // a peer that reads slowly
        peer.connectToHost(QHostAddress::LocalHost, port);
        QTRY_COMPARE(l.accepted.size(), 1);
        TSock *s = l.accepted.first();
        QByteArray expected;
        for (int i = 0; i < 40000; ++i) {
            const QByteArray msg = "CMD_chat+1+line " + QByteArray::number(i) + QByteArray(90, 'x');
            expected += msg + '\xFF';
            wire::send(*s, QString::fromLatin1(msg));
        }
        QVERIFY2(s->pendingOutput() > 0, "the system should have taken only part of it");
        peer.setReadBufferSize(0);
        QByteArray got;
        QTRY_VERIFY_WITH_TIMEOUT((got += peer.readAll()).size() >= expected.size(), 10000);
        QCOMPARE(got.size(), expected.size());
        QVERIFY(got == expected);
        QCOMPARE(s->pendingOutput(), 0);
    }

    void closingTwiceReportsClosedTwice()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        TSock s;
        InfoLog log;
        log.attach(s);
        s.HostName = u"127.0.0.1"_qs;
        s.PortName = QString::number(server.serverPort());
        s.Open();
        QTRY_VERIFY(s.Connected());
        s.Close();
        s.Close();
        QCOMPARE(log.count(u"Socket Closed"_qs), 2);
        QVERIFY_THROWS_EXCEPTION(ESockException, s.Send("x"));
        try {
            s.Send("x");
        } catch (const ESockException &e) {
            QCOMPARE(e.message(), u"Send - Socket Not Connected"_qs);
        }
    }

    void listenOnTakenPortFails()
    {
        QTcpServer taken;
        QVERIFY(taken.listen(QHostAddress::Any));
        TSock s;
        s.PortName = QString::number(taken.serverPort());
        try {
            s.setListen(true);
            QFAIL("listening on a taken port");
        } catch (const ESockException &e) {
            QCOMPARE(e.message(), u"Listen - Error Binding Socket"_qs);
        }
        QVERIFY(!s.Listen());
        QVERIFY(!s.HasHandle());
    }

    void listenerRules()
    {
        const quint16 port = freePort();
        Listener l(port);
        InfoLog log;
        log.attach(l.sock);
        l.sock.setListen(true);
        QCOMPARE(log.count(u"Listening Already Running"_qs), 1);
        QVERIFY_THROWS_EXCEPTION(ESockException, l.sock.Send("x"));
        TSock plain;
        TSock *out = nullptr;
        QVERIFY_THROWS_EXCEPTION(ESockException, plain.Accept(out));
        QVERIFY_THROWS_EXCEPTION(ESockException, plain.Receive());
        l.sock.setListen(false);
        QCOMPARE(log.count(u"Listening Stopped"_qs), 1);
        QCOMPARE(log.count(u"Socket Closed"_qs), 0); // a listener's close is not a departure
        QTcpServer again;                            // the port is free once more
        QVERIFY(again.listen(QHostAddress::Any, port));
    }

    void peerCloseAndResetBothCountAsDeparture_data()
    {
        QTest::addColumn<bool>("reset");
        QTest::newRow("orderly close") << false;
        QTest::newRow("reset") << true;
    }
    void peerCloseAndResetBothCountAsDeparture()
    {
        QFETCH(bool, reset);
        const quint16 port = freePort();
        Listener l(port);
        QTcpSocket peer;
        peer.connectToHost(QHostAddress::LocalHost, port);
        QVERIFY(peer.waitForConnected(2000));
        QTRY_COMPARE(l.accepted.size(), 1);
        TSock *s = l.accepted.first();
        QCOMPARE(s->HostName, u"127.0.0.1"_qs);
        InfoLog log;
        log.attach(*s);
        int disconnects = 0;
        s->OnDisconnect = [&](TSock *) { ++disconnects; };
        if (reset) {
            linger lg{1, 0};
            ::setsockopt(int(peer.socketDescriptor()), SOL_SOCKET, SO_LINGER, &lg, sizeof lg);
        }
        peer.close();
        QTRY_COMPARE(log.count(u"Socket Closed"_qs), 1);
        QCOMPARE(disconnects, 1);
        QVERIFY(!s->HasHandle());
        if (reset)
            QCOMPARE(log.count(u"Error #10054 (WSAECONNRESET)"_qs), 1);
    }

    void messagesArriveWholeAndInOrder()
    {
        const quint16 port = freePort();
        Listener l(port);
        ReceiveQueue q;
        l.sock.OnRead = [&](TSock *s, qsizetype) { wire::receive(*s, q, s->Tag); };
        QTcpSocket peer;
        peer.connectToHost(QHostAddress::LocalHost, port);
        QTRY_COMPARE(l.accepted.size(), 1);
        l.accepted.first()->Tag = 4;
        peer.write("CMD_chat+4+a+b|clRed\xFF"
                   "CMD_an");
        peer.flush();
        QTRY_COMPARE(q.size(), 1);
        peer.write("swer+4+caf\xE9\xFF");
        QTRY_COMPARE(q.size(), 2);
        const QueuedMessage first = q.take();
        QCOMPARE(first.text, u"CMD_chat+4+a+b|clRed"_qs);
        QCOMPARE(first.slot, 4);
        QCOMPARE(first.connection, l.accepted.first()->serial());
        QCOMPARE(q.take().text, u"CMD_answer+4+caf\u00e9"_qs);
        QCOMPARE(q.take().text, QString()); // empty queue gives empty text
    }

    void peerThatStopsReadingIsDropped()
    {
        const quint16 port = freePort();
        Listener l(port);
        QTcpSocket peer;
        peer.setReadBufferSize(1024);
        peer.connectToHost(QHostAddress::LocalHost, port);
        QTRY_COMPARE(l.accepted.size(), 1);
        TSock *s = l.accepted.first();
        int disconnects = 0;
        s->OnDisconnect = [&](TSock *) { ++disconnects; };
        const QByteArray block(64 * 1024, 'z');
        for (int i = 0; i < 200 && s->HasHandle() && disconnects == 0; ++i)
            s->Send(block);
        QTRY_COMPARE(disconnects, 1);
        QVERIFY(!s->HasHandle());
    }

    void hostLookup()
    {
        // A first digit means a dotted address: never a name look-up, even when it is no address.
        QCOMPARE(sockets::lookupHost(u"127.0.0.1"_qs), htonl(INADDR_LOOPBACK));
        QCOMPARE(sockets::lookupHost(u"1.2.3.999"_qs), quint32(INADDR_NONE));
        QCOMPARE(sockets::lookupHost(QString()), quint32(INADDR_ANY));
        QCOMPARE(sockets::lookupHost(u"localhost"_qs), htonl(INADDR_LOOPBACK));
        QVERIFY_THROWS_EXCEPTION(ESockException, sockets::lookupHost(u"no-such-host.invalid"_qs));
        QCOMPARE(sockets::lookupPort(u"7772"_qs), quint16(7772));
        QCOMPARE(sockets::lookupPort(u"http"_qs), quint16(80));
        try {
            sockets::lookupPort(u"no-such-service"_qs);
            QFAIL("unknown service");
        } catch (const ESockException &e) {
            QCOMPARE(e.message(), u"Port Lookup - Could Not Find Service Entry"_qs);
        }
    }
};

QTEST_MAIN(TestTSock)
#include "tst_tsock.moc"
