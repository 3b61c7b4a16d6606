// The drawer's mouse on the drawing area, and what goes to the host.

#include "tests/board/chatfixture.h"
#include "tests/support/strokeui.h"
#include "widgets/colorbutton.h"

#include <QLineEdit>
#include <QToolButton>

class BoardInput : public QObject
{
    Q_OBJECT

private slots:
    void pressSendsMoveitAndMarksDot();
    void strokeSendsPointsInOneBatch_data();
    void strokeSendsPointsInOneBatch();
    void batchGoesOutAtThe101stPoint();
    void heldStrokeLeavesWithin17ms();
    void flushBoundsWaitAndRateAtAnyPointerSpeed();
    void restingPointerSendsWhatWaits();
    void clickWithoutMoveEndsAtNextPlainMove();
    void rightButtonStartsAStrokeTooAndItsMoveEndsIt();
    void widthAndColourAsOnTheToolBarWhenSent();
    void widthThatDoesNotReadShowsTheConversionError();
    void notLoggedInDrawsLocallyAndSendsNothing();
    void nonDrawerInputAndTrashDoNothing();
    void trashWipesBothSurfacesAndTellsTheHost();
    void scaledBoardMapsThePointerBack();
};

void BoardInput::pressSendsMoveitAndMarksDot()
{
    ChatAtHost t;
    QVERIFY(t.start(3));
    t.turnOf(3);
    press(t.board(), QPoint(10, 20));
    QCOMPARE(t.host.next(), QStringLiteral("CMD_moveit+3+clBlack+3+10+20"));
    QVERIFY(strokesender(ui(t.chat))->penIsDown());
    // A round dot as wide as the pen, on both surfaces.
    for (const QImage *im : {&std::as_const(t.board()->image_backup), &t.board()->screenPicture()}) {
        QCOMPARE(im->pixel(10, 20), qRgb(0, 0, 0));
        QVERIFY(!isWhite(*im, 9, 19) && !isWhite(*im, 11, 21));
        QVERIFY(isWhite(*im, 12, 20) && isWhite(*im, 10, 22) && isWhite(*im, 8, 20));
    }
    release(t.board(), QPoint(10, 20));
    QVERIFY(t.host.drain().isEmpty());
}

void BoardInput::strokeSendsPointsInOneBatch_data()
{
    QTest::addColumn<QList<QPoint>>("moves");
    QTest::addColumn<QString>("sent");
    QTest::newRow("two points") << QList<QPoint>{{10, 20}, {11, 22}}
                                << QStringLiteral("CMD_draw+3+clBlack+3++10,20+11,22+");
    // Outside the area the points go on and are sent as they are.
    QTest::newRow("beyond the edges")
        << QList<QPoint>{{-5, 20}, {540, 400}} << QStringLiteral("CMD_draw+3+clBlack+3++-5,20+540,400+");
}

void BoardInput::strokeSendsPointsInOneBatch()
{
    QFETCH(QList<QPoint>, moves);
    QFETCH(QString, sent);
    ChatAtHost t;
    QVERIFY(t.start(3));
    t.turnOf(3);
    press(t.board(), QPoint(9, 19));
    QVERIFY(t.host.next().startsWith(QStringLiteral("CMD_moveit+")));
    for (const QPoint &p : moves)
        drag(t.board(), p);
    QVERIFY(t.host.drain(50).isEmpty());
    release(t.board(), moves.last());
    QCOMPARE(t.host.next(), sent);
    QVERIFY(!strokesender(ui(t.chat))->penIsDown());
    hover(t.board(), QPoint(100, 100));
    QVERIFY(t.host.drain(50).isEmpty());
}

void BoardInput::batchGoesOutAtThe101stPoint()
{
    ChatAtHost t;
    QVERIFY(t.start(3));
    t.turnOf(3);
    press(t.board(), QPoint(5, 5));
    QVERIFY(t.host.next().startsWith(QStringLiteral("CMD_moveit+")));
    QString expected = QStringLiteral("CMD_draw+3+clBlack+3+");
    for (int i = 1; i <= 100; ++i) {
        drag(t.board(), QPoint(5 + i, 5 + i % 3));
        expected += QStringLiteral("+%1,%2").arg(5 + i).arg(5 + i % 3);
    }
    QVERIFY(t.host.drain(50).isEmpty());
    drag(t.board(), QPoint(200, 50));
    expected += QStringLiteral("+200,50+");
    QCOMPARE(t.host.next(), expected);
    // The batch went; the release finds nothing pending and the stroke stays open.
    release(t.board(), QPoint(200, 50));
    QVERIFY(t.host.drain(50).isEmpty());
    QVERIFY(strokesender(ui(t.chat))->penIsDown());
    hover(t.board(), QPoint(201, 50));
    QCOMPARE(t.host.next(), QStringLiteral("CMD_draw+3+clBlack+3++"));
    QVERIFY(!strokesender(ui(t.chat))->penIsDown());
    // The drawn line runs on from the batch without a gap.
    QCOMPARE(t.board()->image_backup.pixel(150, 27), qRgb(0, 0, 0));
}

void BoardInput::heldStrokeLeavesWithin17ms()
{
    ChatAtHost t;
    QVERIFY(t.start(3));
    t.turnOf(3);
    StrokeFlusher *flush = strokesender(ui(t.chat))->flusher;
    flush->enabled = true;
    qint64 now = 1000;
    flush->clock = [&now] { return now; };

    press(t.board(), QPoint(0, 0));
    QVERIFY(t.host.next().startsWith(QStringLiteral("CMD_moveit+")));
    // Within 17 ms of the stroke's last message the points wait, with the timer armed for them.
    now = 1010;
    drag(t.board(), QPoint(1, 1));
    now = 1016;
    drag(t.board(), QPoint(2, 2));
    QVERIFY(flush->armed());
    QVERIFY(t.host.drain(30).isEmpty());
    // The move at 17 ms takes them all along, and nothing is left to wait for.
    now = 1017;
    drag(t.board(), QPoint(3, 3));
    QCOMPARE(t.host.next(), QStringLiteral("CMD_draw+3+clBlack+3++1,1+2,2+3,3+"));
    QVERIFY(!flush->armed());

    // A point that waits leaves 17 ms after it came, not sooner, though the last message is older.
    now = 1020;
    drag(t.board(), QPoint(4, 4));
    QVERIFY(flush->armed());
    now = 1036;
    flush->timerTick();
    QVERIFY(t.host.drain(30).isEmpty());
    now = 1037;
    flush->timerTick();
    QCOMPARE(t.host.next(), QStringLiteral("CMD_draw+3+clBlack+3++4,4+"));
    QVERIFY(!flush->armed());

    // However fast the pointer, a message holds 101 points at most, and a full batch starts
    // the 17 ms afresh.
    now = 1100;
    drag(t.board(), QPoint(11, 10));
    QCOMPARE(t.host.next(), QStringLiteral("CMD_draw+3+clBlack+3++11,10+"));
    QString batch = QStringLiteral("CMD_draw+3+clBlack+3+");
    for (int x = 12; x <= 112; ++x) {
        drag(t.board(), QPoint(x, 10));
        batch += QStringLiteral("+%1,10").arg(x);
    }
    QCOMPARE(t.host.next(), batch + QLatin1Char('+'));
    now = 1116;
    drag(t.board(), QPoint(200, 10));
    QVERIFY(t.host.drain(30).isEmpty());
    // The release sends what waits as it always did, and the stroke's timer goes.
    release(t.board(), QPoint(200, 10));
    QCOMPARE(t.host.next(), QStringLiteral("CMD_draw+3+clBlack+3++200,10+"));
    QVERIFY(!flush->armed());
    QVERIFY(!strokesender(ui(t.chat))->penIsDown());
}

void BoardInput::flushBoundsWaitAndRateAtAnyPointerSpeed()
{
    // A second of a held stroke, the clock stepped a millisecond at a time and the timer ticking
    // whenever it is armed: at any pointer rate no point waits more than 17 ms, two messages are
    // 17 ms apart or more, and so no more than 60 leave in the second.
    for (const int every : {1, 4, 8, 10, 16, 17, 25, 40}) {
        qint64 now = 0;
        QList<qint64> waiting, messages{0};
        qint64 longest = 0;
        StrokeFlusher *flusher = nullptr;
        const auto send = [&] {
            for (const qint64 came : std::as_const(waiting))
                longest = std::max(longest, now - came);
            waiting.clear();
            messages << now;
            flusher->sent();
        };
        StrokeFlusher f(send);
        flusher = &f;
        f.clock = [&now] { return now; };
        f.sent(); // the stroke's start
        for (now = 1; now <= 1000; ++now) {
            if (f.armed())
                f.timerTick();
            if (now % every == 0) {
                waiting << now;
                if (f.pointAdded())
                    send();
            }
        }
        QVERIFY2(longest <= StrokeFlush::interval, qPrintable(QString::number(every)));
        QVERIFY2(messages.size() <= 60, qPrintable(QString::number(every)));
        for (qsizetype i = 1; i < messages.size(); ++i)
            QVERIFY(messages[i] - messages[i - 1] >= StrokeFlush::interval);
    }
}

void BoardInput::restingPointerSendsWhatWaits()
{
    ChatAtHost t;
    QVERIFY(t.start(3));
    t.turnOf(3);
    strokesender(ui(t.chat))->flusher->enabled = true; // the real clock and timer
    press(t.board(), QPoint(20, 20));
    QVERIFY(t.host.next().startsWith(QStringLiteral("CMD_moveit+")));
    drag(t.board(), QPoint(30, 25));
    // No further move and no release: the point leaves on its own.
    QCOMPARE(t.host.next(5000), QStringLiteral("CMD_draw+3+clBlack+3++30,25+"));
    QVERIFY(!strokesender(ui(t.chat))->flusher->armed());
    QVERIFY(strokesender(ui(t.chat))->penIsDown());
    // Nothing waits: the release sends nothing and the next plain move ends the stroke.
    release(t.board(), QPoint(30, 25));
    QVERIFY(t.host.drain(100).isEmpty());
    hover(t.board(), QPoint(31, 25));
    QCOMPARE(t.host.next(), QStringLiteral("CMD_draw+3+clBlack+3++"));
}

void BoardInput::clickWithoutMoveEndsAtNextPlainMove()
{
    ChatAtHost t;
    QVERIFY(t.start(3));
    t.turnOf(3);
    press(t.board(), QPoint(40, 40));
    release(t.board(), QPoint(40, 40));
    QCOMPARE(t.host.drain(), QStringList{QStringLiteral("CMD_moveit+3+clBlack+3+40+40")});
    hover(t.board(), QPoint(41, 41));
    hover(t.board(), QPoint(42, 42));
    QCOMPARE(t.host.drain(), QStringList{QStringLiteral("CMD_draw+3+clBlack+3++")});
}

void BoardInput::rightButtonStartsAStrokeTooAndItsMoveEndsIt()
{
    ChatAtHost t;
    QVERIFY(t.start(3));
    t.turnOf(3);
    press(t.board(), QPoint(60, 70), Qt::RightButton);
    QCOMPARE(t.host.next(), QStringLiteral("CMD_moveit+3+clBlack+3+60+70"));
    QCOMPARE(t.board()->image_backup.pixel(60, 70), qRgb(0, 0, 0));
    drag(t.board(), QPoint(80, 70)); // only the right button held
    QCOMPARE(t.host.next(), QStringLiteral("CMD_draw+3+clBlack+3++"));
    QVERIFY(isWhite(t.board()->image_backup, 75, 70));
    release(t.board(), QPoint(80, 70), Qt::RightButton);
    QVERIFY(t.host.drain(50).isEmpty());
}

void BoardInput::widthAndColourAsOnTheToolBarWhenSent()
{
    ChatAtHost t;
    QVERIFY(t.start(3));
    t.turnOf(3);
    ui(t.chat).penw->setText(QStringLiteral("$A")); // sent as typed, painted 10 wide
    ui(t.chat).ColorButton->setColour(0x00EFBF9F);
    press(t.board(), QPoint(100, 100));
    QCOMPARE(t.host.next(), QStringLiteral("CMD_moveit+3+$00EFBF9F+$A+100+100"));
    QCOMPARE(t.board()->image_backup.pixel(104, 100), qRgb(0x9F, 0xBF, 0xEF));
    drag(t.board(), QPoint(120, 100));
    ui(t.chat).ColorButton->setColour(0x0000FF);
    ui(t.chat).penw->setText(QStringLiteral("4"));
    release(t.board(), QPoint(120, 100));
    QCOMPARE(t.host.next(), QStringLiteral("CMD_draw+3+clRed+4++120,100+"));
    // The turn's reset brings black and "3" back.
    emit t.chat->game()->phaseEntered(PlayerGame::Phase::drawing);
    QCOMPARE(ui(t.chat).ColorButton->colour(), 0);
    QCOMPARE(ui(t.chat).penw->text(), QStringLiteral("3"));
}

void BoardInput::widthThatDoesNotReadShowsTheConversionError()
{
    ChatAtHost t;
    QVERIFY(t.start(3));
    t.turnOf(3);
    // A stroke under way leaves a point pending when the width turns unreadable.
    press(t.board(), QPoint(72, 205));
    QCOMPARE(t.host.next(), QStringLiteral("CMD_moveit+3+clBlack+3+72+205"));
    drag(t.board(), QPoint(80, 205));
    ui(t.chat).penw->setText(QStringLiteral("abc"));
    press(t.board(), QPoint(30, 30));
    QCOMPARE(t.boxes, QStringList{QStringLiteral("'abc' is not a valid integer value.")});
    QVERIFY(!strokesender(ui(t.chat))->penIsDown());
    drag(t.board(), QPoint(40, 30));
    release(t.board(), QPoint(40, 30));
    hover(t.board(), QPoint(50, 30));
    QCOMPARE(inkCount(t.board()->image_backup.copy(0, 0, 60, 60)), 0);
    QVERIFY(t.host.drain(50).isEmpty());
    // Once a width reads again, strokes go out with their own points only.
    ui(t.chat).penw->setText(QStringLiteral("5"));
    press(t.board(), QPoint(30, 30));
    drag(t.board(), QPoint(40, 30));
    release(t.board(), QPoint(40, 30));
    QCOMPARE(t.host.drain(200), (QStringList{QStringLiteral("CMD_moveit+3+clBlack+5+30+30"),
                                             QStringLiteral("CMD_draw+3+clBlack+5++40,30+")}));
    // A width edited into nonsense during a stroke ends it without a message.
    press(t.board(), QPoint(30, 50));
    QCOMPARE(t.host.next(), QStringLiteral("CMD_moveit+3+clBlack+5+30+50"));
    drag(t.board(), QPoint(40, 50));
    ui(t.chat).penw->setText(QStringLiteral("5x"));
    release(t.board(), QPoint(40, 50));
    QVERIFY(!strokesender(ui(t.chat))->penIsDown());
    QVERIFY(t.host.drain(50).isEmpty());
}

void BoardInput::notLoggedInDrawsLocallyAndSendsNothing()
{
    ChatAtHost t;
    QVERIFY(t.start(0)); // connected, but no login yet: both numbers are 0
    press(t.board(), QPoint(10, 10));
    drag(t.board(), QPoint(50, 10));
    release(t.board(), QPoint(50, 10));
    hover(t.board(), QPoint(60, 10));
    ui(t.chat).clear->click();
    press(t.board(), QPoint(10, 30));
    drag(t.board(), QPoint(50, 30));
    release(t.board(), QPoint(50, 30));
    QCOMPARE(t.board()->image_backup.pixel(30, 30), qRgb(0, 0, 0));
    QVERIFY(isWhite(t.board()->image_backup, 30, 10));
    QVERIFY(t.host.drain().isEmpty());
}

void BoardInput::nonDrawerInputAndTrashDoNothing()
{
    ChatAtHost t;
    QVERIFY(t.start(3));
    t.turnOf(3);
    press(t.board(), QPoint(10, 10));
    drag(t.board(), QPoint(40, 10));
    QCOMPARE(t.host.drain().size(), 1);
    // The turn passes mid-stroke: nothing more is drawn or sent.
    t.turnOf(5);
    const QImage before = t.board()->image_backup.copy();
    drag(t.board(), QPoint(80, 10));
    release(t.board(), QPoint(80, 10));
    hover(t.board(), QPoint(90, 10));
    ui(t.chat).clear->click();
    press(t.board(), QPoint(100, 100));
    release(t.board(), QPoint(100, 100));
    QCOMPARE(t.board()->image_backup, before);
    QVERIFY(t.host.drain().isEmpty());
}

void BoardInput::trashWipesBothSurfacesAndTellsTheHost()
{
    ChatAtHost t;
    QVERIFY(t.start(3));
    t.turnOf(3);
    press(t.board(), QPoint(10, 10));
    drag(t.board(), QPoint(40, 10));
    release(t.board(), QPoint(40, 10));
    t.host.drain();
    ui(t.chat).clear->click();
    QCOMPARE(t.host.next(), QStringLiteral("CMD_clearmain+3"));
    QCOMPARE(inkCount(t.board()->image_backup), 0);
    QCOMPARE(inkCount(t.board()->screenPicture()), 0);
}

// A larger window shows the board larger: positions still go out in board units, from the first
// to the last pixel, and the screen surface has the widget's own resolution.
void BoardInput::scaledBoardMapsThePointerBack()
{
    for (const QSize size : {QSize(1100, 800), QSize(1920, 1080)}) {
        ChatAtHost t;
        QVERIFY(t.start(3));
        t.turnOf(3);
        t.chat->resize(size);
        QTRY_VERIFY(t.board()->zoom() > 1.0);
        const double f = t.board()->zoom();
        const auto at = [f](int x, int y) { return QPoint(int(x * f + f / 2), int(y * f + f / 2)); };
        press(t.board(), at(100, 50));
        drag(t.board(), at(200, 60));
        release(t.board(), at(200, 60));
        QCOMPARE(t.host.next(), QStringLiteral("CMD_moveit+3+clBlack+3+100+50"));
        QCOMPARE(t.host.next(), QStringLiteral("CMD_draw+3+clBlack+3++200,60+"));
        press(t.board(), QPoint(t.board()->width() - 1, t.board()->height() - 1));
        QCOMPARE(t.host.next(), QStringLiteral("CMD_moveit+3+clBlack+3+532+368"));
        release(t.board(), QPoint(t.board()->width() - 1, t.board()->height() - 1));

        QCOMPARE(t.board()->image_backup.size(), QSize(533, 369));
        QCOMPARE(t.board()->screenPicture().size(), t.board()->size());
        QCOMPARE(t.board()->size(), QSize(qRound(533 * f), qRound(369 * f)));
        // The 3-pixel line is about 3 x f pixels thick on the screen surface, not a stretched 3.
        const int x = qRound(150 * f);
        int dark = 0;
        for (int y = 0; y < t.board()->screenPicture().height(); ++y)
            dark += qGray(t.board()->screenPicture().pixel(x, y)) < 128;
        QVERIFY2(qAbs(dark - 3 * f) <= 1.5, qPrintable(QString::number(dark)));
    }
}

QTEST_MAIN(BoardInput)
#include "tst_boardinput.moc"
