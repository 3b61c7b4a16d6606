// Drawing costs on the player's side: a relayed batch, a repaint, and a late joiner's replay, each
// also as a ratio against the floor measured in the same run: the 101-point hand batch painted as
// one polyline on two pictures of the board's size, two plain QPainter passes.

#include "board/drawingboard.h"
#include "client/tchat.h"
#include "host/tserver.h"
#include "platform/errors.h"
#include "protocol/commands.h"
#include "protocol/fields.h"
#include "protocol/strokemessage.h"
#include "tests/host/hostgameprobe.h"
#include "tests/support/playersetup.h"
#include "tests/support/tchatui.h"

#include <QTcpServer>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QPainter>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <functional>

namespace {

// A batch as a hand draws it: 101 points a few pixels apart along a curve.
QString handBatch(int player, int width, int offset)
{
    QString s = QStringLiteral("%1+clBlack+%2+").arg(player).arg(width);
    for (int i = 0; i < 101; ++i) {
        const double t = (offset * 101 + i) * 0.05;
        const int x = 266 + int(std::lround(200 * std::sin(t) * std::cos(t * 0.3)));
        const int y = 184 + int(std::lround(150 * std::sin(t * 0.7)));
        s += QStringLiteral("+%1,%2").arg(x).arg(y);
    }
    return s + QLatin1Char('+');
}

// Long jumps across the whole area: the painter's worst case for a batch.
QString jumpBatch(int player, int width)
{
    QString s = QStringLiteral("%1+clBlack+%2+").arg(player).arg(width);
    for (int i = 0; i < 101; ++i)
        s += QStringLiteral("+%1,%2").arg((i * 157) % 533).arg((i * 97) % 369);
    return s + QLatin1Char('+');
}

// Every segment runs from one side of the area to the other.
QString crossingBatch(int player, int width)
{
    QString s = QStringLiteral("%1+clBlack+%2+").arg(player).arg(width);
    for (int i = 0; i < 101; ++i)
        s += QStringLiteral("+%1,%2").arg(i % 2 ? 532 : 0).arg((i * 97) % 369);
    return s + QLatin1Char('+');
}

// The points of a batch, as the board gets them.
QList<QPoint> batchPoints(const QString &batch)
{
    QList<QPoint> points;
    FieldReader f(batch);
    f.next();
    f.next();
    f.next();
    StrokePoints walk(f);
    QPoint p;
    while (walk.next(p))
        points.append(p);
    return points;
}

double processCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + t.tv_nsec / 1e9;
}

// Milliseconds of processor time one call of `work` takes: the best of a few rounds of many
// calls, so the figure is what the code costs rather than what the other programs on the machine
// take of the processor.
double perCall(const std::function<void()> &work, int calls = 300, int rounds = 7)
{
    double best = 1e9;
    for (int r = 0; r < rounds; ++r) {
        const double start = processCpuSeconds();
        for (int i = 0; i < calls; ++i)
            work();
        best = std::min(best, (processCpuSeconds() - start) * 1000 / calls);
    }
    return best;
}

// The floor of a batch: its points (after the pen's start) as one polyline on each of two pictures
// of the board's size, two plain QPainter passes. The floor of the hand batch is the floor.
double floorMs(const QString &batch = handBatch(2, 3, 0))
{
    QImage one(DrawingBoard::boardWidth, DrawingBoard::boardHeight, QImage::Format_RGB32);
    QImage two = one;
    one.fill(Qt::white);
    two.fill(Qt::white);
    FieldReader f(batch);
    f.next();
    f.next();
    const int width = f.nextInt();
    QList<QPointF> points{QPointF(266, 184)};
    for (const QPoint &p : batchPoints(batch))
        points.append(p);
    return perCall([&] {
        for (QImage *im : {&one, &two}) {
            QPainter painter(im);
            painter.setPen(QPen(Qt::black, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter.drawPolyline(points.constData(), int(points.size()));
        }
    });
}

// Full batches a late joiner's replay holds, and the processor time a batch of it may take in
// floors: the host sending and the player reading, parsing and painting a batch cost less than
// the floor's two painter passes (0.39-0.49 x in ten runs); painting each batch on both
// pictures again would pass 0.75 x. The replay's wall-clock time is shown beside it: on a loaded
// machine it holds what other programs take of the processor (0.37-1.27 s in ten runs).
constexpr int replayBatches = 3000;
constexpr double replayFloorsABatch = 0.75;

} // namespace

class BenchBoard : public QObject
{
    Q_OBJECT

private slots:
    void drawitBatch_data();
    void drawitBatch();
    void repaintWholeArea();
    void batchesAgainstTheFloor();
    void lateJoinerReplay();
};

void BenchBoard::drawitBatch_data()
{
    QTest::addColumn<QString>("batch");
    QTest::newRow("hand stroke, width 3") << handBatch(2, 3, 0);
    QTest::newRow("jumps across the area, width 3") << jumpBatch(2, 3);
    QTest::newRow("every segment crossing the area, width 3") << crossingBatch(2, 3);
}

void BenchBoard::drawitBatch()
{
    QFETCH(QString, batch);
    Tchat chat;
    unplug(chat.game());
    play(chat.game(), {"CMD_sendlogininfo+1"});
    chat.game()->handle(QStringLiteral("CMD_moveit+2+clBlack+3+266+184"));
    QBENCHMARK
    {
        chat.game()->handle(cmd::draw + QLatin1Char('+') + batch);
    }
}

void BenchBoard::batchesAgainstTheFloor()
{
    const double floor = floorMs();
    std::printf("figure: floor (two QPainter passes of a 101-point batch): %.3f ms\n", floor);
    struct Row
    {
        const char *name;
        int width;
        QString batch;
        bool againstFloor; // a batch of the floor's width
    };
    const Row rows[] = {
        {"hand stroke", 3, handBatch(2, 3, 0), true},
        {"jumps across the area", 3, jumpBatch(2, 3), true},
        {"every segment crossing the area", 3, crossingBatch(2, 3), true},
        {"hand stroke, width 40", 40, handBatch(2, 40, 0), false},
    };
    double worst = 0, worstOwn = 0;
    for (const auto &[name, width, batch, againstFloor] : rows) {
        Tchat chat;
        unplug(chat.game());
        play(chat.game(), {"CMD_sendlogininfo+1"});
        chat.game()->handle(cmd::moveit + QLatin1Char('+') +
                            QStringLiteral("2+clBlack+%1+266+184").arg(width));
        const double ms = perCall([&] { chat.game()->handle(cmd::draw + QLatin1Char('+') + batch); });
        // The earlier way, for comparison: the points painted on each surface in turn.
        QImage one(DrawingBoard::boardWidth, DrawingBoard::boardHeight, QImage::Format_RGB32);
        QImage two = one;
        one.fill(Qt::white);
        two.fill(Qt::white);
        Canvas first(&one), second(&two);
        const QList<QPoint> points = batchPoints(batch);
        const int w = width;
        const double twice = perCall([&] {
            for (Canvas *c : {&first, &second}) {
                c->setPen(Qt::black, w);
                c->lineThrough(points.constData(), points.size());
            }
        });
        const double own = floorMs(batch);
        std::printf("figure: batch of 101 points, %s: %.3f ms, %.2f x the floor, %.2f x its own floor of "
                    "%.3f ms (painting it on each surface as before: %.3f ms)\n",
                    name, ms, ms / floor, ms / own, own, twice);
        if (againstFloor) {
            worst = std::max(worst, ms / floor);
            worstOwn = std::max(worstOwn, ms / own);
        }
    }
    std::printf("figure: worst batch of width 3: %.2f x the floor, %.2f x its own floor (goal 1.1)\n", worst,
                worstOwn);
    QVERIFY2(worstOwn <= 1.1, "a batch costs more than 1.1 x the floor of its painting");
}

void BenchBoard::repaintWholeArea()
{
    Tchat chat;
    chat.setparams({QStringLiteral("Bench")});
    chat.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chat));
    unplug(chat.game());
    play(chat.game(), {"CMD_sendlogininfo+1"});
    chat.game()->handle(QStringLiteral("CMD_moveit+2+clBlack+3+266+184"));
    for (int i = 0; i < 20; ++i)
        chat.game()->handle(cmd::draw + QLatin1Char('+') + handBatch(2, 3, i));
    DrawingBoard *board = ui(chat).image_main;
    QBENCHMARK
    {
        board->repaint();
    }
    QCOMPARE(board->screenPicture(), board->image_backup);
}

void BenchBoard::lateJoinerReplay()
{
    // The host holds a turn's history of 2,000 stroke messages and sends it at the login, in one
    // burst, as it does for anybody who joins during a turn.
    errorbox::setHook([](const QString &) {});
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const QString port = QString::number(probe.serverPort());
    probe.close();
    TServer server;
    server.listener.PortName = port;
    server.listener.setListen(true);
    // A stroke of 20 full batches after each moveit.
    const int messages = replayBatches + replayBatches / 20;
    QStringList history;
    qsizetype bytes = 0;
    int batch = 0;
    for (int i = 0; i < messages; ++i) {
        const QString m = i % 21 == 0 ? QStringLiteral("CMD_moveit+2+clBlack+3+266+184")
                                      : QStringLiteral("CMD_draw+") + handBatch(2, 3, batch++);
        history << m;
        bytes += m.size() + 1;
    }
    QVERIFY(batch == replayBatches);
    HostGameProbe::sethistory(server.game(), history);
    const double floor = floorMs();

    Tchat chat;
    chat.setparams({QStringLiteral("Bench")});
    chat.link()->sock.HostName = QStringLiteral("127.0.0.1");
    chat.link()->sock.PortName = port;
    chat.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chat));
    // The window's start takes the login name from its parameters; the host seats no empty name.
    chat.game()->setloginname(QStringLiteral("Late"));

    // The window's responsiveness: how late a 10 ms timer fires while the history drains.
    QElapsedTimer clock;
    qint64 last = 0, worst = 0;
    int ticks = 0;
    QTimer probeTimer;
    probeTimer.setInterval(10);
    connect(&probeTimer, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        if (ticks++ > 0)
            worst = qMax(worst, now - last);
        last = now;
    });
    clock.start();
    probeTimer.start();
    QElapsedTimer drain;
    drain.start();
    const double cpuBefore = processCpuSeconds();
    chat.link()->sock.Open();

    // Wait, without sleeping, until the last message has been drawn.
    const QPoint lastPoint = [&] {
        QPoint p;
        FieldReader f(handBatch(2, 3, batch - 1));
        f.next();
        f.next();
        f.next();
        StrokePoints walk(f);
        while (walk.next(p)) {
        }
        return p;
    }();
    QEventLoop loop;
    QTimer watch;
    connect(&watch, &QTimer::timeout, [&] {
        if ((chat.link()->receivedlist.isEmpty() && ui(chat).image_main->backup.penpos == lastPoint) ||
            drain.elapsed() > 60000)
            loop.quit();
    });
    watch.start(1);
    loop.exec();
    QCOMPARE(ui(chat).image_main->backup.penpos, lastPoint);
    const double seconds = drain.nsecsElapsed() / 1e9;
    // The work itself, apart from what other programs on the machine take of it: the host and the
    // player run in this one process.
    const double cpu = processCpuSeconds() - cpuBefore;
    std::printf("figure: login and replay of %d messages, %d full batches (%lld bytes): %.2f s, %.3f ms a "
                "batch; worst gap of a 10 ms timer meanwhile: %.1f ms (%d ticks)\n",
                messages, replayBatches, qlonglong(bytes), seconds, seconds * 1000 / replayBatches,
                worst / 1e6, ticks);
    const double batchMs = cpu * 1000 / replayBatches;
    std::printf("figure: replay's processor time (host and player together): %.2f s, %.3f ms a batch, %.2f x "
                "the floor of %.3f ms (check %.2f x)\n",
                cpu, batchMs, batchMs / floor, floor, replayFloorsABatch);
    QVERIFY2(batchMs <= replayFloorsABatch * floor, "the replay cost more than its share of the floor");
    errorbox::setHook({});
}

QTEST_MAIN(BenchBoard)
#include "bench_board.moc"
