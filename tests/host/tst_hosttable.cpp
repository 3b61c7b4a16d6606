// What every screen at a table is told, and who may lead it, over real loopback connections:
// scores after a time-out, the win test when the drawer stops playing, connections that have not
// logged in, the lowest seat leading while slot 1 is empty, version warnings, line breaks in
// relayed text, a winner who left, and what a newcomer is sent during a break or a team game.
#include "hostharness.h"
#include "tests/support/textsupport.h"

#include <QRegularExpression>

namespace {

// The players with the given names; category 0 holds only the given phrase.
struct Table : Host
{
    explicit Table(const QStringList &names = {s("Ann"), s("Bob"), s("Cy")},
                   const QString &phrase = s("hot dog"))
    {
        server.setPhraseList(0, {phrase});
        for (const QString &name : names)
            join(name);
    }
    RawClient *at(int slot)
    {
        for (auto &c : clients)
            if (c->slot == slot && !c->closed && server.inuse(slot))
                return c.get();
        return nullptr;
    }
    bool start(int starter = 1, bool team = false, int playto = 20, int seconds = 60)
    {
        return request(at(starter), cmd::buildStartgame(starter, team, playto, seconds));
    }
    bool pick() { return request(at(server.curdrawer), cmd::buildPickcatagory(server.curdrawer, 0)); }
    bool guess(int slot, const QString &text) { return request(at(slot), cmd::buildAnswer(slot, text)); }
    QString scores() const
    {
        return cmd::buildGamestats(server.winscore, server.turntime - 2,
                                   {server.playertable[1].score, server.playertable[2].score,
                                    server.playertable[3].score, server.playertable[4].score,
                                    server.playertable[5].score, server.playertable[6].score,
                                    server.playertable[7].score, server.playertable[8].score,
                                    server.playertable[9].score, server.playertable[10].score});
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
        QVERIFY(t.start(1, false, 2));
        QVERIFY(t.pick());
        QVERIFY(t.guess(2, s("hot dog")));
        QCOMPARE(t.server.gamestate, s("break"));
        t.takeAll();
        QVERIFY(t.request(t.at(1), cmd::buildJustwatch(1, 1)));
        QCOMPARE(only(t.at(3)->take(), s("CMD_winner")), QStringList{s("CMD_winner+Bob")});
        QVERIFY(!t.server.gameon);
    }
    // The hosting player sets the drawer to watch in that break.
    {
        Table t;
        QVERIFY(t.start(1, false, 2));
        QVERIFY(t.request(t.at(1), cmd::buildJustwatch(1, 1)));
        QCOMPARE(t.server.curdrawer, 2);
        QVERIFY(t.pick());
        QVERIFY(t.guess(3, s("hot dog")));
        t.takeAll();
        QVERIFY(t.request(t.at(1), cmd::buildJustwatch(2, 1)));
        QCOMPARE(only(t.at(2)->take(), s("CMD_winner")), QStringList{s("CMD_winner+Cy")});
    }
    // Without a winner the next turn begins at once, as before.
    Table t;
    QVERIFY(t.start(1, false, 20));
    QVERIFY(t.pick());
    QVERIFY(t.guess(2, s("hot dog")));
    QVERIFY(t.request(t.at(1), cmd::buildJustwatch(1, 1)));
    QCOMPARE(t.server.gamestate, s("picking"));
    QCOMPARE(t.server.curdrawer, 2);
}

void TestHostTable::connectionsWithoutLoginTakeNoTurn()
{
    Table t({s("Ann"), s("Bob")});
    RawClient *silent = t.connect();
    QCOMPARE(silent->slot, 3);
    t.join(s("Di"));
    t.takeAll();
    QVERIFY(t.start());
    const QStringList list = only(t.at(2)->take(), s("CMD_refreshplayerlist"));
    QCOMPARE(list, (QStringList{s("CMD_refreshplayerlist+1+Ann"), s("CMD_refreshplayerlist+2+Bob"),
                                s("CMD_refreshplayerlist+4+Di")}));
    QList<int> turns{t.server.curdrawer};
    for (int i = 0; i < 3; ++i) {
        t.server.findplayer();
        turns.append(t.server.curdrawer);
    }
    QCOMPARE(turns, (QList<int>{1, 2, 4, 1}));
    QVERIFY(t.sync());
    QVERIFY(only(silent->take(), s("CMD_pickcatagory+3")).isEmpty());
}

void TestHostTable::lowestSeatLeadsWhileSlotOneIsEmpty()
{
    Table t({s("Ann"), s("Bob"), s("Cy"), s("Di")});
    QCOMPARE(t.server.leader(), 1);
    // Nobody but slot 1 leads while it is there.
    QVERIFY(t.start(2));
    QVERIFY(!t.server.gameon);
    t.at(1)->disconnectFromHost();
    QVERIFY(waitUntil([&] { return !t.server.inuse(1); }));
    QVERIFY(t.sync());
    QCOMPARE(t.server.leader(), 2);
    // Slot 3 may not start, remove or set a seat to watch; slot 2 may.
    QVERIFY(t.start(3));
    QVERIFY(!t.server.gameon);
    QVERIFY(t.request(t.at(3), cmd::buildJustwatch(2, 1)));
    QVERIFY(!t.server.playertable[2].watching);
    QVERIFY(t.request(t.at(3), cmd::buildKickhim(3, 4)));
    QVERIFY(t.server.inuse(4));
    QVERIFY(t.start(2));
    QVERIFY(t.server.gameon);
    QCOMPARE(only(t.at(3)->take(), s("CMD_startgame")), QStringList{s("CMD_startgame+2+false+20+60")});
    QVERIFY(t.request(t.at(2), cmd::buildJustwatch(3, 1)));
    QVERIFY(t.server.playertable[3].watching);
    QVERIFY(t.request(t.at(2), cmd::buildKickhim(2, 4)));
    QVERIFY(waitUntil([&] { return !t.server.inuse(4); }));

    // A connection in slot 1 that has not logged in leads nothing; once logged in, it leads.
    RawClient *back = t.connect();
    QCOMPARE(back->slot, 1);
    QCOMPARE(t.server.leader(), 2);
    back->send(cmd::buildLogininfo(1, cmd::versionText, s("Eve")));
    QVERIFY(t.sync(back));
    QCOMPARE(t.server.leader(), 1);
    QVERIFY(t.start(2));
    QCOMPARE(t.server.turntime, 62);
    QVERIFY(t.request(t.at(1), cmd::buildStartgame(1, false, 20, 30)));
    QCOMPARE(t.server.turntime, 32);
}

void TestHostTable::versionWarnings()
{
    Host h;
    RawClient *first = h.connect();
    first->send(cmd::buildLogininfo(1, s("0.1"), s("Ann")));
    QVERIFY(h.sync(first));
    // Told about his own copy, never warned about himself.
    const QStringList own = first->take();
    QVERIFY(own.contains(cmd::buildWrongversion()));
    QVERIFY(only(own, s("CMD_havewrongversion")).isEmpty());
    RawClient *second = h.connect();
    second->send(cmd::buildLogininfo(2, s("0.1"), s("Bob")));
    QVERIFY(h.sync(second));
    QCOMPARE(only(first->take(), s("CMD_havewrongversion")),
             QStringList{cmd::buildHavewrongversion(s("Bob"))});

    // Slot 1 not logged in yet: nobody to warn.
    Host d;
    RawClient *waiting = d.connect();
    QCOMPARE(waiting->slot, 1);
    RawClient *old = d.connect();
    old->send(cmd::buildLogininfo(2, s("0.1"), s("Cy")));
    QVERIFY(d.sync(old));
    QVERIFY(only(waiting->take(), s("CMD_havewrongversion")).isEmpty());
}

void TestHostTable::lineBreaksAreBlanked()
{
    Table t({s("Ann"), s("Bob")});
    RawClient *odd = t.connect();
    odd->send(cmd::buildLogininfo(odd->slot, cmd::versionText, s("Cy\rX\nY")));
    QVERIFY(t.sync(odd));
    QCOMPARE(t.server.playertable[3].name, s("Cy X Y"));
    QVERIFY(t.at(1)->take().contains(cmd::buildNewplayerinfo(3, s("Cy X Y"))));
    const QString broken = s("one\rtwo\nthree") + QChar(0) + s("four");
    QVERIFY(t.request(odd, cmd::buildChat(3, broken, s("clBlack"))));
    QVERIFY(t.request(odd, cmd::buildAction(3, broken, s("clBlack"))));
    QVERIFY(t.start());
    QVERIFY(t.pick());
    t.takeAll();
    QVERIFY(t.guess(3, s("hot\ndog")));
    QVERIFY(t.sync());
    const QStringList seen = t.at(2)->take();
    for (const QString &m : seen)
        QVERIFY2(!m.contains(QLatin1Char('\r')) && !m.contains(QLatin1Char('\n')) && !m.contains(QChar(0)),
                 qPrintable(m));
    QVERIFY(seen.contains(cmd::buildMyguessed(3, s("HOT DOG"))));
    QVERIFY(t.server.answered);
}

void TestHostTable::winnerWhoLeftIsNamed()
{
    Table t;
    QVERIFY(t.start(1, false, 2));
    QVERIFY(t.pick());
    QVERIFY(t.guess(2, s("hot dog")));
    t.at(2)->disconnectFromHost();
    QVERIFY(waitUntil([&] { return !t.server.inuse(2); }));
    t.takeAll();
    t.tick(11);
    QVERIFY(t.sync());
    QCOMPARE(only(t.at(3)->take(), s("CMD_winner")), QStringList{s("CMD_winner+Bob")});
}

void TestHostTable::newcomerSeesTheBreakAndTheTeams()
{
    Table t;
    QVERIFY(t.start(1, false, 20, 60));
    QVERIFY(t.pick());
    QVERIFY(t.guess(2, s("hot dog")));
    RawClient *late = t.connect();
    late->send(cmd::buildLogininfo(late->slot, cmd::versionText, s("Di")));
    QVERIFY(t.sync(late));
    QStringList state = late->take().filter(
        QRegularExpression(s("^CMD_(nextplayer|gamestats|correctanswer|teamscore|updateanswer)")));
    QCOMPARE(state, (QStringList{s("CMD_nextplayer+1+0+HOT DOG "), t.scores(),
                                 cmd::buildCorrectanswer(2, 2, 1, 1, s("HOT DOG"))}));

    // A team game: the newcomer learns the teams' scores with the game.
    Table team;
    QVERIFY(team.start(1, true, 20, 60));
    QVERIFY(team.pick());
    QVERIFY(team.guess(2, s("dog")));
    RawClient *l2 = team.connect();
    l2->send(cmd::buildLogininfo(l2->slot, cmd::versionText, s("Di")));
    QVERIFY(team.sync(l2));
    state = l2->take().filter(
        QRegularExpression(s("^CMD_(nextplayer|gamestats|correctanswer|teamscore|updateanswer)")));
    QCOMPARE(state, (QStringList{s("CMD_nextplayer+1+0+___ DOG "), team.scores(),
                                 cmd::buildTeamscore({0, 0, 0, 0, 0, 0, 0, 0, 0, 0})}));
}

QTEST_GUILESS_MAIN(TestHostTable)
#include "tst_hosttable.moc"
