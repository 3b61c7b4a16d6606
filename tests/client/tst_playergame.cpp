// The player's game without any window: which controls each role sees through a turn, and what
// its requests send. What the window shows of the same messages is checked with the window.
#include "client/core/playergame.h"
#include "client/core/playerlink.h"
#include "platform/errors.h"
#include "protocol/commands.h"
#include "tests/support/playersetup.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A stand-in host on loopback: what the player's link sends, message by message, and what it is
// sent back.
struct StandInHost
{
    QTcpServer server;
    QTcpSocket *peer = nullptr;
    QByteArray pending;

    bool accept(PlayerLink &link)
    {
        if (!server.listen(QHostAddress::LocalHost))
            return false;
        link.sock.HostName = QStringLiteral("127.0.0.1");
        link.sock.PortName = QString::number(server.serverPort());
        link.sock.Open();
        if (!QTest::qWaitFor([&] { return server.hasPendingConnections() && link.sock.Connected(); }))
            return false;
        peer = server.nextPendingConnection();
        return true;
    }
    void say(const QString &message) { peer->write(message.toLatin1() + char(0xFF)); }
    // Every message sent from here on until the marker, which the test sends last.
    QStringList until(const QString &marker)
    {
        QStringList got;
        const QByteArray end = marker.toLatin1() + char(0xFF);
        if (!QTest::qWaitFor([&] {
                pending += peer->readAll();
                return pending.contains(end);
            }))
            return {QStringLiteral("(no %1)").arg(marker)};
        for (const QByteArray &m : pending.split(char(0xFF)))
            if (!m.isEmpty())
                got << QString::fromLatin1(m);
        pending.clear();
        got.removeAll(marker);
        return got;
    }
};

using C = PlayerGame::Controls;

} // namespace

class TestPlayerGame : public QObject
{
    Q_OBJECT

private slots:
    // The system lines and sound cues of arrivals, departures, version warnings and a pass, with
    // their colours; a second report of the same departure, or of a spy the list does not hold
    // exactly, adds nothing.
    void linesAndCues_data()
    {
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("lines"); // text "|" colour
        QTest::addColumn<QStringList>("cues");
        const QString system = QLatin1Char('|') + QString::number(PlayerGame::systemcolour);
        const QString blue = QLatin1Char('|') + QString::number(PlayerGame::bluecolour);
        const QStringList entered(3, QStringLiteral("entered"));
        QTest::newRow("arrivals") << QStringList{u"CMD_sendlogininfo+2"_s, u"CMD_newplayerinfo+2+Bob"_s,
                                                 u"CMD_existingplayers+1+Ann"_s,
                                                 u"CMD_existingplayers+12+Zed"_s}
                                  << QStringList{u"0+You are Connected."_s + system,
                                                 u"0+Ann is Connected."_s + system,
                                                 u"0+Zed is Connected."_s + system,
                                                 u"0+Zed is spying."_s + system}
                                  << entered;
        QTest::newRow("own arrival as a spy")
            << QStringList{u"CMD_sendlogininfo+11"_s, u"CMD_newplayerinfo+11+Eve"_s}
            << QStringList{u"0+You are Connected."_s + system, u"0+You are spying."_s + system}
            << QStringList{u"entered"_s};
        QTest::newRow("departures")
            << QStringList{u"CMD_sendlogininfo+1"_s,          u"CMD_existingplayers+2+Bob"_s,
                           u"CMD_existingplayers+13+Zed"_s,   u"CMD_playerdisconnected+2+Other"_s,
                           u"CMD_playerdisconnected+2+Bob"_s, u"CMD_playerdisconnected+13+Zedd"_s,
                           u"CMD_playerdisconnected+13+Zed"_s}
            << QStringList{u"0+Bob is Connected."_s + system, u"0+Zed is Connected."_s + system,
                           u"0+Zed is spying."_s + system, u"0+Bob disconnected."_s + system,
                           u"0+Zed has left."_s + system}
            << QStringList(2, u"entered"_s);
        QTest::newRow("version warnings")
            << QStringList{u"CMD_havewrongversion+Bob"_s, u"CMD_wrongversion+"_s}
            << QStringList{u"0+Bob has a different version of the game then you."_s + blue,
                           u"0+You have a different version of the game then the host."_s + blue}
            << QStringList{};
        QTest::newRow("pass") << QStringList{u"CMD_existingplayers+3+Cy"_s, u"CMD_passed+3+4"_s}
                              << QStringList{u"0+Cy is Connected."_s + system,
                                             u"0+Cy has bought a different phrase for one point."_s + system}
                              << QStringList{u"entered"_s, u"pass"_s};
    }
    void linesAndCues()
    {
        QFETCH(QStringList, messages);
        QFETCH(QStringList, lines);
        QFETCH(QStringList, cues);
        PlayerGame g;
        QStringList gotlines, gotcues;
        connect(&g, &PlayerGame::chatLine, this, [&](const QString &line, int colour) {
            gotlines << line + QLatin1Char('|') + QString::number(colour);
        });
        connect(&g, &PlayerGame::cue, this, [&](const QString &name) { gotcues << name; });
        play(g, messages);
        QCOMPARE(gotlines, lines);
        QCOMPARE(gotcues, cues);
    }

    // Which controls show, through a whole turn as the drawer and as a guesser, a win and the
    // end of the game; the host's role keeps Start apart from the table.
    void controlsFollowRoleAndTurn()
    {
        PlayerGame g;
        QSignalSpy changed(&g, &PlayerGame::controlsChanged);
        const auto shows = [&g](bool C::*c) { return g.controls().*c; };
        g.handle(QStringLiteral("CMD_sendlogininfo+1"));
        QVERIFY(shows(&C::start) && shows(&C::startmenu) && shows(&C::removal)); // number 1 leads
        g.handle(QStringLiteral("CMD_startgame+1+false+5+60"));
        QVERIFY(!shows(&C::start) && !shows(&C::startmenu) && shows(&C::justwatch));
        g.handle(QStringLiteral("CMD_pickcatagory+1"));
        QVERIFY(shows(&C::pick));
        QVERIFY(g.pickit(2));
        QVERIFY(!shows(&C::pick));
        g.handle(QStringLiteral("CMD_nextplayer+1+2+___"));
        QVERIFY(shows(&C::toolbar) && shows(&C::pass) && shows(&C::fullanswer) && !shows(&C::answer));
        QCOMPARE(g.turn().line, QStringLiteral("Your turn to draw."));
        g.passit();
        QVERIFY(!shows(&C::pass) && shows(&C::toolbar));
        g.handle(QStringLiteral("CMD_correctanswer+2+1+1+2+CAT"));
        QVERIFY(!shows(&C::toolbar) && shows(&C::snapshot) && shows(&C::marks));
        QCOMPARE(g.turn().answer, QStringLiteral("CAT"));

        g.handle(QStringLiteral("CMD_pickcatagory+2"));
        QVERIFY(!shows(&C::pick) && !shows(&C::snapshot) && !shows(&C::marks));
        g.handle(QStringLiteral("CMD_nextplayer+2+4+___ ___"));
        QVERIFY(shows(&C::answer) && shows(&C::answerentry) && !shows(&C::toolbar) && !shows(&C::fullanswer));
        QCOMPARE(g.turn().category, 4);
        // Set to watch, the seat reads the guesses as a spy does; back in play it guesses again.
        g.handle(QStringLiteral("CMD_justwatching+1+1"));
        QVERIFY(shows(&C::answer) && !shows(&C::answerentry));
        g.handle(QStringLiteral("CMD_justwatching+1+0"));
        QVERIFY(shows(&C::answerentry));
        g.handle(QStringLiteral("CMD_updateanswer+true+DOG HOUSE"));
        QVERIFY(!shows(&C::answer) && shows(&C::snapshot) && !shows(&C::marks));
        QCOMPARE(g.drawernumber(), 0);
        g.handle(QStringLiteral("CMD_winner+Ann"));
        QVERIFY(shows(&C::winner) && shows(&C::start));
        QCOMPARE(g.turn().line, QStringLiteral("The game is over."));

        // A bad category stops the turn message after the drawer: the game's own steps before it stay.
        QVERIFY_THROWS_EXCEPTION(EConvertError, g.handle(QStringLiteral("CMD_nextplayer+2+x+___")));
        QVERIFY(!shows(&C::winner) && !shows(&C::start));
        QCOMPARE(g.drawernumber(), 2);
        QVERIFY(!shows(&C::answer)); // the role's part never came

        // A spy reads the guesses but has no entry; a game gone takes everything that needs it.
        PlayerGame spy;
        spy.handle(QStringLiteral("CMD_sendlogininfo+12"));
        spy.handle(QStringLiteral("CMD_nextplayer+2+4+___ ___"));
        QVERIFY(spy.controls().answer && !spy.controls().answerentry);
        g.leavegame(QStringLiteral("The host has ended the game."));
        const C left = g.controls();
        QVERIFY(!left.start && !left.startmenu && !left.pick && !left.toolbar && !left.answer && !left.pass);
        QVERIFY(!left.chat && !left.removal && !left.justwatch);
        QVERIFY(changed.count() > 10);
    }

    // Rules each written once in the game: only the drawer picks, passes and wipes; before the
    // login nothing leaves and the chat entry keeps its line; Start opens the form only once
    // logged in; the seat menu removes only with the hosting player's say, and only a seated player.
    void requestRules()
    {
        Sent sent;
        PlayerGame g;
        g.setoutbox(&sent);
        QSignalSpy wiped(&g, &PlayerGame::boardWiped);
        // Before the login nobody has a number and nobody draws: this copy counts as the drawer,
        // but nothing leaves.
        QVERIFY(g.drawing() && g.pickit(1) && g.wipeit());
        QVERIFY(!g.chatit(QStringLiteral("early"), QStringLiteral("clRed")));
        QVERIFY(!g.controls().startform);
        g.startgame(false, 20, 120);
        g.passit();
        QCOMPARE(sent.messages, QStringList());

        g.handle(QStringLiteral("CMD_sendlogininfo+3"));
        sent.messages.clear();
        QVERIFY(g.controls().startform);
        QVERIFY(g.chatit(QString(), QStringLiteral("clRed"))); // used up, nothing sent
        QVERIFY(g.chatit(QStringLiteral("/ME shouts"), QStringLiteral("clRed")));
        g.handle(QStringLiteral("CMD_pickcatagory+5"));
        QVERIFY(!g.drawing());
        wiped.clear();
        QVERIFY(!g.pickit(2));
        QVERIFY(!g.wipeit());
        g.passit();
        QCOMPARE(wiped.count(), 0);
        g.handle(QStringLiteral("CMD_nextplayer+3+0+___"));
        QVERIFY(g.drawing() && g.pickit(2) && g.wipeit());
        g.passit();
        g.startgame(true, 25, 110);
        QCOMPARE(sent.messages, (QStringList{cmd::buildPickcatagory(3, 2), cmd::buildClearmain(3),
                                             cmd::buildPass(3), cmd::buildStartgame(3, true, 25, 110)}));

        // Seat 3 does not lead while seat 1 is taken: no say, no removal.
        g.handle(QStringLiteral("CMD_newplayerinfo+1+Ann"));
        g.handle(QStringLiteral("CMD_newplayerinfo+3+Cid"));
        QVERIFY(!g.controls().removal && !g.controls().removable[3]);
        g.handle(QStringLiteral("CMD_playerdisconnected+1+Ann"));
        const C c = g.controls();
        QVERIFY(g.hostsay() && c.removal);
        QVERIFY(c.removable[3] && !c.removable[1] && !c.removable[4]); // only seated players
    }

    // A whole game as the record keeps it: each turn that ended, in order, with its drawer, phrase
    // and solver; a turn whose drawer left is not one; the ranking shares tied places, keeps a
    // player who left with the score he had, and in a team game ranks the teams by their keeping
    // seats with their players beneath. Each new game starts a new record.
    void recordOfAGame()
    {
        PlayerGame g;
        QSignalSpy recorded(&g, &PlayerGame::recorded);
        play(g, {"CMD_sendlogininfo+2",
                 "CMD_newplayerinfo+1+Ann",
                 "CMD_newplayerinfo+2+Bob",
                 "CMD_newplayerinfo+3+Cid",
                 "CMD_newplayerinfo+4+Dee",
                 "CMD_startgame+1+false+5+30",
                 "CMD_hints+true",
                 "CMD_pickcatagory+1",
                 "CMD_nextplayer+1+4+___",
                 "CMD_correctanswer+3+2+1+1+CAT",
                 "CMD_pickcatagory+2",
                 "CMD_nextplayer+2+0+___ ___",
                 "CMD_updateanswer+false+DOG ___ ",
                 "CMD_updateanswer+true+DOG HOUSE",
                 "CMD_pickcatagory+3",
                 "CMD_nextplayer+3+1+___",
                 "CMD_playerdisconnected+3+Cid",
                 "CMD_pickcatagory+4",
                 "CMD_nextplayer+4+2+___",
                 "CMD_correctanswer+1+4+4+3+RUN",
                 "CMD_passed+4+2",
                 "CMD_winner+Ann"});
        using Turn = GameRecord::Turn;
        QCOMPARE(g.record().turns(),
                 (QList<Turn>{{QStringLiteral("Ann"), QStringLiteral("CAT"), QStringLiteral("Cid"), 4},
                              {QStringLiteral("Bob"), QStringLiteral("DOG HOUSE"), QString(), 0},
                              {QStringLiteral("Dee"), QStringLiteral("RUN"), QStringLiteral("Ann"), 2}}));
        // Each turn as it ended, then the win.
        QCOMPARE(recorded.count(), 4);
        QCOMPARE(recorded.at(2).at(0).toInt(), 2);
        QCOMPARE(recorded.last().at(0).toInt(), -1);
        QVERIFY(g.controls().podium && g.record().over());
        const auto places = [](const GameRecord &r) {
            QStringList got;
            for (const GameRecord::Place &p : r.ranking()) {
                got << QString::number(p.rank) + QLatin1Char(' ') + p.name + QLatin1Char(' ') +
                           QString::number(p.score) + (p.left ? QStringLiteral(" left") : QString());
                for (const GameRecord::Player &m : p.members)
                    got.last() += QLatin1Char(' ') + m.name;
            }
            return got;
        };
        QCOMPARE(places(g.record()),
                 (QStringList{QStringLiteral("1 Ann 4"), QStringLiteral("2 Dee 2"),
                              QStringLiteral("2 Cid 2 left"), QStringLiteral("4 Bob 0")}));

        // A team game: the podium and the turns of the last game go, the teams rank by seats 1
        // and 2 (a pass lowered seat 3 alone), and a tie leaves the host's winner first. Its start
        // has no CMD_hints after it, as from a host of the original design: no hints.
        QVERIFY(g.startoptions().hints);
        g.handle(QStringLiteral("CMD_newplayerinfo+3+Eve"));
        g.handle(QStringLiteral("CMD_startgame+1+true+20+60"));
        QVERIFY(!g.controls().podium && g.record().turns().isEmpty() && g.record().teamgame());
        QCOMPARE(g.startoptions(), (PlayerGame::StartOptions{true, 20, 60, false}));
        play(g, {"CMD_pickcatagory+3", "CMD_nextplayer+3+6+___", "CMD_teamscore+3+2+3+2+3+0+0+0+0+0",
                 "CMD_correctanswer+2+2+3+3+PIE", "CMD_passed+3+2", "CMD_winner+Black Team"});
        QCOMPARE(places(g.record()), (QStringList{QStringLiteral("1 Black Team 3 Ann Eve"),
                                                  QStringLiteral("2 Maroon Team 2 Bob Dee")}));
        play(g,
             {"CMD_startgame+1+true+20+60", "CMD_teamscore+4+4+4+4+4+0+0+0+0+0", "CMD_winner+Maroon Team"});
        QCOMPARE(places(g.record()), (QStringList{QStringLiteral("1 Maroon Team 4 Bob Dee"),
                                                  QStringLiteral("1 Black Team 4 Ann Eve")}));
        QVERIFY(g.record().turns().isEmpty()); // a copy that joined in a break has no turn to end

        // A game that goes on and on keeps its last turns only.
        GameRecord endless;
        for (int turn = 0; turn < GameRecord::maxturns + 5; ++turn) {
            endless.turnbegan(QStringLiteral("Ann"), 0);
            endless.turnended(QString::number(turn), {});
        }
        QCOMPARE(endless.turns().size(), GameRecord::maxturns);
        QCOMPARE(endless.firstturn(), 5);
        QCOMPARE(endless.turns().first().phrase, QStringLiteral("5"));
    }

    // Play Again belongs to the player who may start games: it sends the last start's options,
    // hints included, once; the others are told who that is. A copy that joined during the game
    // has its options from the game's stats.
    void playAgainStartsTheSameGame()
    {
        Sent sent;
        PlayerGame lead;
        PlayerGame other;
        for (PlayerGame *g : {&lead, &other}) {
            g->setoutbox(&sent);
            g->handle(g == &lead ? QStringLiteral("CMD_sendlogininfo+2")
                                 : QStringLiteral("CMD_sendlogininfo+3"));
            g->handle(QStringLiteral("CMD_newplayerinfo+2+Ann"));
            g->handle(QStringLiteral("CMD_newplayerinfo+3+Bob"));
            play(*g, {"CMD_startgame+2+false+5+30", "CMD_hints+true", "CMD_winner+Bob"});
            QCOMPARE(g->turnseconds(), 30);
            QVERIFY(g->startoptions().hints);
        }
        sent.messages.clear();
        QCOMPARE(other.leaderseat(), 2);
        QVERIFY(other.controls().podium && !other.controls().playagain);
        other.startagain();
        QVERIFY(lead.controls().podium && lead.controls().playagain);
        lead.startagain();
        lead.startagain(); // the button is gone until the host answers
        // The hints go ahead of a start of four fields, which a host of the original design reads.
        QCOMPARE(sent.messages, (QStringList{QStringLiteral("CMD_hints+2+true"),
                                             QStringLiteral("CMD_startgame+2+false+5+30")}));
        QVERIFY(!lead.controls().playagain && lead.controls().podium);
        lead.closepodium();
        QVERIFY(!lead.controls().podium);

        // The leader leaves: the next seat may start, with what the game's stats said.
        PlayerGame late;
        late.setoutbox(&sent);
        play(late, {"CMD_sendlogininfo+3", "CMD_newplayerinfo+2+Ann", "CMD_newplayerinfo+3+Cid",
                    "CMD_nextplayer+2+1+___", "CMD_gamestats+10+45+0+0+0+0+0+0+0+0+0+0",
                    "CMD_teamscore+0+0+0+0+0+0+0+0+0+0", "CMD_winner+Maroon Team"});
        QVERIFY(!late.controls().playagain);
        late.handle(QStringLiteral("CMD_playerdisconnected+2+Ann"));
        QCOMPARE(late.leaderseat(), 3);
        sent.messages.clear();
        late.startagain();
        QCOMPARE(sent.messages, QStringList{cmd::buildStartgame(3, true, 10, 45)});
    }

    // What the player's requests send over a real connection, and what they must not: nothing
    // before the login, nothing out of turn, a spy's sounds, unknown commands, a phrase in the pause.
    void requestsOverLoopback()
    {
        PlayerGame g;
        PlayerLink link(&g);
        StandInHost host;
        QVERIFY(host.accept(link));
        g.setloginname(QStringLiteral("Ann"));
        g.answerit(QStringLiteral("early"));
        g.chatit(QStringLiteral("early"), QStringLiteral("clRed"));
        g.justwatch();
        host.say(QStringLiteral("CMD_sendlogininfo+2"));
        QTRY_VERIFY(g.loggedin());
        host.say(QStringLiteral("CMD_pickcatagory+3"));
        QTRY_COMPARE(g.drawernumber(), 3);
        QVERIFY(!g.pickit(1)); // not this player's pick
        g.passit();
        g.wipeit();
        g.answerit(QStringLiteral("a+b\ncat"));
        g.chatit(QStringLiteral("/me waves"), QStringLiteral("clNavy"));
        g.chatit(QStringLiteral("/kick 3"), QStringLiteral("clNavy"));
        g.kicking(3); // the lowest seat leads
        host.say(QStringLiteral("CMD_newplayerinfo+1+Bob"));
        QTRY_COMPARE(g.seatname(1), QStringLiteral("Bob"));
        g.kicking(3); // no longer
        // A freed seat shows no score, and whoever sits there next starts at nothing.
        g.handle(QStringLiteral("CMD_passed+1+7"));
        host.say(QStringLiteral("CMD_playerdisconnected+1+Bob"));
        QTRY_COMPARE(g.seatname(1), PlayerGame::waiting);
        QCOMPARE(g.shownscore(1), QString());
        QCOMPARE(g.shownscore(3), QStringLiteral("0")); // nobody held it yet
        host.say(QStringLiteral("CMD_gamestats+20+60+5+0+0+0+0+0+0+0+0+0"));
        QTRY_COMPARE(g.seat(1).score, QStringLiteral("5"));
        QCOMPARE(g.shownscore(1), QString());
        host.say(QStringLiteral("CMD_newplayerinfo+1+Cid"));
        QTRY_COMPARE(g.shownscore(1), QStringLiteral("0"));
        g.justwatch();
        g.handle(QStringLiteral("CMD_justwatching+2+1"));
        g.answerit(QStringLiteral("watching")); // a watching seat does not guess
        g.justwatch();
        g.phraseit(QStringLiteral("says: Hi"), QStringLiteral("clRed"));
        g.phraseit(QStringLiteral("says: lost"), QStringLiteral("clRed"));
        g.soundit(0);
        g.soundit(4);
        host.say(QStringLiteral("CMD_sendlogininfo+12"));
        QTRY_COMPARE(g.mynumber(), 12);
        g.soundit(5);
        g.send(QStringLiteral("END"));
        QCOMPARE(host.until(QStringLiteral("END")),
                 (QStringList{cmd::buildLogininfo(2, cmd::versionText, QStringLiteral("Ann")),
                              QStringLiteral("CMD_answer+2+a+b cat"),
                              QStringLiteral("CMD_action+2+waves|clNavy"), cmd::buildKickhim(2, 3),
                              QStringLiteral("CMD_justwatch+2+1"), QStringLiteral("CMD_justwatch+2+2"),
                              QStringLiteral("CMD_action+2+says: Hi|clRed"), cmd::buildPlayasound(2, 4),
                              cmd::buildLogininfo(12, cmd::versionText, QStringLiteral("Ann"))}));
    }
};

QTEST_GUILESS_MAIN(TestPlayerGame)
#include "tst_playergame.moc"
