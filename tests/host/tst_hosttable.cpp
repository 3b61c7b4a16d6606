// What every screen at a table is told, and who may lead it,:
// scores after a time-out, the win test when the drawer stops playing, connections that have not
// logged in, the lowest seat leading while slot 1 is empty, version warnings, line breaks in
// relayed text, a winner who left, and what a newcomer is sent during a break or a team game.
#include "gametable.h"
#include "tests/support/textsupport.h"

#include <QRegularExpression>

namespace {

// The players with the given names; category 0 holds only the given phrase.
struct Table : GameHost
{
    explicit Table(const QStringList &names = {s("Ann"), s("Bob"), s("Cy")},
                   const QString &phrase = s("hot dog"))
    {
        game.setPhraseList(0, {phrase});
        for (const QString &name : names)
            join(name);
    }
    Client *at(int slot)
    {
        for (auto &c : clients)
            if (c->slot == slot && !c->closed && game.inuse(slot))
                return c.get();
        return nullptr;
    }
    void start(int starter = 1, bool team = false, int playto = 20, int seconds = 60)
    {
        request(at(starter), cmd::buildStartgame(starter, team, playto, seconds));
    }
    void pick() { request(at(game.drawer()), cmd::buildPickcatagory(game.drawer(), 0)); }
    void guess(int slot, const QString &text) { request(at(slot), cmd::buildAnswer(slot, text)); }
    QString scores() const
    {
        return cmd::buildGamestats(game.playto(), game.turnseconds() - 2,
                                   {game.player(1).score, game.player(2).score, game.player(3).score,
                                    game.player(4).score, game.player(5).score, game.player(6).score,
                                    game.player(7).score, game.player(8).score, game.player(9).score,
                                    game.player(10).score});
    }
};

} // namespace

class TestHostTable : public QObject
{
    Q_OBJECT
private slots:
    void drawerWatchingInTheWinningBreak();
    void connectionsWithoutLoginTakeNoTurn();
    void lowestSeatLeadsWhileSlotOneIsEmpty();
    void versionWarnings();
    void lineBreaksAreBlanked();
    void winnerWhoLeftIsNamed();
    void newcomerSeesTheBreakAndTheTeams();
};

void TestHostTable::drawerWatchingInTheWinningBreak()
{
    // The drawer stops playing in the break after the winning answer.
    {
        Table t;
        t.start(1, false, 2);
        t.pick();
        t.guess(2, s("hot dog"));
        QCOMPARE(t.game.phase(), HostGame::Phase::found);
        t.takeAll();
        t.request(t.at(1), cmd::buildJustwatch(1, 1));
        QCOMPARE(only(t.at(3)->take(), s("CMD_winner")), QStringList{s("CMD_winner+Bob")});
        QVERIFY(!t.game.running());
    }
    // The hosting player sets the drawer to watch in that break.
    {
        Table t;
        t.start(1, false, 2);
        t.request(t.at(1), cmd::buildJustwatch(1, 1));
        QCOMPARE(t.game.drawer(), 2);
        t.pick();
        t.guess(3, s("hot dog"));
        t.takeAll();
        t.request(t.at(1), cmd::buildJustwatch(2, 1));
        QCOMPARE(only(t.at(2)->take(), s("CMD_winner")), QStringList{s("CMD_winner+Cy")});
    }
    // Without a winner the next turn begins at once, as before.
    Table t;
    t.start(1, false, 20);
    t.pick();
    t.guess(2, s("hot dog"));
    t.request(t.at(1), cmd::buildJustwatch(1, 1));
    QCOMPARE(t.game.phase(), HostGame::Phase::picking);
    QCOMPARE(t.game.drawer(), 2);
}

void TestHostTable::connectionsWithoutLoginTakeNoTurn()
{
    Table t({s("Ann"), s("Bob")});
    Client *silent = t.connect();
    QCOMPARE(silent->slot, 3);
    t.join(s("Di"));
    t.takeAll();
    t.start();
    const QStringList list = only(t.at(2)->take(), s("CMD_refreshplayerlist"));
    QCOMPARE(list, (QStringList{s("CMD_refreshplayerlist+1+Ann"), s("CMD_refreshplayerlist+2+Bob"),
                                s("CMD_refreshplayerlist+4+Di")}));
    QList<int> turns{t.game.drawer()};
    for (int i = 0; i < 3; ++i) {
        t.findplayer();
        turns.append(t.game.drawer());
    }
    QCOMPARE(turns, (QList<int>{1, 2, 4, 1}));
    QVERIFY(only(silent->take(), s("CMD_pickcatagory+3")).isEmpty());
}

void TestHostTable::lowestSeatLeadsWhileSlotOneIsEmpty()
{
    Table t({s("Ann"), s("Bob"), s("Cy"), s("Di")});
    QCOMPARE(t.game.leader(), 1);
    // Nobody but slot 1 leads while it is there.
    t.start(2);
    QVERIFY(!t.game.running());
    t.disconnect(t.at(1));
    QVERIFY(!t.game.inuse(1));
    QCOMPARE(t.game.leader(), 2);
    // Slot 3 may not start, remove or set a seat to watch; slot 2 may.
    t.start(3);
    QVERIFY(!t.game.running());
    t.request(t.at(3), cmd::buildJustwatch(2, 1));
    QVERIFY(!t.game.player(2).watching);
    t.request(t.at(3), cmd::buildKickhim(3, 4));
    QVERIFY(t.game.inuse(4));
    t.start(2);
    QVERIFY(t.game.running());
    QCOMPARE(only(t.at(3)->take(), s("CMD_startgame")), QStringList{s("CMD_startgame+2+false+20+60")});
    t.request(t.at(2), cmd::buildJustwatch(3, 1));
    QVERIFY(t.game.player(3).watching);
    t.request(t.at(2), cmd::buildKickhim(2, 4));
    QVERIFY(!t.game.inuse(4));

    // A connection in slot 1 that has not logged in leads nothing; once logged in, it leads.
    Client *back = t.connect();
    QCOMPARE(back->slot, 1);
    QCOMPARE(t.game.leader(), 2);
    t.request(back, cmd::buildLogininfo(1, cmd::versionText, s("Eve")));
    QCOMPARE(t.game.leader(), 1);
    t.start(2);
    QCOMPARE(t.game.turnseconds(), 62);
    t.request(t.at(1), cmd::buildStartgame(1, false, 20, 30));
    QCOMPARE(t.game.turnseconds(), 32);
}

void TestHostTable::versionWarnings()
{
    GameHost h;
    Client *first = h.connect();
    h.request(first, cmd::buildLogininfo(1, s("0.1"), s("Ann")));
    // Told about his own copy, never warned about himself.
    const QStringList own = first->take();
    QVERIFY(own.contains(cmd::buildWrongversion()));
    QVERIFY(only(own, s("CMD_havewrongversion")).isEmpty());
    Client *second = h.connect();
    h.request(second, cmd::buildLogininfo(2, s("0.1"), s("Bob")));
    QCOMPARE(only(first->take(), s("CMD_havewrongversion")),
             QStringList{cmd::buildHavewrongversion(s("Bob"))});

    // Slot 1 not logged in yet: nobody to warn.
    GameHost d;
    Client *waiting = d.connect();
    QCOMPARE(waiting->slot, 1);
    Client *old = d.connect();
    d.request(old, cmd::buildLogininfo(2, s("0.1"), s("Cy")));
    QVERIFY(only(waiting->take(), s("CMD_havewrongversion")).isEmpty());
}

void TestHostTable::lineBreaksAreBlanked()
{
    Table t({s("Ann"), s("Bob")});
    Client *odd = t.connect();
    t.request(odd, cmd::buildLogininfo(odd->slot, cmd::versionText, s("Cy\rX\nY")));
    QCOMPARE(t.game.player(3).name, s("Cy X Y"));
    QVERIFY(t.at(1)->take().contains(cmd::buildNewplayerinfo(3, s("Cy X Y"))));
    const QString broken = s("one\rtwo\nthree") + QChar(0) + s("four");
    t.request(odd, cmd::buildChat(3, broken, s("clBlack")));
    t.request(odd, cmd::buildAction(3, broken, s("clBlack")));
    t.start();
    t.pick();
    t.takeAll();
    t.guess(3, s("hot\ndog"));
    const QStringList seen = t.at(2)->take();
    for (const QString &m : seen)
        QVERIFY2(!m.contains(QLatin1Char('\r')) && !m.contains(QLatin1Char('\n')) && !m.contains(QChar(0)),
                 qPrintable(m));
    QVERIFY(seen.contains(cmd::buildMyguessed(3, s("HOT DOG"))));
    QCOMPARE(t.game.phase(), HostGame::Phase::found);
}

void TestHostTable::winnerWhoLeftIsNamed()
{
    Table t;
    t.start(1, false, 2);
    t.pick();
    t.guess(2, s("hot dog"));
    t.disconnect(t.at(2));
    QVERIFY(!t.game.inuse(2));
    t.takeAll();
    t.tick(11);
    QCOMPARE(only(t.at(3)->take(), s("CMD_winner")), QStringList{s("CMD_winner+Bob")});
}

void TestHostTable::newcomerSeesTheBreakAndTheTeams()
{
    Table t;
    t.start(1, false, 20, 60);
    t.pick();
    t.guess(2, s("hot dog"));
    Client *late = t.connect();
    t.request(late, cmd::buildLogininfo(late->slot, cmd::versionText, s("Di")));
    QStringList state = late->take().filter(
        QRegularExpression(s("^CMD_(nextplayer|gamestats|correctanswer|teamscore|updateanswer)")));
    QCOMPARE(state, (QStringList{s("CMD_nextplayer+1+0+HOT DOG "), t.scores(),
                                 cmd::buildCorrectanswer(2, 2, 1, 1, s("HOT DOG"))}));

    // A team game: the newcomer learns the teams' scores with the game.
    Table team;
    team.start(1, true, 20, 60);
    team.pick();
    team.guess(2, s("dog"));
    Client *l2 = team.connect();
    team.request(l2, cmd::buildLogininfo(l2->slot, cmd::versionText, s("Di")));
    state = l2->take().filter(
        QRegularExpression(s("^CMD_(nextplayer|gamestats|correctanswer|teamscore|updateanswer)")));
    QCOMPARE(state, (QStringList{s("CMD_nextplayer+1+0+___ DOG "), team.scores(),
                                 cmd::buildTeamscore({0, 0, 0, 0, 0, 0, 0, 0, 0, 0})}));
}

QTEST_GUILESS_MAIN(TestHostTable)
#include "tst_hosttable.moc"
