// The web port: reading request heads, the files a path names and the Origin rule without sockets;
// then browsers' WebSockets as seats of a real host beside game connections, and the requests,
// frames and clients it refuses or lets go.
#include "tests/host/serverharness.h"
#include "webserve/request.h"
#include "webserve/webseat.h"
#include "webserve/webserver.h"
#include "webserve/wsframe.h"

#include <QWebSocket>

using testsupport::s;

namespace {

// A browser's connection to the game's WebSocket, with the Origin it claims.
class Browser : public QObject
{
public:
    Browser(quint16 port, const QString &origin) : sock(origin)
    {
        QObject::connect(&sock, &QWebSocket::textMessageReceived, this,
                         [this](const QString &m) { got.append(m); });
        QObject::connect(&sock, &QWebSocket::disconnected, this, [this] { closed = true; });
        sock.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/play").arg(port)));
    }
    // The slot the host gave, from its first message.
    int slot() const { return got.isEmpty() ? 0 : got.constFirst().mid(18).toInt(); }
    bool waitFor(qsizetype count)
    {
        return waitUntil([&] { return got.size() >= count; });
    }
    QStringList take()
    {
        QStringList out;
        out.swap(got);
        return out;
    }
    QWebSocket sock;
    QStringList got;
    bool closed = false;
};

// A host with its web port beside the game port.
struct WebHost : Host
{
    WebHost()
    {
        web.onseat = [this](Seat *seat) {
            seats.append(qobject_cast<WebSeat *>(seat));
            server.admit(seat);
        };
        web.headms = 500;
        web.listen(0);
    }
    // Host::sync for the browsers too: each open one that is seated sees the marker, which goes.
    bool syncAll()
    {
        if (!sync())
            return false;
        const QString marker = QStringLiteral("sync%1|clBlack").arg(syncs);
        for (auto &b : browsers) {
            if (b->closed || b->got.isEmpty() || b->got.size() == 1)
                continue;
            if (!waitUntil([&] { return !b->got.filter(marker).isEmpty(); }))
                return false;
            b->got.removeIf([&](const QString &m) { return m.endsWith(marker); });
        }
        return true;
    }
    QString origin() const { return QStringLiteral("http://127.0.0.1:%1").arg(web.port()); }
    Browser *browser(const QString &from = {})
    {
        browsers.push_back(std::make_unique<Browser>(web.port(), from.isNull() ? origin() : from));
        return browsers.back().get();
    }
    // Whatever the web port answers to these bytes, until it closes the connection or the answer to
    // a request kept open is complete.
    QByteArray raw(const QByteArray &bytes, int ms = 3000)
    {
        QTcpSocket c;
        c.connectToHost(QStringLiteral("127.0.0.1"), web.port());
        c.write(bytes);
        QByteArray got;
        waitUntil(
            [&] {
                got += c.readAll();
                return c.state() == QAbstractSocket::UnconnectedState;
            },
            ms);
        return got + c.readAll();
    }
    QByteArray get(const QByteArray &path)
    {
        return raw("GET " + path + " HTTP/1.1\r\n" + hostLine() + "Connection: close\r\n\r\n");
    }
    QByteArray hostLine() const { return "Host: 127.0.0.1:" + QByteArray::number(web.port()) + "\r\n"; }
    QByteArray upgrade(const QByteArray &host) const
    {
        return "GET /play HTTP/1.1\r\nHost: " + host +
               "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Version: 13\r\n"
               "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nOrigin: http://" +
               host + "\r\n\r\n";
    }
    WebServer web;
    std::vector<std::unique_ptr<Browser>> browsers;
    QList<QPointer<WebSeat>> seats;
};

QByteArray status(const QByteArray &reply)
{
    return reply.left(reply.indexOf("\r\n"));
}

// A client's frame, masked (or not, as a faulty client sends it).
QByteArray clientFrame(wsframe::Op op, const QByteArray &payload, bool masked = true)
{
    QByteArray f = wsframe::frame(op, payload);
    if (!masked)
        return f;
    const qsizetype header = f.size() - payload.size();
    f[1] = char(f[1] | 0x80);
    const char mask[4] = {'\x12', '\x34', '\x56', '\x78'};
    f.insert(header, mask, 4);
    for (qsizetype i = 0; i < payload.size(); ++i)
        f[header + 4 + i] = char(payload[i] ^ mask[i & 3]);
    return f;
}

// A WebSocket client on a bare connection, that sends what it likes and reads only when asked.
struct RawWebSocket
{
    RawWebSocket(WebHost &h)
    {
        sock.connectToHost(QStringLiteral("127.0.0.1"), h.web.port());
        sock.write(h.upgrade("127.0.0.1:" + QByteArray::number(h.web.port())));
        opened = waitUntil([&] {
            got += sock.readAll();
            return got.contains("\r\n\r\n");
        }) && got.startsWith("HTTP/1.1 101");
        got.remove(0, got.indexOf("\r\n\r\n") + 4);
    }
    // Reads until the host closes the connection; false when it does not.
    bool closedByHost(int ms = 3000)
    {
        return waitUntil(
            [&] {
                got += sock.readAll();
                return sock.state() == QAbstractSocket::UnconnectedState;
            },
            ms);
    }
    QTcpSocket sock;
    QByteArray got;
    bool opened = false;
};

} // namespace

class TestWebServe : public QObject
{
    Q_OBJECT
private slots:
    void requestHeads();
    void paths_data();
    void paths();
    void origins_data();
    void origins();
    void hosts_data();
    void hosts();
    void frames();
    void browserIsAnOrdinarySeat();
    void refusedRequests();
    void oversizedAndBinaryFrames();
    void slowAndManyClients();
    void pingsWithoutReading();
    void unmaskedFrame();
};

void TestWebServe::requestHeads()
{
    web::Request r;
    qsizetype used = 0;
    const QByteArray get =
        "GET /a.js?v=1#x HTTP/1.1\r\nHost: h:1\r\nconnection: Upgrade\r\nUPGRADE: WebSocket\r\n\r\nNEXT";
    QCOMPARE(web::parse(get, r, used), web::Head::Complete);
    QCOMPARE(used, get.size() - 4);
    QCOMPARE(r.method, "GET");
    QCOMPARE(r.path(), "/a.js");
    QCOMPARE(r.header("host"), "h:1");
    QVERIFY(r.upgrade());
    QVERIFY(r.keepAlive());
    QCOMPARE(web::parse("GET / HTTP/1.1\r\nHost: h\r\n", r, used), web::Head::Incomplete);
    QCOMPARE(web::parse("GET / HTTP/1.0\r\n\r\n", r, used), web::Head::Complete);
    QVERIFY(!r.keepAlive());
    // Not ended within the limit, however it goes on.
    QCOMPARE(web::parse("GET / HTTP/1.1\r\nX: " + QByteArray(web::maxHead, 'a'), r, used),
             web::Head::TooLarge);
    QCOMPARE(web::parse("GET / HTTP/1.1\r\nX: " + QByteArray(web::maxHead, 'a') + "\r\n\r\n", r, used),
             web::Head::TooLarge);
    // At the limit a head is read; one to three bytes more and it is too large, however it ends.
    const QByteArray start = "GET / HTTP/1.1\r\nHost: h\r\nX: ";
    for (qsizetype over = 0; over <= 3; ++over) {
        const QByteArray exact = start + QByteArray(web::maxHead - start.size() - 4 + over, 'a') + "\r\n\r\n";
        QCOMPARE(web::parse(exact, r, used), over == 0 ? web::Head::Complete : web::Head::TooLarge);
    }
    // A head that comes a byte at a time is looked at once: each call goes on where the last stopped.
    qsizetype scanned = 0, n = 0;
    web::Head state = web::Head::Incomplete;
    while (state == web::Head::Incomplete) {
        const qsizetype before = scanned;
        state = web::scan(QByteArrayView(get).first(++n), scanned);
        QVERIFY(scanned >= before && scanned <= n);
    }
    QCOMPARE(state, web::Head::Complete);
    QCOMPARE(n, get.size() - 4);
    QCOMPARE(scanned, n);
    // A bare line feed is refused as soon as it comes, not when the head would have ended.
    scanned = 0;
    QCOMPARE(web::scan("GET / HTTP/1.1\nHost", scanned), web::Head::Bad);
    for (const QByteArray &bad : {
             QByteArray("GET / HTTP/2\r\n\r\n"),                         // unknown version
             QByteArray("GET  / HTTP/1.1\r\nHost: h\r\n\r\n"),           // two spaces
             QByteArray("GET / HTTP/1.1\r\nHost: h\r\n folded\r\n\r\n"), // folded line
             QByteArray("GET / HTTP/1.1\nHost: h\r\n\r\n"),              // bare line feed
             QByteArray("GET / HTTP/1.1\r\nHost: h\r\nBad Name: h\r\n\r\n"), // space in a name
             QByteArray("GET / HTTP/1.1\r\nHost: h\r\nContent-Length: 5\r\n\r\n"), // a body
             QByteArray("GET / HTTP/1.1\r\nHost: h\r\nTransfer-Encoding: chunked\r\n\r\n"),
             QByteArray("GET / HTTP/1.1\r\nHost: h\r\nContent-Length: 0\r\ncontent-length: 5\r\n\r\n"),
             QByteArray("GET / HTTP/1.1\r\nHost: h\r\nHost: evil.example\r\n\r\n"),
             QByteArray("GET / HTTP/1.1\r\nX: h\r\n\r\n"), // HTTP/1.1 without Host
         })
        QCOMPARE(web::parse(bad, r, used), web::Head::Bad);
}

void TestWebServe::paths_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QString>("resource");
    QTest::newRow("page") << QByteArray("/") << s(":/web/index.html");
    QTest::newRow("file") << QByteArray("/index.html") << s(":/web/index.html");
    QTest::newRow("picture") << QByteArray("/pictures/eyes.png") << s(":/pictures/eyes.png");
    QTest::newRow("sound") << QByteArray("/sounds/CORRECT.wav") << s(":/sounds/CORRECT.wav");
    QTest::newRow("no such picture") << QByteArray("/pictures/none.png") << QString();
    QTest::newRow("picture by another type") << QByteArray("/pictures/eyes.wav") << QString();
    QTest::newRow("other resources") << QByteArray("/phrases/general.txt") << QString();
    QTest::newRow("up") << QByteArray("/../web/index.html") << QString();
    QTest::newRow("escaped dots") << QByteArray("/%2e%2e/index.html") << QString();
    QTest::newRow("backslash") << QByteArray("/pictures\\eyes.png") << QString();
    QTest::newRow("double slash") << QByteArray("//index.html") << QString();
    QTest::newRow("hidden") << QByteArray("/.index.html") << QString();
    QTest::newRow("absolute") << QByteArray("http://h/index.html") << QString();
    QTest::newRow("resource syntax") << QByteArray("/:/web/index.html") << QString();
}

void TestWebServe::paths()
{
    QFETCH(QByteArray, path);
    QFETCH(QString, resource);
    const web::File f = web::resolve(path);
    QCOMPARE(f.resource, resource);
    QCOMPARE(f.type.isEmpty(), resource.isEmpty());
}

void TestWebServe::origins_data()
{
    QTest::addColumn<QByteArray>("origin");
    QTest::addColumn<QByteArray>("host");
    QTest::addColumn<bool>("same");
    const QByteArray lan = "192.168.1.5:7774";
    QTest::newRow("same") << QByteArray("http://192.168.1.5:7774") << lan << true;
    QTest::newRow("case") << QByteArray("http://Game.LAN:7774") << QByteArray("game.lan:7774") << true;
    QTest::newRow("port 80 left out") << QByteArray("http://game.lan") << QByteArray("game.lan") << true;
    QTest::newRow("port 80 given") << QByteArray("http://game.lan:80") << QByteArray("game.lan") << true;
    QTest::newRow("port") << QByteArray("http://192.168.1.5:7775") << lan << false;
    QTest::newRow("no port") << QByteArray("http://192.168.1.5") << lan << false;
    QTest::newRow("scheme") << QByteArray("https://192.168.1.5:7774") << lan << false;
    QTest::newRow("other host") << QByteArray("http://evil.example") << lan << false;
    QTest::newRow("longer host") << QByteArray("http://game.lan.evil.example") << QByteArray("game.lan") << false;
    QTest::newRow("longer port") << QByteArray("http://127.0.0.1:7774.evil.example")
                                 << QByteArray("127.0.0.1:7774") << false;
    QTest::newRow("trailing dot") << QByteArray("http://game.lan.") << QByteArray("game.lan") << false;
    QTest::newRow("userinfo") << QByteArray("http://a@game.lan") << QByteArray("game.lan") << false;
    QTest::newRow("userinfo in host") << QByteArray("http://a@b") << QByteArray("a@b") << false;
    QTest::newRow("path") << QByteArray("http://game.lan/") << QByteArray("game.lan") << false;
    QTest::newRow("null") << QByteArray("null") << lan << false;
    QTest::newRow("none") << QByteArray() << lan << false;
    QTest::newRow("no host") << QByteArray("http://") << QByteArray() << false;
}

void TestWebServe::origins()
{
    QFETCH(QByteArray, origin);
    QFETCH(QByteArray, host);
    QFETCH(bool, same);
    QCOMPARE(web::sameOrigin(origin, host), same);
}

void TestWebServe::hosts_data()
{
    QTest::addColumn<QByteArray>("host");
    QTest::addColumn<int>("port");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("address") << QByteArray("192.168.1.5:7774") << 7774 << true;
    QTest::newRow("name, any case, trailing dot") << QByteArray("Game.Lan.:7774") << 7774 << true;
    QTest::newRow("IPv6") << QByteArray("[0:0::1]:7774") << 7774 << true;
    QTest::newRow("port 80 left out") << QByteArray("game.lan") << 80 << true;
    QTest::newRow("port left out") << QByteArray("game.lan") << 7774 << false;
    QTest::newRow("other port") << QByteArray("game.lan:7775") << 7774 << false;
    QTest::newRow("rebound name") << QByteArray("evil.example:7774") << 7774 << false;
    QTest::newRow("longer name") << QByteArray("game.lan.evil.example:7774") << 7774 << false;
    QTest::newRow("userinfo") << QByteArray("a@game.lan:7774") << 7774 << false;
    QTest::newRow("empty port") << QByteArray("game.lan:") << 80 << false;
    QTest::newRow("unbracketed IPv6") << QByteArray("::1") << 80 << false;
}

void TestWebServe::hosts()
{
    QFETCH(QByteArray, host);
    QFETCH(int, port);
    QFETCH(bool, allowed);
    const QList<QByteArray> names = {"192.168.1.5", "game.lan", "localhost", "::1"};
    QCOMPARE(web::hostAllowed(host, quint16(port), names), allowed);
}

void TestWebServe::frames()
{
    wsframe::Frame f;
    qsizetype used = 0;
    // A masked frame is read whole, its payload unmasked, with the longest length form.
    const QByteArray payload(65536, 'p');
    const QByteArray sent = clientFrame(wsframe::Text, payload) + "next";
    QCOMPARE(wsframe::read(QByteArrayView(sent).chopped(5), 1 << 20, f, used), wsframe::Read::Incomplete);
    QCOMPARE(wsframe::read(sent, 1 << 20, f, used), wsframe::Read::Complete);
    QCOMPARE(used, sent.size() - 4);
    QVERIFY(f.fin && f.op == wsframe::Text && f.payload == payload);
    // What is wrong is known from the first bytes.
    const QByteArray big = clientFrame(wsframe::Text, QByteArray(70000, 'p'));
    QCOMPARE(wsframe::read(big.first(10), 69999, f, used), wsframe::Read::TooLarge);
    QCOMPARE(wsframe::read(QByteArray("\x81\x05hello"), 100, f, used), wsframe::Read::Unmasked);
    QByteArray reserved = clientFrame(wsframe::Text, "x");
    reserved[0] = char(reserved[0] | 0x40);
    QCOMPARE(wsframe::read(reserved, 100, f, used), wsframe::Read::Bad);
    QByteArray pieceOfPing = clientFrame(wsframe::Ping, "x");
    pieceOfPing[0] = char(pieceOfPing[0] & 0x7F);
    QCOMPARE(wsframe::read(pieceOfPing, 100, f, used), wsframe::Read::Bad);
    QCOMPARE(wsframe::read(clientFrame(wsframe::Ping, QByteArray(126, 'p')), 1000, f, used), wsframe::Read::Bad);
    QCOMPARE(wsframe::read(clientFrame(wsframe::Op(3), "x"), 100, f, used), wsframe::Read::Bad);
}

void TestWebServe::browserIsAnOrdinarySeat()
{
    // The same login at slot 2 as a game connection, and as a browser: the same exchange.
    QStringList overTcp;
    {
        Host h;
        h.join(s("Ann"));
        RawClient *bob = h.connect();
        bob->send(cmd::buildLogininfo(2, cmd::versionText, s("Bob")));
        QVERIFY(waitUntil([&] { return bob->got.contains(s("CMD_newplayerinfo+2+Bob")); }));
        QVERIFY(h.sync());
        overTcp = bob->take();
    }
    WebHost h;
    RawClient *ann = h.join(s("Ann"));
    Browser *bob = h.browser();
    QVERIFY(bob->waitFor(1));
    QCOMPARE(bob->got, QStringList{s("CMD_sendlogininfo+2")});
    bob->sock.sendTextMessage(cmd::buildLogininfo(2, cmd::versionText, s("Bob")));
    QVERIFY(waitUntil([&] { return ann->got.contains(s("CMD_newplayerinfo+2+Bob")); }));
    QVERIFY(h.syncAll());
    QCOMPARE(bob->take(), overTcp);
    ann->take();

    // Chat both ways; the browser's text arrives in the code page, a character it lacks as "?".
    bob->sock.sendTextMessage(s("CMD_chat+2+") + QString::fromUtf8("\u00e9t\u00e9 \u2713 \u20ac|clBlack"));
    const QString said = s("CMD_chat+2+Bob chats: ") + QString::fromUtf8("\u00e9t\u00e9 ? \u20ac|clBlack");
    QVERIFY(ann->waitFor(1));
    QCOMPARE(ann->take(), QStringList{said});
    QVERIFY(bob->waitFor(1));
    QCOMPARE(bob->take(), QStringList{said});
    ann->send(cmd::buildChat(1, QString::fromUtf8("na\u00efve"), s("clBlack")));
    QVERIFY(bob->waitFor(1));
    QCOMPARE(bob->take(), QStringList{s("CMD_chat+1+Ann chats: ") + QString::fromUtf8("na\u00efve|clBlack")});
    QVERIFY(ann->waitFor(1));
    ann->take();
    // An end marker in a frame does not cut it into two messages.
    bob->sock.sendTextMessage(s("CMD_chat+2+a") + QChar(0xFF) + s("CMD_chat+2+b|clBlack"));
    QVERIFY(h.syncAll());
    QCOMPARE(ann->take(), QStringList{s("CMD_chat+2+Bob chats: a?CMD_chat+2+b|clBlack")});

    // Leaving is a departure like any other, and so is never logging in.
    bob->sock.close();
    QVERIFY(waitUntil([&] { return !h.server.game().inuse(2); }));
    QVERIFY(waitUntil([&] { return ann->got.contains(s("CMD_playerdisconnected+2+Bob")); }));
    // The host's name rule holds for the page too: a name that shows as an empty seat is refused.
    Browser *hidden = h.browser();
    QVERIFY(hidden->waitFor(1));
    hidden->sock.sendTextMessage(cmd::buildLogininfo(hidden->slot(), cmd::versionText, QString::fromUtf8("<Wait\u00ading>")));
    QVERIFY(waitUntil([&] { return hidden->closed; }));
    QVERIFY(ann->got.filter(s("CMD_newplayerinfo")).isEmpty());
    h.server.loginwait = 300;
    Browser *silent = h.browser();
    QVERIFY(silent->waitFor(1));
    QVERIFY(waitUntil([&] { return silent->closed; }));
    QVERIFY(!h.server.game().inuse(silent->slot()));
}

void TestWebServe::refusedRequests()
{
    WebHost h;
    Browser *other = h.browser(s("http://evil.example"));
    QVERIFY(waitUntil([&] { return other->closed; }));
    QVERIFY(other->got.isEmpty());
    QVERIFY(!h.server.game().inuse(1));
    const QByteArray upgrade =
        "GET /play HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(h.web.port()) +
        "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Version: 13\r\n"
        "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n";
    const QByteArray refused = h.raw(upgrade + "Origin: http://127.0.0.1:1\r\n\r\n");
    QCOMPARE(status(refused), "HTTP/1.1 403 Forbidden");
    QVERIFY(!refused.contains("Sec-WebSocket-Accept"));
    QCOMPARE(status(h.raw(upgrade + "\r\n")), "HTTP/1.1 403 Forbidden");
    // The page's own Origin upgrades, and no compression is agreed.
    const QByteArray opened = h.raw(upgrade + "Origin: " + h.origin().toLatin1() +
                                        "\r\nSec-WebSocket-Extensions: permessage-deflate\r\n\r\n",
                                    500);
    QCOMPARE(status(opened), "HTTP/1.1 101 Switching Protocols");
    QVERIFY(!opened.contains("Sec-WebSocket-Extensions"));
    // A handshake without the version is told the one spoken here; one without a key is refused.
    QByteArray versionless = upgrade + "Origin: " + h.origin().toLatin1() + "\r\n\r\n";
    versionless.replace("Sec-WebSocket-Version: 13\r\n", "");
    const QByteArray told = h.raw(versionless);
    QCOMPARE(status(told), "HTTP/1.1 426 Upgrade Required");
    QVERIFY(told.contains("\r\nSec-WebSocket-Version: 13\r\n"));
    QByteArray keyless = upgrade + "Origin: " + h.origin().toLatin1() + "\r\n\r\n";
    keyless.replace("dGhlIHNhbXBsZSBub25jZQ==", "c2hvcnQ=");
    QCOMPARE(status(h.raw(keyless)), "HTTP/1.1 400 Bad Request");

    // DNS rebinding: another site's name made to point here, with its own page's Origin, gets
    // neither the WebSocket nor a file; an address players were given is answered.
    const QByteArray evil = "evil.example:" + QByteArray::number(h.web.port());
    QCOMPARE(status(h.raw(h.upgrade(evil))), "HTTP/1.1 421 Misdirected Request");
    QCOMPARE(status(h.raw("GET / HTTP/1.1\r\nHost: " + evil + "\r\n\r\n")), "HTTP/1.1 421 Misdirected Request");
    const QByteArray given = "203.0.113.7:" + QByteArray::number(h.web.port());
    QCOMPARE(status(h.raw(h.upgrade(given))), "HTTP/1.1 421 Misdirected Request");
    h.web.allowName(s("203.0.113.7"));
    QCOMPARE(status(h.raw(h.upgrade(given), 500)), "HTTP/1.1 101 Switching Protocols");
    // A fleet's host, reached by its node's address at a mapped port, answers whatever Host says.
    h.web.anyHost = true;
    QCOMPARE(status(h.raw("GET / HTTP/1.1\r\nHost: 198.51.100.9:31000\r\nConnection: close\r\n\r\n")),
             "HTTP/1.1 200 OK");
    h.web.anyHost = false;
    QCOMPARE(status(h.raw("GET / HTTP/1.1\r\nHost: localhost:" + QByteArray::number(h.web.port()) +
                          "\r\nConnection: close\r\n\r\n")),
             "HTTP/1.1 200 OK");

    const QByteArray page = h.get("/");
    QCOMPARE(status(page), "HTTP/1.1 200 OK");
    for (const char *header :
         {"Content-Type: text/html; charset=utf-8",
          "Content-Security-Policy: default-src 'self'; script-src 'self';", "frame-ancestors 'none'",
          "X-Content-Type-Options: nosniff", "Cache-Control: no-cache"})
        QVERIFY2(page.contains(header), header);
    QVERIFY(page.endsWith("</html>\n"));
    QCOMPARE(status(h.get("/nothere.js")), "HTTP/1.1 404 Not Found");
    QCOMPARE(status(h.get("/play")), "HTTP/1.1 400 Bad Request");
    QCOMPARE(status(h.raw("POST / HTTP/1.1\r\n" + h.hostLine() + "\r\n")), "HTTP/1.1 405 Method Not Allowed");
    const QByteArray head = h.raw("HEAD /pictures/eyes.png HTTP/1.1\r\n" + h.hostLine() + "Connection: close\r\n\r\n");
    QVERIFY(head.contains("Content-Type: image/png"));
    QVERIFY(head.endsWith("\r\n\r\n"));
    QCOMPARE(status(h.raw("GET / HTTP/1.1\r\nX: " + QByteArray(2 * web::maxHead, 'a'))),
             "HTTP/1.1 431 Request Header Fields Too Large");
    QCOMPARE(status(h.raw("GARBAGE\r\n\r\n")), "HTTP/1.1 400 Bad Request");
    QCOMPARE(status(h.raw("GET / HTTP/1.1\r\nConnection: close\r\n\r\n")), "HTTP/1.1 400 Bad Request");
    // A bare line feed is answered at once, not at the head's deadline.
    QElapsedTimer t;
    t.start();
    QCOMPARE(status(h.raw("GET / HTTP/1.1\nHost: x")), "HTTP/1.1 400 Bad Request");
    QVERIFY(t.elapsed() < h.web.headms);

    // At a full table a browser is told so, as a game connection is, before an orderly close.
    while (h.server.game().freeslot() != 0)
        QVERIFY(h.connect()->slot != 0);
    Browser *late = h.browser();
    QVERIFY(waitUntil([&] { return late->closed; }));
    QCOMPARE(late->got, QStringList{s("CMD_full+")});
    QCOMPARE(late->sock.closeCode(), QWebSocketProtocol::CloseCodeNormal);
}

void TestWebServe::oversizedAndBinaryFrames()
{
    WebHost h;
    RawClient *ann = h.join(s("Ann"));
    Browser *big = h.browser();
    Browser *binary = h.browser();
    Browser *bob = h.browser();
    QVERIFY(bob->waitFor(1) && big->waitFor(1) && binary->waitFor(1));
    QWebSocketProtocol::CloseCode bigCode{}, binaryCode{};
    QObject::connect(&big->sock, &QWebSocket::disconnected, [&] { bigCode = big->sock.closeCode(); });
    QObject::connect(&binary->sock, &QWebSocket::disconnected,
                     [&] { binaryCode = binary->sock.closeCode(); });
    // A message as long as the wire allows passes; one character more closes only that connection.
    const QString chat = s("CMD_chat+%1+").arg(big->slot());
    big->sock.sendTextMessage(cmd::buildLogininfo(big->slot(), cmd::versionText, s("Big")));
    big->sock.sendTextMessage(chat + QString(framing::maxMessage - chat.size() - 8, u'x') + s("|clBlack"));
    QVERIFY(waitUntil([&] { return !ann->got.filter(s("Big chats: xxx")).isEmpty(); }));
    big->sock.sendTextMessage(chat + QString(framing::maxMessage - chat.size() - 7, u'x') + s("|clBlack"));
    QVERIFY(waitUntil([&] { return big->closed; }));
    QCOMPARE(bigCode, QWebSocketProtocol::CloseCodeTooMuchData);
    // A frame too long even for its UTF-8 is refused before it is read whole.
    Browser *huge = h.browser();
    QVERIFY(huge->waitFor(1));
    huge->sock.sendTextMessage(QString(int(WebSeat::maxFrame), u'\u00e9'));
    QVERIFY(waitUntil([&] { return huge->closed; }));
    QCOMPARE(huge->sock.closeCode(), QWebSocketProtocol::CloseCodeTooMuchData);
    binary->sock.sendBinaryMessage("CMD_chat+3+x|clBlack");
    QVERIFY(waitUntil([&] { return binary->closed; }));
    QCOMPARE(binaryCode, QWebSocketProtocol::CloseCodeDatatypeNotSupported);
    // The others play on.
    bob->sock.sendTextMessage(cmd::buildLogininfo(bob->slot(), cmd::versionText, s("Bob")));
    QVERIFY(waitUntil([&] { return ann->got.contains(cmd::buildNewplayerinfo(bob->slot(), s("Bob"))); }));
    QVERIFY(h.sync());
    QVERIFY(!ann->closed && !bob->closed);
}

void TestWebServe::slowAndManyClients()
{
    WebHost h;
    // A head that never ends loses its connection at the deadline; so does one kept open and idle.
    QElapsedTimer t;
    t.start();
    QCOMPARE(h.raw("GET / HTTP/1.1\r\n" + h.hostLine()), QByteArray());
    QVERIFY(t.elapsed() >= 400);
    // Requests sent ahead are answered in turn, each once the one before has left.
    h.web.maxunread = 0;
    const QByteArray two =
        h.raw("GET /pictures/eyes.png HTTP/1.1\r\n" + h.hostLine() + "\r\nGET / HTTP/1.1\r\n" + h.hostLine() + "\r\n");
    QCOMPARE(two.count("HTTP/1.1 200 OK"), 2);
    // 64 idle holders from one address keep no browser out: past that address's share (and past
    // the bound of all) a newcomer takes the place of the idlest.
    std::vector<std::unique_ptr<QTcpSocket>> idle;
    for (int i = 0; i < 64; ++i) {
        idle.push_back(std::make_unique<QTcpSocket>());
        idle.back()->connectToHost(QStringLiteral("127.0.0.1"), h.web.port());
        QTest::qWait(2);
    }
    QVERIFY(waitUntil([&] { return h.web.connections() == h.web.peraddress; }));
    QCOMPARE(status(h.get("/")), "HTTP/1.1 200 OK");
    h.web.maxconnections = 2;
    QCOMPARE(status(h.get("/")), "HTTP/1.1 200 OK");
    QVERIFY(h.web.connections() <= 2);
    idle.clear();
    // A connection kept open with a request now and then is served for its life, not for ever.
    h.web.lifems = 800;
    QTcpSocket keeper;
    keeper.connectToHost(QStringLiteral("127.0.0.1"), h.web.port());
    t.restart();
    int answers = 0;
    while (keeper.state() != QAbstractSocket::UnconnectedState && t.elapsed() < 3000) {
        answers += int(keeper.readAll().count("HTTP/1.1 200 OK"));
        if (keeper.state() == QAbstractSocket::ConnectedState && keeper.bytesToWrite() == 0)
            keeper.write("HEAD / HTTP/1.1\r\n" + h.hostLine() + "\r\n");
        QTest::qWait(50);
    }
    QVERIFY2(answers > 2, QByteArray(QByteArray::number(answers) + " answers in " + QByteArray::number(t.elapsed())).constData());
    QVERIFY(t.elapsed() >= 700 && t.elapsed() < 3000);
    // Answers left unread are bounded for all connections together: those holding the most go.
    h.web.maxheld = 256 * 1024;
    h.web.maxunread = 1024 * 1024;
    const QByteArray sounds = QByteArray("GET /sounds/CORRECT.wav HTTP/1.1\r\n" + h.hostLine() + "\r\n").repeated(120);
    std::vector<std::unique_ptr<QTcpSocket>> unread;
    qint64 most = 0;
    for (int i = 0; i < 6; ++i) {
        unread.push_back(std::make_unique<QTcpSocket>());
        unread.back()->setReadBufferSize(1);
        unread.back()->connectToHost(QStringLiteral("127.0.0.1"), h.web.port());
        unread.back()->write(sounds);
        QTest::qWait(100);
        most = qMax(most, h.web.held());
    }
    QVERIFY2(most <= h.web.maxheld, QByteArray::number(most));
    QCOMPARE(status(h.get("/")), "HTTP/1.1 200 OK");
}

void TestWebServe::pingsWithoutReading()
{
    // A client that pings and never reads the pongs: they are held for it only up to the seat's
    // bound, then the connection goes; the game goes on.
    WebHost h;
    RawClient *ann = h.join(s("Ann"));
    RawWebSocket pinger(h);
    QVERIFY(pinger.opened);
    pinger.sock.setReadBufferSize(1);
    QVERIFY(waitUntil([&] { return h.server.game().inuse(2); }));
    const QByteArray pings = clientFrame(wsframe::Ping, QByteArray(125, 'p')).repeated(1000);
    qint64 most = 0;
    QVERIFY(waitUntil(
        [&] {
            for (const QPointer<WebSeat> &seat : std::as_const(h.seats))
                if (seat)
                    most = qMax(most, seat->held());
            if (pinger.sock.state() == QAbstractSocket::ConnectedState && pinger.sock.bytesToWrite() < (1 << 20))
                pinger.sock.write(pings);
            return !h.server.game().inuse(2);
        },
        20000));
    QVERIFY2(most <= WebSeat::maxHeld + 2 * qint64(WebSeat::maxFrame), QByteArray::number(most));
    QVERIFY(most > 0);
    QVERIFY(h.sync());
    QVERIFY(!ann->closed);
}

void TestWebServe::unmaskedFrame()
{
    // RFC 6455 5.1: a client's frame that is not masked closes the connection (1002), unrelayed.
    WebHost h;
    RawClient *ann = h.join(s("Ann"));
    RawWebSocket bare(h);
    QVERIFY(bare.opened);
    bare.sock.write(clientFrame(wsframe::Text, cmd::buildLogininfo(2, cmd::versionText, s("Bob")).toUtf8()));
    QVERIFY(waitUntil([&] { return ann->got.contains(s("CMD_newplayerinfo+2+Bob")); }));
    bare.sock.write(clientFrame(wsframe::Text, "CMD_chat+2+unmasked|clBlack", false));
    QVERIFY(bare.closedByHost());
    QVERIFY(bare.got.endsWith(wsframe::closeFrame(wsframe::ProtocolError)));
    QVERIFY(waitUntil([&] { return ann->got.contains(s("CMD_playerdisconnected+2+Bob")); }));
    QVERIFY(h.sync());
    QVERIFY(ann->got.filter(s("unmasked")).isEmpty());
}

QTEST_MAIN(TestWebServe)
#include "tst_webserve.moc"
