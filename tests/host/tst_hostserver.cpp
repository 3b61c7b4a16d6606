// The host's server on real loopback connections, with its own timers: the full table, departures,
// framing, connections that flood or misbehave on purpose (the others are still served in time,
// and the host's memory and seats stay in bounds), and the login time-out.
#include "hostgameprobe.h"
#include "serverharness.h"
#include "tests/support/textsupport.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QRegularExpression>
#include <QSignalSpy>

class TestHostServer : public QObject
{
    Q_OBJECT
private slots:
    void fullTable();
    void departureReportedTwice();
    void framing();
    void staleConnection();
    void flood();
    void badInput_data();
    void badInput();
    void floodWaitsItsTurn();
    void burstKeepsOrderAndTakesTurns();
    void undoReachesEveryoneInOrder();
    void closedConnectionsLeaveNothing();
    void queuedTextIsBounded();
    void silentConnectionLosesItsSeat();
    void clockDrivesTheTurns();
};

void TestHostServer::fullTable()
{
    Host h;
    for (int i = 1; i <= 15; ++i)
        QCOMPARE(h.connect()->slot, i);
    h.takeAll();
    RawClient *extra = h.connect();
    QCOMPARE(extra->slot, 0);
    QVERIFY(extra->waitClosed());
    QCOMPARE(extra->take(), QStringList{s("CMD_full+")});
    QCOMPARE(h.server.game().lastslot(), 15);
    QVERIFY(h.sync());
    for (int i = 0; i < 15; ++i)
        QVERIFY(h.clients[i]->take().isEmpty());
    // A seat that frees up is given out again.
    h.clients[6]->disconnectFromHost();
    QVERIFY(waitUntil([&] { return !h.server.game().player(7).inuse; }, 5000));
    QCOMPARE(h.connect()->slot, 7);
}

void TestHostServer::departureReportedTwice()
{
    Host h;
    RawClient *a = h.join(s("Ann"));
    RawClient *b = h.join(s("Bob"));
    h.join(s("Cy"));
    HostGameProbe::player(h.server.game(), 3).score = 5;
    QPointer<TSock> sock;
    for (TSock *child : h.server.listener.findChildren<TSock *>())
        if (child->serial() == h.server.connection(3))
            sock = child;
    QVERIFY(sock);
    sock->Close();
    sock->Close(); // the second report finds the slot free
    QVERIFY(h.sync());
    QCOMPARE(a->take(), QStringList{s("CMD_playerdisconnected+3+Cy")});
    QCOMPARE(b->take(), QStringList{s("CMD_playerdisconnected+3+Cy")});
    QVERIFY(!h.server.game().player(3).inuse);
    QCOMPARE(h.server.game().player(3).name, QString());
    // The score stays until the next game, and the socket object goes once it is free.
    QCOMPARE(h.server.game().player(3).score, 5);
    QVERIFY(waitUntil([&] { return sock.isNull(); }, 5000));
}

void TestHostServer::framing()
{
    Host h;
    RawClient *a = h.join(s("Ann"));
    RawClient *b = h.join(s("Bob"));
    // Messages that arrive in one read are handled one per tick, in order; an empty one and a
    // text without "+" are dropped without taking a place in the queue.
    QList<qsizetype> sizes;
    a->sendRaw(framing::frame(cp1252::encode(cmd::buildChat(1, s("one"), s("clBlack")))) +
               framing::endMarker + framing::frame("nothing") +
               framing::frame(cp1252::encode(cmd::buildChat(1, s("two"), s("clBlack")))));
    QVERIFY(waitUntil([&] {
        if (sizes.isEmpty() || sizes.constLast() != h.server.queue().size())
            sizes.append(h.server.queue().size());
        return b->got.size() == 2;
    }));
    QCOMPARE(sizes.mid(sizes.indexOf(2)), (QList<qsizetype>{2, 1, 0}));
    QCOMPARE(b->take(),
             (QStringList{s("CMD_chat+1+Ann chats: one|clBlack"), s("CMD_chat+1+Ann chats: two|clBlack")}));
}

void TestHostServer::staleConnection()
{
    Host h;
    // One message at once, and none more until the clock, which stands still, moves.
    qint64 now = 0;
    h.server.clock = [&] { return now; };
    h.server.relaylimits = {1, 100000, 1, 100000};
    RawClient *a = h.join(s("Ann"));
    RawClient *b = h.join(s("Bob"));
    // Bob's chat is still queued when his connection ends and a newcomer takes slot 2.
    b->send(cmd::buildChat(2, s("late"), s("clBlack")));
    QVERIFY(waitUntil([&] { return h.server.queue().size() == 1; }));
    b->disconnectFromHost();
    QVERIFY(waitUntil([&] { return !h.server.game().inuse(2); }));
    RawClient *c = h.connect();
    QCOMPARE(c->slot, 2);
    now += 10000;
    QVERIFY(h.sync());
    QCOMPARE(a->take(), QStringList{s("CMD_playerdisconnected+2+Bob")});
    QCOMPARE(c->take(), QStringList{s("CMD_sendlogininfo+2")});
}

void TestHostServer::flood()
{
    Host h;
    h.server.game().setPhraseList(0, {s("hot dog")});
    qint64 now = 0;
    h.server.clock = [&] { return now; };
    // Ten messages at once, five a second more; forty waiting close the connection.
    h.server.relaylimits = {10, 100000, 5, 100000};
    h.server.maxqueued = 40;
    RawClient *a = h.join(s("Ann"));
    RawClient *b = h.join(s("Bob"));
    RawClient *c = h.join(s("Cy"));
    QVERIFY(h.request(a, cmd::buildStartgame(1, false, 20, 60)));
    now += 10000;
    QVERIFY(h.request(a, cmd::buildPickcatagory(1, 0)));
    h.takeAll();
    now += 10000;
    QSignalSpy noted(&h.server, &TServer::noted);
    auto strokes = [](int from, int count) {
        QStringList out;
        for (int i = from; i < from + count; ++i)
            out << cmd::buildMoveit(1, s("clBlack"), s("3"), i, i);
        return out;
    };
    auto send = [](RawClient *to, const QStringList &messages) {
        QByteArray bytes;
        for (const QString &m : messages)
            bytes += framing::frame(cp1252::encode(m));
        to->sendRaw(bytes);
    };

    // The drawer sends 25 at once: ten go on, the rest wait, and the log says so once.
    send(a, strokes(0, 25));
    QVERIFY(c->waitFor(10));
    QVERIFY(waitUntil([&] { return h.server.queue().size() == 15; }));
    QCOMPARE(c->take(), strokes(0, 10));
    QCOMPARE(noted.count(), 1);
    QCOMPARE(noted[0][0].toString(),
             s("Slot 1 (Ann) sends faster than the host passes on: its messages wait their turn"));
    // Nobody else waits behind him.
    QVERIFY(h.request(b, cmd::buildChat(2, s("served"), s("clBlack"))));
    QCOMPARE(c->take(), QStringList{s("CMD_chat+2+Bob chats: served|clBlack")});
    // A second later five more go on, in order.
    now += 1000;
    QVERIFY(c->waitFor(5));
    QCOMPARE(c->take(), strokes(10, 5));
    QCOMPARE(h.server.queue().size(), 10);

    // Past forty waiting he is closed as a departure, and the log says why; the readers stay.
    send(a, strokes(25, 40));
    QVERIFY(a->waitClosed());
    QVERIFY(h.sync());
    QCOMPARE(noted.count(), 2);
    QCOMPARE(noted[1][0].toString(), s("Slot 1 (Ann) sent more than the host keeps waiting: disconnected"));
    const QStringList seen = b->take();
    QCOMPARE(only(seen, s("CMD_moveit")), strokes(0, 15));
    QCOMPARE(seen.mid(seen.size() - 2),
             (QStringList{s("CMD_playerdisconnected+1+Ann"), s("CMD_pickcatagory+2")}));
    QVERIFY(!b->closed && !c->closed);
    QCOMPARE(h.server.queue().size(), 0);
    // Coming back into the slot brings no fresh budget: the login waits for the time that refills it.
    RawClient *back = h.connect();
    QCOMPARE(back->slot, 1);
    back->send(cmd::buildLogininfo(1, cmd::versionText, s("Ann")));
    QVERIFY(waitUntil([&] { return h.server.queue().size() == 1; }));
    QTest::qWait(50);
    QCOMPARE(h.server.queue().size(), 1);
    QVERIFY(!h.server.game().player(1).loggedin);
    now += 200;
    QVERIFY(waitUntil([&] { return h.server.game().player(1).loggedin; }));
}

void TestHostServer::badInput_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray m = QByteArray(1, framing::endMarker);
    auto row = [&](const char *name, const QByteArray &text) { QTest::newRow(name) << text + m; };
    row("empty", "");
    row("plus only", "+");
    row("no plus", "CMD_chat");
    row("unknown word", "CMD_chatter+1+x");
    row("word case", "cmd_chat+1+x");
    for (const char *slot : {"", "0", "16", "-5", "999999999999", "x", "$", "0x", " 1"}) {
        for (const char *word : {"CMD_logininfo", "CMD_chat", "CMD_action", "CMD_startgame", "CMD_draw",
                                 "CMD_clearmain", "CMD_answer", "CMD_moveit", "CMD_pickcatagory", "CMD_pass",
                                 "CMD_kickhim", "CMD_justwatch", "CMD_playasound"}) {
            const QByteArray text = QByteArray(word) + '+' + slot + "+1+1+1";
            const QByteArray name = QByteArray(word) + " slot '" + slot + "'";
            QTest::newRow(name.constData()) << text + m;
        }
    }
    row("start without fields", "CMD_startgame+1");
    row("start bad score", "CMD_startgame+1+false+abc+60");
    row("start huge score", "CMD_startgame+1+false+999999999999+60");
    row("start bad time", "CMD_startgame+1+false+20+");
    row("start time overflow", "CMD_startgame+1+false+20+2147483647");
    row("pick category 7", "CMD_pickcatagory+1+7");
    row("pick category -1", "CMD_pickcatagory+1+-1");
    row("pick category 100", "CMD_pickcatagory+1+100");
    row("pick category empty", "CMD_pickcatagory+1+");
    row("pick category huge", "CMD_pickcatagory+1+999999999999");
    row("kick nobody", "CMD_kickhim+1+0+");
    row("kick 16", "CMD_kickhim+1+16+");
    row("kick -5", "CMD_kickhim+1+-5+");
    row("kick huge", "CMD_kickhim+1+999999999999+");
    row("kick empty", "CMD_kickhim+1++");
    row("watch 16", "CMD_justwatch+16+1");
    row("watch 0", "CMD_justwatch+0+1");
    row("watch -5", "CMD_justwatch+-5+1");
    row("watch huge", "CMD_justwatch+999999999999+1");
    row("watch empty mode", "CMD_justwatch+1+");
    row("answer empty", "CMD_answer+1+");
    row("answer spaces", "CMD_answer+1+    ");
    row("answer long", "CMD_answer+1+" + QByteArray(4000, 'A'));
    row("answer high bytes", "CMD_answer+1+\x80\x81\x9f\xfe");
    row("pass extra", "CMD_pass+1+2");
    row("too long", "CMD_chat+1+" + QByteArray(6000, 'x'));
    QTest::newRow("markers only") << QByteArray(200, framing::endMarker);
    QTest::newRow("zero bytes") << QByteArray("CMD_chat+1+a\0b|clBlack", 22) + m;
}

void TestHostServer::badInput()
{
    QFETCH(QByteArray, bytes);
    Host h;
    h.server.game().setPhraseList(0, {s("hot dog")});
    RawClient *a = h.join(s("Ann"));
    RawClient *b = h.join(s("Bob"));
    QVERIFY(h.request(a, cmd::buildStartgame(1, false, 20, 60)));
    QVERIFY(h.request(a, cmd::buildPickcatagory(1, 0)));
    HostGameProbe::player(h.server.game(), 2).score = 6;
    h.takeAll();

    // From the host's own player and from a guest, the strongest and an ordinary connection.
    for (RawClient *c : {a, b}) {
        c->sendRaw(bytes);
        QVERIFY(h.sync(c));
    }
    QVERIFY(h.boxes.isEmpty());
    QVERIFY(h.server.game().inuse(1) && h.server.game().inuse(2));
    QCOMPARE(h.server.game().player(2).score, 6);
    QCOMPARE(h.server.game().player(1).name, s("Ann"));
    QCOMPARE(h.server.game().drawer(), 1);
    QCOMPARE(h.server.game().phrase(), s("HOT DOG"));
    QCOMPARE(h.server.game().phase(), HostGame::Phase::drawing);
    // The host goes on serving.
    QVERIFY(h.request(b, cmd::buildAnswer(2, s("hot dog"))));
    QCOMPARE(h.server.game().player(2).score, 8);
}

namespace {
QByteArray chatBurst(int slot, int lines, int length = 1)
{
    QByteArray burst;
    for (int i = 0; i < lines; ++i) {
        const QString text = QString::number(i).leftJustified(length, QLatin1Char('x'));
        burst += framing::frame(cp1252::encode(cmd::buildChat(slot, text, s("c"))));
    }
    return burst;
}
} // namespace

void TestHostServer::floodWaitsItsTurn()
{
    Host h;
    RawClient *a = h.join(s("Ann"));
    RawClient *b = h.join(s("Bob"));
    RawClient *c = h.join(s("Cy"));
    const int lines = 1500;
    // Both are on their way before the host reads either.
    a->sendRaw(chatBurst(1, lines));
    b->send(cmd::buildChat(2, s("mine"), s("clBlack")));
    // Bob's line is the second one handled, not the last, though a tick takes the backlog several
    // messages at a time; the flood itself keeps its order, and none of it is lost.
    QVERIFY(c->waitFor(lines + 1));
    const QStringList got = c->take();
    QCOMPARE(got.mid(0, 2),
             (QStringList{s("CMD_chat+1+Ann chats: 0|c"), s("CMD_chat+2+Bob chats: mine|clBlack")}));
    for (int i = 1; i < lines; ++i)
        QCOMPARE(got[i + 1], QStringLiteral("CMD_chat+1+Ann chats: %1|c").arg(i));
    QCOMPARE(h.server.queue().connections(), 0);
}

void TestHostServer::burstKeepsOrderAndTakesTurns()
{
    Host h;
    RawClient *a = h.join(s("Ann"));
    RawClient *b = h.join(s("Bob"));
    RawClient *c = h.join(s("Cy"));
    RawClient *d = h.join(s("Di"));
    // Three backlogs, on their way in this order before the host reads any.
    const int lines[] = {300, 300, 5};
    RawClient *senders[] = {a, b, c};
    qsizetype waiting = 0;
    QElapsedTimer took;
    took.start();
    for (int k = 0; k < 3; ++k) {
        senders[k]->sendRaw(chatBurst(senders[k]->slot, lines[k]));
        waiting += lines[k];
    }
    // Every tick took the connections in turn, each in its own order.
    QStringList expected;
    for (int i = 0; i < 300; ++i) {
        for (int k = 0; k < 3; ++k) {
            if (i < lines[k])
                expected << QStringLiteral("CMD_chat+%1+%2 chats: %3|c")
                                .arg(senders[k]->slot)
                                .arg(QStringList{s("Ann"), s("Bob"), s("Cy")}[k])
                                .arg(i);
        }
    }
    QVERIFY(d->waitFor(waiting));
    // One message a tick would take 10 ms each; no more than half as many ticks were needed.
    const qint64 ticks = took.elapsed() / 10;
    QVERIFY2(ticks <= waiting / 2, qPrintable(QStringLiteral("%1 ticks").arg(ticks)));
    QCOMPARE(d->take(), expected);
    // A few messages waiting go one a tick, as always.
    QList<qsizetype> sizes;
    a->sendRaw(chatBurst(1, 3));
    QVERIFY(waitUntil([&] {
        if (sizes.isEmpty() || sizes.constLast() != h.server.queue().size())
            sizes.append(h.server.queue().size());
        return d->got.size() == 3;
    }));
    QCOMPARE(sizes.mid(sizes.indexOf(3)), (QList<qsizetype>{3, 2, 1, 0}));
}

void TestHostServer::undoReachesEveryoneInOrder()
{
    Host h;
    h.server.game().setPhraseList(0, {s("paper boat")});
    RawClient *a = h.join(s("Ann"));
    RawClient *b = h.join(s("Bob"));
    RawClient *c = h.join(s("Cy"));
    QVERIFY(h.request(a, cmd::buildStartgame(1, false, 100, 120)));
    QVERIFY(h.request(a, cmd::buildPickcatagory(1, 0)));
    h.takeAll();
    QCOMPARE(h.server.game().drawer(), 1);
    QSignalSpy noted(&h.server, &TServer::noted);
    // An undo of a long turn: a wipe, then the strokes that remain in full batches, over 2,000
    // messages sent at once; Bob chats meanwhile. The honest drawer stays within his budget.
    QStringList undo{cmd::buildClearmain(1)};
    for (int k = 0; k < 700; ++k) {
        undo << cmd::buildMoveit(1, s("clBlack"), s("3"), k % 500, k % 300);
        QList<QPoint> points;
        for (int i = 0; i < 202; ++i)
            points.append({100 + (k + i) % 400, 100 + (2 * k + i % 7) % 250});
        undo << cmd::buildDraw(1, s("clBlack"), s("3"), points.mid(0, 101))
             << cmd::buildDraw(1, s("clBlack"), s("3"), points.mid(101));
    }
    QByteArray bytes;
    for (const QString &m : undo)
        bytes += framing::frame(cp1252::encode(m));
    QVERIFY(bytes.size() > 1'000'000);
    a->sendRaw(bytes);
    b->send(cmd::buildChat(2, s("nice"), s("clBlack")));
    const QString chatLine = s("CMD_chat+2+Bob chats: nice|clBlack");
    for (RawClient *other : {b, c}) {
        QVERIFY(other->waitFor(undo.size() + 1, 20000));
        QStringList got = other->take();
        QVERIFY(got.removeOne(chatLine));
        QCOMPARE(got, undo);
        QVERIFY(!other->closed);
    }
    // The history holds the strokes since the wipe, for whoever joins now.
    QCOMPARE(h.server.game().history(), undo.mid(1));
    QCOMPARE(noted.count(), 0);
}

void TestHostServer::closedConnectionsLeaveNothing()
{
    Host h;
    // One long line a second, on a clock that stands still: a flood stays queued.
    qint64 now = 0;
    h.server.clock = [&] { return now; };
    h.server.relaylimits = {1000, 4100, 1000, 4100};
    h.join(s("Ann"));
    RawClient *b = h.join(s("Bob"));
    // Connect, flood, hang up, again and again: nothing stays queued or booked for the dead ones.
    for (int round = 0; round < 20; ++round) {
        RawClient *m = h.connect();
        m->sendRaw(chatBurst(m->slot, 50, 4000));
        QVERIFY(waitUntil([&] { return h.server.queue().size() > 0; }));
        m->disconnectFromHost();
        QVERIFY(waitUntil([&] { return !h.server.game().inuse(m->slot); }));
    }
    QCOMPARE(h.server.queue().size(), 0);
    QCOMPARE(h.server.queue().chars(), 0);
    QCOMPARE(h.server.queue().connections(), 0);
    QVERIFY(waitUntil([&] { return only(b->got, s("CMD_playerdisconnected")).size() == 20; }));
    b->take();
    b->send(cmd::buildChat(2, s("still here"), s("clBlack")));
    QVERIFY(b->waitFor(1));
    QCOMPARE(b->take(), QStringList{s("CMD_chat+2+Bob chats: still here|clBlack")});
}

void TestHostServer::queuedTextIsBounded()
{
    Host h;
    // One 4,000-character line a second from each connection, on a clock that stands still until
    // moved: the rest waits in the queue.
    qint64 now = 0;
    h.server.clock = [&] { return now; };
    h.server.relaylimits = {1000, 4100, 1000, 4100};
    h.server.maxqueuedtext = 50000;
    RawClient *a = h.join(s("Ann"));
    RawClient *b = h.join(s("Bob"));
    RawClient *c = h.join(s("Cy"));
    b->sendRaw(chatBurst(2, 12, 4000));
    QVERIFY(waitUntil([&] { return h.server.queue().size() == 11; }));
    QVERIFY(a->waitFor(1));
    a->take();
    // Cy's lines would pass the bound: Bob, with the most text waiting, is closed as a departure.
    c->sendRaw(chatBurst(3, 4, 4000));
    QVERIFY(b->waitClosed());
    QVERIFY(waitUntil([&] { return h.server.queue().size() == 3; }));
    QVERIFY(h.server.queue().chars() <= h.server.maxqueuedtext);
    for (int i = 0; i < 3; ++i) {
        now += 1000;
        QVERIFY(waitUntil([&] { return h.server.queue().size() == 2 - i; }));
    }
    QVERIFY(h.sync());
    const QStringList got = a->take();
    QCOMPARE(got.size(), 5);
    QCOMPARE(got[0], s("CMD_playerdisconnected+2+Bob"));
    for (int i = 0; i < 4; ++i)
        QVERIFY(got[i + 1].startsWith(QStringLiteral("CMD_chat+3+Cy chats: %1x").arg(i)));
}

void TestHostServer::silentConnectionLosesItsSeat()
{
    Host h;
    RawClient *a = h.join(s("Ann"));
    h.server.loginwait = 300;
    RawClient *silent = h.connect();
    QCOMPARE(silent->slot, 2);
    QVERIFY(silent->waitClosed());
    QVERIFY(a->waitFor(1));
    QCOMPARE(a->take(), QStringList{s("CMD_playerdisconnected+2+")});
    QVERIFY(h.server.game().inuse(1));
    QVERIFY(!h.server.game().inuse(2));
    QVERIFY(h.sync());
    QVERIFY(!a->closed);
}

void TestHostServer::clockDrivesTheTurns()
{
    // Seconds of 5 ms: nobody picks, nobody guesses, and the clock alone moves the game on.
    Host h;
    h.server.clockms = 5;
    for (int c = 0; c < phrases::categories; ++c)
        h.server.game().setPhraseList(c, {s("hot dog")});
    RawClient *a = h.join(s("Ann"));
    RawClient *b = h.join(s("Bob"));
    QVERIFY(h.request(a, cmd::buildStartgame(1, false, 20, 1)));
    QVERIFY(waitUntil([&] { return b->got.contains(s("CMD_pickcatagory+2")); }));
    const QStringList got = b->take();
    const qsizetype drawn = got.indexOf(QRegularExpression(s("CMD_nextplayer\\+1\\+.*")));
    const qsizetype shown = got.indexOf(s("CMD_updateanswer+true+HOT DOG"));
    QVERIFY(drawn >= 0 && shown > drawn && got.indexOf(s("CMD_pickcatagory+2")) > shown);
    QVERIFY(h.server.game().clockrunning());
}

QTEST_GUILESS_MAIN(TestHostServer)
#include "tst_hostserver.moc"
