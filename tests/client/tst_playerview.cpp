// What a player's window shows as a game goes on and as it ends under the player: the turn line,
// banner and marks from pick to winner, and a window that stays when the game goes away. A raw
// peer stands in for the host.
#include "app/hostjoin.h"
#include "client/chatpane.h"
#include "client/tchat.h"
#include "protocol/commands.h"
#include "tests/board/chatfixture.h"
#include "tests/support/tchatui.h"
#include "widgets/chatviewer.h"
#include "widgets/flatbutton.h"
#include "widgets/flatpanel.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <sys/socket.h>

namespace {

bool shown(const QWidget *w)
{
    return !w->isHidden();
}

QString lastLine(const Tchat &t)
{
    return logof(t).lines.isEmpty() ? QString() : logof(t).lines.last().first;
}

bool hasBanner(const Tchat &t)
{
    return !ui(t).image_cat->pixmap().isNull();
}

} // namespace

class TestPlayerView : public QObject
{
    Q_OBJECT
    QTemporaryDir home;

private slots:
    void initTestCase() { qputenv("QUILLET_HOME", home.path().toLocal8Bit()); }

    // Pick, drawing, the break after a correct answer, the next pick, the win and a new game.
    void turnDisplayFollowsTheTurn()
    {
        ChatAtHost at;
        QVERIFY(at.start(1));
        Tchat &t = *at.chat;
        logof(t);
        at.host.send(cmd::buildNewplayerinfo(1, QStringLiteral("Ann")));
        at.host.send(cmd::buildNewplayerinfo(2, QStringLiteral("Bob")));
        at.host.send(cmd::buildStartgame(1, false, 20, 60));
        QTRY_COMPARE(lastLine(t), QStringLiteral("0+You have started a game."));

        at.host.send(cmd::buildPickcatagoryTurn(2));
        QTRY_COMPARE(ui(t).label_turn->text(), QStringLiteral("Bob is choosing a category."));
        QVERIFY(!shown(ui(t).panel_pickcatagory));
        at.host.send(cmd::buildNextplayer(2, 3, QStringLiteral("_____ ")));
        QTRY_COMPARE(ui(t).label_turn->text(), QStringLiteral("Bob's turn to draw."));
        QVERIFY(hasBanner(t));
        at.host.send(cmd::buildCorrectanswer(1, 2, 2, 1, QStringLiteral("APPLE")));
        QTRY_COMPARE(ui(t).label_answer->text(), QStringLiteral("APPLE"));
        // The break keeps the finished turn on show, and its snapshot button.
        QVERIFY(shown(ui(t).label_adrawer) && shown(ui(t).label_aguesser) && shown(ui(t).button_snapshot));
        QVERIFY(hasBanner(t));

        // This player's pick: the finished turn is gone, and the line says whose choice it is.
        at.host.send(cmd::buildPickcatagoryTurn(1));
        QTRY_COMPARE(ui(t).label_turn->text(), QStringLiteral("Your turn to choose a category."));
        QVERIFY(shown(ui(t).panel_pickcatagory));
        QCOMPARE(ui(t).label_answer->text(), QString());
        QVERIFY(!hasBanner(t));
        QVERIFY(!shown(ui(t).label_adrawer) && !shown(ui(t).label_aguesser) && !shown(ui(t).button_snapshot));
        at.host.send(cmd::buildNextplayer(1, 2, QStringLiteral("_____")));
        at.host.send(cmd::buildGivedraweranswer(QStringLiteral("PEARS")));
        QTRY_COMPARE(ui(t).label_fullanswer->text(), QStringLiteral("PEARS"));
        QCOMPARE(ui(t).label_turn->text(), QStringLiteral("Your turn to draw."));

        at.host.send(cmd::buildCorrectanswer(2, 20, 1, 9, QStringLiteral("PEARS")));
        at.host.send(cmd::buildWinner(QStringLiteral("Bob")));
        QTRY_VERIFY(shown(ui(t).winnerPanel));
        QCOMPARE(ui(t).label_turn->text(), QStringLiteral("The game is over."));

        // A new game opens clean.
        at.host.send(cmd::buildStartgame(2, false, 20, 60));
        QTRY_VERIFY(!shown(ui(t).winnerPanel));
        QCOMPARE(lastLine(t), QStringLiteral("0+Bob has started a game."));
        QVERIFY(!hasBanner(t));
        QCOMPARE(ui(t).label_turn->text(), QString());
        QCOMPARE(ui(t).label_answer->text(), QString());
        QVERIFY(at.boxes.isEmpty());
    }

    // Removed, the host gone, the connection broken: the window stays with its board and chat,
    // says why in the chat and the title, keeps nothing that needs the game, and File / Join a
    // Game... starts again from it.
    void windowStaysWhenTheGameGoes_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("why");
        QTest::newRow("removed") << QStringLiteral("removed")
                                 << QStringLiteral("You were removed from the game.");
        QTest::newRow("host ended") << QStringLiteral("ended")
                                    << QStringLiteral("The host has ended the game.");
        QTest::newRow("lost") << QStringLiteral("lost")
                              << QStringLiteral("The connection to the host was lost.");
    }
    void windowStaysWhenTheGameGoes()
    {
        QFETCH(QString, how);
        QFETCH(QString, why);
        ChatAtHost at;
        QVERIFY(at.start(2));
        Tchat &t = *at.chat;
        logof(t);
        QSignalSpy closed(&t, &Tchat::closed);
        at.host.send(cmd::buildNewplayerinfo(1, QStringLiteral("Ann")));
        at.host.send(cmd::buildNewplayerinfo(2, QStringLiteral("Bob")));
        at.host.send(cmd::buildStartgame(1, false, 20, 60));
        at.host.send(cmd::buildPickcatagoryTurn(2));
        at.host.send(cmd::buildNextplayer(2, 1, QStringLiteral("____")));
        at.host.send(cmd::buildChatRelay(1, QStringLiteral("Ann"), QStringLiteral("hi|clRed")));
        QTRY_VERIFY(shown(ui(t).panel_toolbar));
        // Counted once Ann's line is in: it comes after the turn.
        QTRY_VERIFY(lastLine(t).endsWith(QStringLiteral("hi")));
        const int chatLines = ui(t).chatpane->mainchat->paragraphCount();

        if (how == QLatin1String("removed"))
            at.host.send(cmd::buildPlayerdisconnected(2, QStringLiteral("Bob")));
        if (how == QLatin1String("lost")) {
            // A reset instead of an orderly close.
            const linger hard{1, 0};
            ::setsockopt(int(at.host.socket()->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard,
                         sizeof hard);
            at.host.socket()->abort();
        } else {
            at.host.socket()->disconnectFromHost();
        }
        QTRY_VERIFY(t.game()->gameleft());
        QCOMPARE(t.windowTitle(), Tchat::title + QStringLiteral(" - ") + why.chopped(1));
        QCOMPARE(lastLine(t),
                 QStringLiteral("0+") + why +
                     QStringLiteral(" Use File / Host a Game... or Join a Game... to play again."));
        QTest::qWait(50);
        QVERIFY(t.isVisible());
        QCOMPARE(closed.count(), 0);
        QCOMPARE(ui(t).chatpane->mainchat->paragraphCount(), chatLines + 1);
        QCOMPARE(ui(t).label_playername[1]->text(), QStringLiteral("Ann"));
        QVERIFY(!t.game()->loggedin());
        QVERIFY(!shown(ui(t).panel_toolbar) && !shown(ui(t).button_pass) && !shown(ui(t).button_start));
        QVERIFY(!ui(t).chatpane->mychat->isEnabled() && !ui(t).chatpane->phraserow->isEnabled());
        QVERIFY(!ui(t).chatpane->b_phrase10->isEnabled());
        QVERIFY(!ui(t).justWatchAction->isEnabled() && !ui(t).startGameAction->isEnabled());
        QVERIFY(ui(t).hostGameAction->isEnabled() && ui(t).joinGameAction->isEnabled());
        QVERIFY(at.boxes.isEmpty());

        // Joining again ends this copy and names the next one's command line.
        HostJoin hostjoin(&t);
        const QStringList next{QStringLiteral("Bob"), QStringLiteral("127.0.0.1:7800"),
                               QStringLiteral("join")};
        hostjoin.choose(next);
        QCOMPARE(closed.count(), 1);
        QCOMPARE(hostjoin.nextRole, next);
    }
};

QTEST_MAIN(TestPlayerView)
#include "tst_playerview.moc"
