// One player who floods or misbehaves on purpose, against a host on real loopback connections:
// the others are still served in time, and the host's memory and seats stay in bounds.
#include "hostharness.h"
#include "tests/support/textsupport.h"

#include <QSignalSpy>

class TestHostAbuse : public QObject
{
    Q_OBJECT
private slots:
    void floodWaitsItsTurn();
    void burstKeepsOrderAndTakesTurns();
    void undoReachesEveryoneInOrder();
    void closedConnectionsLeaveNothing();
    void queuedTextIsBounded();
    void silentConnectionLosesItsSeat();
};

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

void TestHostAbuse::floodWaitsItsTurn()
{
    Host h;
    RawClient *a = h.join(s("Ann"));
    RawClient *b = h.join(s("Bob"));
    RawClient *c = h.join(s("Cy"));
    const int lines = 1500;
    a->sendRaw(chatBurst(1, lines));
    QVERIFY(waitUntil([&] { return h.server.receivedlist.size() == lines; }));
    b->send(cmd::buildChat(2, s("mine"), s("clBlack")));
    QVERIFY(waitUntil([&] { return h.server.receivedlist.size() == lines + 1; }));
    // Bob's line is the second one handled, not the last, though a tick takes the backlog several
    // messages at a time; the flood itself keeps its order, and none of it is lost.
    while (!h.server.receivedlist.isEmpty())
        h.server.socktimerTimer();
    QVERIFY(c->waitFor(lines + 1));
    const QStringList got = c->take();
    QCOMPARE(got.mid(0, 2),
             (QStringList{s("CMD_chat+1+Ann chats: 0|c"), s("CMD_chat+2+Bob chats: mine|clBlack")}));
    for (int i = 1; i < lines; ++i)
        QCOMPARE(got[i + 1], QStringLiteral("CMD_chat+1+Ann chats: %1|c").arg(i));
    QCOMPARE(h.server.receivedlist.connections(), 0);
}

void TestHostAbuse::burstKeepsOrderAndTakesTurns()
{
    Host h;
    RawClient *a = h.join(s("Ann"));
    RawClient *b = h.join(s("Bob"));
    RawClient *c = h.join(s("Cy"));
    RawClient *d = h.join(s("Di"));
    // Three backlogs, queued in this order before a tick runs.
    const int lines[] = {300, 300, 5};
    RawClient *senders[] = {a, b, c};
    qsizetype waiting = 0;
    for (int k = 0; k < 3; ++k) {
        senders[k]->sendRaw(chatBurst(senders[k]->slot, lines[k]));
        waiting += lines[k];
        QVERIFY(waitUntil([&] { return h.server.receivedlist.size() == waiting; }));
    }
    int ticks = 0;
    while (!h.server.receivedlist.isEmpty()) {
        h.server.socktimerTimer();
        ++ticks;
    }
    QVERIFY2(ticks <= waiting / 2, qPrintable(QStringLiteral("%1 ticks").arg(ticks)));
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
    QCOMPARE(d->take(), expected);
    // A few messages waiting go one a tick, as always.
    a->sendRaw(chatBurst(1, 3));
    QVERIFY(waitUntil([&] { return h.server.receivedlist.size() == 3; }));
    h.server.socktimerTimer();
    QCOMPARE(h.server.receivedlist.size(), 2);
}

void TestHostAbuse::undoReachesEveryoneInOrder()
{
    Host h;
    h.server.setPhraseList(0, {s("paper boat")});
    RawClient *a = h.join(s("Ann"));
    RawClient *b = h.join(s("Bob"));
    RawClient *c = h.join(s("Cy"));
    QVERIFY(h.request(a, cmd::buildStartgame(1, false, 100, 120)));
    QVERIFY(h.request(a, cmd::buildPickcatagory(1, 0)));
    h.takeAll();
    QCOMPARE(h.server.curdrawer, 1);
    QSignalSpy noted(&h.server, &TServer::noted);
    // The host's own timer drains the queue from here on.
    h.server.manualtimers = false;
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
    QCOMPARE(h.server.memo_drawing, undo.mid(1));
    QCOMPARE(noted.count(), 0);
}

void TestHostAbuse::closedConnectionsLeaveNothing()
{
    Host h;
    h.join(s("Ann"));
    RawClient *b = h.join(s("Bob"));
    // Connect, flood, hang up, again and again: nothing stays queued or booked for the dead ones.
    for (int round = 0; round < 20; ++round) {
        RawClient *m = h.connect();
        m->sendRaw(chatBurst(m->slot, 50, 4000));
        QVERIFY(waitUntil([&] { return h.server.receivedlist.size() > 0; }));
        m->disconnectFromHost();
        QVERIFY(waitUntil([&] { return !h.server.inuse(m->slot); }));
    }
    QCOMPARE(h.server.receivedlist.size(), 0);
    QCOMPARE(h.server.receivedlist.chars(), 0);
    QCOMPARE(h.server.receivedlist.connections(), 0);
    QVERIFY(waitUntil([&] { return b->got.size() == 20; }));
    b->take();
    b->send(cmd::buildChat(2, s("still here"), s("clBlack")));
    QVERIFY(h.pump());
    QVERIFY(b->waitFor(1));
    QCOMPARE(b->take(), QStringList{s("CMD_chat+2+Bob chats: still here|clBlack")});
}

void TestHostAbuse::queuedTextIsBounded()
{
    Host h;
    h.server.maxqueuedtext = 60000;
    RawClient *a = h.join(s("Ann"));
    RawClient *b = h.join(s("Bob"));
    RawClient *c = h.join(s("Cy"));
    b->sendRaw(chatBurst(2, 12, 4000));
    QVERIFY(waitUntil([&] { return h.server.receivedlist.size() == 12; }));
    // Cy's lines would pass the bound: Bob, with the most text waiting, is closed as a departure.
    c->sendRaw(chatBurst(3, 4, 4000));
    QVERIFY(b->waitClosed());
    QVERIFY(waitUntil([&] { return h.server.receivedlist.size() == 4; }));
    QVERIFY(h.server.receivedlist.chars() <= h.server.maxqueuedtext);
    QVERIFY(h.sync());
    const QStringList got = a->take();
    QCOMPARE(got.size(), 5);
    QCOMPARE(got[0], s("CMD_playerdisconnected+2+Bob"));
    for (int i = 0; i < 4; ++i)
        QVERIFY(got[i + 1].startsWith(QStringLiteral("CMD_chat+3+Cy chats: %1x").arg(i)));
}

void TestHostAbuse::silentConnectionLosesItsSeat()
{
    Host h;
    RawClient *a = h.join(s("Ann"));
    h.server.loginwait = 300;
    RawClient *silent = h.connect();
    QCOMPARE(silent->slot, 2);
    QVERIFY(silent->waitClosed());
    QVERIFY(a->waitFor(1));
    QCOMPARE(a->take(), QStringList{s("CMD_playerdisconnected+2+")});
    QVERIFY(h.server.inuse(1));
    QVERIFY(!h.server.inuse(2));
    QVERIFY(h.sync());
    QVERIFY(!a->closed);
}

QTEST_MAIN(TestHostAbuse)
#include "tst_hostabuse.moc"
