// The host's player table, login exchange, departures, removal, watching, relays and the
// requests it must refuse, over real loopback connections.
#include "hostharness.h"
#include "tests/support/textsupport.h"

#include <QPointer>
#include <QSignalSpy>

class TestHostAdmission : public QObject
{
    Q_OBJECT
private slots:
    void slotsAndReuse();
    void loginExchange();
    void wrongVersion();
    void fullTable();
    void departureReportedTwice();
    void removal();
    void watching();
    void relays();
    void strokesAndHistory();
    void newcomerDuringTurn();
    void forgedRequests_data();
    void forgedRequests();
    void staleConnection();
    void flood();
    void badInput_data();
    void badInput();
};

void TestHostAdmission::slotsAndReuse()
{
    Host h;
    RawClient *a = h.connect();
    RawClient *b = h.connect();
    RawClient *c = h.connect();
    QCOMPARE(a->slot, 1);
    QCOMPARE(b->slot, 2);
    QCOMPARE(c->slot, 3);
    QCOMPARE(a->take(), QStringList{s("CMD_sendlogininfo+1")});
    QCOMPARE(c->take(), QStringList{s("CMD_sendlogininfo+3")});
    QCOMPARE(h.server.highslot, 3);

    b->disconnectFromHost();
    QVERIFY(waitUntil([&] { return !h.server.playertable[2].inuse; }, 5000));
    QVERIFY(h.sync());
    // Not logged in yet: the name is empty.
    QCOMPARE(a->take(), QStringList{s("CMD_playerdisconnected+2+")});
    QCOMPARE(c->take(), QStringList{s("CMD_playerdisconnected+2+")});

    RawClient *d = h.connect();
    QCOMPARE(d->slot, 2);
    QCOMPARE(h.server.highslot, 3);
    RawClient *e = h.connect();
    QCOMPARE(e->slot, 4);
    QCOMPARE(h.server.highslot, 4);
    QVERIFY(h.boxes.isEmpty());
}

void TestHostAdmission::loginExchange()
{
    Host h;
    RawClient *a = h.join(s("Ann"));
    RawClient *b = h.join(s("Bob"));
    RawClient *c = h.connect();
    c->send(cmd::buildLogininfo(3, cmd::versionText, s("Cy+Ro")));
    QVERIFY(h.pump());
    QVERIFY(h.sync());
    QCOMPARE(a->take(), QStringList{s("CMD_newplayerinfo+3+Cy+Ro")});
    QCOMPARE(b->take(), QStringList{s("CMD_newplayerinfo+3+Cy+Ro")});
    QCOMPARE(c->take(), (QStringList{s("CMD_sendlogininfo+3"), s("CMD_newplayerinfo+3+Cy+Ro"),
                                     s("CMD_existingplayers+1+Ann"), s("CMD_existingplayers+2+Bob")}));
    QCOMPARE(h.server.playertable[3].name, s("Cy+Ro"));

    // A connection logs in once: a later login renames nobody and is neither announced nor
    // answered with the game again.
    QVERIFY(h.request(c, cmd::buildLogininfo(3, cmd::versionText, s("Mallory"))));
    QCOMPARE(h.server.playertable[3].name, s("Cy+Ro"));
    for (auto &client : h.clients)
        QVERIFY(client->take().isEmpty());
    // A connection that has not logged in is no seat to describe to a newcomer.
    RawClient *silent = h.connect();
    RawClient *e = h.connect();
    QVERIFY(h.request(e, cmd::buildLogininfo(e->slot, cmd::versionText, s("Eve"))));
    QCOMPARE(only(e->take(), s("CMD_existingplayers")),
             (QStringList{s("CMD_existingplayers+1+Ann"), s("CMD_existingplayers+2+Bob"),
                          s("CMD_existingplayers+3+Cy+Ro")}));
    QCOMPARE(silent->slot, 4);
    h.takeAll();
    // A name that would look like an empty seat is refused, and the connection closed.
    QSignalSpy noted(&h.server, &TServer::noted);
    for (const QString &name : {s("<Waiting>"), s(" <waiting> "), s("  "), QString(), s("\r\n")}) {
        RawClient *x = h.connect();
        x->send(cmd::buildLogininfo(x->slot, cmd::versionText, name));
        QVERIFY(h.pump());
        QVERIFY(x->waitClosed());
        QVERIFY(!h.server.inuse(x->slot));
        QVERIFY(only(x->take(), s("CMD_newplayerinfo")).isEmpty());
    }
    QCOMPARE(noted.count(), 5);
    QCOMPARE(noted[0][0].toString(),
             s("Slot 6 refused: the name \"<Waiting>\" would look like an empty seat"));
    QVERIFY(h.sync());
    QVERIFY(only(a->take(), s("CMD_newplayerinfo")).isEmpty());
}

void TestHostAdmission::wrongVersion()
{
    Host h;
    RawClient *a = h.join(s("Ann"));
    RawClient *b = h.join(s("Bob"));
    RawClient *c = h.connect();
    c->send(cmd::buildLogininfo(3, s("2.2.7"), s("Old")));
    QVERIFY(h.pump());
    QVERIFY(h.sync());
    QCOMPARE(a->take(), (QStringList{s("CMD_newplayerinfo+3+Old"), s("CMD_havewrongversion+Old")}));
    QCOMPARE(b->take(), QStringList{s("CMD_newplayerinfo+3+Old")});
    QCOMPARE(c->take(), (QStringList{s("CMD_sendlogininfo+3"), s("CMD_newplayerinfo+3+Old"),
                                     s("CMD_existingplayers+1+Ann"), s("CMD_existingplayers+2+Bob"),
                                     s("CMD_wrongversion+")}));
    QVERIFY(h.server.inuse(3));
}

void TestHostAdmission::fullTable()
{
    Host h;
    for (int i = 1; i <= 15; ++i)
        QCOMPARE(h.connect()->slot, i);
    h.takeAll();
    RawClient *extra = h.connect();
    QCOMPARE(extra->slot, 0);
    QVERIFY(extra->waitClosed());
    QCOMPARE(extra->take(), QStringList{s("CMD_full+")});
    QCOMPARE(h.server.highslot, 15);
    QVERIFY(h.sync());
    for (int i = 0; i < 15; ++i)
        QVERIFY(h.clients[i]->take().isEmpty());
    // A seat that frees up is given out again.
    h.clients[6]->disconnectFromHost();
    QVERIFY(waitUntil([&] { return !h.server.playertable[7].inuse; }, 5000));
    QCOMPARE(h.connect()->slot, 7);
}

void TestHostAdmission::departureReportedTwice()
{
    Host h;
    RawClient *a = h.join(s("Ann"));
    RawClient *b = h.join(s("Bob"));
    h.join(s("Cy"));
    h.server.playertable[3].score = 5;
    QPointer<TSock> sock = h.server.playertable[3].sock;
    sock->Close();
    sock->Close(); // the second report finds the slot free
    QVERIFY(h.sync());
    QCOMPARE(a->take(), QStringList{s("CMD_playerdisconnected+3+Cy")});
    QCOMPARE(b->take(), QStringList{s("CMD_playerdisconnected+3+Cy")});
    QVERIFY(!h.server.playertable[3].inuse);
    QCOMPARE(h.server.playertable[3].name, QString());
    // The score stays until the next game, and the socket object goes once it is free.
    QCOMPARE(h.server.playertable[3].score, 5);
    QVERIFY(waitUntil([&] { return sock.isNull(); }, 5000));
}

void TestHostAdmission::removal()
{
    Host h;
    RawClient *a = h.join(s("Ann"));
    RawClient *b = h.join(s("Bob"));
    RawClient *c = h.join(s("Cy"));
    // Only the host's player removes players.
    QVERIFY(h.request(b, cmd::buildKickhim(2, 3)));
    QVERIFY(h.server.inuse(3));
    QVERIFY(h.request(a, cmd::buildKickhim(1, 3)));
    QVERIFY(c->waitClosed());
    QVERIFY(!h.server.inuse(3));
    QCOMPARE(a->take(), QStringList{s("CMD_playerdisconnected+3+Cy")});
    QCOMPARE(b->take(), QStringList{s("CMD_playerdisconnected+3+Cy")});
    // Removing a free slot does nothing.
    QVERIFY(h.request(a, cmd::buildKickhim(1, 9)));
    QVERIFY(a->take().isEmpty());
}

void TestHostAdmission::watching()
{
    Host h;
    RawClient *a = h.join(s("Ann"));
    RawClient *b = h.join(s("Bob"));
    QVERIFY(h.request(b, cmd::buildJustwatch(2, 1)));
    QVERIFY(h.server.playertable[2].watching);
    QCOMPARE(a->take(), QStringList{s("CMD_justwatching+2+1")});
    QCOMPARE(b->take(), QStringList{s("CMD_justwatching+2+1")});
    // The other one must keep playing.
    QVERIFY(h.request(a, cmd::buildJustwatch(1, 1)));
    QVERIFY(!h.server.playertable[1].watching);
    QVERIFY(a->take().isEmpty());
    // "2" for somebody who is not watching is announced all the same.
    QVERIFY(h.request(a, cmd::buildJustwatch(1, 2)));
    QCOMPARE(b->take(), QStringList{s("CMD_justwatching+1+2")});
    // Any other value changes nothing.
    QVERIFY(h.request(b, s("CMD_justwatch+2+3")));
    QVERIFY(h.server.playertable[2].watching);
    QVERIFY(b->take().isEmpty());
    // The host's player sets it for another seat; nobody else may.
    QVERIFY(h.request(a, cmd::buildJustwatch(2, 2)));
    QVERIFY(!h.server.playertable[2].watching);
    QVERIFY(h.request(b, cmd::buildJustwatch(1, 1)));
    QVERIFY(!h.server.playertable[1].watching);
    QCOMPARE(b->take(), QStringList{s("CMD_justwatching+2+2")});
    // Leaving clears the flag.
    QVERIFY(h.request(b, cmd::buildJustwatch(2, 1)));
    b->disconnectFromHost();
    QVERIFY(waitUntil([&] { return !h.server.inuse(2); }, 5000));
    QVERIFY(!h.server.playertable[2].watching);
}

void TestHostAdmission::relays()
{
    Host h;
    RawClient *a = h.join(s("Ann"));
    RawClient *b = h.join(s("Bob"));
    RawClient *c = h.join(s("Cy"));
    QVERIFY(h.request(c, cmd::buildChat(3, s("1+1=2 | ok"), s("$00FF0000"))));
    QVERIFY(h.request(c, cmd::buildAction(3, s("says: good game"), s("clRed"))));
    QVERIFY(h.request(c, cmd::buildPlayasound(3, 12)));
    const QStringList expected{s("CMD_chat+3+Cy chats: 1+1=2 | ok|$00FF0000"),
                               s("CMD_action+3+Cy says: good game|clRed"), s("CMD_playasound+3+wave12+")};
    QCOMPARE(a->take(), expected);
    QCOMPARE(b->take(), expected);
    QCOMPARE(c->take(), expected);
    // Messages that arrive in one read are handled one per tick, in order; an empty one and a
    // text without "+" are dropped without taking a tick.
    a->sendRaw(framing::frame(cp1252::encode(cmd::buildChat(1, s("one"), s("clBlack")))) +
               framing::endMarker + framing::frame("nothing") +
               framing::frame(cp1252::encode(cmd::buildChat(1, s("two"), s("clBlack")))));
    QVERIFY(waitUntil([&] { return h.server.receivedlist.size() == 2; }, 5000));
    h.server.socktimerTimer();
    QVERIFY(b->waitFor(1));
    QCOMPARE(b->take(), QStringList{s("CMD_chat+1+Ann chats: one|clBlack")});
    h.server.socktimerTimer();
    QVERIFY(b->waitFor(1));
    QVERIFY(h.sync());
    QCOMPARE(b->take(), QStringList{s("CMD_chat+1+Ann chats: two|clBlack")});
}

void TestHostAdmission::strokesAndHistory()
{
    Host h;
    h.server.setPhraseList(0, {s("hot dog")});
    RawClient *a = h.join(s("Ann"));
    RawClient *b = h.join(s("Bob"));
    RawClient *c = h.join(s("Cy"));
    const QString early = cmd::buildMoveit(2, s("clBlack"), s("3"), 1, 1);
    QVERIFY(h.request(b, early)); // no game: neither kept nor passed on
    QVERIFY(b->take().isEmpty() && c->take().isEmpty());
    QVERIFY(h.server.memo_drawing.isEmpty());

    QVERIFY(h.request(a, cmd::buildStartgame(1, false, 20, 60)));
    QVERIFY(h.server.memo_drawing.isEmpty()); // a turn begins with an empty history
    QVERIFY(h.request(a, cmd::buildPickcatagory(1, 0)));
    h.takeAll();

    const QString move = cmd::buildMoveit(1, s("clRed"), s("5"), 10, 20);
    const QString empty = cmd::buildDraw(1, s("clRed"), s("5"), {});
    const QString draw = cmd::buildDraw(1, s("clRed"), s("5"), {{11, 21}, {12, 22}});
    QCOMPARE(empty, s("CMD_draw+1+clRed+5++"));
    QVERIFY(h.request(a, move));
    QVERIFY(h.request(a, empty));
    QVERIFY(h.request(a, draw));
    const QString other = cmd::buildDraw(3, s("clBlue"), s("1"), {{1, 1}});
    QVERIFY(h.request(c, other)); // not the drawer: dropped
    QVERIFY(h.request(c, cmd::buildClearmain(3)));
    // The drawer's strokes that a player could not read: dropped.
    for (const char *bad :
         {"CMD_moveit+1+clBlack+3+x+y", "CMD_moveit+1+clBlurple+3+1+1", "CMD_moveit+1+clBlack+-$80000000+1+1",
          "CMD_draw+1+clBlack+3++1,1+2;2+", "CMD_draw+1+clBlack+++1,1+"})
        QVERIFY(h.request(a, QString::fromLatin1(bad)));
    QVERIFY(a->take().isEmpty()); // never echoed to the drawer
    QCOMPARE(b->take(), (QStringList{move, empty, draw}));
    QCOMPARE(c->take(), (QStringList{move, empty, draw}));
    QCOMPARE(h.server.memo_drawing, (QStringList{move, empty, draw}));

    QVERIFY(h.request(a, cmd::buildClearmain(1)));
    QCOMPARE(h.server.memo_drawing, QStringList());
    QVERIFY(a->take().isEmpty());
    QCOMPARE(b->take(), QStringList{s("CMD_clearmain+1")});
    QVERIFY(h.request(a, draw));
    RawClient *d = h.join(s("Di"));
    Q_UNUSED(d);
    QVERIFY(h.boxes.isEmpty());
}

void TestHostAdmission::newcomerDuringTurn()
{
    Host h;
    h.server.setPhraseList(6, {s("angel food cake")});
    RawClient *a = h.join(s("Ann"));
    RawClient *b = h.join(s("Bob"));
    h.join(s("Cy"));
    QVERIFY(h.request(a, cmd::buildStartgame(1, false, 30, 90)));
    QVERIFY(h.request(a, cmd::buildPickcatagory(1, 6)));
    QVERIFY(h.request(b, cmd::buildAnswer(2, s("food"))));
    const QString move = cmd::buildMoveit(1, s("clBlack"), s("3"), 5, 6);
    const QString draw = cmd::buildDraw(1, s("clBlack"), s("3"), {{7, 8}});
    QVERIFY(h.request(a, move));
    QVERIFY(h.request(a, draw));
    h.server.playertable[2].score = 4;
    // Slot 3 leaves; its score stays with the slot until somebody else takes the seat.
    h.server.playertable[3].score = 7;
    h.server.disconnectsock(3);
    QVERIFY(h.sync());
    h.takeAll();

    // The state of the game comes ahead of the strokes, whose wipe would erase them.
    auto arrive = [&](const QString &name) {
        RawClient *d = h.connect();
        d->send(cmd::buildLogininfo(d->slot, cmd::versionText, name));
        h.pump();
        h.sync();
        QStringList got = d->take();
        got.removeIf([](const QString &m) {
            return m.startsWith(s("CMD_sendlogininfo")) || m.startsWith(s("CMD_newplayerinfo")) ||
                   m.startsWith(s("CMD_existingplayers"));
        });
        return got;
    };
    // A newcomer starts at 0, and every panel is told; his clock shows what everybody's shows.
    h.tick(3);
    QCOMPARE(arrive(s("Di")),
             (QStringList{s("CMD_nextplayer+1+6+_____ FOOD ____ "),
                          s("CMD_gamestats+30+90+0+4+0+0+0+0+0+0+0+0"), s("CMD_updatetime+87"), move, draw}));
    QCOMPARE(h.server.playertable[3].name, s("Di"));
    QCOMPARE(b->take(), (QStringList{s("CMD_newplayerinfo+3+Di"),
                                     s("CMD_gamestats+30+90+0+4+0+0+0+0+0+0+0+0"), s("CMD_updatetime+87")}));
    // Every clock shows the seconds per turn less the seconds gone, the host's reports too.
    h.tick(7);
    QVERIFY(h.sync());
    QCOMPARE(b->take(), QStringList{s("CMD_updatetime+86")});

    // In the break after a time-out the newcomer also sees the phrase and the scores.
    for (int i = 0; i < 86; ++i)
        h.server.roundtimeTimer();
    QCOMPARE(h.server.gamestate, s("break"));
    // The scores first: the phrase then sets the break's clock.
    QCOMPARE(arrive(s("Ed")), (QStringList{s("CMD_nextplayer+1+6+_____ FOOD ____ "),
                                           s("CMD_gamestats+30+90+0+4+0+0+0+0+0+0+0+0"),
                                           s("CMD_updateanswer+true+ANGEL FOOD CAKE"), move, draw}));
    // While the next drawer picks, the newcomer is told who picks, never a stale mask.
    for (int i = 0; i < 11; ++i)
        h.server.roundtimeTimer();
    QCOMPARE(h.server.gamestate, s("picking"));
    QCOMPARE(arrive(s("Flo")),
             (QStringList{s("CMD_pickcatagory+2"), s("CMD_gamestats+30+90+0+4+0+0+0+0+0+0+0+0")}));

    // Back in the seat he left during this game, a player has its score again. A seat somebody
    // else took meanwhile is lost to him: he starts at 0 in a free one.
    h.server.playertable[3].score = 5;
    h.server.disconnectsock(3);
    QVERIFY(h.sync());
    arrive(s("Di"));
    QCOMPARE(h.server.playertable[3].name, s("Di"));
    QCOMPARE(h.server.playertable[3].score, 5);
    h.server.disconnectsock(2);
    QVERIFY(h.sync());
    arrive(s("Gus"));
    arrive(s("Bob"));
    QCOMPARE(h.server.playertable[2].name, s("Gus"));
    QCOMPARE(h.server.playertable[6].name, s("Bob"));
    QCOMPARE(h.server.playertable[2].score, 0);
    QCOMPARE(h.server.playertable[6].score, 0);
}

void TestHostAdmission::forgedRequests_data()
{
    QTest::addColumn<QString>("request");
    QTest::addColumn<int>("from");
    // Slot 3 writes another player's slot; slot 2 asks for what only slot 1 may do.
    QTest::newRow("login") << s("CMD_logininfo+2+2.2.8+Mallory") << 3;
    QTest::newRow("chat") << s("CMD_chat+2+hello|clBlack") << 3;
    QTest::newRow("action") << s("CMD_action+2+waves|clBlack") << 3;
    QTest::newRow("sound") << s("CMD_playasound+2+wave3+") << 3;
    QTest::newRow("start as 1") << s("CMD_startgame+1+false+20+60") << 2;
    QTest::newRow("start as self") << s("CMD_startgame+2+false+20+60") << 2;
    QTest::newRow("kick as 1") << s("CMD_kickhim+1+3+") << 2;
    QTest::newRow("kick as self") << s("CMD_kickhim+2+3+") << 2;
    QTest::newRow("watch for another") << s("CMD_justwatch+3+1") << 2;
    QTest::newRow("answer as another") << s("CMD_answer+2+HOT DOG") << 3;
    QTest::newRow("pass as drawer") << s("CMD_pass+1") << 3;
    QTest::newRow("pick as drawer") << s("CMD_pickcatagory+1+0") << 3;
    QTest::newRow("stroke as drawer") << s("CMD_draw+1+clBlack+3++1,1+") << 3;
    QTest::newRow("move as drawer") << s("CMD_moveit+1+clBlack+3+1+1") << 3;
    QTest::newRow("wipe as drawer") << s("CMD_clearmain+1") << 3;
}

void TestHostAdmission::forgedRequests()
{
    QFETCH(QString, request);
    QFETCH(int, from);
    Host h;
    h.server.setPhraseList(0, {s("hot dog")});
    RawClient *a = h.join(s("Ann"));
    h.join(s("Bob"));
    h.join(s("Cy"));
    QVERIFY(h.request(a, cmd::buildStartgame(1, false, 20, 60)));
    h.takeAll();
    const int scores[] = {3, 2, 1};
    for (int i = 1; i <= 3; ++i)
        h.server.playertable[i].score = scores[i - 1];
    const QString mask = h.server.themask;
    const int countdown = h.server.countdown;
    const QString state = h.server.gamestate;
    h.server.memo_drawing = QStringList{s("CMD_moveit+1+clBlack+3+0+0")};

    QVERIFY(h.request(h.clients[from - 1].get(), request));
    for (auto &c : h.clients)
        QCOMPARE(c->take(), QStringList());
    for (int i = 1; i <= 3; ++i) {
        QVERIFY(h.server.inuse(i));
        QCOMPARE(h.server.playertable[i].score, scores[i - 1]);
        QVERIFY(!h.server.playertable[i].watching);
    }
    QCOMPARE(h.server.playertable[2].name, s("Bob"));
    QCOMPARE(h.server.themask, mask);
    QCOMPARE(h.server.countdown, countdown);
    QCOMPARE(h.server.gamestate, state);
    QCOMPARE(h.server.memo_drawing.size(), 1);
    QVERIFY(h.boxes.isEmpty());
}

void TestHostAdmission::staleConnection()
{
    Host h;
    RawClient *a = h.join(s("Ann"));
    RawClient *b = h.join(s("Bob"));
    // Bob's chat is still queued when his connection ends and a newcomer takes slot 2.
    b->send(cmd::buildChat(2, s("late"), s("clBlack")));
    QVERIFY(waitUntil([&] { return h.server.receivedlist.size() == 1; }, 5000));
    b->disconnectFromHost();
    QVERIFY(waitUntil([&] { return !h.server.inuse(2); }, 5000));
    RawClient *c = h.connect();
    QCOMPARE(c->slot, 2);
    h.server.socktimerTimer();
    QVERIFY(h.sync());
    QCOMPARE(a->take(), QStringList{s("CMD_playerdisconnected+2+Bob")});
    QCOMPARE(c->take(), QStringList{s("CMD_sendlogininfo+2")});
}

void TestHostAdmission::flood()
{
    Host h;
    h.server.setPhraseList(0, {s("hot dog")});
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
    QVERIFY(waitUntil([&] { return h.server.receivedlist.size() == 25; }));
    h.drain();
    QCOMPARE(h.server.receivedlist.size(), 15);
    QVERIFY(c->waitFor(10));
    QCOMPARE(c->take(), strokes(0, 10));
    QCOMPARE(noted.count(), 1);
    QCOMPARE(noted[0][0].toString(),
             s("Slot 1 (Ann) sends faster than the host passes on: its messages wait their turn"));
    // Nobody else waits behind him.
    QVERIFY(h.request(b, cmd::buildChat(2, s("served"), s("clBlack"))));
    QCOMPARE(c->take(), QStringList{s("CMD_chat+2+Bob chats: served|clBlack")});
    // A second later five more go on, in order.
    now += 1000;
    h.drain();
    QVERIFY(c->waitFor(5));
    QCOMPARE(c->take(), strokes(10, 5));
    QCOMPARE(h.server.receivedlist.size(), 10);

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
    QCOMPARE(h.server.receivedlist.size(), 0);
    // Coming back into the slot brings no fresh budget: the login waits for the time that refills it.
    RawClient *back = h.connect();
    QCOMPARE(back->slot, 1);
    back->send(cmd::buildLogininfo(1, cmd::versionText, s("Ann")));
    QVERIFY(waitUntil([&] { return h.server.receivedlist.size() == 1; }));
    h.drain();
    QVERIFY(!h.server.playertable[1].loggedin);
    now += 200;
    h.drain();
    QVERIFY(h.server.playertable[1].loggedin);
}

void TestHostAdmission::badInput_data()
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

void TestHostAdmission::badInput()
{
    QFETCH(QByteArray, bytes);
    Host h;
    h.server.setPhraseList(0, {s("hot dog")});
    RawClient *a = h.join(s("Ann"));
    RawClient *b = h.join(s("Bob"));
    QVERIFY(h.request(a, cmd::buildStartgame(1, false, 20, 60)));
    QVERIFY(h.request(a, cmd::buildPickcatagory(1, 0)));
    h.server.playertable[2].score = 6;
    h.takeAll();

    // From the host's own player and from a guest, the strongest and an ordinary connection.
    for (RawClient *c : {a, b}) {
        c->sendRaw(bytes);
        QVERIFY(h.sync(c));
    }
    QVERIFY(h.boxes.isEmpty());
    QVERIFY(h.server.inuse(1) && h.server.inuse(2));
    QCOMPARE(h.server.playertable[2].score, 6);
    QCOMPARE(h.server.playertable[1].name, s("Ann"));
    QCOMPARE(h.server.curdrawer, 1);
    QCOMPARE(h.server.thephrase, s("HOT DOG"));
    QCOMPARE(h.server.gamestate, s("drawing"));
    // The host goes on serving.
    QVERIFY(h.request(b, cmd::buildAnswer(2, s("hot dog"))));
    QCOMPARE(h.server.playertable[2].score, 8);
}

QTEST_MAIN(TestHostAdmission)
#include "tst_hostadmission.moc"
