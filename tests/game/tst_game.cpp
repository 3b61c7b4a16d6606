// A complete game in one process: the real host and three main windows over loopback, played from
// the windows' own controls. Timers are driven by hand.

#include "app/serverhost.h"
#include "board/drawingboard.h"
#include "client/tchat.h"
#include "features/spylist.h"
#include "host/tserver.h"
#include "platform/errors.h"
#include "tests/board/chatfixture.h"
#include "tests/support/netsupport.h"
#include "tests/support/tchatui.h"
#include "windows/tgamestartform.h"

#include "widgets/flatpanel.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <memory>

namespace {

// One copy's windows, as the program makes them.
struct Player
{
    std::unique_ptr<Tgamestartform> form = std::make_unique<Tgamestartform>();
    std::unique_ptr<Tspylist> spylist = std::make_unique<Tspylist>();
    std::unique_ptr<Tchat> chat;
};

} // namespace

class Game : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void aCompleteGame();

private:
    // Runs sockets and drains until nothing moves any more: the host's queue, then each window's.
    void pump();
    template <typename F> bool waitUntilPumped(F condition, int ms = 10000)
    {
        QDeadlineTimer until(ms);
        while (!condition()) {
            if (until.hasExpired())
                return false;
            pump();
        }
        return true;
    }
    void seconds(int n);
    Player &drawer();
    Player &guesserFor(const Player &drawer);
    void pickCategory(Player &d, int category);
    void drawStroke(Player &d, const QList<QPoint> &stroke);
    void guess(Player &g, const QString &text);

    std::unique_ptr<TServer> server;
    std::unique_ptr<ServerHost> localhost;
    std::vector<std::unique_ptr<Player>> players;
    QStringList boxes;
};

void Game::initTestCase()
{
    qputenv("QUILLET_GAME_PORT", QByteArray::number(freePort()));
    qputenv("QUILLET_LOBBY_PORT", QByteArray::number(freePort())); // nobody listens: the link just fails
    errorbox::setHook([this](const QString &t) { boxes << t; });

    server = std::make_unique<TServer>();
    localhost = std::make_unique<ServerHost>(*server);
    // The test ticks the game's clock itself.
    server->clockms = 3600 * 1000;
    server->game().seed(11);
    const QStringList lists[7] = {
        {QStringLiteral("hot dog"), QStringLiteral("blue sky"), QStringLiteral("tall tree")},
        {QStringLiteral("running fast"), QStringLiteral("jumping rope")},
        {QStringLiteral("good luck"), QStringLiteral("big deal")},
        {QStringLiteral("the clouds"), QStringLiteral("red band")},
        {QStringLiteral("a silent film"), QStringLiteral("star ships")},
        {QStringLiteral("news hour"), QStringLiteral("late show")},
        {QStringLiteral("apple pie"), QStringLiteral("cold soup"), QStringLiteral("fresh bread")},
    };
    for (int c = 0; c < 7; ++c)
        server->game().setPhraseList(c, lists[c]);

    const QStringList names = {QStringLiteral("Ann"), QStringLiteral("Bob"), QStringLiteral("Cid")};
    for (int i = 0; i < 3; ++i) {
        auto p = std::make_unique<Player>();
        p->chat = std::make_unique<Tchat>();
        p->chat->attach(
            {.spylist = p->spylist.get(), .gamestartform = p->form.get(), .localhost = localhost.get()});
        p->chat->setparams({names[i], QStringLiteral("127.0.0.1"),
                            i == 0 ? QStringLiteral("true") : QStringLiteral("join")});
        p->chat->show();
        Tchat *c = p->chat.get();
        players.push_back(std::move(p));
        // One at a time, so the seats go 1, 2, 3.
        QVERIFY(waitUntilPumped([&] { return c->game()->mynumber() == i + 1 && c->game()->loggedin(); }));
    }
    pump();
    for (auto &p : players)
        QCOMPARE(p->chat->game()->seatname(3), QStringLiteral("Cid"));
}

void Game::cleanupTestCase()
{
    players.clear();
    localhost.reset();
    server.reset();
    errorbox::setHook({});
}

void Game::pump()
{
    int quiet = 0;
    while (quiet < 20) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        bool moved = false;
        while (!server->queue().isEmpty()) {
            guard([this] { server->socktimerTimer(); });
            moved = true;
        }
        for (auto &p : players) {
            while (!p->chat->link()->receivedlist.isEmpty()) {
                guard([&] { p->chat->link()->drainQueue(); });
                moved = true;
            }
        }
        quiet = moved ? 0 : quiet + 1;
        if (!moved)
            QThread::usleep(200);
    }
}

void Game::seconds(int n)
{
    for (int i = 0; i < n; ++i) {
        if (server->game().clockrunning())
            guard([this] { server->game().tick(); });
        pump();
    }
}

Player &Game::drawer()
{
    return *players[server->game().drawer() - 1];
}

Player &Game::guesserFor(const Player &d)
{
    // Bob guesses whenever he can, so the game comes to an end.
    return &d == players[1].get() ? *players[0] : *players[1];
}

void Game::pickCategory(Player &d, int category)
{
    QVERIFY(ui(d.chat).panel_pickcatagory->isVisible());
    for (auto &p : players)
        QVERIFY(p.get() == &d || !ui(p->chat).panel_pickcatagory->isVisible());
    QTest::mouseClick(ui(d.chat).button_cat[category], Qt::LeftButton);
    pump();
    QCOMPARE(server->game().phase(), HostGame::Phase::drawing);
    QCOMPARE(server->game().category(), category);
    QVERIFY(ui(d.chat).panel_toolbar->isVisible());
    QVERIFY(!ui(d.chat).panel_answer->isVisible());
    QCOMPARE(ui(d.chat).label_fullanswer->text(), server->game().phrase());
    for (auto &p : players) {
        if (p.get() != &d) {
            QVERIFY(ui(p->chat).panel_answer->isVisible());
            QVERIFY(ui(p->chat).edit_answer->isVisible());
            QCOMPARE(ui(p->chat).label_answer->text(), server->game().mask());
        }
    }
}

void Game::drawStroke(Player &d, const QList<QPoint> &stroke)
{
    DrawingBoard *board = ui(d.chat).image_main;
    press(board, stroke.first());
    for (qsizetype i = 1; i < stroke.size(); ++i)
        drag(board, stroke[i]);
    release(board, stroke.last());
    pump();
    // Every point of the stroke is on every window's backing picture.
    for (auto &p : players) {
        const QImage &im = ui(p->chat).image_main->image_backup;
        for (const QPoint &pt : stroke)
            QVERIFY2(im.pixel(pt) == qRgb(0, 0, 0), qPrintable(p->chat->game()->startup().name));
    }
}

void Game::guess(Player &g, const QString &text)
{
    ui(g.chat).edit_answer->setFocus();
    QTest::keyClicks(ui(g.chat).edit_answer, text);
    QTest::keyClick(ui(g.chat).edit_answer, Qt::Key_Return);
    QCOMPARE(ui(g.chat).edit_answer->text(), QString());
    pump();
}

void Game::aCompleteGame()
{
    Player &ann = *players[0];
    // Ann hosts: she opens the dialog from her start button and starts the game.
    ui(ann.chat).button_start->show();
    QTest::mouseClick(ui(ann.chat).button_start, Qt::LeftButton);
    QVERIFY(ann.form->isVisible());
    QVERIFY(!ui(ann.chat).button_start->isVisible());
    QCOMPARE(ann.form->playtoscore->text(), QStringLiteral("20"));
    QTest::mouseClick(ann.form->startButton, Qt::LeftButton);
    QVERIFY(!ann.form->isVisible());
    pump();
    QCOMPARE(server->game().phase(), HostGame::Phase::picking);
    QCOMPARE(server->game().drawer(), 1);

    int turn = 0;
    bool passedOnce = false, timedOut = false;
    while (server->game().running() && turn < 40) {
        Player &d = drawer();
        pickCategory(d, turn % 7);
        if (turn < 3) {
            // Strokes go to every window; the trash wipes them everywhere.
            drawStroke(d, {{100, 100}, {140, 120}, {180, 100}, {220, 140}});
            if (turn == 0) {
                QTest::mouseClick(ui(d.chat).clear, Qt::LeftButton);
                pump();
                for (auto &p : players)
                    QVERIFY(inkCount(ui(p->chat).image_main->image_backup) == 0);
                drawStroke(d, {{300, 200}, {320, 260}});
            }
        }
        if (turn == 0 && !passedOnce) {
            // The drawer buys a different phrase for a point: the button goes, every window shows the score.
            const QString before = server->game().phrase();
            QVERIFY(ui(d.chat).button_pass->isVisible());
            QTest::mouseClick(ui(d.chat).button_pass, Qt::LeftButton);
            pump();
            QVERIFY(!ui(d.chat).button_pass->isVisible());
            QVERIFY(server->game().phrase() != before);
            QCOMPARE(ui(d.chat).label_fullanswer->text(), server->game().phrase());
            for (auto &p : players)
                QCOMPARE(ui(p->chat).label_score[server->game().drawer()]->text(),
                         QString::number(server->game().player(server->game().drawer()).score));
            passedOnce = true;
        }
        if (turn == 1 && !timedOut) {
            // Nobody finds it: the time runs out and the phrase is shown to everybody.
            Player &g = guesserFor(d);
            guess(g, QStringLiteral("nothing like it"));
            const QString phrase = server->game().phrase();
            seconds(server->game().secondsleft() + 1);
            for (auto &p : players)
                QCOMPARE(ui(p->chat).label_answer->text(), phrase);
            QVERIFY(!ui(d.chat).panel_toolbar->isVisible());
            timedOut = true;
        } else {
            Player &g = guesserFor(d);
            const QString phrase = ui(d.chat).label_fullanswer->text();
            guess(g, phrase.toLower());
            for (auto &p : players) {
                QCOMPARE(ui(p->chat).label_answer->text(), phrase);
                QVERIFY(!ui(p->chat).panel_answer->isVisible());
            }
            QCOMPARE(ui(g.chat).label_score[g.chat->game()->mynumber()]->text(),
                     QString::number(server->game().player(g.chat->game()->mynumber()).score));
        }
        QVERIFY(server->game().phase() == HostGame::Phase::found ||
                server->game().phase() == HostGame::Phase::shown);
        seconds(server->game().secondsleft() + 1);
        ++turn;
    }
    QVERIFY(passedOnce && timedOut);
    QVERIFY2(!server->game().running(), "the game did not end");
    // Bob won; every window shows it, and the host may start again.
    QCOMPARE(server->game().player(2).score >= 20, true);
    for (auto &p : players) {
        QVERIFY(ui(p->chat).winnerPanel->isVisible());
        QCOMPARE(ui(p->chat).label_winner->text(), QStringLiteral("Bob"));
    }
    QVERIFY(ui(ann.chat).button_start->isVisible());
    QVERIFY(!ui(players[1]->chat).button_start->isVisible());
    QVERIFY2(boxes.isEmpty(), qPrintable(boxes.join(QLatin1Char('\n'))));
}

QTEST_MAIN(Game)
#include "tst_game.moc"
