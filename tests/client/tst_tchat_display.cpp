// The main window fed with host messages: captions, visibility, colours, marks and the clock.
#include "board/drawingboard.h"
#include "client/chatpane.h"
#include "client/tchat.h"
#include "features/spylist.h"
#include "protocol/commands.h"
#include "tchat_feed.h"
#include "tests/support/playersetup.h"
#include "tests/support/strokeui.h"
#include "tests/support/tchatui.h"
#include "widgets/animatedpicture.h"
#include "widgets/colorbutton.h"
#include "widgets/fittinglabel.h"
#include "widgets/flatbutton.h"
#include "widgets/flatpanel.h"
#include "widgets/updown.h"
#include "windows/tgamestartform.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <memory>

namespace {

const QColor maroon(0x80, 0x00, 0x00);

QColor rowColour(const QLabel *l)
{
    return l->palette().color(QPalette::WindowText);
}

QStringList lines(const Tchat &t)
{
    QStringList out;
    for (const auto &l : logof(t).lines)
        out << l.first;
    return out;
}

// A part of the board and where it stands in its parent, for a failure's message.
const char *describe(const QWidget *w)
{
    static QByteArray text;
    const QRect r = w->geometry();
    text = QStringLiteral("%1 (%2) at %3,%4 %5x%6 in %7x%8")
               .arg(w->objectName(), QLatin1String(w->metaObject()->className()))
               .arg(r.x())
               .arg(r.y())
               .arg(r.width())
               .arg(r.height())
               .arg(w->parentWidget()->width())
               .arg(w->parentWidget()->height())
               .toLocal8Bit();
    return text.constData();
}

QStringList listLines(const QListWidget *l)
{
    QStringList out;
    for (int i = 0; i < l->count(); ++i)
        out << l->item(i)->text();
    return out;
}

} // namespace

class TestTchatDisplay : public QObject
{
    Q_OBJECT

    std::unique_ptr<Tchat> t;
    std::unique_ptr<Tspylist> spies;
    QStringList boxes;

    // A player in seat `me` of a table of three: Ann (1), Bob (2), Cy (3).
    void seat(int me)
    {
        unplug(t->game());
        play(t->game(), QStringList{QStringLiteral("CMD_sendlogininfo+%1").arg(me)});
        feed(*t, QStringLiteral("CMD_newplayerinfo+1+Ann"));
        feed(*t, QStringLiteral("CMD_existingplayers+2+Bob"));
        feed(*t, QStringLiteral("CMD_existingplayers+3+Cy"));
        logof(t).lines.clear();
        logof(t).cues.clear();
    }

    // The same, the window shown at its first size.
    bool shownSeated(int me)
    {
        seat(me);
        t->resize(797, 590);
        t->show();
        return QTest::qWaitForWindowExposed(t.get());
    }

private slots:
    void init()
    {
        boxes.clear();
        errorbox::setHook([this](const QString &text) { boxes << text; });
        t = std::make_unique<Tchat>();
        spies = std::make_unique<Tspylist>();
        t->attach({.spylist = spies.get()});
        logof(t);
    }
    void cleanup()
    {
        t.reset();
        spies.reset();
        errorbox::setHook({});
    }

    // ---- The board's fixed places.

    void layout()
    {
        QCOMPARE(ui(t).boardPanel->size(), QSize(789, 542));
        QCOMPARE(ui(t).topPanel->size(), QSize(535, 68));
        QCOMPARE(ui(t).button_start->geometry(), QRect(5, 26, 102, 17));
        QCOMPARE(ui(t).button_pass->geometry(), QRect(428, 26, 102, 17));
        QCOMPARE(ui(t).gameBar->size(), QSize(533, 21));
        QCOMPARE(ui(t).image_cat->geometry(), QRect(4, 3, 100, 15));
        QCOMPARE(ui(t).playtoscore->x(), 107);
        QCOMPARE(ui(t).playtoscore->text(), QStringLiteral("Play to Score: 20")); // as in and after a game
        QCOMPARE(ui(t).timeperturn->geometry().right(), 283 + 139 - 1);
        QCOMPARE(ui(t).image_timer->geometry(), QRect(428, 3, 100, 15));
        QCOMPARE(ui(t).timeCaption->x(), 460);
        QCOMPARE(ui(t).label_timer->x(), 492);
        QCOMPARE(ui(t).image_main->size(), QSize(533, 369));
        QCOMPARE(ui(t).winnerPanel->geometry(), QRect(172, 80, 192, 161));
        QCOMPARE(ui(t).image_winner->size(), QSize(182, 153));
        QCOMPARE(ui(t).image_winner->frameCount(), 5);
        QCOMPARE(ui(t).image_winner->interval(), 500);
        QCOMPARE(ui(t).label_winner->y(), 62);
        QCOMPARE(ui(t).panel_score->size(), QSize(248, 228));
        QCOMPARE(ui(t).scoreTitle->geometry(), QRect(60, 3, 100, 15));
        for (int seat = 1; seat <= 10; ++seat) {
            QCOMPARE(ui(t).label_playername[seat]->pos(),
                     QPoint(seat <= 4 ? 42 : 43, tchatgeometry::nameRowY[seat]));
            QCOMPARE(ui(t).label_score[seat]->pos(), QPoint(156, tchatgeometry::scoreRowY[seat]));
            // Left of the name, never over its first letter.
            QCOMPARE(ui(t).image_eyes[seat]->geometry(), QRect(13, tchatgeometry::nameRowY[seat], 29, 12));
            QVERIFY(!ui(t).image_eyes[seat]->geometry().intersects(ui(t).label_playername[seat]->geometry()));
            QCOMPARE(ui(t).label_playername[seat]->text(), QStringLiteral("<Waiting>"));
            QCOMPARE(ui(t).label_score[seat]->text(), QStringLiteral("0"));
            QVERIFY(ui(t).image_eyes[seat]->isHidden());
        }
        QCOMPARE(ui(t).image_arrow->geometry(), QRect(24, 21, 17, 13));
        QCOMPARE(ui(t).label_adrawer->x(), 189);
        QCOMPARE(ui(t).button_snapshot->geometry(), QRect(44, 189, 142, 20));
        QCOMPARE(ui(t).label_turn->y(), 211);
        // The buttons, and the picker's countdown under them.
        QCOMPARE(ui(t).panel_pickcatagory->size(), QSize(206, 247));
        // Top to bottom: General, Food & Drink, Actions, Music Groups, Movies, TV Shows, Phrase.
        const int order[7] = {0, 6, 1, 3, 4, 5, 2};
        for (int row = 0; row < 7; ++row) {
            QAbstractButton *b = ui(t).button_cat[order[row]];
            QCOMPARE(b->geometry(), QRect(52, 53 + 24 * row, 104, 19));
            QCOMPARE(b->property("Tag").toInt(), order[row]);
        }
        for (QWidget *w : std::initializer_list<QWidget *>{
                 ui(t).panel_answer, ui(t).panel_toolbar, ui(t).panel_pickcatagory, ui(t).winnerPanel,
                 ui(t).button_start, ui(t).button_pass, ui(t).button_snapshot, ui(t).label_adrawer,
                 ui(t).label_aguesser})
            QVERIFY2(w->isHidden(), qPrintable(w->objectName()));
    }

    // A larger window scales the whole board in steps, keeping its proportions, centred; the
    // window can still be made small again.
    void boardScalesAndStaysCentred()
    {
        t->resize(1000, 800);
        t->show();
        QVERIFY(QTest::qWaitForWindowExposed(t.get()));
        const QWidget *bg = t->centralWidget();
        QWidget *board = ui(t).boardPanel;
        QTRY_VERIFY(board->width() > 789);
        const double factor = board->width() / 789.0;
        QVERIFY(qAbs(board->height() - 542 * factor) <= 1.0);
        QVERIFY(board->width() <= bg->width() && board->height() <= bg->height());
        QCOMPARE(board->x(), (bg->width() - board->width()) / 2);
        QCOMPARE(board->y(), (bg->height() - board->height()) / 2);
        QCOMPARE(ui(t).image_main->size(), QSize(533, 369) * factor);
        QCOMPARE(ui(t).button_cat[0]->geometry().left(), qRound(52 * factor));
        QVERIFY(bg->minimumWidth() >= 789 && bg->minimumWidth() < 800 && bg->minimumHeight() >= 542);
        t->resize(797, 590);
        QTRY_COMPARE(board->size(), QSize(789, 542));
        QCOMPARE(ui(t).button_cat[0]->geometry(), QRect(52, 53, 104, 19));
    }

    // A zoom there and back leaves every control as it was, those inside the panels that were
    // hidden when the window first showed included, and at the large size every control lies
    // whole inside its parent.
    void everyControlWholeAfterAZoom()
    {
        QVERIFY(shownSeated(2));
        feed(*t, QStringLiteral("CMD_pickcatagory+2"));
        feed(*t, QStringLiteral("CMD_nextplayer+2+0+_____ "));
        QApplication::processEvents();
        const auto visibleParts = [this] {
            QList<QWidget *> out;
            for (QWidget *w : ui(t).boardPanel->findChildren<QWidget *>())
                if (w->isVisible())
                    out << w;
            return out;
        };
        QHash<QWidget *, QRect> before;
        for (QWidget *w : visibleParts())
            before.insert(w, w->geometry());
        QVERIFY(before.contains(ui(t).penw));

        t->resize(1920, 1080);
        QTRY_VERIFY(ui(t).boardPanel->width() > 1500);
        QApplication::processEvents();
        for (QWidget *w : visibleParts())
            // A pixel of rounding: edges are scaled, the drawing area's size is.
            QVERIFY2(w->parentWidget()->rect().adjusted(0, 0, 1, 1).contains(w->geometry()), describe(w));
        const auto *arrows = ui(t).part<UpDown>("brushWidthArrows");
        QCOMPARE(arrows->height(), ui(t).penw->height());
        QVERIFY(arrows->width() > 16);
        QCOMPARE(arrows->upButton()->geometry().united(arrows->downButton()->geometry()), arrows->rect());

        t->resize(797, 590);
        QTRY_COMPARE(ui(t).boardPanel->size(), QSize(789, 542));
        QApplication::processEvents();
        for (auto it = before.cbegin(); it != before.cend(); ++it)
            QVERIFY2(it.key()->geometry() == it.value(), describe(it.key()));
    }

    void menus()
    {
        QStringList titles;
        for (const QAction *a : t->menuBar()->actions())
            titles << a->text();
        QCOMPARE(titles, (QStringList{QStringLiteral("&File"), QStringLiteral("&Options"),
                                      QStringLiteral("&View"), QStringLiteral("&Help")}));
        const QList<QAction *> options = ui(t).optionsMenu->actions();
        for (QAction *a : {ui(t).justWatchAction, ui(t).playSoundsAction, ui(t).playChatterSoundsAction,
                           ui(t).textColorAction, ui(t).chatpane->textSizeMenu->menuAction(),
                           ui(t).chatpane->scrollChatOffAction, ui(t).chatpane->clearMainChatAction,
                           ui(t).resetScreenLocationAction})
            QVERIFY2(options.contains(a), qPrintable(a->text()));
        QCOMPARE(ui(t).fileMenu->actions().first(), ui(t).startGameAction);
        QCOMPARE(ui(t).fileMenu->actions().last(), ui(t).exitAction);
        QCOMPARE(ui(t).viewMenu->actions(),
                 (QList<QAction *>{ui(t).spyListAction, ui(t).snapShotsAction, ui(t).phraseListsAction}));
        QCOMPARE(ui(t).helpMenu->actions(), (QList<QAction *>{ui(t).contentsAction, ui(t).aboutAction}));
        QVERIFY(ui(t).playSoundsAction->isChecked());
        QVERIFY(ui(t).playChatterSoundsAction->isChecked());
        // Just Watch shows what the host said; a click alone leaves the tick.
        ui(t).justWatchAction->trigger();
        QVERIFY(!ui(t).justWatchAction->isChecked());
    }

    // ---- Dispatcher, login, arrivals and departures.

    void dropsWhatNoRowTakes()
    {
        seat(1);
        feed(*t, QString());
        feed(*t, QStringLiteral("CMD_newplayerinfo"));
        feed(*t, QStringLiteral("cmd_newplayerinfo+4+Dee"));
        feed(*t, QStringLiteral("CMD_updatetime+50"));
        QVERIFY(logof(t).lines.isEmpty());
        QCOMPARE(ui(t).label_playername[4]->text(), QStringLiteral("<Waiting>"));
        QVERIFY(boxes.isEmpty());
    }

    // A field that does not read ends that message only; the next tick goes on.
    void conversionErrorEndsOneMessage()
    {
        seat(1);
        feed(*t, QStringLiteral("CMD_justwatching+two+1"));
        QCOMPARE(boxes, QStringList{QStringLiteral("'two' is not a valid integer value.")});
        feed(*t, QStringLiteral("CMD_justwatching+2+1"));
        QVERIFY(!ui(t).image_eyes[2]->isHidden());
    }

    void arrivals()
    {
        unplug(t->game());
        play(t->game(), {"CMD_sendlogininfo+2"});
        feed(*t, QStringLiteral("CMD_newplayerinfo+2+Bob"));
        feed(*t, QStringLiteral("CMD_existingplayers+1+Ann"));
        feed(*t, QStringLiteral("CMD_existingplayers+12+Zed"));
        // The lines and cues are the game's: checked with it.
        QCOMPARE(logof(t).lines.size(), 4);
        QCOMPARE(ui(t).label_playername[2]->text(), QStringLiteral("Bob"));
        QCOMPARE(ui(t).label_playername[1]->text(), QStringLiteral("Ann"));
        QCOMPARE(listLines(spies->listbox_spys), QStringList{QStringLiteral("12: Zed")});
        for (int seat = 3; seat <= 10; ++seat)
            QCOMPARE(ui(t).label_playername[seat]->text(), QStringLiteral("<Waiting>"));
    }

    void departures()
    {
        seat(1);
        feed(*t, QStringLiteral("CMD_existingplayers+13+Zed"));
        feed(*t, QStringLiteral("CMD_justwatching+2+1"));
        logof(t).lines.clear();
        // The name comes from the panel; a second report of the same seat adds nothing.
        feed(*t, QStringLiteral("CMD_playerdisconnected+2+Other"));
        feed(*t, QStringLiteral("CMD_playerdisconnected+2+Bob"));
        QCOMPARE(ui(t).label_playername[2]->text(), QStringLiteral("<Waiting>"));
        QVERIFY(ui(t).image_eyes[2]->isHidden());
        // A spy leaves only when the list holds exactly its entry.
        feed(*t, QStringLiteral("CMD_playerdisconnected+13+Zedd"));
        QCOMPARE(spies->listbox_spys->count(), 1);
        feed(*t, QStringLiteral("CMD_playerdisconnected+13+Zed"));
        QCOMPARE(spies->listbox_spys->count(), 0);
    }

    void ownDepartureKeepsTheWindow()
    {
        seat(2);
        QSignalSpy closed(t.get(), &Tchat::closed);
        feed(*t, QStringLiteral("CMD_playerdisconnected+2+Bob"));
        QCOMPARE(closed.count(), 0);
        QVERIFY(!t->game()->loggedin());
        QVERIFY(lines(*t).last().startsWith(QStringLiteral("0+You were removed from the game.")));
        // The hang-up that follows adds nothing.
        t->link()->sock.OnInfo(&t->link()->sock, TSock::siClose, QStringLiteral("Socket Closed"));
        QCOMPARE(lines(*t).size(), 1);
    }

    void gameFullIsSaidAndTheWindowStays()
    {
        QSignalSpy closed(t.get(), &Tchat::closed);
        feed(*t, QStringLiteral("CMD_full+"));
        QVERIFY(ui(t).fullbox());
        QCOMPARE(ui(t).fullbox()->text(), QStringLiteral("Game is full"));
        QVERIFY(lines(*t).last().startsWith(QStringLiteral("0+The game is full.")));
        // The queue keeps moving while the box is up.
        feed(*t, QStringLiteral("CMD_refreshplayerlist+3+Cy"));
        QCOMPARE(ui(t).label_playername[3]->text(), QStringLiteral("Cy"));
        ui(t).fullbox()->accept();
        QCOMPARE(closed.count(), 0);
    }

    // The host refuses and hangs up at once: the refusal is still read, and the window stays.
    void gameFullSurvivesTheHangUp()
    {
        QSignalSpy closed(t.get(), &Tchat::closed);
        t->link()->receivedlist.push({QStringLiteral("CMD_full+"), 0, 0});
        t->link()->sock.OnInfo(&t->link()->sock, TSock::siClose, QStringLiteral("Socket Closed"));
        QVERIFY(ui(t).fullbox());
        QCOMPARE(closed.count(), 0);
        ui(t).fullbox()->accept();
        QCOMPARE(closed.count(), 0);
        // Without a refusal the hang-up of a game joined is the host's end; the window stays.
        auto other = std::make_unique<Tchat>();
        unplug(other->game());
        play(other->game(), {"CMD_sendlogininfo+2"});
        QSignalSpy closed2(other.get(), &Tchat::closed);
        other->link()->sock.OnInfo(&other->link()->sock, TSock::siClose, QStringLiteral("Socket Closed"));
        QCOMPARE(closed2.count(), 0);
        QVERIFY(other->game()->gameleft());
    }

    // Names from the network are shown as they are, never as markup.
    void namesArePlainText()
    {
        unplug(t->game());
        play(t->game(), {"CMD_sendlogininfo+2"});
        const QString evil = QStringLiteral("<h1>x</h1><img src=a>");
        feed(*t, QStringLiteral("CMD_newplayerinfo+1+") + evil);
        feed(*t, QStringLiteral("CMD_nextplayer+1+0+___ "));
        QCOMPARE(ui(t).label_turn->text(), evil + QStringLiteral("'s turn to draw."));
        feed(*t, QStringLiteral("CMD_winner+") + evil);
        QCOMPARE(ui(t).label_playername[1]->text(), evil);
        const QList<QLabel *> labels = t->findChildren<QLabel *>();
        for (QLabel *l : labels) {
            if (l->pixmap().isNull())
                QVERIFY2(l->textFormat() == Qt::PlainText, qPrintable(l->objectName()));
        }
    }

    // The error box quotes the field that did not read, as text. It does not hold up the queue,
    // the same fault does not stack a second box, and the boxes go with the window.
    void errorBoxesLeaveTheGameRunning()
    {
        if (qEnvironmentVariableIsSet("QUILLET_ERRORBOX_LOG"))
            QSKIP("error boxes are logged, not shown");
        errorbox::setHook({});
        const auto openBoxes = [] {
            QList<QMessageBox *> out;
            for (QWidget *w : QApplication::topLevelWidgets()) {
                if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible())
                    out << box;
            }
            return out;
        };
        t->show();
        seat(1);
        feed(*t, QStringLiteral("CMD_justwatching+<img src=x>+1"));
        QCOMPARE(openBoxes().size(), 1);
        QMessageBox *box = openBoxes().first();
        QCOMPARE(box->text(), QStringLiteral("'<img src=x>' is not a valid integer value."));
        QCOMPARE(box->textFormat(), Qt::PlainText);
        QCOMPARE(box->icon(), QMessageBox::Critical);
        // The drain goes on behind the box; the same fault again adds no box, another one does.
        feed(*t, QStringLiteral("CMD_refreshplayerlist+2+Bea"));
        QCOMPARE(ui(t).label_playername[2]->text(), QStringLiteral("Bea"));
        feed(*t, QStringLiteral("CMD_justwatching+<img src=x>+1"));
        QCOMPARE(openBoxes().size(), 1);
        feed(*t, QStringLiteral("CMD_justwatching+q+1"));
        QCOMPARE(openBoxes().size(), 2);
        // Closing the window closes every box with it.
        QSignalSpy closed(t.get(), &Tchat::closed);
        t->close();
        QCOMPARE(closed.size(), 1);
        QVERIFY(openBoxes().isEmpty());
    }

    // ---- Score panel.

    void gamestats_data()
    {
        QTest::addColumn<QString>("seconds");
        QTest::addColumn<QString>("caption");
        QTest::newRow("125") << QStringLiteral("125") << QStringLiteral("Time Per Turn: 2:05");
        QTest::newRow("60") << QStringLiteral("60") << QStringLiteral("Time Per Turn: 1:00");
        QTest::newRow("not a number") << QStringLiteral("soon") << QStringLiteral("Time Per Turn: 2:00");
    }
    void gamestats()
    {
        QFETCH(QString, seconds);
        QFETCH(QString, caption);
        feed(*t, QStringLiteral("CMD_gamestats+30+") + seconds + QStringLiteral("+1+2+3+4+5+6+7+8+9+"));
        QCOMPARE(ui(t).timeperturn->text(), caption);
        QCOMPARE(ui(t).playtoscore->text(), QStringLiteral("Play to Score: 30"));
        for (int seat = 1; seat <= 9; ++seat)
            QCOMPARE(ui(t).label_score[seat]->text(), QString::number(seat));
        QCOMPARE(ui(t).label_score[10]->text(), QString());
    }

    void teamscoreFillsEverySeat()
    {
        feed(*t, QStringLiteral("CMD_teamscore+4+6+4+6+4+6+4+6+4+6"));
        for (int seat = 1; seat <= 10; ++seat)
            QCOMPARE(ui(t).label_score[seat]->text(), seat % 2 ? QStringLiteral("4") : QStringLiteral("6"));
    }

    void refreshplayerlist()
    {
        feed(*t, QStringLiteral("CMD_refreshplayerlist+4+Dee+Dum"));
        QCOMPARE(ui(t).label_playername[4]->text(), QStringLiteral("Dee+Dum"));
        feed(*t, QStringLiteral("CMD_refreshplayerlist+12+Zed"));
        for (int seat = 1; seat <= 10; ++seat)
            QVERIFY(ui(t).label_playername[seat]->text() != QStringLiteral("Zed"));
    }

    void justwatching()
    {
        seat(2);
        feed(*t, QStringLiteral("CMD_justwatching+2+1"));
        QVERIFY(ui(t).justWatchAction->isChecked());
        QVERIFY(!ui(t).image_eyes[2]->isHidden());
        feed(*t, QStringLiteral("CMD_justwatching+2+2"));
        QVERIFY(!ui(t).justWatchAction->isChecked());
        QVERIFY(ui(t).image_eyes[2]->isHidden());
        feed(*t, QStringLiteral("CMD_justwatching+2+1"));
        feed(*t, QStringLiteral("CMD_justwatching+2+x"));
        QVERIFY(!ui(t).justWatchAction->isChecked());
        // Another seat's watching leaves the own tick alone; an empty seat still gets a line.
        feed(*t, QStringLiteral("CMD_justwatching+3+1"));
        QVERIFY(!ui(t).justWatchAction->isChecked());
        feed(*t, QStringLiteral("CMD_justwatching+7+1"));
        feed(*t, QStringLiteral("CMD_justwatching+12+1"));
        QCOMPARE(
            lines(*t),
            (QStringList{QStringLiteral("0+Bob is just watching."), QStringLiteral("0+Bob now playing again"),
                         QStringLiteral("0+Bob is just watching."), QStringLiteral("0+Bob now playing again"),
                         QStringLiteral("0+Cy is just watching."),
                         QStringLiteral("0+<Waiting> is just watching.")}));
        QCOMPARE(logof(t).lines[0].second, PlayerGame::watchcolour);
    }

    // ---- Turn display.

    void startOfAGame()
    {
        seat(1);
        feed(*t, QStringLiteral("CMD_justwatching+1+1"));
        feed(*t, QStringLiteral("CMD_teamscore+4+6+4+6+4+6+4+6+4+6"));
        logof(t).lines.clear();
        feed(*t, QStringLiteral("CMD_startgame+1+true+25+90"));
        QCOMPARE(lines(*t), QStringList{QStringLiteral("0+You have started a TEAM game.")});
        QCOMPARE(ui(t).playtoscore->text(), QStringLiteral("Play to Score: 25"));
        QCOMPARE(ui(t).timeperturn->text(), QStringLiteral("Time Per Turn: 1:30"));
        QVERIFY(!ui(t).justWatchAction->isChecked());
        QVERIFY(!ui(t).justWatchAction->isEnabled());
        for (int seat = 1; seat <= 10; ++seat) {
            QCOMPARE(ui(t).label_score[seat]->text(), QStringLiteral("0"));
            QVERIFY(ui(t).image_eyes[seat]->isHidden());
            const QColor expected = seat % 2 ? QColor(Qt::black) : maroon;
            QCOMPARE(rowColour(ui(t).label_playername[seat]), expected);
            QCOMPARE(rowColour(ui(t).label_score[seat]), expected);
        }
        feed(*t, QStringLiteral("CMD_startgame+2+false+20+junk"));
        QCOMPARE(ui(t).timeperturn->text(), QStringLiteral("Time Per Turn: 2:00"));
        QVERIFY(ui(t).justWatchAction->isEnabled());
        for (int seat = 1; seat <= 10; ++seat)
            QCOMPARE(rowColour(ui(t).label_playername[seat]), maroon);
        QCOMPARE(lines(*t).last(), QStringLiteral("0+Bob has started a game."));
        QVERIFY(!t->game()->clockrunning());
    }

    void pickForMe()
    {
        seat(2);
        feed(*t, QStringLiteral("CMD_nextplayer+2+4+___"));
        logof(t).cues.clear();
        QVERIFY(strokesender(ui(t))->press(QPoint(1, 1))); // a stroke left open
        ui(t).button_cat[4]->setChecked(true);
        feed(*t, QStringLiteral("CMD_pickcatagory+2"));
        QCOMPARE(t->game()->drawernumber(), 2);
        QVERIFY(!strokesender(ui(t))->penIsDown());
        QVERIFY(!ui(t).panel_pickcatagory->isHidden());
        QCOMPARE(ui(t).label_pickcatagory->text(), QStringLiteral("Your turn to"));
        QCOMPARE(ui(t).label_pickcatagory1->text(), QStringLiteral("choose a category"));
        for (QAbstractButton *b : ui(t).button_cat)
            QVERIFY(!b->isChecked());
        QCOMPARE(logof(t).cues, QStringList{QStringLiteral("turn")});
        QCOMPARE(ui(t).image_arrow->y(), tchatgeometry::nameRowY[2] + 2);
        QVERIFY(t->game()->clockrunning());
        QCOMPARE(t->game()->clockmode(), turnclock::Mode::pause);
        QCOMPARE(t->game()->secondsleft(), 10);
        // The picker counts the seconds down beside the buttons, until the host picks instead.
        QCOMPARE(ui(t).label_pickclock->text(), QStringLiteral("10 seconds to choose"));
        t->game()->turnClockTick();
        QCOMPARE(ui(t).label_pickclock->text(), QStringLiteral("9 seconds to choose"));
        for (int s = 9; s > 0; --s)
            t->game()->turnClockTick();
        QCOMPARE(ui(t).label_pickclock->text(), QStringLiteral("Time is up: the host chooses"));
    }

    void pickForSomeoneElse()
    {
        seat(1);
        feed(*t, QStringLiteral("CMD_pickcatagory+3"));
        QVERIFY(ui(t).panel_pickcatagory->isHidden());
        QVERIFY(logof(t).cues.isEmpty());
        QCOMPARE(ui(t).image_arrow->y(), tchatgeometry::nameRowY[3] + 2);
    }

    // A player who joins during a turn gets the strokes so far and the turn without the pick
    // before it: whatever the order, the drawing stays, the arrow moves to the drawer, the clock
    // follows the host, and a team game shows its colours once a team score tells.
    void lateJoinerWithoutPick_data()
    {
        QTest::addColumn<bool>("strokesFirst");
        QTest::newRow("strokes, then the turn") << true;
        QTest::newRow("the turn, then the strokes") << false;
    }
    void lateJoinerWithoutPick()
    {
        QFETCH(bool, strokesFirst);
        seat(4); // logged in, no pick seen since
        const QString stroke = QStringLiteral("CMD_draw+3+clRed+5++10,10+200,10+");
        if (strokesFirst)
            feed(*t, QStringLiteral("CMD_moveit+3+clRed+5+10+10"));
        if (strokesFirst)
            feed(*t, stroke);
        feed(*t, QStringLiteral("CMD_nextplayer+3+4+____ ___ "));
        feed(*t, QStringLiteral("CMD_gamestats+30+75+2+2+4+0+0+0+0+0+0+0"));
        if (!strokesFirst)
            feed(*t, stroke);
        QCOMPARE(ui(t).image_main->image_backup.pixel(100, 10), qRgb(255, 0, 0));
        QCOMPARE(ui(t).image_arrow->y(), tchatgeometry::nameRowY[3] + 2);
        QCOMPARE(ui(t).label_adrawer->y(), tchatgeometry::nameRowY[3]);
        QVERIFY(ui(t).label_adrawer->isHidden());
        QCOMPARE(ui(t).label_turn->text(), QStringLiteral("Cy's turn to draw."));
        QCOMPARE(logof(t).cues, QStringList{QStringLiteral("cat4")});
        QCOMPARE(t->game()->secondsleft(), 75);
        QCOMPARE(ui(t).label_timer->text(), QStringLiteral("1:15"));
        // The host's count sets the clock at once; an unreadable one changes nothing.
        feed(*t, QStringLiteral("CMD_updatetime+38"));
        QCOMPARE(ui(t).label_timer->text(), QStringLiteral("0:38"));
        feed(*t, QStringLiteral("CMD_updatetime+soon"));
        QCOMPARE(t->game()->secondsleft(), 38);
        QCOMPARE(rowColour(ui(t).label_playername[3]), maroon);
        feed(*t, QStringLiteral("CMD_teamscore+2+2+2+2+2+2+2+2+2+2"));
        QCOMPARE(rowColour(ui(t).label_playername[3]), QColor(Qt::black));
        QCOMPARE(rowColour(ui(t).label_score[3]), QColor(Qt::black));
        QCOMPARE(rowColour(ui(t).label_playername[4]), maroon);
        // From the next pick on the copy is like every other: the next turn wipes the area and
        // the host's count no longer moves the clock.
        feed(*t, QStringLiteral("CMD_pickcatagory+4"));
        feed(*t, QStringLiteral("CMD_nextplayer+4+1+__ "));
        QCOMPARE(ui(t).image_main->image_backup.pixel(100, 10), qRgb(255, 255, 255));
        feed(*t, QStringLiteral("CMD_updatetime+38"));
        QCOMPARE(t->game()->secondsleft(), 75);
    }

    // Which controls each role sees during a turn.
    void roles_data()
    {
        QTest::addColumn<int>("me");
        QTest::addColumn<bool>("toolbar");
        QTest::addColumn<bool>("answerPanel");
        QTest::addColumn<bool>("answerField");
        QTest::addColumn<bool>("pass");
        QTest::addColumn<bool>("phrase");
        QTest::newRow("drawer") << 2 << true << false << false << true << true;
        QTest::newRow("guesser") << 1 << false << true << true << false << false;
        QTest::newRow("spy") << 12 << false << true << false << false << false;
    }
    void roles()
    {
        QFETCH(int, me);
        seat(me);
        ui(t).button_pass->show();
        ui(t).panel_pickcatagory->show();
        ui(t).image_main->image_backup.fill(Qt::red);
        feed(*t, QStringLiteral("CMD_pickcatagory+2"));
        feed(*t, QStringLiteral("CMD_nextplayer+2+0+_____ "));
        feed(*t, QStringLiteral("CMD_givedraweranswer+HELLO"));
        QFETCH(bool, toolbar);
        QFETCH(bool, answerPanel);
        QFETCH(bool, answerField);
        QFETCH(bool, pass);
        QFETCH(bool, phrase);
        QCOMPARE(!ui(t).panel_toolbar->isHidden(), toolbar);
        QCOMPARE(!ui(t).panel_answer->isHidden(), answerPanel);
        QCOMPARE(ui(t).edit_answer->isVisibleTo(ui(t).boardPanel), answerField);
        QCOMPARE(ui(t).label_answerlabel->isVisibleTo(ui(t).boardPanel), answerField);
        QCOMPARE(ui(t).listbox_myguessed->isVisibleTo(ui(t).boardPanel), answerPanel);
        QCOMPARE(!ui(t).button_pass->isHidden(), pass);
        QCOMPARE(!ui(t).label_fullanswer->isHidden(), phrase);
        QCOMPARE(ui(t).label_fullanswer->text(), QStringLiteral("HELLO"));
        QVERIFY(ui(t).panel_pickcatagory->isHidden());
        QCOMPARE(ui(t).image_main->image_backup.pixel(100, 100), QColor(Qt::white).rgb());
        QCOMPARE(ui(t).penw->text(), QStringLiteral("3"));
        QCOMPARE(ui(t).ColorButton->colour(), 0);
        QCOMPARE(t->game()->clockmode(), turnclock::Mode::drawing);
        QCOMPARE(t->game()->secondsleft(), 120);
    }

    // The clock of a drawing turn starts from the game's time per turn, not from this copy's
    // own dialog, and shows it at once.
    void turnTimeFromTheGame()
    {
        Tgamestartform dialog;
        t->attach({.spylist = spies.get(), .gamestartform = &dialog});
        dialog.timeperturn->setText(QStringLiteral("75"));
        feed(*t, QStringLiteral("CMD_nextplayer+2+0+_ "));
        QCOMPARE(t->game()->secondsleft(), 120);
        feed(*t, QStringLiteral("CMD_startgame+1+false+20+45"));
        feed(*t, QStringLiteral("CMD_pickcatagory+2"));
        QCOMPARE(ui(t).label_timer->text(), QStringLiteral("0:10"));
        feed(*t, QStringLiteral("CMD_nextplayer+2+0+_ "));
        QCOMPARE(t->game()->secondsleft(), 45);
        QCOMPARE(ui(t).label_timer->text(), QStringLiteral("0:45"));
        t->attach({.spylist = spies.get()});
    }

    // The longest phrases and their masks stay whole on the answer lines; a short mask keeps
    // the air between its underscores.
    void longAnswersStayInView()
    {
        seat(2);
        const QString phrase = QStringLiteral("A CHAIN IS ONLY AS STRONG AS ITS WEAKEST LINK");
        QString mask;
        for (const QString &word : phrase.split(QLatin1Char(' ')))
            mask += QString(word.size(), QLatin1Char('_')) + QLatin1Char(' ');
        const auto fits = [](const QLabel *l) {
            return l->fontMetrics().horizontalAdvance(l->text()) <= l->contentsRect().width();
        };
        feed(*t, QStringLiteral("CMD_nextplayer+2+2+") + mask);
        feed(*t, QStringLiteral("CMD_givedraweranswer+") + phrase + QLatin1Char(' ') + phrase);
        QCOMPARE(ui(t).label_answer->text(), mask);
        QVERIFY(fits(ui(t).label_answer));
        QVERIFY(fits(ui(t).label_fullanswer));
        feed(*t, QStringLiteral("CMD_correctanswer+1+2+2+1+") + phrase);
        QCOMPARE(ui(t).label_answer->text(), phrase);
        QVERIFY(fits(ui(t).label_answer));
        feed(*t, QStringLiteral("CMD_nextplayer+1+0+____ "));
        QCOMPARE(ui(t).label_answer->font().pixelSize(), tchatgeometry::answerPixels);
        QCOMPARE(ui(t).label_answer->font().letterSpacing(), qreal(tchatgeometry::answerSpacing));
    }

    // The hidden letters of the mask are dashes apart from each other and standing clear of the
    // bar under them, at the window's first size and zoomed.
    void maskLettersStandApart()
    {
        QVERIFY(shownSeated(1));
        feed(*t, QStringLiteral("CMD_nextplayer+2+0+___ _____ "));
        for (const QSize size : {QSize(797, 590), QSize(1600, 1000)}) {
            t->resize(size);
            QTRY_COMPARE(ui(t).boardPanel->width() > 789, size.width() > 797);
            QApplication::processEvents();
            const double zoom = ui(t).boardPanel->width() / 789.0;
            const QWidget *line = ui(t).label_answer;
            const QImage top = ui(t).topPanel->grab().toImage();
            // Maroon ink, against the paper, in the line's own rows.
            const auto ink = [&top](int x, int y) {
                return qRed(top.pixel(x, y)) - qGreen(top.pixel(x, y)) > 60;
            };
            int lowest = -1, dashRow = -1, most = 0;
            for (int y = line->y(); y <= line->geometry().bottom(); ++y) {
                int count = 0;
                for (int x = line->x(); x <= line->geometry().right(); ++x)
                    count += ink(x, y);
                if (count)
                    lowest = y;
                if (count > most)
                    most = count, dashRow = y;
            }
            QVERIFY2(ui(t).gameBar->y() - lowest > 3 * zoom, qPrintable(QString::number(lowest)));
            // Along the dashes' row: eight dashes, each a run of its own with a clear gap.
            QList<int> starts, ends;
            for (int x = line->x(); x <= line->geometry().right(); ++x) {
                if (ink(x, dashRow) && (starts.size() == ends.size()))
                    starts << x;
                else if (!ink(x, dashRow) && starts.size() > ends.size())
                    ends << x;
            }
            QCOMPARE(starts.size(), 8);
            for (int i = 1; i < starts.size(); ++i)
                QVERIFY2(starts[i] - ends[i - 1] >= 2 * zoom, qPrintable(QString::number(i)));
        }
    }

    // Text too long for its place ends at a whole letter: names end in "…", the turn line and
    // the winner shrink before they are shortened, and Start and Pass leave the mask in view.
    void longTextIsShortenedNotCut()
    {
        seat(1);
        const QString name = QStringLiteral("Bartholomew Maximilian Featherstonehaugh");
        feed(*t, QStringLiteral("CMD_newplayerinfo+2+") + name);
        auto *row = static_cast<FittingLabel *>(ui(t).label_playername[2]);
        QCOMPARE(t->game()->seatname(2), name);
        QVERIFY(row->shownText().endsWith(QChar(0x2026)));
        // The picture of the row: its last letter ends before the label does.
        const QImage shot = row->grab().toImage();
        int inkRight = -1;
        for (int x = 0; x < shot.width(); ++x)
            for (int y = 0; y < shot.height(); ++y)
                if (qRed(shot.pixel(x, y)) < 200 && qGreen(shot.pixel(x, y)) < 100)
                    inkRight = x;
        QVERIFY(inkRight > 0);
        QVERIFY2(inkRight < shot.width() - 2, qPrintable(QString::number(inkRight)));

        const auto fitsWhole = [](QLabel *l) {
            auto *f = static_cast<FittingLabel *>(l);
            return f->shownText() == f->text() &&
                   QFontMetrics(f->shownFont()).horizontalAdvance(f->text()) <= f->contentsRect().width();
        };
        feed(*t, QStringLiteral("CMD_refreshplayerlist+2+Bartholomew Maximilian"));
        feed(*t, QStringLiteral("CMD_nextplayer+2+0+____ "));
        QVERIFY(fitsWhole(ui(t).label_turn));
        QVERIFY(static_cast<FittingLabel *>(ui(t).label_turn)->shownFont().pixelSize() < 13);
        feed(*t, QStringLiteral("CMD_winner+Bartholomew Maximilian"));
        QVERIFY(fitsWhole(ui(t).label_winner));

        // The drawer's Pass button, then the host's Start button beside a long mask.
        unplug(t->game());
        play(t->game(), {"CMD_sendlogininfo+2"});
        QString mask;
        for (const int letters : {1, 5, 2, 4, 2, 6, 2, 3, 7, 4})
            mask += QString(letters, QLatin1Char('_')) + QLatin1Char(' ');
        feed(*t, QStringLiteral("CMD_nextplayer+2+0+") + mask);
        QVERIFY(!ui(t).button_pass->isHidden());
        const QRect textArea = ui(t).label_answer->contentsRect().translated(ui(t).label_answer->pos());
        QVERIFY(!textArea.intersects(ui(t).button_pass->geometry()));
        QVERIFY(!textArea.intersects(ui(t).button_start->geometry()));
        QVERIFY(ui(t).label_answer->fontMetrics().horizontalAdvance(mask) <= textArea.width());
        QCOMPARE(static_cast<FittingLabel *>(ui(t).label_answer)->shownText(), mask);
        // With both buttons gone the line has the whole width again.
        ui(t).button_pass->hide();
        QCOMPARE(ui(t).label_answer->contentsRect().width(), ui(t).label_answer->width());
    }

    void guesses()
    {
        seat(1);
        feed(*t, QStringLiteral("CMD_guessed+3+HOUSE"));
        feed(*t, QStringLiteral("CMD_myguessed+3+HOUSE BOAT"));
        feed(*t, QStringLiteral("CMD_veryclose+2+RUN+"));
        feed(*t, QStringLiteral("CMD_veryclose+1+RUN+"));
        // The host capitalises a to z only; the other letters the code page capitalises are
        // capitalised here too, and a name keeps its case.
        feed(*t, u"CMD_guessed+2+H\u00e9LLO W\u00f6RLD \u00b5 \u00df"_qs);
        feed(*t, u"CMD_veryclose+1+PI\u00f1ATAS+"_qs);
        feed(*t, u"CMD_updateanswer+true+PI\u00f1ATA"_qs);
        QCOMPARE(listLines(ui(t).listbox_guessed),
                 (QStringList{QStringLiteral("Cy guessed: HOUSE"),
                              u"Bob guessed: H\u00c9LLO W\u00d6RLD \u00b5 \u00df"_qs}));
        QCOMPARE(listLines(ui(t).listbox_myguessed),
                 (QStringList{QStringLiteral("Cy answered: HOUSE BOAT"), QStringLiteral("RUN is very close."),
                              u"PI\u00d1ATAS is very close."_qs}));
        QCOMPARE(ui(t).label_answer->text(), u"PI\u00d1ATA"_qs);
    }

    void guessListFollowsNewLines()
    {
        ui(t).listbox_myguessed->parentWidget()->show();
        t->show();
        for (int i = 0; i < 30; ++i)
            feed(*t, QStringLiteral("CMD_myguessed+1+GUESS") + QString::number(i));
        QScrollBar *bar = ui(t).listbox_myguessed->verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        QCOMPARE(bar->value(), bar->maximum());
    }

    void maskUpdateLeavesTheClock()
    {
        seat(1);
        feed(*t, QStringLiteral("CMD_nextplayer+2+0+_____ ___ "));
        t->game()->turnClockTick();
        feed(*t, QStringLiteral("CMD_updateanswer+false+HOUSE ___ "));
        QCOMPARE(ui(t).label_answer->text(), QStringLiteral("HOUSE ___ "));
        QCOMPARE(t->game()->secondsleft(), 119);
        QCOMPARE(t->game()->clockmode(), turnclock::Mode::drawing);
        QVERIFY(t->game()->clockrunning());
        QVERIFY(!ui(t).panel_answer->isHidden());
    }

    void timeOut()
    {
        seat(2);
        feed(*t, QStringLiteral("CMD_pickcatagory+2"));
        feed(*t, QStringLiteral("CMD_nextplayer+2+0+_____ "));
        logof(t).cues.clear();
        feed(*t, QStringLiteral("CMD_updateanswer+true+HOUSE"));
        QCOMPARE(logof(t).cues, QStringList{QStringLiteral("noanswer")});
        QCOMPARE(lines(*t), QStringList{QStringLiteral("0+No one guessed!")});
        QCOMPARE(ui(t).label_answer->text(), QStringLiteral("HOUSE"));
        QCOMPARE(t->game()->drawernumber(), 0);
        QVERIFY(ui(t).panel_toolbar->isHidden());
        QVERIFY(ui(t).panel_answer->isHidden());
        QVERIFY(!ui(t).button_snapshot->isHidden());
        QVERIFY(ui(t).button_pass->isHidden()); // nothing is left to pass
        QVERIFY(t->game()->roundcaption().endsWith(QStringLiteral(": Bob-HOUSE")));
        QCOMPARE(t->game()->clockmode(), turnclock::Mode::pause);
        QCOMPARE(t->game()->secondsleft(), 10);
    }

    void passed()
    {
        seat(1);
        feed(*t, QStringLiteral("CMD_passed+3+4"));
        QCOMPARE(ui(t).label_score[3]->text(), QStringLiteral("4"));
    }

    // "correct" sounds for the guesser and the drawer only; everybody sees the marks.
    void correctAnswer_data()
    {
        QTest::addColumn<int>("me");
        QTest::addColumn<bool>("hears");
        QTest::newRow("guesser") << 3 << true;
        QTest::newRow("drawer") << 2 << true;
        QTest::newRow("other") << 1 << false;
        QTest::newRow("spy") << 12 << false;
    }
    void correctAnswer()
    {
        QFETCH(int, me);
        QFETCH(bool, hears);
        seat(me);
        feed(*t, QStringLiteral("CMD_pickcatagory+2"));
        feed(*t, QStringLiteral("CMD_nextplayer+2+1+___ ____ "));
        ui(t).button_pass->show();
        logof(t).cues.clear();
        logof(t).lines.clear();
        feed(*t, QStringLiteral("CMD_correctanswer+3+7+2+5+RUN FAST"));
        QCOMPARE(logof(t).cues.contains(QStringLiteral("correct")), hears);
        QCOMPARE(lines(*t), QStringList{QStringLiteral("0+Cy has guessed the answer!")});
        QCOMPARE(ui(t).label_score[3]->text(), QStringLiteral("7"));
        QCOMPARE(ui(t).label_score[2]->text(), QStringLiteral("5"));
        QVERIFY(!ui(t).label_adrawer->isHidden());
        QVERIFY(!ui(t).label_aguesser->isHidden());
        QCOMPARE(ui(t).label_adrawer->y(), tchatgeometry::nameRowY[2]);
        QCOMPARE(ui(t).label_aguesser->y(), tchatgeometry::nameRowY[3]);
        QCOMPARE(ui(t).label_answer->text(), QStringLiteral("RUN FAST"));
        QVERIFY(t->game()->roundcaption().endsWith(QStringLiteral(": Bob-RUN FAST")));
        QCOMPARE(t->game()->drawernumber(), 0);
        QVERIFY(ui(t).panel_answer->isHidden());
        QVERIFY(ui(t).panel_toolbar->isHidden());
        QVERIFY(ui(t).button_pass->isHidden());
        QVERIFY(!ui(t).button_snapshot->isHidden());
        QCOMPARE(t->game()->clockmode(), turnclock::Mode::pause);
        QCOMPARE(t->game()->secondsleft(), 10);
        // The next turn clears the marks and the snapshot button.
        feed(*t, QStringLiteral("CMD_nextplayer+3+1+___ "));
        QVERIFY(ui(t).label_adrawer->isHidden());
        QVERIFY(ui(t).label_aguesser->isHidden());
        QVERIFY(ui(t).button_snapshot->isHidden());
        QVERIFY(t->game()->roundcaption().isEmpty());
    }

    void winner_data()
    {
        QTest::addColumn<bool>("host");
        QTest::newRow("host") << true;
        QTest::newRow("player") << false;
    }
    void winner()
    {
        QFETCH(bool, host);
        if (host)
            t->game()->hostingstarted();
        t->game()->offerstart(false);
        feed(*t, QStringLiteral("CMD_winner+Maroon Team"));
        QCOMPARE(logof(t).cues, QStringList{QStringLiteral("gameover")});
        QCOMPARE(lines(*t), QStringList{QStringLiteral("0+Maroon Team has Won the Game!")});
        QCOMPARE(ui(t).label_winner->text(), QStringLiteral("Maroon Team"));
        QVERIFY(!ui(t).winnerPanel->isHidden());
        QVERIFY(ui(t).image_winner->isRunning());
        QCOMPARE(!ui(t).button_start->isHidden(), host);
        QCOMPARE(ui(t).startGameAction->isEnabled(), host);
        const int before = ui(t).image_winner->frame();
        ui(t).image_winner->advance();
        QCOMPARE(ui(t).image_winner->frame(), (before + 1) % 5);
        // The next pick hides it and stops the animation.
        feed(*t, QStringLiteral("CMD_pickcatagory+1"));
        QVERIFY(ui(t).winnerPanel->isHidden());
        QVERIFY(!ui(t).image_winner->isRunning());
    }

    // The host's line that the game has paused brings the host's Start button back; a player's
    // chat line with the same words does not.
    void paused_data() { winner_data(); }
    void paused()
    {
        QFETCH(bool, host);
        if (host)
            t->game()->hostingstarted();
        t->game()->offerstart(false);
        ui(t).startGameAction->setEnabled(false);
        const QString line = cmd::buildPaused();
        feed(*t, QStringLiteral("CMD_chat+2+Bo chats: ") + line.mid(line.indexOf(QLatin1Char('+'), 9) + 1));
        QVERIFY(ui(t).button_start->isHidden());
        feed(*t, line);
        QCOMPARE(lines(*t).size(), 2);
        QVERIFY(lines(*t).constLast().startsWith(QStringLiteral("0+Game paused")));
        QCOMPARE(!ui(t).button_start->isHidden(), host);
        QCOMPARE(ui(t).startGameAction->isEnabled(), host);
    }

    // A pause of ten seconds shows 0:09 down to 0:00 and stops on the tick after.
    void pauseClock()
    {
        play(t->game(), {"CMD_pickcatagory+2"}); // the pick's pause
        QStringList shown;
        QList<int> bars;
        for (int i = 0; i < 10; ++i) {
            t->game()->turnClockTick();
            shown << ui(t).label_timer->text();
            bars << ui(t).image_timer->width();
            QVERIFY(t->game()->clockrunning());
        }
        QCOMPARE(shown, (QStringList{QStringLiteral("0:09"), QStringLiteral("0:08"), QStringLiteral("0:07"),
                                     QStringLiteral("0:06"), QStringLiteral("0:05"), QStringLiteral("0:04"),
                                     QStringLiteral("0:03"), QStringLiteral("0:02"), QStringLiteral("0:01"),
                                     QStringLiteral("0:00")}));
        QCOMPARE(bars, (QList<int>{90, 80, 70, 60, 50, 40, 30, 20, 10, 0}));
        t->game()->turnClockTick();
        QCOMPARE(ui(t).label_timer->text(), QStringLiteral("0:00"));
        QVERIFY(!t->game()->clockrunning());
    }

    void drawingClockBar()
    {
        seat(1);
        feed(*t, QStringLiteral("CMD_nextplayer+2+0+_ "));
        QCOMPARE(t->game()->secondsleft(), 120);
        for (int i = 0; i < 20; ++i) {
            t->game()->turnClockTick();
            QCOMPARE(ui(t).image_timer->width(), 100);
        }
        QCOMPARE(ui(t).label_timer->text(), QStringLiteral("1:40"));
        t->game()->turnClockTick();
        QCOMPARE(ui(t).image_timer->width(), 99);
        QCOMPARE(ui(t).label_timer->text(), QStringLiteral("1:39"));
        t->game()->turnClockTick();
        QCOMPARE(ui(t).image_timer->width(), 98);
    }
};

QTEST_MAIN(TestTchatDisplay)
#include "tst_tchat_display.moc"
