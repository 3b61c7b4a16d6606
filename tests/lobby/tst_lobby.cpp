// The lobby: its rules as tables of cases, then the program itself over loopback.
#include "lobby/rules.h"
#include "tests/board/rawpeer.h"
#include "tests/quillet-host/hostprocess.h"
#include "tests/support/netsupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using lobby::Listing;

namespace {

Listing table(const char *name, int seated, bool running = false, bool isPrivate = false)
{
    Listing t;
    t.name = QString::fromLatin1(name);
    t.seated = seated;
    t.running = running;
    t.isPrivate = isPrivate;
    return t;
}

struct Reply
{
    int status = 0;
    QByteArray head, body;
    QJsonObject json() const { return QJsonDocument::fromJson(body).object(); }
};

// One request on a connection of its own, read to its end.
Reply http(quint16 port, const QByteArray &method, const QByteArray &path, const QByteArray &extra = {})
{
    QTcpSocket s;
    s.connectToHost(QHostAddress::LocalHost, port);
    if (!s.waitForConnected(3000))
        return {};
    s.write(method + ' ' + path + " HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(port) +
            "\r\nConnection: close\r\n" + extra + "\r\n");
    QByteArray all;
    QDeadlineTimer until(5000);
    while (s.state() == QAbstractSocket::ConnectedState && !until.hasExpired())
        if (s.waitForReadyRead(50))
            all += s.readAll();
    all += s.readAll();
    Reply r;
    const qsizetype end = all.indexOf("\r\n\r\n");
    r.head = all.left(end);
    r.body = all.mid(end + 4);
    r.status = all.mid(9, 3).toInt();
    return r;
}

} // namespace

class LobbyTest : public QObject
{
    Q_OBJECT
private slots:
    void quickPlayPicks_data();
    void quickPlayPicks();
    void limitsAndNames();
    void listingAndIdle();
    void servesTables();
};

void LobbyTest::quickPlayPicks_data()
{
    QTest::addColumn<QList<Listing>>("tables");
    QTest::addColumn<int>("pick");
    QTest::newRow("none") << QList<Listing>{} << -1;
    QTest::newRow("only private or full")
        << QList<Listing>{table("a", 2, false, true), table("b", 10), table("c", 10, true)} << -1;
    QTest::newRow("waiting before playing, though fewer")
        << QList<Listing>{table("a", 8, true), table("b", 1), table("c", 9, true)} << 1;
    QTest::newRow("most players among the waiting")
        << QList<Listing>{table("a", 1), table("b", 4), table("c", 3), table("d", 6, false, true)} << 1;
    QTest::newRow("most players when all play")
        << QList<Listing>{table("a", 3, true), table("b", 7, true)} << 1;
    QTest::newRow("first on a tie, empty ones too") << QList<Listing>{table("a", 0), table("b", 0)} << 0;
    QTest::newRow("a full waiting table is passed over")
        << QList<Listing>{table("a", 10), table("b", 2, true)} << 1;
}

void LobbyTest::quickPlayPicks()
{
    QFETCH(QList<Listing>, tables);
    QFETCH(int, pick);
    QCOMPARE(lobby::quickPlay(tables), pick);
}

void LobbyTest::limitsAndNames()
{
    lobby::Limits limits;
    limits.perMinute = 2;
    limits.maxTables = 3;
    const QByteArray a = "10.0.0.1", b = "10.0.0.2";
    QVERIFY(limits.refusal(a, 0, 0).isEmpty());
    limits.opened(a, 0);
    limits.opened(a, 30000);
    QVERIFY(limits.refusal(a, 30001, 2).contains(QLatin1String("minute")));
    // Another address is not held back by the first; the total is.
    QVERIFY(limits.refusal(b, 30001, 2).isEmpty());
    QVERIFY(limits.refusal(b, 30001, 3).contains(QLatin1String("as many tables")));
    // A minute after the first, one more.
    QVERIFY(limits.refusal(a, 60000, 2).isEmpty());
    limits.opened(a, 60000);
    QVERIFY(!limits.refusal(a, 60001, 2).isEmpty());

    // One machine is one address for the limits, however it comes.
    QCOMPARE(lobby::addressKey("::ffff:10.0.0.1"), a);
    QCOMPARE(lobby::addressKey(a), a);
    QCOMPARE(lobby::addressKey("2001:db8:1:2:aaaa::1"), lobby::addressKey("2001:db8:1:2:bbbb::7"));
    QVERIFY(lobby::addressKey("2001:db8:1:2::1") != lobby::addressKey("2001:db8:1:3::1"));

    QRandomGenerator random(7);
    const QString one = lobby::privateName(random), two = lobby::privateName(random);
    QCOMPARE(one.size(), 24); // 96 bits
    QVERIFY(one != two);
    QVERIFY(lobby::validName(one));
    for (const char *bad : {"", "../x", "a b", "a/b", "x%00", "0123456789012345678901234567890123"})
        QVERIFY2(!lobby::validName(QString::fromLatin1(bad)), bad);
}

void LobbyTest::listingAndIdle()
{
    Listing open = table("table-1", 3, true);
    open.playto = 5;
    open.turnseconds = 60;
    open.language = QStringLiteral("en");
    const QJsonArray list =
        QJsonDocument::fromJson(lobby::listingJson({open, table("secret", 1, false, true)}))
            .object()
            .value(QLatin1String("tables"))
            .toArray();
    QCOMPARE(list.size(), 1);
    const QJsonObject t = list[0].toObject();
    QCOMPARE(t.value(QLatin1String("name")).toString(), QStringLiteral("table-1"));
    QCOMPARE(t.value(QLatin1String("players")).toInt(), 3);
    QCOMPARE(t.value(QLatin1String("seats")).toInt(), 10);
    QCOMPARE(t.value(QLatin1String("playing")).toBool(), true);
    QCOMPARE(t.value(QLatin1String("playTo")).toInt(), 5);
    QCOMPARE(t.value(QLatin1String("turnSeconds")).toInt(), 60);
    QCOMPARE(t.value(QLatin1String("language")).toString(), QStringLiteral("en"));

    Listing empty = table("t", 0);
    empty.emptySince = 1000;
    QVERIFY(!lobby::idleClosing(empty, 1999, 1000));
    QVERIFY(lobby::idleClosing(empty, 2000, 1000));
    QVERIFY(!lobby::idleClosing(open, 1'000'000, 1000)); // somebody is there
}

void LobbyTest::servesTables()
{
    const quint16 port = freePort(), first = freePort();
    HostProcess lobbyproc;
    lobbyproc.binary = qEnvironmentVariable("QUILLET_LOBBY_BINARY");
    lobbyproc.start(port, {QStringLiteral("--game-ports"), QStringLiteral("%1-%2").arg(first).arg(first + 3),
                           QStringLiteral("--no-announce"), QStringLiteral("--idle-close"),
                           QStringLiteral("2"), QStringLiteral("--tables-per-minute"), QStringLiteral("2")});
    auto waitLine = [&](const QString &start) { return lobbyproc.waitLine(start); };
    QVERIFY(waitLine(QStringLiteral("Lobby on port")).contains(QString::number(port)));
    QCOMPARE(http(port, "GET", "/api/tables").body, QByteArray("{\"tables\":[]}\n"));

    // Quick play with no table opens one; the next quick play finds it.
    const Reply quick = http(port, "POST", "/api/quick");
    QCOMPARE(quick.status, 200);
    const QString name = quick.json().value(QLatin1String("name")).toString();
    const quint16 game = quint16(quick.json().value(QLatin1String("gamePort")).toInt());
    QVERIFY(waitLine(QStringLiteral("Opened public table ") + name).contains(QString::number(game)));
    RawPeer ann;
    QVERIFY(ann.connectTo(game));
    QCOMPARE(ann.next(), QStringLiteral("CMD_sendlogininfo+1"));
    ann.send(QStringLiteral("CMD_logininfo+1+2.2.8+Ann"));
    QVERIFY(waitLine(name + QStringLiteral(": ")).contains(QLatin1String("Ann")));
    const QJsonArray listed =
        http(port, "GET", "/api/tables").json().value(QLatin1String("tables")).toArray();
    QCOMPARE(listed.size(), 1);
    QCOMPARE(listed[0].toObject().value(QLatin1String("players")).toInt(), 1);
    QCOMPARE(http(port, "POST", "/api/quick").json().value(QLatin1String("name")).toString(), name);

    // A private table: not listed, reached by its link, which leads to its page.
    const Reply secret = http(port, "POST", "/api/private");
    QCOMPARE(secret.status, 200);
    const QString hidden = secret.json().value(QLatin1String("name")).toString();
    const int webport = secret.json().value(QLatin1String("webPort")).toInt();
    QCOMPARE(hidden.size(), 24);
    QCOMPARE(http(port, "GET", "/api/tables").json().value(QLatin1String("tables")).toArray().size(), 1);
    const Reply link = http(port, "GET", "/t/" + hidden.toLatin1() + '/');
    QCOMPARE(link.status, 302);
    QVERIFY2(
        link.head.contains(QByteArray("\r\nLocation: http://127.0.0.1:" + QByteArray::number(webport) + "/")),
        link.head.constData());
    const Reply page = http(quint16(webport), "GET", "/");
    QCOMPARE(page.status, 200);
    QVERIFY(page.body.contains("<script"));

    // Requests the lobby does not take, and the third table in a minute from this address.
    QCOMPARE(http(port, "GET", "/api/private").status, 405);
    QCOMPARE(http(port, "POST", "/api/private", "Content-Length: 5\r\n\r\nhello").status, 400);
    QCOMPARE(http(port, "GET", "/t/nosuchtable/").status, 404);
    const Reply refused = http(port, "POST", "/api/private");
    QCOMPARE(refused.status, 429);
    QVERIFY(refused.json().value(QLatin1String("error")).toString().contains(QLatin1String("minute")));
    QVERIFY(waitLine(QStringLiteral("Refused a table to 127.0.0.1")).contains(QLatin1String("minute")));

    // The empty private table closes; the quick play table, with Ann at it, stays.
    QVERIFY(waitLine(QStringLiteral("Closed table ")).contains(hidden));
    QCOMPARE(http(port, "GET", "/t/" + hidden.toLatin1() + '/').status, 404);
    QVERIFY(ann.connected());

    // A termination tells the players and ends within two seconds.
    QElapsedTimer took;
    took.start();
    lobbyproc.proc.terminate();
    QVERIFY(ann.nextOf(QStringLiteral("CMD_action"), 2000).contains(QLatin1String("closing")));
    QVERIFY(lobbyproc.proc.waitForFinished(2000));
    QVERIFY(took.elapsed() < 2000);
    QCOMPARE(lobbyproc.proc.exitCode(), 0);
    QVERIFY(waitLine(QStringLiteral("Stopped")).startsWith(QLatin1String("Stopped")));
    QVERIFY(lobbyproc.lines.contains(QStringLiteral("Closed table %1: the lobby stops").arg(name)));
}

QTEST_MAIN(LobbyTest)
#include "tst_lobby.moc"
