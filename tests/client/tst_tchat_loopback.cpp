// Two main windows logged into the real host over loopback, in one process.
#include "board/drawingboard.h"
#include "client/chatpane.h"
#include "client/tchat.h"
#include "host/tserver.h"
#include "platform/errors.h"
#include "protocol/colortext.h"
#include "protocol/commands.h"
#include "tests/host/hostgameprobe.h"
#include "tests/support/playersetup.h"
#include "tests/support/strokeui.h"
#include "tests/support/tchatui.h"
#include "widgets/chatviewer.h"
#include "widgets/flatpanel.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <array>
#include <memory>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A port nobody listens on right now.
QString freePort()
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(s, reinterpret_cast<sockaddr *>(&sa), sizeof sa);
    socklen_t len = sizeof sa;
    ::getsockname(s, reinterpret_cast<sockaddr *>(&sa), &len);
    ::close(s);
    return QString::number(ntohs(sa.sin_port));
}

} // namespace

class TestTchatLoopback : public QObject
{
    Q_OBJECT

    std::unique_ptr<TServer> host;
    QString port;
    QStringList boxes;

    std::unique_ptr<Tchat> join(const QString &name)
    {
        auto t = std::make_unique<Tchat>();
        logof(t);
        t->game()->setloginname(name);
        t->link()->sock.HostName = QStringLiteral("127.0.0.1");
        t->link()->sock.PortName = port;
        guard([&t] { t->link()->sock.Open(); });
        return t;
    }

    static QStringList names(const Tchat &t)
    {
        QStringList out;
        for (int seat = 1; seat <= 3; ++seat)
            out << ui(t).label_playername[seat]->text();
        return out;
    }

    // Ann (1), Bob (2) and Cy (3) at the real host, whose round timer the test ticks, in a game
    // whose every phrase is HOT DOG: Ann draws.
    std::array<std::unique_ptr<Tchat>, 4> gameOn(int playto = 20, bool hints = false)
    {
        host->clockms = 24 * 3600 * 1000;
        for (int c = 0; c < 7; ++c)
            host->game().setPhraseList(c, {QStringLiteral("hot dog")});
        std::array<std::unique_ptr<Tchat>, 4> t;
        const char *who[] = {"", "Ann", "Bob", "Cy"};
        for (int n = 1; n <= 3; ++n) {
            t[n] = join(QLatin1String(who[n]));
            [&] { QTRY_COMPARE(t[n]->game()->mynumber(), n); }();
        }
        [&] { QTRY_COMPARE(names(*t[1]).last(), QStringLiteral("Cy")); }();
        t[1]->game()->startgame(false, playto, 60, hints);
        [&] { QVERIFY(pickAndDraw(t, 1)); }();
        return t;
    }
    // Ticks the host's game clock until its countdown has run out, then lets the messages land.
    void runOut()
    {
        for (int ticks = host->game().secondsleft() + 1; ticks > 0; --ticks)
            host->game().tick();
        QTest::qWait(50);
    }
    // The seat that draws picks the first category and the drawing turn begins on every copy.
    bool pickAndDraw(const std::array<std::unique_ptr<Tchat>, 4> &t, int drawer)
    {
        if (!QTest::qWaitFor([&] { return !ui(t[drawer]).panel_pickcatagory->isHidden(); }))
            return false;
        QTest::mouseClick(ui(t[drawer]).button_cat[0], Qt::LeftButton);
        return QTest::qWaitFor([&] {
            return ui(t[drawer]).label_fullanswer->text() == QStringLiteral("HOT DOG") &&
                   t[1]->game()->clockmode() == turnclock::Mode::drawing &&
                   t[2]->game()->clockmode() == turnclock::Mode::drawing &&
                   t[3]->game()->clockmode() == turnclock::Mode::drawing;
        });
    }

private slots:
    void init()
    {
        boxes.clear();
        errorbox::setHook([this](const QString &text) { boxes << text; });
        port = freePort();
        host = std::make_unique<TServer>();
        host->listener.PortName = port;
        host->listener.setListen(true);
    }
    void cleanup()
    {
        host.reset();
        errorbox::setHook({});
    }

    void twoPlayersSeeEachOther()
    {
        auto ann = join(QStringLiteral("Ann"));
        QTRY_COMPARE(ann->game()->mynumber(), 1);
        auto bob = join(QStringLiteral("Bob"));
        QTRY_COMPARE(bob->game()->mynumber(), 2);
        const QStringList both{QStringLiteral("Ann"), QStringLiteral("Bob"), QStringLiteral("<Waiting>")};
        QTRY_COMPARE(names(*ann), both);
        QTRY_COMPARE(names(*bob), both);
        QVERIFY(ann->game()->loggedin() && bob->game()->loggedin());
        QVERIFY(logof(ann).lines.contains({QStringLiteral("0+Bob is Connected."), PlayerGame::systemcolour}));
        QVERIFY(logof(bob).lines.contains({QStringLiteral("0+Ann is Connected."), PlayerGame::systemcolour}));

        // A turn announced by the host reaches both, each in its own role.
        HostOutbox &players = *host;
        players.sendtoall(cmd::buildStartgame(1, false, 20, 60));
        players.sendtoall(cmd::buildPickcatagoryTurn(2));
        players.sendtoall(cmd::buildNextplayer(2, 3, QStringLiteral("_____ ")));
        players.sendtoall(cmd::buildTeamscore({3, 5, 0, 0, 0, 0, 0, 0, 0, 0}));
        QTRY_COMPARE(ui(ann).label_score[2]->text(), QStringLiteral("5"));
        QTRY_COMPARE(ui(bob).label_score[2]->text(), QStringLiteral("5"));
        QCOMPARE(ui(ann).label_score[1]->text(), QStringLiteral("3"));
        QCOMPARE(ui(ann).label_turn->text(), QStringLiteral("Bob's turn to draw."));
        QCOMPARE(ui(bob).label_turn->text(), QStringLiteral("Your turn to draw."));
        QVERIFY(!ui(ann).panel_answer->isHidden() && ui(ann).panel_toolbar->isHidden());
        QVERIFY(ui(bob).panel_answer->isHidden() && !ui(bob).panel_toolbar->isHidden());
        QCOMPARE(ui(ann).image_arrow->y(), ui(bob).image_arrow->y());

        // Bob leaves: Ann's panel empties his seat, his score with it.
        bob.reset();
        QTRY_COMPARE(ui(ann).label_playername[2]->text(), QStringLiteral("<Waiting>"));
        QCOMPARE(ui(ann).label_score[2]->text(), QString());
        QCOMPARE(ui(ann).label_score[3]->text(), QStringLiteral("0"));
        QVERIFY(logof(ann).lines.contains({QStringLiteral("0+Bob disconnected."), PlayerGame::systemcolour}));
        QVERIFY(boxes.isEmpty());
    }

    // A "|" in a typed line or in a name leaves the line whole on every copy, the sender's
    // included, in the sender's colour.
    void barsInLinesAndNames()
    {
        auto ann = join(QStringLiteral("Ann|pipe"));
        QTRY_COMPARE(ann->game()->mynumber(), 1);
        auto bob = join(QStringLiteral("Bob"));
        QTRY_COMPARE(bob->game()->mynumber(), 2);
        QTRY_VERIFY(ann->game()->loggedin() && bob->game()->loggedin());
        // Ann's own lines show at once: Bob's arrival must be on her pane before them.
        QTRY_COMPARE(ann->game()->seatname(2), QStringLiteral("Bob"));
        const auto said = [](const Tchat &t, const QString &line) {
            return logof(t).lines.contains({line, colortext::clNavy});
        };
        ui(ann).chatpane->settextcolor(colortext::clNavy);
        ChatEntry *box = ui(ann).chatpane->mychat;
        box->setText(QStringLiteral("yes | no, see you at 8"));
        QTest::keyClick(box, Qt::Key_Return);
        box->setText(QStringLiteral("/me waves|"));
        QTest::keyClick(box, Qt::Key_Return);
        for (const Tchat *t : {ann.get(), bob.get()}) {
            QTRY_VERIFY(said(*t, QStringLiteral("1+Ann|pipe chats: yes | no, see you at 8")));
            QTRY_VERIFY(said(*t, QStringLiteral("1+Ann|pipe waves|")));
            const ChatViewer *v = ui(*t).chatpane->mainchat;
            QCOMPARE(v->paragraphText(v->paragraphCount() - 2),
                     QStringLiteral("Ann|pipe chats:  yes | no, see you at 8 "));
        }
        QVERIFY(boxes.isEmpty());
    }

    // What belongs to a finished turn or game goes when the next begins or the player leaves: a
    // new game opens on a clean board before the first pick; a turn that timed out leaves the
    // last drawer no Pass and no "Your turn to draw."; a drawer removed mid-turn keeps neither
    // the phrase, nor the turn line, nor a clock that stands still.
    void staleTurnPartsGo()
    {
        auto t = gameOn();
        StrokeSender *pen = strokesender(ui(t[1]));
        QVERIFY(pen->press(QPoint(20, 20)));
        pen->move(true, QPoint(300, 20));
        pen->release();
        ui(t[1]).image_main->image_backup.fill(Qt::red); // what Ann drew, as her board shows it
        QTRY_COMPARE(ui(t[3]).image_main->image_backup.pixel(100, 20), qRgb(0, 0, 0));
        t[3]->game()->answerit(QStringLiteral("hot dog"));
        QTRY_VERIFY(!ui(t[3]).label_aguesser->isHidden());
        t[1]->game()->startgame(false, 20, 60);
        QTRY_VERIFY(!ui(t[1]).panel_pickcatagory->isHidden());
        for (int n = 1; n <= 3; ++n) {
            QTRY_COMPARE(ui(t[n]).label_turn->text(), n == 1
                                                          ? QStringLiteral("Your turn to choose a category.")
                                                          : QStringLiteral("Ann is choosing a category."));
            const QImage &board = ui(t[n]).image_main->image_backup;
            QCOMPARE(board.pixel(100, 20), qRgb(255, 255, 255));
            QCOMPARE(board.pixel(400, 300), qRgb(255, 255, 255));
            QVERIFY(ui(t[n]).label_answer->text().isEmpty());
            QVERIFY(ui(t[n]).label_aguesser->isHidden() && ui(t[n]).button_snapshot->isHidden());
        }

        QVERIFY(pickAndDraw(t, 1));
        QVERIFY(!ui(t[1]).button_pass->isHidden());
        QCOMPARE(ui(t[1]).label_turn->text(), QStringLiteral("Your turn to draw."));
        runOut();
        QTRY_COMPARE(ui(t[2]).label_answer->text(), QStringLiteral("HOT DOG"));
        runOut();
        QTRY_VERIFY(!ui(t[2]).panel_pickcatagory->isHidden());
        for (int n = 1; n <= 3; ++n) {
            QTRY_COMPARE(ui(t[n]).label_turn->text(), n == 2
                                                          ? QStringLiteral("Your turn to choose a category.")
                                                          : QStringLiteral("Bob is choosing a category."));
            QVERIFY(ui(t[n]).button_pass->isHidden());
            QVERIFY(ui(t[n]).panel_toolbar->isHidden() && ui(t[n]).panel_answer->isHidden());
            QVERIFY(ui(t[n]).label_fullanswer->text().isEmpty());
        }

        QVERIFY(pickAndDraw(t, 2));
        QVERIFY(t[2]->game()->clockrunning());
        t[1]->game()->kicking(2);
        QTRY_VERIFY(t[2]->game()->gameleft());
        QTest::qWait(1100); // a tick of the clock, had it gone on
        QVERIFY(ui(t[2]).label_fullanswer->text().isEmpty());
        QVERIFY(ui(t[2]).label_turn->text().isEmpty());
        QVERIFY(!t[2]->game()->clockrunning());
        QCOMPARE(ui(t[2]).label_timer->text(), QStringLiteral("0:00"));
        QCOMPARE(ui(t[2]).image_timer->width(), 0);
        QVERIFY(ui(t[2]).panel_toolbar->isHidden() && ui(t[2]).button_pass->isHidden());
        QTRY_COMPARE(ui(t[1]).label_playername[2]->text(), QStringLiteral("<Waiting>"));
        QVERIFY(boxes.isEmpty());
    }

    // A won game ends in the podium on every copy, each with the drawing the turn ended with on
    // its own board; the leading player's Play Again starts the same game again, and the new game
    // takes every podium away. Closing a podium shows the winner under it.
    void podiumAndPlayAgain()
    {
        auto t = gameOn(2, true);
        QVERIFY(host->game().hints());
        ui(t[3]).image_main->image_backup.fill(Qt::red); // Cy's board at the turn's end
        t[3]->game()->answerit(QStringLiteral("hot dog"));
        QTRY_VERIFY(!ui(t[3]).label_aguesser->isHidden());
        ui(t[3]).image_main->image_backup.fill(Qt::blue); // after the turn: not its drawing
        runOut();
        for (int n = 1; n <= 3; ++n) {
            QTRY_VERIFY(!ui(t[n]).podium->isHidden());
            QCOMPARE(ui(t[n]).button_playagain->isVisibleTo(ui(t[n]).podium), n == 1);
        }
        // The first turn's picture, in the podium's turn list.
        QCOMPARE(ui(t[3]).podium->grab().toImage().pixelColor(259, 90), QColor(Qt::red));
        QTest::mouseClick(ui(t[2]).button_closepodium, Qt::LeftButton);
        QVERIFY(ui(t[2]).podium->isHidden());
        QVERIFY(!ui(t[2]).winnerPanel->isHidden());

        QTest::mouseClick(ui(t[1]).button_playagain, Qt::LeftButton);
        for (int n = 1; n <= 3; ++n)
            QTRY_VERIFY(ui(t[n]).podium->isHidden() && t[n]->game()->record().turns().isEmpty());
        QVERIFY(host->game().running());
        QCOMPARE(host->game().playto(), 2);
        QCOMPARE(host->game().turnseconds(), 62);
        QVERIFY(host->game().hints());
        QVERIFY(boxes.isEmpty());
    }

    // With no hosting copy, number 1 carries the hosting player's controls; while nobody holds
    // it, the lowest seat does, and the host takes its start. A newcomer in number 1 takes the
    // controls back; Start never shows while a game runs.
    void numberOneActsAsHostingPlayer()
    {
        auto ann = join(QStringLiteral("Ann"));
        QTRY_COMPARE(ann->game()->mynumber(), 1);
        auto bob = join(QStringLiteral("Bob"));
        QTRY_COMPARE(bob->game()->mynumber(), 2);
        auto cy = join(QStringLiteral("Cy"));
        QTRY_COMPARE(cy->game()->mynumber(), 3);
        QVERIFY(ann->game()->hostsay() && !ui(ann).button_start->isHidden() &&
                ui(ann).startGameAction->isEnabled());
        QTRY_COMPARE(ui(bob).label_playername[1]->text(), QStringLiteral("Ann"));
        QTRY_COMPARE(names(*cy),
                     (QStringList{QStringLiteral("Ann"), QStringLiteral("Bob"), QStringLiteral("Cy")}));
        QVERIFY(!bob->game()->hostsay() && ui(bob).button_start->isHidden() &&
                !ui(bob).startGameAction->isEnabled());
        ann.reset();
        QTRY_COMPARE(ui(bob).label_playername[1]->text(), QStringLiteral("<Waiting>"));
        QTRY_COMPARE(ui(cy).label_playername[1]->text(), QStringLiteral("<Waiting>"));
        QVERIFY(bob->game()->hostsay() && !ui(bob).button_start->isHidden() &&
                ui(bob).startGameAction->isEnabled());
        QVERIFY(!cy->game()->hostsay() && ui(cy).button_start->isHidden());
        bob->game()->send(cmd::buildStartgame(2, false, 20, 60));
        QTRY_VERIFY(host->game().running());
        QTRY_VERIFY(ui(bob).button_start->isHidden() && !ui(bob).startGameAction->isEnabled());
        QVERIFY(bob->game()->hostsay());

        auto cid = join(QStringLiteral("Cid"));
        QTRY_COMPARE(cid->game()->mynumber(), 1);
        QTRY_VERIFY(!bob->game()->hostsay());
        // Joining while a game runs: the controls without Start.
        QTRY_VERIFY(cid->game()->hostsay() && ui(cid).button_start->isHidden() &&
                    !ui(cid).startGameAction->isEnabled());
        HostGameProbe::stopgame(host->game());
        static_cast<HostOutbox &>(*host).sendtoall(cmd::buildPaused());
        QTRY_VERIFY(!ui(cid).button_start->isHidden() && ui(cid).startGameAction->isEnabled());
        QVERIFY(ui(bob).button_start->isHidden() && !ui(bob).startGameAction->isEnabled());
    }

    // A backlog is drawn several messages a tick, in order; a message that does not read ends
    // only itself.
    void backlogDrainsInBursts()
    {
        Tchat t;
        unplug(t.game());
        play(t.game(), {"CMD_sendlogininfo+2"});
        t.link()->receivedlist.push({QStringLiteral("CMD_moveit+1+clBlack+3+10+10"), 0, 0});
        for (int x = 12; x <= 410; x += 2) {
            t.link()->receivedlist.push({QStringLiteral("CMD_draw+1+clBlack+3++%1,10+").arg(x), 0, 0});
            if (x == 200)
                t.link()->receivedlist.push({QStringLiteral("CMD_justwatching+2x0+1"), 0, 0});
        }
        const qsizetype queued = t.link()->receivedlist.size();
        guard([&t] { t.link()->drainQueue(); });
        QVERIFY(t.link()->receivedlist.size() < queued - 1);
        for (int ticks = 0; !t.link()->receivedlist.isEmpty() && ticks < 1000; ++ticks)
            guard([&t] { t.link()->drainQueue(); });
        QVERIFY(t.link()->receivedlist.isEmpty());
        QCOMPARE(boxes, QStringList{QStringLiteral("'2x0' is not a valid integer value.")});
        // One unbroken line from the first point to the last.
        for (int x = 10; x <= 410; ++x)
            QVERIFY2(ui(t).image_main->image_backup.pixel(x, 10) == qRgb(0, 0, 0),
                     qPrintable(QString::number(x)));
    }

    // The host has no seat left: it refuses and hangs up, and the refusal is still shown.
    void fullHostRefuses()
    {
        auto ann = join(QStringLiteral("Ann"));
        QTRY_COMPARE(ann->game()->mynumber(), 1);
        // Every other record taken, as by players who have not logged in yet.
        for (int slot = 2; slot <= HostGame::maxslot; ++slot)
            host->game().join(slot, 1'000'000 + slot);
        auto bob = join(QStringLiteral("Bob"));
        QSignalSpy closed(bob.get(), &Tchat::closed);
        QTRY_VERIFY(ui(bob).fullbox());
        QCOMPARE(closed.count(), 0);
        ui(bob).fullbox()->accept();
        QCOMPARE(closed.count(), 0); // the window stays for another try
        QCOMPARE(bob->game()->mynumber(), 0);
    }
};

QTEST_MAIN(TestTchatLoopback)
#include "tst_tchat_loopback.moc"
