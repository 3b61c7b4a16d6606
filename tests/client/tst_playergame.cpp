// The player's game without any window: the table, the scores and the clock as host messages
// leave them, and what it asks the window to show.
#include "client/core/playergame.h"
#include "protocol/commands.h"
#include "protocol/errors.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

class TestPlayerGame : public QObject
{
    Q_OBJECT

private slots:
    // Arrivals, departures and renames keep the seats; a newcomer in a seat counts as a change;
    // spies are listed by number and name.
    void tableFollowsArrivalsAndDepartures()
    {
        PlayerGame g;
        QSignalSpy seats(&g, &PlayerGame::seatChanged);
        g.seatarrived(3, QStringLiteral("Cy"));
        g.setwatching(3, true);
        QCOMPARE(g.seatname(3), QStringLiteral("Cy"));
        const int before = g.seats[3].changes;
        g.seatleft(3);
        QCOMPARE(g.seatname(3), PlayerGame::waiting);
        QVERIFY(!g.seats[3].watching);
        QVERIFY(g.seats[3].changes > before);
        QCOMPARE(seats.count(), 3);
        g.refreshplayerlist(QStringLiteral("12+Zed")); // a spy has no row
        g.seatarrived(0, QStringLiteral("Nobody"));
        QCOMPARE(seats.count(), 3);
        QCOMPARE(g.seatname(12), QString());

        g.spyarrived(12, QStringLiteral("Zed"));
        QVERIFY(!g.spyleft(12, QStringLiteral("Zoe")));
        QVERIFY(g.spyleft(12, QStringLiteral("Zed")));
        QVERIFY(g.spies.isEmpty());
    }

    // The scores message sets the options and every seat's score as written, and a newcomer's
    // running turn clock; a team score colours the rows; a bad field stops the message where it is.
    void scoresAndOptions()
    {
        PlayerGame g;
        QSignalSpy options(&g, &PlayerGame::optionsChanged);
        g.gamestats(QStringLiteral("15+90+1+2+3+4+5+6+7+8+9+10"));
        QCOMPARE(g.playtocaption, QStringLiteral("Play to Score: 15"));
        QCOMPARE(g.turnseconds, 90);
        QCOMPARE(g.seats[10].score, QStringLiteral("10"));
        QCOMPARE(options.count(), 1);

        g.turnClockMode = 1; // joined during a drawing turn: the clock takes the game's time
        g.gamestats(QStringLiteral("15+45+0"));
        QCOMPARE(g.secondsleft, 45);
        g.pickseen = true;
        g.gamestats(QStringLiteral("15+60+0"));
        QCOMPARE(g.secondsleft, 45);

        QVERIFY(!g.teamgame);
        g.teamscore(QStringLiteral("4+4+4+4"));
        QVERIFY(g.teamgame);
        QCOMPARE(g.seats[4].score, QStringLiteral("4"));

        g.justwatching(QStringLiteral("2+1"));
        QVERIFY(g.seats[2].watching);
        QVERIFY_THROWS_EXCEPTION(EConvertError, g.justwatching(QStringLiteral("x+2")));
        QVERIFY(g.seats[2].watching);
    }

    // Relayed strokes reach the board with their pen; this player's own come back to nothing; a
    // stroke that does not read is dropped quietly, and a run keeps the points before a bad one.
    void relayedStrokes()
    {
        PlayerGame g;
        g.mynumber = 2;
        QSignalSpy started(&g, &PlayerGame::strokeStarted);
        QList<QList<QPoint>> runs;
        connect(&g, &PlayerGame::strokeDrawn, this,
                [&runs](const QColor &, int, const QPoint *p, qsizetype n) {
                    runs.append(QList<QPoint>(p, p + n));
                });
        QSignalSpy wiped(&g, &PlayerGame::boardWiped);
        g.moveit(QStringLiteral("3+clRed+5+10+20"));
        g.moveit(QStringLiteral("2+clRed+5+10+20"));
        g.moveit(QStringLiteral("3+notacolour+5+10+20"));
        QCOMPARE(started.count(), 1);
        QCOMPARE(started.first().at(0).toPoint(), QPoint(10, 20));
        QCOMPARE(started.first().at(1).value<QColor>(), QColor(Qt::red));
        g.drawit(QStringLiteral("3+clRed+5++1,2+3,4+x,5+7,8+"));
        g.drawit(QStringLiteral("2+clRed+5++1,2+"));
        QCOMPARE(runs, (QList<QList<QPoint>>{{QPoint(1, 2), QPoint(3, 4)}}));
        g.clearmain(QStringLiteral("2"));
        g.clearmain(QStringLiteral("3"));
        QCOMPARE(wiped.count(), 1);
    }

    // A chat line keeps its colour, white when the colour does not read; the host's pause line
    // ends the running game.
    void chatLines()
    {
        PlayerGame g;
        QSignalSpy lines(&g, &PlayerGame::chatLine);
        QSignalSpy paused(&g, &PlayerGame::paused);
        g.gamerunning = true;
        g.chatrecieved(QStringLiteral("1+Ann chats: hi|clNavy"));
        g.chatrecieved(QStringLiteral("1+Ann chats: a|b|junk"));
        QCOMPARE(lines.at(0), (QVariantList{QStringLiteral("1+Ann chats: hi"), 0x00800000}));
        QCOMPARE(lines.at(1), (QVariantList{QStringLiteral("1+Ann chats: a"), 0x00FFFFFF}));
        QVERIFY(paused.isEmpty() && g.gamerunning);
        g.chatrecieved(cmd::buildPaused().section(QLatin1Char('+'), 1));
        QCOMPARE(paused.count(), 1);
        QVERIFY(!g.gamerunning);
    }

    // Only seated, logged-in players lead, and only while every lower seat is empty.
    void leadingSeat()
    {
        PlayerGame g;
        g.mynumber = 3;
        QVERIFY(!g.leadsthetable());
        g.loggedin = true;
        QVERIFY(g.leadsthetable());
        g.seatarrived(2, QStringLiteral("Bob"));
        QVERIFY(!g.leadsthetable());
        g.seatleft(2);
        QVERIFY(g.leadsthetable());
        g.mynumber = 12;
        QVERIFY(!g.leadsthetable());
    }

    // The clock counts down once a second and stops below zero; a drawing turn keeps its rhythm.
    void clock()
    {
        PlayerGame g;
        g.restartclock(0, 1);
        QVERIFY(g.turnClock->isActive());
        g.turnClockTick();
        g.turnClockTick();
        QCOMPARE(g.secondsleft, -1);
        QVERIFY(!g.turnClock->isActive());
        g.turnseconds = 80;
        g.startturnclock();
        QCOMPARE(g.turnClockMode, 1);
        QCOMPARE(g.secondsleft, 80);
        QVERIFY(g.turnClock->isActive());
    }
};

QTEST_GUILESS_MAIN(TestPlayerGame)
#include "tst_playergame.moc"
