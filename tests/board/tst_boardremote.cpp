// Strokes relayed by the host, drawn on both surfaces; the repaint rule; the painter's limits.

#include "board/canvas.h"
#include "board/drawingboard.h"
#include "client/core/strokebatch.h"
#include "client/tchat.h"
#include "platform/errors.h"
#include "protocol/strokemessage.h"
#include "tests/support/playersetup.h"
#include "tests/support/tchatui.h"

#include <QElapsedTimer>
#include <QTest>

namespace {

bool black(const QImage &im, int x, int y)
{
    return im.pixel(x, y) == qRgb(0, 0, 0);
}

// Feeds one message through the player's queue and dispatcher, as the drain does.
void deliver(Tchat &chat, const QString &text)
{
    chat.link()->receivedlist.push({text, 0, 0});
    guard([&] { chat.link()->processsocktimer(); });
}

QImage lineImage(QPoint a, QPoint b, int width)
{
    QImage im(DrawingBoard::boardWidth, DrawingBoard::boardHeight, QImage::Format_RGB32);
    im.fill(Qt::white);
    Canvas c(&im);
    c.setPen(Qt::black, width);
    c.moveTo(a);
    c.lineTo(b);
    return im;
}

} // namespace

class BoardRemote : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void batchesJoinWithoutAGap();
    void moveitLeavesADotOnBothSurfaces();
    void ownNumberIsIgnored();
    void emptyBatchOnlySetsThePens();
    void backingPictureSurvivesARepaint();
    void clearmainWipesBothSurfaces();
    void badPointEndsTheMessageKeepingEarlierLines();
    void unclosedLastPointIsDrawnAndTheQueueGoesOn();
    void widthsAreClampedForPainting();
    void farPointsCostNoMoreThanEdgePoints();

    void pointListWalk_data();
    void pointListWalk();
    void segmentClipping();
    void batchIsFullAtThe101stPoint();

private:
    Tchat *chat = nullptr;
    QStringList boxes;
    const QImage &backup() const { return ui(chat).image_main->image_backup; }
    const QImage &screen() const { return ui(chat).image_main->screenPicture(); }
};

void BoardRemote::init()
{
    boxes.clear();
    errorbox::setHook([this](const QString &t) { boxes << t; });
    chat = new Tchat;
    chat->setparams({QStringLiteral("Tester")}); // no role on show
    unplug(chat->game());
    play(chat->game(), {"CMD_sendlogininfo+4"});
}

void BoardRemote::cleanup()
{
    delete chat;
    errorbox::setHook({});
}

void BoardRemote::batchesJoinWithoutAGap()
{
    deliver(*chat, QStringLiteral("CMD_moveit+2+clBlack+1+10+100"));
    deliver(*chat, QStringLiteral("CMD_draw+2+clBlack+1++20,100+50,100+"));
    deliver(*chat, QStringLiteral("CMD_draw+2+clBlack+1++70,100+90,100+"));
    for (int x = 10; x <= 90; ++x) {
        QVERIFY2(black(backup(), x, 100), qPrintable(QString::number(x)));
        QVERIFY(black(screen(), x, 100));
    }
    QVERIFY(!black(backup(), 91, 100) && !black(backup(), 9, 100));
    QCOMPARE(ui(chat).image_main->backup.penpos, QPoint(90, 100));
    QCOMPARE(ui(chat).image_main->screen.penpos, QPoint(90, 100));
}

void BoardRemote::moveitLeavesADotOnBothSurfaces()
{
    deliver(*chat, QStringLiteral("CMD_moveit+2+$000000FF+9+200+200"));
    for (const QImage *im : {&backup(), &screen()}) {
        QCOMPARE(im->pixel(200, 200), qRgb(255, 0, 0));
        QCOMPARE(im->pixel(204, 200), qRgb(255, 0, 0));
        QCOMPARE(im->pixel(200, 196), qRgb(255, 0, 0));
        QCOMPARE(im->pixel(206, 200), qRgb(255, 255, 255));
        QCOMPARE(im->pixel(204, 204), qRgb(255, 255, 255)); // round, not square
    }
    QCOMPARE(ui(chat).image_main->backup.pencolour, QColor(255, 0, 0));
    QCOMPARE(ui(chat).image_main->backup.penwidth, 9);
}

void BoardRemote::ownNumberIsIgnored()
{
    deliver(*chat, QStringLiteral("CMD_moveit+2+clBlack+1+10+10"));
    deliver(*chat, QStringLiteral("CMD_draw+2+clBlack+1++30,10+"));
    const QImage before = backup().copy();
    deliver(*chat, QStringLiteral("CMD_moveit+4+clRed+5+50+50"));
    deliver(*chat, QStringLiteral("CMD_draw+4+clRed+5++60,60+"));
    deliver(*chat, QStringLiteral("CMD_clearmain+4"));
    QCOMPARE(backup(), before);
    QCOMPARE(ui(chat).image_main->backup.pencolour, QColor(Qt::black));
    // Any other number draws, drawer or not.
    deliver(*chat, QStringLiteral("CMD_draw+9+clBlack+1++30,40+"));
    QVERIFY(black(backup(), 30, 25));
}

void BoardRemote::emptyBatchOnlySetsThePens()
{
    deliver(*chat, QStringLiteral("CMD_moveit+2+clBlack+1+10+10"));
    const QImage before = backup().copy();
    deliver(*chat, QStringLiteral("CMD_draw+2+clLime+7++"));
    QCOMPARE(backup(), before);
    QCOMPARE(ui(chat).image_main->screen.pencolour, QColor(0, 255, 0));
    QCOMPARE(ui(chat).image_main->backup.penwidth, 7);
    QCOMPARE(ui(chat).image_main->backup.penpos, QPoint(10, 10));
    QVERIFY(boxes.isEmpty());
}

void BoardRemote::backingPictureSurvivesARepaint()
{
    chat->show();
    QVERIFY(QTest::qWaitForWindowExposed(chat));
    deliver(*chat, QStringLiteral("CMD_moveit+2+clBlack+3+20+20"));
    deliver(*chat, QStringLiteral("CMD_draw+2+clBlack+3++300,200+"));
    // The area is painted again from scratch, as after the window was covered.
    ui(chat).image_main->repaint();
    QCOMPARE(screen(), backup());
    const QImage shown = ui(chat).image_main->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown, backup());
    // A caption written on the backing picture alone shows at the next repaint.
    ui(chat).image_main->image_backup.setPixel(5, 5, qRgb(0, 0, 255));
    ui(chat).image_main->repaint();
    QCOMPARE(screen().pixel(5, 5), qRgb(0, 0, 255));
}

void BoardRemote::clearmainWipesBothSurfaces()
{
    deliver(*chat, QStringLiteral("CMD_moveit+2+clBlack+3+20+20"));
    deliver(*chat, QStringLiteral("CMD_draw+2+clBlack+3++300,200+"));
    deliver(*chat, QStringLiteral("CMD_clearmain+2"));
    QImage white(backup().size(), QImage::Format_RGB32);
    white.fill(Qt::white);
    QCOMPARE(backup(), white);
    QCOMPARE(screen(), white);
}

void BoardRemote::badPointEndsTheMessageKeepingEarlierLines()
{
    deliver(*chat, QStringLiteral("CMD_moveit+2+clBlack+1+10+50"));
    deliver(*chat, QStringLiteral("CMD_draw+2+clBlack+1++40,50+x,9+80,50+"));
    QVERIFY(boxes.isEmpty()); // nothing the player could do about it
    QVERIFY(black(backup(), 40, 50) && black(screen(), 25, 50));
    QVERIFY(!black(backup(), 60, 50));
    // A colour that does not read: nothing of that message is drawn.
    deliver(*chat, QStringLiteral("CMD_draw+2+clPink+1++40,90+"));
    deliver(*chat, QStringLiteral("CMD_moveit+2+clBlack+3+x+y"));
    QVERIFY(boxes.isEmpty());
    QVERIFY(!black(backup(), 40, 70));
    // The next message is handled as usual.
    deliver(*chat, QStringLiteral("CMD_draw+2+clBlack+1++40,60+"));
    QVERIFY(black(backup(), 40, 55));
}

void BoardRemote::unclosedLastPointIsDrawnAndTheQueueGoesOn()
{
    deliver(*chat, QStringLiteral("CMD_moveit+2+clBlack+1+10+10"));
    deliver(*chat, QStringLiteral("CMD_draw+2+clBlack+1++10,30+10,60"));
    QVERIFY(black(backup(), 10, 45));
    QCOMPARE(ui(chat).image_main->backup.penpos, QPoint(10, 60));
    deliver(*chat, QStringLiteral("CMD_draw+2+clBlack+1+10,80"));
    QCOMPARE(ui(chat).image_main->backup.penpos, QPoint(10, 80));
    QVERIFY(boxes.isEmpty());
}

void BoardRemote::widthsAreClampedForPainting()
{
    // A huge width paints as the widest pen, 100; a negative one as the thinnest.
    deliver(*chat, QStringLiteral("CMD_moveit+2+clBlack+2147483647+266+184"));
    QVERIFY(black(backup(), 266 + 48, 184));
    QVERIFY(!black(backup(), 266 + 53, 184));
    QCOMPARE(ui(chat).image_main->backup.penwidth, 2147483647); // the pen keeps what was asked
    deliver(*chat, QStringLiteral("CMD_clearmain+2"));
    deliver(*chat, QStringLiteral("CMD_moveit+2+clBlack+-50+10+10"));
    deliver(*chat, QStringLiteral("CMD_draw+2+clBlack+-50++60,10+"));
    QVERIFY(black(backup(), 35, 10));
    QVERIFY(!black(backup(), 35, 9) && !black(backup(), 35, 11));
}

void BoardRemote::farPointsCostNoMoreThanEdgePoints()
{
    // What shows of a line to a far point is what shows of the same line cut at the edge.
    struct Case
    {
        QPoint a, far, edge;
    } cases[] = {
        {{10, 10}, {2147483647, 10}, {700, 10}},
        {{100, 100}, {-2147483647 - 1, 100}, {-400, 100}},
        {{2147483647, 2147483647}, {-2147483647 - 1, -2147483647 - 1}, {-10000, -10000}},
    };
    for (const Case &c : cases) {
        QElapsedTimer t;
        t.start();
        const QImage far = lineImage(c.a, c.far, 100);
        QVERIFY2(t.elapsed() < 200, "a far point took long");
        const QPoint a = c.a.x() > 10000 ? QPoint(10000, 10000) : c.a;
        QCOMPARE(far, lineImage(a, c.edge, 100));
    }
    // Relayed: a batch of far points does not hang the window.
    QElapsedTimer t;
    t.start();
    QString pts;
    for (int i = 0; i < 100; ++i)
        pts +=
            (i % 2 ? QStringLiteral("+2147483647,-2147483648") : QStringLiteral("+-2147483648,2147483647"));
    deliver(*chat, QStringLiteral("CMD_moveit+2+clBlack+100+2147483647+2147483647"));
    deliver(*chat, QStringLiteral("CMD_draw+2+clBlack+100+") + pts + QLatin1Char('+'));
    QVERIFY2(t.elapsed() < 1000, qPrintable(QString::number(t.elapsed())));
    QVERIFY(boxes.isEmpty());
}

void BoardRemote::pointListWalk_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QList<QPoint>>("points");
    QTest::addColumn<bool>("fails");
    QTest::newRow("two") << QStringLiteral("+10,20+11,22+") << QList<QPoint>{{10, 20}, {11, 22}} << false;
    QTest::newRow("none") << QStringLiteral("+") << QList<QPoint>{} << false;
    QTest::newRow("nothing at all") << QString() << QList<QPoint>{} << false;
    QTest::newRow("empty segments between")
        << QStringLiteral("++1,2+++3,4+") << QList<QPoint>{{1, 2}, {3, 4}} << false;
    QTest::newRow("unclosed") << QStringLiteral("+1,2+3,4") << QList<QPoint>{{1, 2}, {3, 4}} << false;
    QTest::newRow("negative and hex") << QStringLiteral("+-5,$10+") << QList<QPoint>{{-5, 16}} << false;
    QTest::newRow("no comma") << QStringLiteral("+1,2+7+") << QList<QPoint>{{1, 2}} << true;
    QTest::newRow("two commas") << QStringLiteral("+1,2,3+") << QList<QPoint>{} << true;
    QTest::newRow("too big") << QStringLiteral("+2147483648,0+") << QList<QPoint>{} << true;
}

void BoardRemote::pointListWalk()
{
    QFETCH(QString, list);
    QFETCH(QList<QPoint>, points);
    QFETCH(bool, fails);
    FieldReader f(list);
    StrokePoints walk(f);
    QList<QPoint> got;
    bool failed = false;
    try {
        QPoint p;
        while (walk.next(p))
            got << p;
    } catch (const EConvertError &) {
        failed = true;
    }
    QCOMPARE(got, points);
    QCOMPARE(failed, fails);
}

void BoardRemote::segmentClipping()
{
    const QRectF r(0, 0, 100, 50);
    QLineF out;
    QVERIFY(clipSegment(QPointF(10, 10), QPointF(20, 20), r, out));
    QCOMPARE(out, QLineF(10, 10, 20, 20));
    QVERIFY(clipSegment(QPointF(-100, 25), QPointF(200, 25), r, out));
    QCOMPARE(out, QLineF(0, 25, 100, 25));
    QVERIFY(!clipSegment(QPointF(-10, -10), QPointF(-5, 60), r, out));
    QVERIFY(!clipSegment(QPointF(150, 0), QPointF(300, 50), r, out));
    QVERIFY(clipSegment(QPointF(50, 25), QPointF(50, 25), r, out)); // a dot inside
    QVERIFY(!clipSegment(QPointF(500, 25), QPointF(500, 25), r, out));
}

void BoardRemote::batchIsFullAtThe101stPoint()
{
    StrokeBatch b;
    for (int i = 0; i < 100; ++i)
        b.add(QPoint(i, i));
    QVERIFY(!b.full());
    b.add(QPoint(1, 1));
    QVERIFY(b.full());
    QCOMPARE(b.strokecount(), 101);
    b.clear();
    QCOMPARE(b.strokecount(), 0);
}

QTEST_MAIN(BoardRemote)
#include "tst_boardremote.moc"
