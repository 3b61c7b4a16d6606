// Announcements of hosted games: the datagram, the list's ageing, typed addresses, and the UDP
// announcer and listener on loopback.
#include "address/address.h"
#include "lan/announce.h"
#include "lan/lan.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QUdpSocket>
#include <QtTest>

using announce::Announcement;

namespace {
const QByteArray prefix = "QUILLET-GAME/1";

quint16 freeUdpPort()
{
    QUdpSocket s;
    s.bind(QHostAddress::LocalHost, 0);
    return s.localPort();
}
} // namespace

class TestAnnounce : public QObject
{
    Q_OBJECT
private slots:
    void datagramRoundTripAndRejects()
    {
        const Announcement ann{u"Ann + ÿ"_qs, 7772, 3, 1, true};
        const auto back = announce::decode(announce::encode(ann, prefix), prefix);
        QVERIFY(back);
        QCOMPARE(back->name, ann.name);
        QCOMPARE(back->port, quint16(7772));
        QCOMPARE(back->seated, 3);
        QCOMPARE(back->spies, 1);
        QVERIFY(back->running);

        // A name of 200 characters goes out cut, still a readable announcement.
        const auto longName =
            announce::decode(announce::encode({QString(200, u'x'), 1, 0, 0, false}, prefix), prefix);
        QVERIFY(longName);
        QCOMPARE(longName->name.size(), announce::maxName);

        const QList<QByteArray> bad = {
            QByteArray(),
            "OTHER-GAME/1\n7772\n1\n0\n0\nAnn",          // foreign prefix
            "QUILLET-GAME/1\n7772\n1\n0\n0",             // a field short
            "QUILLET-GAME/1\n7772\n1\n0\n0\nAnn\nextra", // a field more
            "QUILLET-GAME/1\n0\n1\n0\n0\nAnn",           // port 0
            "QUILLET-GAME/1\n70000\n1\n0\n0\nAnn",       // port too high
            "QUILLET-GAME/1\n-1\n1\n0\n0\nAnn",
            "QUILLET-GAME/1\n7772\n11\n0\n0\nAnn", // more seats than there are
            "QUILLET-GAME/1\n7772\n1\n6\n0\nAnn",  // more spies than there are
            "QUILLET-GAME/1\n7772\n 1\n0\n0\nAnn",
            "QUILLET-GAME/1\n7772\n1\n0\n2\nAnn",
            "QUILLET-GAME/1\n7772\n1\n0\n0\n",         // no name
            "QUILLET-GAME/1\n7772\n1\n0\n0\nA\tnn",    // control character
            "QUILLET-GAME/1\n7772\n1\n0\n0\n\xC3\x28", // not UTF-8
            "QUILLET-GAME/1\n7772\n1\n0\n0\n" + QByteArray(40, 'x'),
            prefix + QByteArray(64 * 1024, '\n'),
        };
        for (const QByteArray &d : bad)
            QVERIFY2(!announce::decode(d, prefix), d.left(60).constData());
        for (int i = 0; i < 200; ++i) {
            QByteArray noise(QRandomGenerator::global()->bounded(300), Qt::Uninitialized);
            for (char &c : noise)
                c = char(QRandomGenerator::global()->bounded(256));
            QVERIFY(!announce::decode(prefix + '\n' + noise, prefix) || noise.count('\n') == 4);
        }
    }

    void listIsNewestFirstAndForgetsSilentGames()
    {
        announce::GameList list;
        QVERIFY(list.heard(u"10.0.0.1"_qs, {u"Ann"_qs, 7772, 1, 0, false}, 0));
        QVERIFY(list.heard(u"10.0.0.2"_qs, {u"Bob"_qs, 7772, 2, 0, false}, 1000));
        // The same game again changes nothing shown; another port at the same address is another game.
        QVERIFY(!list.heard(u"10.0.0.1"_qs, {u"Ann"_qs, 7772, 1, 0, false}, 3000));
        QVERIFY(list.heard(u"10.0.0.1"_qs, {u"Cy"_qs, 7800, 1, 0, false}, 3000));
        QCOMPARE(list.games().size(), 3);
        QCOMPARE(list.games()[0].game.name, u"Cy"_qs);
        QCOMPARE(list.games()[1].game.name, u"Bob"_qs);
        QCOMPARE(list.games()[2].game.name, u"Ann"_qs);
        QVERIFY(
            list.heard(u"10.0.0.1"_qs, {u"Ann"_qs, 7772, 2, 0, true}, 4000)); // a player came, a game began
        QVERIFY(!list.age(6999));
        QVERIFY(list.age(7000)); // Bob last heard at 1000
        QCOMPARE(list.games().size(), 2);
        QVERIFY(list.age(10000));
        QCOMPARE(list.games().size(), 0);

        // Made-up senders without end do not grow the list without end.
        for (int i = 0; i < 1000; ++i)
            list.heard(u"10.1.%1.%2"_qs.arg(i / 256).arg(i % 256), {u"X"_qs, 7772, 0, 0, false}, i);
        QCOMPARE(list.games().size(), announce::GameList::maxGames);
        QCOMPARE(list.games()[0].address, u"10.1.3.231"_qs);
    }

    void typedAddresses_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("port");
        QTest::addColumn<bool>("splits");
        QTest::addColumn<bool>("passes");
        QTest::newRow("name") << u"game-box.lan"_qs << u"game-box.lan"_qs << u"7772"_qs << true << true;
        QTest::newRow("port") << u"192.168.1.20:7800"_qs << u"192.168.1.20"_qs << u"7800"_qs << true << true;
        QTest::newRow("port 0") << u"h:0"_qs << u"h"_qs << u"0"_qs << false << false;
        QTest::newRow("port too high") << u"h:65536"_qs << u"h"_qs << u"65536"_qs << false << false;
        QTest::newRow("port a word") << u"h:http"_qs << u"h"_qs << u"http"_qs << false << false;
        QTest::newRow("no port after colon") << u"h:"_qs << u"h"_qs << QString() << false << false;
        QTest::newRow("blank inside") << u"my host"_qs << u"my host"_qs << u"7772"_qs << true << false;
        QTest::newRow("plus") << u"a+b"_qs << u"a+b"_qs << u"7772"_qs << true << false;
        QTest::newRow("empty") << QString() << QString() << u"7772"_qs << true << false;
    }
    void typedAddresses()
    {
        QFETCH(QString, text);
        QFETCH(QString, host);
        QFETCH(QString, port);
        QFETCH(bool, splits);
        QFETCH(bool, passes);
        const address::Target t = address::split(text, u"7772"_qs);
        QCOMPARE(t.host, host);
        QCOMPARE(t.port, port);
        QCOMPARE(t.error.isEmpty(), splits);
        QCOMPARE(address::check(text, u"7772"_qs).error.isEmpty(), passes);
    }

    void announcerIsHeardAndNoiseIgnored()
    {
        const quint16 port = freeUdpPort();
        qputenv("QUILLET_ANNOUNCE_PORT", QByteArray::number(port));
        qputenv("QUILLET_ANNOUNCE_ADDRESS", "127.0.0.1");
        GameListener listener;
        QVERIFY(listener.start());
        QSignalSpy changed(&listener, &GameListener::changed);

        // Noise first: a 64 KB datagram, random bytes, a foreign prefix.
        QUdpSocket noise;
        noise.writeDatagram(QByteArray(65000, 'x'), QHostAddress::LocalHost, port);
        noise.writeDatagram(QByteArray::fromHex("00ff13c3a7"), QHostAddress::LocalHost, port);
        noise.writeDatagram("OTHER\n7772\n1\n0\n0\nEve", QHostAddress::LocalHost, port);

        int counted = 0;
        GameAnnouncer announcer(u"Ann"_qs, 7999, [&](Announcement &a) {
            ++counted;
            a.seated = 2;
            a.spies = 1;
            a.running = true;
        });
        announcer.start();
        QVERIFY(announcer.running());
        QTRY_COMPARE(listener.list().games().size(), 1);
        const announce::HeardGame g = listener.list().games().first();
        QCOMPARE(g.address, u"127.0.0.1"_qs);
        QCOMPARE(g.game.name, u"Ann"_qs);
        QCOMPARE(g.game.port, quint16(7999));
        QCOMPARE(g.game.seated, 2);
        QCOMPARE(g.game.spies, 1);
        QVERIFY(g.game.running);
        QCOMPARE(counted, 1);
        QCOMPARE(changed.count(), 1);
        announcer.stop();
        QVERIFY(!announcer.running());
    }
};

QTEST_GUILESS_MAIN(TestAnnounce)
#include "tst_announce.moc"
