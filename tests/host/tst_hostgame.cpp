// Games on the host: start, rotation, judging, points, passes, the clock and the end of a game.
#include "gametable.h"
#include "lan/announce.h"
#include "tests/support/textsupport.h"

class TestHostGame : public QObject
{
    Q_OBJECT
private slots:
    void gameStart();
    void rotation();
    void pauseWhenNobodyCanDraw();
    void drawerLeaves();
    void drawerLeavesOutsideDrawing();
    void drawerWatches();
    void guessedInTwo();
    void guessedInOne();
    void closeWords();
    void longGuessesDoNotFlood();
    void whoMayGuess();
    void emptyGuesses();
    void teamPoints();
    void passes();
    void passOnlyWhileDrawing();
    void soloPass();
    void timeOut();
    void pickingTimeOut();
    void letterHints();
    void categories();
    void listsRefill();
    void individualGame();
    void teamGame();
    void gameOverIsFinal();
};

// Three players; slot 1 starts a game and picks category 0, whose only phrase is given.
struct Table : GameHost
{
    explicit Table(int players = 3, const QString &phrase = s("hot dog"))
    {
        game.setPhraseList(0, {phrase});
        const char *names[] = {"Ann", "Bob", "Cy", "Di", "Ed", "Flo", "Gus", "Hal", "Ida", "Jo", "Kim"};
        for (int i = 0; i < players; ++i)
            join(QString::fromLatin1(names[i]));
    }
    Client *at(int slot) { return clients[slot - 1].get(); }
    void start(bool team = false, int playto = 20, int seconds = 60)
    {
        request(at(1), cmd::buildStartgame(1, team, playto, seconds));
    }
    void pick(int category = 0)
    {
        request(at(game.drawer()), cmd::buildPickcatagory(game.drawer(), category));
    }
    void guess(int slot, const QString &text) { request(at(slot), cmd::buildAnswer(slot, text)); }
    // Runs the break out (11 seconds).
    void breakOver() { tick(11); }
};

void TestHostGame::gameStart()
{
    Table t;
    t.seat(2).score = 9;
    t.seat(3).watching = true;
    t.start(false, 30, 90);
    const QStringList expected{s("CMD_refreshplayerlist+1+Ann"), s("CMD_refreshplayerlist+2+Bob"),
                               s("CMD_refreshplayerlist+3+Cy"), s("CMD_startgame+1+false+30+90"),
                               s("CMD_pickcatagory+1")};
    for (int i = 1; i <= 3; ++i)
        QCOMPARE(t.at(i)->take(), expected);
    QCOMPARE(t.game.player(2).score, 0);
    QVERIFY(!t.game.player(3).watching);
    QVERIFY(t.game.running());
    QCOMPARE(t.game.phase(), HostGame::Phase::picking);
    QCOMPARE(t.game.turnseconds(), 92);
    QCOMPARE(t.game.secondsleft(), 10);
    QVERIFY(t.game.clockrunning());

    t.pick(0);
    QCOMPARE(t.at(1)->take(),
             (QStringList{s("CMD_nextplayer+1+0+___ ___ "), s("CMD_givedraweranswer+HOT DOG")}));
    QCOMPARE(t.at(2)->take(), QStringList{s("CMD_nextplayer+1+0+___ ___ ")});
    QCOMPARE(t.game.phase(), HostGame::Phase::drawing);
    QCOMPARE(t.game.secondsleft(), 94);
    QCOMPARE(t.game.words()[1], s("dog"));

    // A second start replaces the running game: scores back to 0, slot 1 draws first.
    t.seat(1).score = 3;
    HostGameProbe::setdrawer(t.game, 3);
    t.start(true, 40, 60);
    QCOMPARE(t.game.player(1).score, 0);
    QCOMPARE(t.game.drawer(), 1);
    QVERIFY(t.game.teams());
    QCOMPARE(only(t.at(2)->take(), s("CMD_startgame")), QStringList{s("CMD_startgame+1+true+40+60")});

    // The drawer reads the phrase in capitals, accented letters too.
    t.game.setPhraseList(0, {QString::fromUtf8("\u00d1and\u00fa")});
    t.start(false, 30, 90);
    t.pick(0);
    QCOMPARE(only(t.at(1)->take(), s("CMD_givedraweranswer")),
             QStringList{QString::fromUtf8("CMD_givedraweranswer+\u00d1AND\u00da")});
}

void TestHostGame::rotation()
{
    Table t(11);
    for (int slot : {3, 5, 6, 7, 8, 9, 10})
        t.close(slot);
    QCOMPARE(t.game.lastslot(), 11);
    t.start();
    QCOMPARE(t.game.drawer(), 1);
    t.takeAll();
    QList<int> turns;
    for (int i = 0; i < 4; ++i) {
        t.findplayer();
        turns.append(t.game.drawer());
    }
    QCOMPARE(turns, (QList<int>{2, 4, 1, 2}));
    // The spy sees every pick but never draws.
    QCOMPARE(t.at(11)->take(), (QStringList{s("CMD_pickcatagory+2"), s("CMD_pickcatagory+4"),
                                            s("CMD_pickcatagory+1"), s("CMD_pickcatagory+2")}));

    t.request(t.at(4), cmd::buildJustwatch(4, 1));
    turns.clear();
    for (int i = 0; i < 3; ++i) {
        t.findplayer();
        turns.append(t.game.drawer());
    }
    QCOMPARE(turns, (QList<int>{1, 2, 1}));
    t.request(t.at(4), cmd::buildJustwatch(4, 2));
    t.request(t.at(2), cmd::buildJustwatch(2, 1));
    turns.clear();
    for (int i = 0; i < 3; ++i) {
        t.findplayer();
        turns.append(t.game.drawer());
    }
    QCOMPARE(turns, (QList<int>{4, 1, 4}));
}

void TestHostGame::pauseWhenNobodyCanDraw()
{
    Table t(4);
    t.close(3);
    t.start();
    t.request(t.at(2), cmd::buildJustwatch(2, 1));
    // The drawer starts watching: the next seat draws at once.
    t.request(t.at(1), cmd::buildJustwatch(1, 1));
    QCOMPARE(t.game.drawer(), 4);
    t.pick();
    t.takeAll();
    // The only playing seat leaves: nobody can draw, and the game waits for a new start.
    t.close(4);
    // Everybody is told, in a line any player shows as a system line.
    const QString paused = cmd::buildPaused();
    QVERIFY(paused.startsWith(s("CMD_chat+0+")));
    QCOMPARE(t.at(1)->take(), (QStringList{s("CMD_playerdisconnected+4+Di"), paused}));
    QCOMPARE(t.at(2)->take(), (QStringList{s("CMD_playerdisconnected+4+Di"), paused}));
    QCOMPARE(t.game.drawer(), 0);
    QVERIFY(!t.game.running());
    QCOMPARE(t.game.phase(), HostGame::Phase::idle);
    QVERIFY(!t.game.clockrunning());
    t.takeAll();
    t.guess(2, s("hot dog"));
    QCOMPARE(t.game.player(2).score, 0);
    QVERIFY(t.at(2)->take().isEmpty());
    t.start();
    QCOMPARE(t.game.drawer(), 1);
    QCOMPARE(t.game.phase(), HostGame::Phase::picking);
}

void TestHostGame::drawerLeaves()
{
    Table t;
    t.start();
    t.findplayer();
    QCOMPARE(t.game.drawer(), 2);
    t.pick();
    t.takeAll();
    t.disconnect(t.at(2));
    QVERIFY(!t.game.inuse(2));
    const QStringList expected{s("CMD_playerdisconnected+2+Bob"), s("CMD_pickcatagory+3")};
    QCOMPARE(t.at(1)->take(), expected);
    QCOMPARE(t.at(3)->take(), expected);
    QCOMPARE(t.game.phase(), HostGame::Phase::picking);
    QCOMPARE(t.game.secondsleft(), 10);

    // Slot 1 is a seat like any other (a dedicated host has no player of its own): when it
    // draws and leaves, the turn passes on all the same.
    t.findplayer();
    QCOMPARE(t.game.drawer(), 1);
    t.pick();
    t.takeAll();
    t.disconnect(t.at(1));
    QVERIFY(!t.game.inuse(1));
    QCOMPARE(t.at(3)->take(), (QStringList{s("CMD_playerdisconnected+1+Ann"), s("CMD_pickcatagory+3")}));
    QCOMPARE(t.game.drawer(), 3);
}

void TestHostGame::drawerLeavesOutsideDrawing()
{
    Table t(4);
    t.start();
    t.pick();
    t.tick(65); // time-out: slot 1 pays, the break begins
    QCOMPARE(t.game.phase(), HostGame::Phase::shown);
    t.breakOver();
    QCOMPARE(t.game.drawer(), 2);
    QCOMPARE(t.game.phase(), HostGame::Phase::picking);
    t.takeAll();
    // The picking drawer leaves: the next seat picks at once, and the newcomer in the free slot
    // is an ordinary guesser.
    t.disconnect(t.at(2));
    QVERIFY(!t.game.inuse(2));
    QCOMPARE(t.at(1)->take(), (QStringList{s("CMD_playerdisconnected+2+Bob"), s("CMD_pickcatagory+3")}));
    QCOMPARE(t.game.drawer(), 3);
    QCOMPARE(t.game.secondsleft(), 10);
    Client *e = t.join(s("Ed"));
    QCOMPARE(e->slot, 2);
    t.pick();
    QCOMPARE(t.game.phase(), HostGame::Phase::drawing);

    // The drawer leaves in the break after guessing: the break ends at once, with the win test.
    t.guess(4, s("hot dog"));
    QCOMPARE(t.game.phase(), HostGame::Phase::found);
    HostGameProbe::setplayto(t.game, 2);
    t.takeAll();
    t.close(3);
    QCOMPARE(t.at(1)->take(), (QStringList{s("CMD_playerdisconnected+3+Cy"), s("CMD_winner+Di")}));
    QCOMPARE(t.game.phase(), HostGame::Phase::idle);
    QVERIFY(!t.game.clockrunning());
}

void TestHostGame::drawerWatches()
{
    Table t;
    t.start();
    t.pick();
    t.takeAll();
    t.request(t.at(1), cmd::buildJustwatch(1, 1));
    QCOMPARE(t.at(3)->take(), (QStringList{s("CMD_justwatching+1+1"), s("CMD_pickcatagory+2")}));
    QCOMPARE(t.game.drawer(), 2);
}

void TestHostGame::guessedInTwo()
{
    Table t;
    t.start();
    t.pick();
    t.takeAll();
    t.guess(2, s("hot"));
    QCOMPARE(t.at(1)->take(), (QStringList{s("CMD_guessed+2+HOT"), s("CMD_updateanswer+false+HOT ___ ")}));
    QCOMPARE(t.at(2)->take(), (QStringList{s("CMD_myguessed+2+HOT"), s("CMD_updateanswer+false+HOT ___ ")}));
    QCOMPARE(t.at(3)->take(), (QStringList{s("CMD_myguessed+2+HOT"), s("CMD_updateanswer+false+HOT ___ ")}));
    // A word that is already shown is shown again.
    t.guess(3, s("Hot"));
    QCOMPARE(t.at(2)->take(), (QStringList{s("CMD_myguessed+3+HOT"), s("CMD_updateanswer+false+HOT ___ ")}));

    t.seat(3).score = 4;
    t.seat(1).score = 7;
    t.tick(20);
    t.takeAll();
    t.guess(3, s("dog"));
    const QStringList end{s("CMD_correctanswer+3+6+1+8+HOT DOG")};
    QCOMPARE(t.at(1)->take(), QStringList{s("CMD_guessed+3+DOG")} + end);
    QCOMPARE(t.at(2)->take(), QStringList{s("CMD_myguessed+3+DOG")} + end);
    QCOMPARE(t.game.player(3).score, 6);
    QCOMPARE(t.game.player(1).score, 8);
    QCOMPARE(t.game.player(2).score, 0);
    QCOMPARE(t.game.phase(), HostGame::Phase::found);
    QCOMPARE(t.game.secondsleft(), 10);
    QVERIFY(t.game.clockrunning());
    QVERIFY(t.game.running());
    // Once guessed, guesses are dropped without echo.
    t.guess(2, s("hot dog"));
    QVERIFY(t.at(1)->take().isEmpty());
    QCOMPARE(t.game.player(2).score, 0);
}

void TestHostGame::guessedInOne()
{
    Table t;
    t.start();
    t.pick();
    t.takeAll();
    t.guess(2, s("hot dog"));
    QCOMPARE(t.at(3)->take(), (QStringList{s("CMD_myguessed+2+HOT DOG"), s("CMD_updateanswer+false+HOT ___ "),
                                           s("CMD_correctanswer+2+2+1+1+HOT DOG")}));
    // With 3 seconds left: the clock stops, the break starts from the guess, nothing reveals it.
    Table u;
    u.start();
    u.pick();
    u.tick(u.game.secondsleft() - 3);
    u.takeAll();
    u.guess(3, s("dog hot"));
    u.tick(10);
    const QStringList got = u.at(2)->take();
    QVERIFY(only(got, s("CMD_updateanswer+true")).isEmpty());
    QCOMPARE(only(got, s("CMD_updatetime")), QStringList{s("CMD_updatetime+-2")});
    QCOMPARE(u.game.phase(), HostGame::Phase::found);
    u.tick();
    QCOMPARE(u.game.phase(), HostGame::Phase::picking);
}

void TestHostGame::closeWords()
{
    Table t(3, s("hot dogs"));
    t.start();
    t.pick();
    t.takeAll();
    t.guess(2, s("dog"));
    QCOMPARE(t.at(2)->take(), (QStringList{s("CMD_myguessed+2+DOG"), s("CMD_veryclose+2+DOG+")}));
    QCOMPARE(t.at(1)->take(), QStringList{s("CMD_guessed+2+DOG")});
    QCOMPARE(t.at(3)->take(), QStringList{s("CMD_myguessed+2+DOG")});
    QCOMPARE(t.game.mask(), s("___ ____ "));

    Table u(3, s("baking soda"));
    u.start();
    u.pick();
    u.takeAll();
    // An empty word between two spaces reveals nothing and asks nothing.
    u.guess(3, s("bake  cake"));
    QCOMPARE(u.at(3)->take(), (QStringList{s("CMD_myguessed+3+BAKE  CAKE"), s("CMD_veryclose+3+BAKE+")}));
}

void TestHostGame::longGuessesDoNotFlood()
{
    Table t(3, s("hot dog stand"));
    t.start();
    t.pick();
    t.takeAll();
    auto updates = [&](const QString &guess) {
        t.guess(2, guess);
        return only(t.at(3)->take(), s("CMD_updateanswer")).size();
    };
    // A word given a thousand times is judged once.
    QCOMPARE(updates(QStringList(1000, s("hot")).join(QLatin1Char(' '))), 1);
    // One update per word newly shown, and one for all the words shown before.
    QCOMPARE(updates(s("hot hot dog dog hot")), 2);
    QCOMPARE(updates(QStringList(500, s("hot dog")).join(QLatin1Char(' '))), 1);
    QVERIFY(t.game.mask().startsWith(s("HOT DOG _")));
}

void TestHostGame::whoMayGuess()
{
    // Seats 1 to 3 and a spy in slot 11; slot 1 draws HOT DOG.
    Table t(11);
    for (int slot = 4; slot <= 10; ++slot)
        t.close(slot);
    t.start();
    t.pick();
    for (int slot : {1, 2, 3, 11})
        t.seat(slot).score = 5;
    t.takeAll();
    auto nothingHappened = [&] {
        for (int slot : {1, 2, 3, 11}) {
            if (!t.at(slot)->take().isEmpty() || t.game.player(slot).score != (slot == 1 ? 4 : 5))
                return false;
        }
        return t.game.phase() != HostGame::Phase::found;
    };
    t.seat(1).score = 4;

    // The drawer knows the phrase and the spy has no seat: their guesses are dropped unseen.
    t.guess(1, s("hot dog"));
    t.guess(11, s("hot dog"));
    QVERIFY(nothingHappened());
    QCOMPARE(t.game.mask(), s("___ ___ "));
    QCOMPARE(t.game.phase(), HostGame::Phase::drawing);

    // A seat that watches sits the turn out, whether it chose to or the leader set it, and so
    // does a connection that has not logged in.
    t.request(t.at(3), cmd::buildJustwatch(3, 1));
    t.request(t.at(1), cmd::buildJustwatch(2, 1));
    Client *silent = t.connect();
    QCOMPARE(silent->slot, 4);
    t.takeAll();
    t.guess(3, s("hot"));
    t.guess(2, s("hot dog"));
    t.request(silent, cmd::buildAnswer(4, s("hot dog")));
    QVERIFY(nothingHappened());
    QCOMPARE(t.game.mask(), s("___ ___ "));
    // Playing again, the seat guesses.
    t.request(t.at(3), cmd::buildJustwatch(3, 2));
    t.request(t.at(1), cmd::buildJustwatch(2, 2));
    t.takeAll();
    t.guess(3, s("hot"));
    QCOMPARE(t.at(11)->take(), (QStringList{s("CMD_myguessed+3+HOT"), s("CMD_updateanswer+false+HOT ___ ")}));
    t.takeAll();

    // Once the time is up the phrase is shown to all: it can no longer be guessed, neither in the
    // break nor while the next drawer picks.
    t.seat(1).score = 5;
    t.tick(t.game.secondsleft() + 1);
    QCOMPARE(t.game.phase(), HostGame::Phase::shown);
    t.takeAll();
    const int countdown = t.game.secondsleft();
    t.guess(2, s("hot dog"));
    QVERIFY(nothingHappened());
    QCOMPARE(t.game.phase(), HostGame::Phase::shown);
    QCOMPARE(t.game.secondsleft(), countdown);
    t.breakOver();
    QCOMPARE(t.game.phase(), HostGame::Phase::picking);
    QCOMPARE(t.game.drawer(), 2);
    t.takeAll();
    t.guess(3, s("hot dog"));
    QVERIFY(nothingHappened());
    QCOMPARE(t.game.phase(), HostGame::Phase::picking);
}

void TestHostGame::emptyGuesses()
{
    Table t;
    t.start();
    t.pick();
    t.takeAll();
    t.guess(2, QString());
    t.guess(2, s("   "));
    for (int i = 1; i <= 3; ++i)
        QVERIFY(t.at(i)->take().isEmpty());
    t.guess(2, s(" dog "));
    QCOMPARE(t.at(3)->take(),
             (QStringList{s("CMD_myguessed+2+ DOG "), s("CMD_updateanswer+false+___ DOG ")}));
}

void TestHostGame::teamPoints()
{
    Table t(5);
    t.start(true, 50);
    t.findplayer();
    t.findplayer();
    QCOMPARE(t.game.drawer(), 3);
    t.pick();
    t.takeAll();
    t.guess(5, s("hot dog"));
    const QStringList tail{s("CMD_teamscore+3+0+3+0+3+0+3+0+3+0"), s("CMD_correctanswer+5+3+3+3+HOT DOG")};
    QCOMPARE(t.at(2)->take().mid(2), tail);
    for (int slot : {1, 3, 5, 7, 9})
        QCOMPARE(t.game.player(slot).score, 3);
    QCOMPARE(t.game.player(2).score, 0);

    // A guesser of the other team: drawer's team 1, guesser's team 2.
    t.breakOver();
    QCOMPARE(t.game.drawer(), 4);
    t.pick();
    t.takeAll();
    t.guess(1, s("hot dog"));
    QCOMPARE(only(t.at(1)->take(), s("CMD_teamscore")), QStringList{s("CMD_teamscore+5+1+5+1+5+1+5+1+5+1")});

    // A time-out costs the drawer's team the point, as an answer earns it, and every panel shows
    // it; a team at 0 stays there.
    // Drawers 5, 1, 2, 3, 4.
    for (const char *scores : {"4+1", "3+1", "3+0", "2+0", "2+0"}) {
        t.breakOver();
        t.pick();
        t.takeAll();
        t.tick(t.game.secondsleft() + 1);
        const QStringList got = t.at(3)->take();
        const QString ten = QStringList(5, QString::fromLatin1(scores)).join(QLatin1Char('+'));
        QCOMPARE(only(got, s("CMD_teamscore")), QStringList{s("CMD_teamscore+") + ten});
        QCOMPARE(got.constLast(), s("CMD_updateanswer+true+HOT DOG"));
    }
}

void TestHostGame::passes()
{
    Table t;
    t.game.setPhraseList(0, {s("hot dog"), s("pin in")});
    t.start();
    t.pick();
    const QString first = t.game.phrase();
    const QString second = first == s("HOT DOG") ? s("PIN IN") : s("HOT DOG");
    const QString mask = first == s("HOT DOG") ? s("___ __ ") : s("___ ___ ");
    t.guess(2, first.left(3));
    t.tick(5);
    t.takeAll();
    // Not the drawer: nothing at all happens.
    t.request(t.at(2), cmd::buildPass(2));
    QVERIFY(t.at(2)->take().isEmpty());
    QCOMPARE(t.game.phrase(), first);

    // A drawer without a point gets the phrase for nothing, and everybody reads so.
    t.request(t.at(1), cmd::buildPass(1));
    const QStringList seen{
        QStringLiteral("CMD_updateanswer+false+") + mask,
        s("CMD_chat+0+Ann has bought a different phrase for nothing: Ann had no points.|$008AAAAC")};
    QCOMPARE(t.at(2)->take(), seen);
    QCOMPARE(t.at(1)->take(), seen + QStringList{QStringLiteral("CMD_givedraweranswer+") + second});
    QCOMPARE(t.game.phrase(), second);
    QCOMPARE(t.game.words()[0], second.left(3).toLower());
    QCOMPARE(t.game.player(1).score, 0);
    QCOMPARE(t.game.phase(), HostGame::Phase::drawing);
    QCOMPARE(t.game.secondsleft(), 64 - 5); // the clock goes on
    QCOMPARE(t.game.phase(), HostGame::Phase::drawing);

    t.seat(1).score = 5;
    t.takeAll();
    t.request(t.at(1), cmd::buildPass(1));
    QCOMPARE(t.game.player(1).score, 4);
    QCOMPARE(only(t.at(2)->take(), s("CMD_passed")), QStringList{s("CMD_passed+1+4")});
    QCOMPARE(t.game.category(), 0);
}

void TestHostGame::passOnlyWhileDrawing()
{
    Table t;
    t.game.setPhraseList(0, {s("hot dog"), s("pin in")});
    t.start();
    t.seat(1).score = 5;
    // A pass while picking, after the answer, or after the time-out changes nothing.
    auto passIgnored = [&] {
        t.takeAll();
        const QString mask = t.game.mask();
        t.request(t.at(1), cmd::buildPass(1));
        return t.at(2)->take().isEmpty() && t.game.mask() == mask && t.game.player(1).score == 5;
    };
    QVERIFY(passIgnored());
    t.pick();
    t.guess(2, t.game.phrase());
    t.seat(1).score = 5;
    QVERIFY(passIgnored());
    t.breakOver();
    t.request(t.at(2), cmd::buildPickcatagory(2, 0));
    t.tick(65);
    QCOMPARE(t.game.phase(), HostGame::Phase::shown);
    t.request(t.at(2), cmd::buildPass(2));
    QCOMPARE(t.game.player(2).score, 1);               // 2 for the answer, 1 paid for the time-out
    QVERIFY(t.game.mask().contains(QLatin1Char('_'))); // as it was: the answer stays shown
    QVERIFY(!t.at(3)->take().contains(s("CMD_passed+2+0")));
}

void TestHostGame::soloPass()
{
    GameHost h;
    h.game.setsologame(true);
    QStringList list;
    for (int i = 0; i < 12; ++i)
        list.append(QStringLiteral("solo%1").arg(i));
    h.game.setPhraseList(0, {s("hot dog")});
    h.game.setPhraseList(2, list);
    Client *me = h.join(s("You"));
    h.request(me, cmd::buildStartgame(1, false, 20, 60));
    h.request(me, cmd::buildPickcatagory(1, 0));
    const phrases::PhraseWords words = h.game.words();
    HostGameProbe::setcategory(h.game, 2);
    for (int i = 0; i < 30; ++i) {
        h.request(me, cmd::buildPass(1));
        const int n = h.game.phrase().mid(4).toInt();
        QVERIFY2(n < 10, qPrintable(h.game.phrase()));
    }
    QCOMPARE(h.game.phrasesleft(2).size(), 12);
    QVERIFY(h.game.words() == words);
}

void TestHostGame::timeOut()
{
    Table t;
    t.start(false, 20, 60);
    t.pick();
    t.seat(1).score = 0;
    t.seat(2).score = 3;
    t.takeAll();
    t.tick(64);
    // The seconds the players' clocks show, which start at the seconds per turn.
    QCOMPARE(t.at(2)->take(),
             (QStringList{s("CMD_updatetime+56"), s("CMD_updatetime+46"), s("CMD_updatetime+36"),
                          s("CMD_updatetime+26"), s("CMD_updatetime+16"), s("CMD_updatetime+6"),
                          s("CMD_updatetime+-4")}));
    t.takeAll();
    t.tick();
    QCOMPARE(t.at(3)->take(),
             (QStringList{s("CMD_gamestats+20+60+0+3+0+0+0+0+0+0+0+0"), s("CMD_updateanswer+true+HOT DOG")}));
    QCOMPARE(t.game.player(1).score, 0);
    QCOMPARE(t.game.phase(), HostGame::Phase::shown);
    QVERIFY(t.game.clockrunning());
    // The break is part of the running game, as after a found phrase: the game is announced as
    // running, and the drawer's strokes go on.
    QVERIFY(t.game.running());
    announce::Announcement told;
    t.game.describe(told);
    QVERIFY(told.running);
    t.takeAll();
    const QString stroke = cmd::buildMoveit(1, s("clBlack"), s("3"), 1, 1);
    t.request(t.at(1), stroke);
    QCOMPARE(t.at(2)->take(), QStringList{stroke});
    t.takeAll();
    t.tick(11);
    QCOMPARE(t.at(3)->take(), (QStringList{s("CMD_updatetime+-2"), s("CMD_pickcatagory+2")}));

    // The next drawer also lets the time run out and pays a point, and every panel is told.
    t.pick();
    t.takeAll();
    t.tick(65);
    QCOMPARE(t.game.player(2).score, 2);
    for (int slot = 1; slot <= 3; ++slot)
        QCOMPARE(only(t.at(slot)->take(), s("CMD_gamestats")),
                 QStringList{s("CMD_gamestats+20+60+0+2+0+0+0+0+0+0+0+0")});
}

void TestHostGame::pickingTimeOut()
{
    Table t;
    for (int c = 1; c < phrases::categories; ++c)
        t.game.setPhraseList(c, {s("hot dog")});
    t.start();
    t.takeAll();
    t.tick(10);
    QCOMPARE(t.game.phase(), HostGame::Phase::picking);
    t.tick();
    const QStringList got = t.at(2)->take();
    QCOMPARE(got.size(), 3);
    QCOMPARE(got[0], s("CMD_updatetime+-2"));
    QVERIFY(got[1].startsWith(s("CMD_nextplayer+1+")));
    QVERIFY(got[1].endsWith(s("+___ ___ ")));
    QVERIFY(t.game.category() >= 0 && t.game.category() <= 6);
    QCOMPARE(t.game.phase(), HostGame::Phase::drawing);
    // Everybody learns why the turn began without a pick.
    const QString why = s("CMD_chat+0+Ann took too long; the host chose ") +
                        phrases::categoryname(t.game.category()) + s(".|$008AAAAC");
    QCOMPARE(got[2], why);
    for (int slot : {1, 3})
        QCOMPARE(only(t.at(slot)->take(), s("CMD_chat")), QStringList{why});
    // A pick in time says nothing.
    t.game.setPhraseList(0, {s("hot dog")});
    t.tick(94 + 11);
    t.takeAll();
    t.pick();
    QCOMPARE(only(t.at(3)->take(), s("CMD_chat")), QStringList());
}

// A short game with letter hints: one letter at half and one at three quarters of the drawing
// time, never the whole of a word; guessed words still show whole and score as ever.
void TestHostGame::letterHints()
{
    Table t(3, s("hot dog"));
    // Asked for just before the start; the start keeps its four fields, and the news follows it.
    const QStringList hinted{s("CMD_startgame+1+false+5+30"), s("CMD_hints+true"), s("CMD_pickcatagory+1")};
    t.request(t.at(1), cmd::buildHintsRequest(1));
    QCOMPARE(t.at(2)->take(), QStringList());
    t.request(t.at(1), cmd::buildStartgame(1, false, 5, 30));
    QCOMPARE(t.at(2)->take().mid(3), hinted);
    QVERIFY(t.game.hints());
    t.pick();
    t.takeAll();
    const auto hints = [&t] { return only(t.at(3)->take(), s("CMD_updateanswer")); };
    const auto hidden = [](const QString &mask) { return mask.count(QLatin1Char('_')); };
    // The players' clock starts at 30: half the time has gone when it shows 15, after 15 ticks.
    t.tick(14);
    QCOMPARE(hints(), QStringList());
    t.tick();
    QStringList got = hints();
    QCOMPARE(got.size(), 1);
    QCOMPARE(got[0], s("CMD_updateanswer+false+") + t.game.mask());
    QCOMPARE(hidden(t.game.mask()), 5);

    // HOT is guessed: shown whole; the hint at three quarters (7 shown, 23 ticks) goes into DOG,
    // and leaves a letter of it hidden.
    t.guess(2, s("hot"));
    QCOMPARE(t.game.mask().left(4), s("HOT "));
    const int before = hidden(t.game.mask());
    t.takeAll();
    t.tick(7);
    QCOMPARE(hints(), QStringList());
    t.tick();
    QCOMPARE(hints().size(), 1);
    QCOMPARE(hidden(t.game.mask()), before - 1);
    // Judging and scores are unchanged: DOG finds the phrase.
    t.guess(3, s("dog"));
    QCOMPARE(t.game.phase(), HostGame::Phase::found);
    QCOMPARE(t.game.player(3).score, 2);
    QCOMPARE(t.game.player(1).score, 1);

    // Hints come again for a new phrase after a pass, by the clock: both already due at once.
    t.game.setPhraseList(0, {s("ox")});
    t.breakOver();
    t.pick();
    t.tick(23);
    t.game.setPhraseList(0, {s("cat")});
    t.request(t.at(2), cmd::buildPass(2));
    QCOMPARE(t.game.mask(), s("___ "));
    t.takeAll();
    t.tick();
    QCOMPARE(hints().size(), 2);
    QCOMPARE(t.game.mask().count(QLatin1Char('_')), 1);
    t.tick(11);
    QCOMPARE(only(t.at(3)->take(), s("CMD_updateanswer+true")), QStringList{s("CMD_updateanswer+true+CAT")});

    // A start as the original design sends it, without a request before it: no hints, and no
    // letter shows by time.
    t.takeAll();
    t.start(false, 5, 30);
    QCOMPARE(only(t.at(2)->take(), s("CMD_hints")), QStringList());
    QVERIFY(!t.game.hints());
    t.pick();
    t.takeAll();
    t.tick(33);
    QCOMPARE(hints(), QStringList());

    // A host that always gives hints says so after every start, whatever was asked.
    t.game.setHintsAlways(true);
    t.takeAll();
    t.start(false, 5, 30);
    QCOMPARE(t.at(2)->take().mid(3), hinted);
    QVERIFY(t.game.hints());
    // A newcomer hears of them with the scores, in case he leads the next game.
    Client *dee = t.connect();
    t.request(dee, cmd::buildLogininfo(dee->slot, cmd::versionText, s("Dee")));
    const QStringList news = dee->take();
    QCOMPARE(news.indexOf(s("CMD_hints+true")),
             news.indexOf(QRegularExpression(s("^CMD_gamestats\\+.*"))) + 1);

    // A request counts for its sender's next start only, whether that one starts a game or not;
    // one naming another slot, or with another word than "true", is dropped.
    t.game.setHintsAlways(false);
    // Slot 1's requests before a start of slot 1, and whether the game has hints.
    const auto hintedStart = [&t](const QStringList &before) {
        for (const QString &m : before)
            t.request(t.at(1), m);
        t.start(false, 5, 30);
        return t.game.hints();
    };
    t.request(t.at(2), cmd::buildHintsRequest(2));
    t.request(t.at(2), s("CMD_hints+1+true"));
    QVERIFY(!hintedStart({}));
    QVERIFY(!hintedStart({s("CMD_hints+1+yes"), s("CMD_hints+1"), s("CMD_hints+x+true")}));
    QVERIFY(!hintedStart({cmd::buildHintsRequest(1), s("CMD_startgame+1+false+5+soon")}));
    QVERIFY(!hintedStart({cmd::buildHintsRequest(1), cmd::buildStartgame(2, false, 5, 30)}));
    QVERIFY(hintedStart({cmd::buildHintsRequest(1), cmd::buildHintsRequest(1)}));
    QVERIFY(!hintedStart({}));
}

void TestHostGame::categories()
{
    Table t;
    t.game.setPhraseList(4, {s("star wars")});
    t.start();
    t.takeAll();
    // Outside 0..6, or not from the drawer: refused.
    for (const QString &bad :
         {s("CMD_pickcatagory+1+7"), s("CMD_pickcatagory+1+-1"), s("CMD_pickcatagory+1+100")})
        t.request(t.at(1), bad);
    t.request(t.at(2), cmd::buildPickcatagory(2, 4));
    QCOMPARE(t.game.phase(), HostGame::Phase::picking);
    QVERIFY(t.at(1)->take().isEmpty());
    t.pick(4);
    QCOMPARE(t.game.category(), 4);
    QCOMPARE(t.game.phrase(), s("STAR WARS"));
    // Not in the picking phase any more.
    t.pick(0);
    QCOMPARE(t.game.category(), 4);
}

void TestHostGame::listsRefill()
{
    Table t;
    t.game.setPhraseList(3, {s("the cat in the hat"), s("in the pink"), s("dog dog")});
    t.start();
    t.pick(0);
    QVERIFY(t.game.phrasesleft(0).isEmpty());
    t.guess(2, s("hot dog"));
    t.breakOver();
    // The used-up list is filled again from the shipped one.
    t.pick(0);
    QCOMPARE(t.game.phrase(), s("HOT DOG"));
    t.guess(3, s("hot dog"));
    t.breakOver();
    // Every phrase fails the repeat test: the list is drawn dry, filled once more, and the last
    // phrase drawn is played rather than none.
    t.pick(3);
    QCOMPARE(t.game.category(), 3);
    QVERIFY(!t.game.phrase().isEmpty());
    QVERIFY(t.game.phrasesleft(3).isEmpty());
    QCOMPARE(t.game.mask().size(), t.game.phrase().size() + 1);
}

void TestHostGame::individualGame()
{
    Table t(2);
    t.start(false, 3, 60);
    // Turn 1: Ann draws, Bob guesses.
    t.pick();
    t.guess(2, s("hot dog"));
    t.breakOver();
    QCOMPARE(t.game.drawer(), 2);
    // Turn 2: Bob draws, Ann guesses: 3 all, a tie at the play-to score, the game goes on.
    t.pick();
    t.guess(1, s("hot dog"));
    QCOMPARE(t.game.player(1).score, 3);
    QCOMPARE(t.game.player(2).score, 3);
    t.takeAll();
    t.breakOver();
    QCOMPARE(only(t.at(1)->take(), s("CMD_winner")), QStringList());
    QCOMPARE(t.game.drawer(), 1);
    // Turn 3: Bob leads alone.
    t.pick();
    t.guess(2, s("dog hot"));
    t.takeAll();
    t.breakOver();
    const QStringList end{s("CMD_updatetime+-2"), s("CMD_winner+Bob")};
    QCOMPARE(t.at(1)->take(), end);
    QCOMPARE(t.at(2)->take(), end);
    QVERIFY(!t.game.running());
    QCOMPARE(t.game.phase(), HostGame::Phase::idle);
    QVERIFY(!t.game.clockrunning());
    QVERIFY(t.boxes.isEmpty());
}

void TestHostGame::teamGame()
{
    Table t(3);
    t.start(true, 5, 60);
    t.pick();
    t.guess(2, s("hot dog")); // Black 1, Maroon 2
    t.breakOver();
    t.pick();
    t.guess(3, s("hot dog")); // Maroon 3, Black 3
    t.breakOver();
    QCOMPARE(t.game.drawer(), 3);
    t.pick();
    t.takeAll();
    t.guess(1, s("hot dog")); // Black 6
    QCOMPARE(t.at(2)->take().mid(2),
             (QStringList{s("CMD_teamscore+6+3+6+3+6+3+6+3+6+3"), s("CMD_correctanswer+1+6+3+6+HOT DOG")}));
    t.breakOver();
    QCOMPARE(only(t.at(2)->take(), s("CMD_winner")), QStringList{s("CMD_winner+Black Team")});
    QCOMPARE(t.game.phase(), HostGame::Phase::idle);
}

void TestHostGame::gameOverIsFinal()
{
    // The last turn runs out of time and the game is won in the break; a late guess of the shown
    // phrase or a pass then changes nothing.
    Table t(2);
    t.start(false, 1, 60);
    t.pick();
    t.seat(2).score = 2;
    t.tick(65 + 11);
    QCOMPARE(t.game.phase(), HostGame::Phase::idle);
    t.takeAll();
    t.guess(2, s("hot dog"));
    t.request(t.at(1), cmd::buildPass(1));
    t.request(t.at(1), cmd::buildJustwatch(1, 1));
    QCOMPARE(t.at(2)->take(), QStringList{s("CMD_justwatching+1+1")});
    QCOMPARE(t.game.player(2).score, 2);
    QVERIFY(!t.game.clockrunning());
}

QTEST_GUILESS_MAIN(TestHostGame)
#include "tst_hostgame.moc"
