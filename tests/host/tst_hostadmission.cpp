// The host's player table, login exchange, departures, removal, watching, relays and the
// requests it must refuse.
#include "gametable.h"
#include "tests/support/textsupport.h"

class TestHostAdmission : public QObject
{
    Q_OBJECT
private slots:
    void slotsAndReuse();
    void loginExchange();
    void loginNames_data();
    void loginNames();
    void wrongVersion();
    void removal();
    void watching();
    void relays();
    void strokesAndHistory();
    void newcomerDuringTurn();
    void forgedRequests_data();
    void forgedRequests();
};

void TestHostAdmission::slotsAndReuse()
{
    GameHost h;
    Client *a = h.connect();
    Client *b = h.connect();
    Client *c = h.connect();
    QCOMPARE(a->slot, 1);
    QCOMPARE(b->slot, 2);
    QCOMPARE(c->slot, 3);
    QCOMPARE(a->take(), QStringList{s("CMD_sendlogininfo+1")});
    QCOMPARE(c->take(), QStringList{s("CMD_sendlogininfo+3")});
    QCOMPARE(h.game.lastslot(), 3);

    h.disconnect(b);
    QVERIFY(!h.game.player(2).inuse);
    // Not logged in yet: the name is empty.
    QCOMPARE(a->take(), QStringList{s("CMD_playerdisconnected+2+")});
    QCOMPARE(c->take(), QStringList{s("CMD_playerdisconnected+2+")});

    Client *d = h.connect();
    QCOMPARE(d->slot, 2);
    QCOMPARE(h.game.lastslot(), 3);
    Client *e = h.connect();
    QCOMPARE(e->slot, 4);
    QCOMPARE(h.game.lastslot(), 4);
    QVERIFY(h.boxes.isEmpty());
}

void TestHostAdmission::loginExchange()
{
    GameHost h;
    Client *a = h.join(s("Ann"));
    Client *b = h.join(s("Bob"));
    Client *c = h.connect();
    h.request(c, cmd::buildLogininfo(3, cmd::versionText, s("Cy+Ro")));
    QCOMPARE(a->take(), QStringList{s("CMD_newplayerinfo+3+Cy+Ro")});
    QCOMPARE(b->take(), QStringList{s("CMD_newplayerinfo+3+Cy+Ro")});
    QCOMPARE(c->take(), (QStringList{s("CMD_sendlogininfo+3"), s("CMD_newplayerinfo+3+Cy+Ro"),
                                     s("CMD_existingplayers+1+Ann"), s("CMD_existingplayers+2+Bob")}));
    QCOMPARE(h.game.player(3).name, s("Cy+Ro"));

    // A connection logs in once: a later login renames nobody and is neither announced nor
    // answered with the game again.
    h.request(c, cmd::buildLogininfo(3, cmd::versionText, s("Mallory")));
    QCOMPARE(h.game.player(3).name, s("Cy+Ro"));
    for (auto &client : h.clients)
        QVERIFY(client->take().isEmpty());
    // A connection that has not logged in is no seat to describe to a newcomer.
    Client *silent = h.connect();
    Client *e = h.connect();
    h.request(e, cmd::buildLogininfo(e->slot, cmd::versionText, s("Eve")));
    QCOMPARE(only(e->take(), s("CMD_existingplayers")),
             (QStringList{s("CMD_existingplayers+1+Ann"), s("CMD_existingplayers+2+Bob"),
                          s("CMD_existingplayers+3+Cy+Ro")}));
    QCOMPARE(silent->slot, 4);
    h.takeAll();
    // A name refused (see loginNames) is announced to nobody.
    Client *x = h.connect();
    h.request(x, cmd::buildLogininfo(x->slot, cmd::versionText, s("<Waiting>")));
    QVERIFY(x->closed);
    QCOMPARE(h.notes, QStringList{s("Slot 6 refused: the name \"<Waiting>\" would look like an empty seat")});
    QVERIFY(only(a->take(), s("CMD_newplayerinfo")).isEmpty());
}

void TestHostAdmission::loginNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("refusal"); // the end of the host's note; empty when seated
    const QString waiting = s("<Waiting>");
    const QString empty = s(" would look like an empty seat");
    const QString hidden = s(": A name can't hold control characters or characters that show nothing.");
    QTest::newRow("plain") << s("Ann") << QString();
    QTest::newRow("blanks around") << s("  Ann ") << QString();
    QTest::newRow("accented") << QString::fromUtf8("Zo\u00eb") << QString();
    QTest::newRow("plus, as older copies send") << s("Cy+Ro") << QString();
    QTest::newRow("dialog's length") << QString(20, u'a') << QString();
    QTest::newRow("one more") << QString(21, u'a') << s(": A name has 20 characters at most.");
    QTest::newRow("3000 characters") << QString(3000, u'a') << s(": A name has 20 characters at most.");
    QTest::newRow("empty seat") << waiting << empty;
    QTest::newRow("empty seat, small, in blanks") << s(" <waiting> ") << empty;
    QTest::newRow("no-break spaces around") << QChar(0xA0) + waiting + QChar(0xA0) << empty;
    QTest::newRow("soft hyphen inside") << QString::fromUtf8("<Wait\u00ading>") << empty;
    QTest::newRow("soft hyphen after") << waiting + QChar(0xAD) << empty;
    QTest::newRow("DEL after") << waiting + QChar(0x7F) << empty;
    QTest::newRow("C1 control after") << waiting + QChar(0x81) << empty;
    QTest::newRow("only DEL") << QString(QChar(0x7F)) << empty;
    QTest::newRow("only a soft hyphen") << QString(QChar(0xAD)) << empty;
    QTest::newRow("blank") << s("  ") << empty;
    QTest::newRow("nothing") << QString() << empty;
    QTest::newRow("line break") << s("\r\n") << empty;
    QTest::newRow("soft hyphen in a name") << QString::fromUtf8("An\u00adn") << hidden;
    QTest::newRow("DEL in a name") << s("An\u007fn") << hidden;
}

void TestHostAdmission::loginNames()
{
    QFETCH(QString, name);
    QFETCH(QString, refusal);
    GameHost h;
    Client *a = h.join(s("Ann"));
    Client *x = h.connect();
    a->take();
    h.request(x, cmd::buildLogininfo(x->slot, cmd::versionText, name));
    QCOMPARE(x->closed, !refusal.isEmpty());
    QCOMPARE(h.game.inuse(x->slot), refusal.isEmpty());
    QCOMPARE(only(a->take(), s("CMD_newplayerinfo")).isEmpty(), !refusal.isEmpty());
    if (!refusal.isEmpty()) {
        QCOMPARE(h.notes.size(), 1);
        QVERIFY2(h.notes[0].startsWith(s("Slot 2 refused: the name \"")) && h.notes[0].endsWith(refusal),
                 qPrintable(h.notes[0]));
        QVERIFY(h.notes[0].size() < 120);
    }
}

void TestHostAdmission::wrongVersion()
{
    GameHost h;
    Client *a = h.join(s("Ann"));
    Client *b = h.join(s("Bob"));
    Client *c = h.connect();
    h.request(c, cmd::buildLogininfo(3, s("2.2.7"), s("Old")));
    QCOMPARE(a->take(), (QStringList{s("CMD_newplayerinfo+3+Old"), s("CMD_havewrongversion+Old")}));
    QCOMPARE(b->take(), QStringList{s("CMD_newplayerinfo+3+Old")});
    QCOMPARE(c->take(), (QStringList{s("CMD_sendlogininfo+3"), s("CMD_newplayerinfo+3+Old"),
                                     s("CMD_existingplayers+1+Ann"), s("CMD_existingplayers+2+Bob"),
                                     s("CMD_wrongversion+")}));
    QVERIFY(h.game.inuse(3));
}

void TestHostAdmission::removal()
{
    GameHost h;
    Client *a = h.join(s("Ann"));
    Client *b = h.join(s("Bob"));
    Client *c = h.join(s("Cy"));
    // Only the host's player removes players.
    h.request(b, cmd::buildKickhim(2, 3));
    QVERIFY(h.game.inuse(3));
    h.request(a, cmd::buildKickhim(1, 3));
    QVERIFY(c->closed);
    QVERIFY(!h.game.inuse(3));
    QCOMPARE(a->take(), QStringList{s("CMD_playerdisconnected+3+Cy")});
    QCOMPARE(b->take(), QStringList{s("CMD_playerdisconnected+3+Cy")});
    // Removing a free slot does nothing.
    h.request(a, cmd::buildKickhim(1, 9));
    QVERIFY(a->take().isEmpty());
}

void TestHostAdmission::watching()
{
    GameHost h;
    Client *a = h.join(s("Ann"));
    Client *b = h.join(s("Bob"));
    h.request(b, cmd::buildJustwatch(2, 1));
    QVERIFY(h.game.player(2).watching);
    QCOMPARE(a->take(), QStringList{s("CMD_justwatching+2+1")});
    QCOMPARE(b->take(), QStringList{s("CMD_justwatching+2+1")});
    // The other one must keep playing.
    h.request(a, cmd::buildJustwatch(1, 1));
    QVERIFY(!h.game.player(1).watching);
    QVERIFY(a->take().isEmpty());
    // "2" for somebody who is not watching is announced all the same.
    h.request(a, cmd::buildJustwatch(1, 2));
    QCOMPARE(b->take(), QStringList{s("CMD_justwatching+1+2")});
    // Any other value changes nothing.
    h.request(b, s("CMD_justwatch+2+3"));
    QVERIFY(h.game.player(2).watching);
    QVERIFY(b->take().isEmpty());
    // The host's player sets it for another seat; nobody else may.
    h.request(a, cmd::buildJustwatch(2, 2));
    QVERIFY(!h.game.player(2).watching);
    h.request(b, cmd::buildJustwatch(1, 1));
    QVERIFY(!h.game.player(1).watching);
    QCOMPARE(b->take(), QStringList{s("CMD_justwatching+2+2")});
    // Leaving clears the flag.
    h.request(b, cmd::buildJustwatch(2, 1));
    h.disconnect(b);
    QVERIFY(!h.game.inuse(2));
    QVERIFY(!h.game.player(2).watching);
}

void TestHostAdmission::relays()
{
    GameHost h;
    Client *a = h.join(s("Ann"));
    Client *b = h.join(s("Bob"));
    Client *c = h.join(s("Cy"));
    h.request(c, cmd::buildChat(3, s("1+1=2 | ok"), s("$00FF0000")));
    h.request(c, cmd::buildAction(3, s("says: good game"), s("clRed")));
    h.request(c, cmd::buildPlayasound(3, 12));
    const QStringList expected{s("CMD_chat+3+Cy chats: 1+1=2 | ok|$00FF0000"),
                               s("CMD_action+3+Cy says: good game|clRed"), s("CMD_playasound+3+wave12+")};
    QCOMPARE(a->take(), expected);
    QCOMPARE(b->take(), expected);
    QCOMPARE(c->take(), expected);
    // A request from a connection that has gone, arriving after a newcomer took its slot: the
    // slot field is right, the connection is not.
    const quint64 gone = b->connection;
    h.disconnect(b);
    Client *d = h.connect();
    QCOMPARE(d->slot, 2);
    h.takeAll();
    h.game.receive({cmd::buildChat(2, s("late"), s("clBlack")), 2, gone});
    QVERIFY(a->take().isEmpty());
    QVERIFY(d->take().isEmpty());
}

void TestHostAdmission::strokesAndHistory()
{
    GameHost h;
    h.game.setPhraseList(0, {s("hot dog")});
    Client *a = h.join(s("Ann"));
    Client *b = h.join(s("Bob"));
    Client *c = h.join(s("Cy"));
    const QString early = cmd::buildMoveit(2, s("clBlack"), s("3"), 1, 1);
    h.request(b, early); // no game: neither kept nor passed on
    QVERIFY(b->take().isEmpty() && c->take().isEmpty());
    QVERIFY(h.game.history().isEmpty());

    h.request(a, cmd::buildStartgame(1, false, 20, 60));
    QVERIFY(h.game.history().isEmpty()); // a turn begins with an empty history
    h.request(a, cmd::buildPickcatagory(1, 0));
    h.takeAll();

    const QString move = cmd::buildMoveit(1, s("clRed"), s("5"), 10, 20);
    const QString empty = cmd::buildDraw(1, s("clRed"), s("5"), {});
    const QString draw = cmd::buildDraw(1, s("clRed"), s("5"), {{11, 21}, {12, 22}});
    QCOMPARE(empty, s("CMD_draw+1+clRed+5++"));
    h.request(a, move);
    h.request(a, empty);
    h.request(a, draw);
    const QString other = cmd::buildDraw(3, s("clBlue"), s("1"), {{1, 1}});
    h.request(c, other); // not the drawer: dropped
    h.request(c, cmd::buildClearmain(3));
    // The drawer's strokes that a player could not read: dropped.
    for (const char *bad :
         {"CMD_moveit+1+clBlack+3+x+y", "CMD_moveit+1+clBlurple+3+1+1", "CMD_moveit+1+clBlack+-$80000000+1+1",
          "CMD_draw+1+clBlack+3++1,1+2;2+", "CMD_draw+1+clBlack+++1,1+"})
        h.request(a, QString::fromLatin1(bad));
    QVERIFY(a->take().isEmpty()); // never echoed to the drawer
    QCOMPARE(b->take(), (QStringList{move, empty, draw}));
    QCOMPARE(c->take(), (QStringList{move, empty, draw}));
    QCOMPARE(h.game.history(), (QStringList{move, empty, draw}));

    h.request(a, cmd::buildClearmain(1));
    QCOMPARE(h.game.history(), QStringList());
    QVERIFY(a->take().isEmpty());
    QCOMPARE(b->take(), QStringList{s("CMD_clearmain+1")});
    h.request(a, draw);
    Client *d = h.join(s("Di"));
    Q_UNUSED(d);
    QVERIFY(h.boxes.isEmpty());
}

void TestHostAdmission::newcomerDuringTurn()
{
    GameHost h;
    h.game.setPhraseList(6, {s("angel food cake")});
    Client *a = h.join(s("Ann"));
    Client *b = h.join(s("Bob"));
    h.join(s("Cy"));
    h.request(a, cmd::buildStartgame(1, false, 30, 90));
    h.request(a, cmd::buildPickcatagory(1, 6));
    h.request(b, cmd::buildAnswer(2, s("food")));
    const QString move = cmd::buildMoveit(1, s("clBlack"), s("3"), 5, 6);
    const QString draw = cmd::buildDraw(1, s("clBlack"), s("3"), {{7, 8}});
    h.request(a, move);
    h.request(a, draw);
    h.seat(2).score = 4;
    // Slot 3 leaves; its score stays with the slot until somebody else takes the seat.
    h.seat(3).score = 7;
    h.close(3);
    h.takeAll();

    // The state of the game comes ahead of the strokes, whose wipe would erase them.
    auto arrive = [&](const QString &name) {
        Client *d = h.connect();
        h.request(d, cmd::buildLogininfo(d->slot, cmd::versionText, name));
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
    QCOMPARE(h.game.player(3).name, s("Di"));
    QCOMPARE(b->take(), (QStringList{s("CMD_newplayerinfo+3+Di"),
                                     s("CMD_gamestats+30+90+0+4+0+0+0+0+0+0+0+0"), s("CMD_updatetime+87")}));
    // Every clock shows the seconds per turn less the seconds gone, the host's reports too.
    h.tick(7);
    QCOMPARE(b->take(), QStringList{s("CMD_updatetime+86")});

    // In the break after a time-out the newcomer also sees the phrase and the scores.
    h.tick(86);
    QCOMPARE(h.game.phase(), HostGame::Phase::shown);
    // The scores first: the phrase then sets the break's clock.
    QCOMPARE(arrive(s("Ed")), (QStringList{s("CMD_nextplayer+1+6+_____ FOOD ____ "),
                                           s("CMD_gamestats+30+90+0+4+0+0+0+0+0+0+0+0"),
                                           s("CMD_updateanswer+true+ANGEL FOOD CAKE"), move, draw}));
    // While the next drawer picks, the newcomer is told who picks, never a stale mask.
    h.tick(11);
    QCOMPARE(h.game.phase(), HostGame::Phase::picking);
    QCOMPARE(arrive(s("Flo")),
             (QStringList{s("CMD_pickcatagory+2"), s("CMD_gamestats+30+90+0+4+0+0+0+0+0+0+0+0")}));

    // Back in the seat he left during this game, a player has its score again. A seat somebody
    // else took meanwhile is lost to him: he starts at 0 in a free one.
    h.seat(3).score = 5;
    h.close(3);
    arrive(s("Di"));
    QCOMPARE(h.game.player(3).name, s("Di"));
    QCOMPARE(h.game.player(3).score, 5);
    h.close(2);
    arrive(s("Gus"));
    arrive(s("Bob"));
    QCOMPARE(h.game.player(2).name, s("Gus"));
    QCOMPARE(h.game.player(6).name, s("Bob"));
    QCOMPARE(h.game.player(2).score, 0);
    QCOMPARE(h.game.player(6).score, 0);
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
    GameHost h;
    h.game.setPhraseList(0, {s("hot dog")});
    Client *a = h.join(s("Ann"));
    h.join(s("Bob"));
    h.join(s("Cy"));
    h.request(a, cmd::buildStartgame(1, false, 20, 60));
    h.takeAll();
    const int scores[] = {3, 2, 1};
    for (int i = 1; i <= 3; ++i)
        h.seat(i).score = scores[i - 1];
    const QString mask = h.game.mask();
    const int countdown = h.game.secondsleft();
    const HostGame::Phase state = h.game.phase();
    HostGameProbe::sethistory(h.game, QStringList{s("CMD_moveit+1+clBlack+3+0+0")});

    h.request(h.clients[from - 1].get(), request);
    for (auto &c : h.clients)
        QCOMPARE(c->take(), QStringList());
    for (int i = 1; i <= 3; ++i) {
        QVERIFY(h.game.inuse(i));
        QCOMPARE(h.game.player(i).score, scores[i - 1]);
        QVERIFY(!h.game.player(i).watching);
    }
    QCOMPARE(h.game.player(2).name, s("Bob"));
    QCOMPARE(h.game.mask(), mask);
    QCOMPARE(h.game.secondsleft(), countdown);
    QCOMPARE(h.game.phase(), state);
    QCOMPARE(h.game.history().size(), 1);
    QVERIFY(h.boxes.isEmpty());
}

QTEST_GUILESS_MAIN(TestHostAdmission)
#include "tst_hostadmission.moc"
