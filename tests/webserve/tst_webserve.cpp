// The web port: reading request heads, the files a path names and the Origin rule without sockets;
// then browsers' WebSockets as seats of a real host beside game connections, and the requests,
// frames and clients it refuses or lets go.
#include "tests/host/serverharness.h"
#include "webserve/request.h"
#include "webserve/webseat.h"
#include "webserve/webserver.h"

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
        web.onseat = [this](Seat *seat) { server.admit(seat); };
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
        return raw("GET " + path + " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    }
    WebServer web;
    std::vector<std::unique_ptr<Browser>> browsers;
};

QByteArray status(const QByteArray &reply)
{
    return reply.left(reply.indexOf("\r\n"));
}

} // namespace

class TestWebServe : public QObject
{
    Q_OBJECT
private slots:
    void requestHeads();
    void paths_data();
    void paths();
    void origins();
    void browserIsAnOrdinarySeat();
    void refusedRequests();
    void oversizedAndBinaryFrames();
    void slowAndManyClients();
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
    for (const QByteArray &bad : {
             QByteArray("GET / HTTP/2\r\n\r\n"),                         // unknown version
             QByteArray("GET  / HTTP/1.1\r\n\r\n"),                      // two spaces
             QByteArray("GET / HTTP/1.1\r\nHost: h\r\n folded\r\n\r\n"), // folded line
             QByteArray("GET / HTTP/1.1\nHost: h\r\n\r\n"),              // bare line feed
             QByteArray("GET / HTTP/1.1\r\nBad Name: h\r\n\r\n"),        // space in a name
             QByteArray("GET / HTTP/1.1\r\nContent-Length: 5\r\n\r\n"),  // a body
             QByteArray("GET / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n"),
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

void TestWebServe::origins()
{
    QVERIFY(web::sameOrigin("http://192.168.1.5:7774", "192.168.1.5:7774"));
    QVERIFY(web::sameOrigin("http://Host.Lan:7774", "host.lan:7774"));
    QVERIFY(!web::sameOrigin("http://192.168.1.5:7775", "192.168.1.5:7774"));
    QVERIFY(!web::sameOrigin("https://192.168.1.5:7774", "192.168.1.5:7774"));
    QVERIFY(!web::sameOrigin("http://evil.example", "192.168.1.5:7774"));
    QVERIFY(!web::sameOrigin("null", "192.168.1.5:7774"));
    QVERIFY(!web::sameOrigin({}, "192.168.1.5:7774"));
    QVERIFY(!web::sameOrigin("http://", {}));
    QVERIFY(!web::sameOrigin("http://a@b", "a@b"));
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
    QCOMPARE(status(h.raw("POST / HTTP/1.1\r\nHost: x\r\n\r\n")), "HTTP/1.1 405 Method Not Allowed");
    const QByteArray head = h.raw("HEAD /pictures/eyes.png HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    QVERIFY(head.contains("Content-Type: image/png"));
    QVERIFY(head.endsWith("\r\n\r\n"));
    QCOMPARE(status(h.raw("GET / HTTP/1.1\r\nX: " + QByteArray(2 * web::maxHead, 'a'))),
             "HTTP/1.1 431 Request Header Fields Too Large");
    QCOMPARE(status(h.raw("GARBAGE\r\n\r\n")), "HTTP/1.1 400 Bad Request");

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
    QCOMPARE(h.raw("GET / HTTP/1.1\r\nHost: x\r\n"), QByteArray());
    QVERIFY(t.elapsed() >= 400);
    // Requests sent ahead are answered in turn, each once the one before has left.
    h.web.maxunread = 0;
    const QByteArray two =
        h.raw("GET /pictures/eyes.png HTTP/1.1\r\nHost: x\r\n\r\nGET / HTTP/1.1\r\nHost: x\r\n\r\n");
    QCOMPARE(two.count("HTTP/1.1 200 OK"), 2);
    // Past the bound, new connections are closed at once; a freed place is given out again.
    h.web.maxconnections = 2;
    QTcpSocket idle[2];
    for (QTcpSocket &c : idle)
        c.connectToHost(QStringLiteral("127.0.0.1"), h.web.port());
    QVERIFY(waitUntil([&] { return h.web.connections() == 2; }));
    t.restart();
    QCOMPARE(h.get("/"), QByteArray());
    QVERIFY(t.elapsed() < 400);
    idle[0].abort();
    QVERIFY(waitUntil([&] { return h.web.connections() == 1; }));
    QCOMPARE(status(h.get("/")), "HTTP/1.1 200 OK");
}

QTEST_MAIN(TestWebServe)
#include "tst_webserve.moc"
