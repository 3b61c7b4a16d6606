// Live drawing through a real host: a drawer streams a stroke of 300 points at 100 moves a
// second over loopback TCP to a guesser; the figures are the time from a point's move event to
// the host's queue holding it (point to message) and to that point on the guesser's backing
// picture (move to paint), for batches of 101, for the flush, and for every point sent at once
// (the floor the flush is held against), with the stroke messages a second and the characters
// they add to the turn's history; then a chat line's round trip through the host while the stroke
// streams and while nothing is drawn, and the time a late joiner takes to draw a history of 3,000
// live-drawn stroke messages, with the longest stall of the event loop meanwhile. Everything runs
// in this one process, on one event loop, as the players' copies and the host would each run on
// theirs.
#include "bench/support/chatprobe.h"
#include "board/drawingboard.h"
#include "client/core/strokeflusher.h"
#include "client/tchat.h"
#include "host/tserver.h"
#include "platform/errors.h"
#include "protocol/commands.h"
#include "protocol/cp1252.h"
#include "protocol/framing.h"
#include "tests/host/hostgameprobe.h"
#include "tests/support/netsupport.h"
#include "tests/support/playersetup.h"
#include "tests/support/strokeui.h"
#include "tests/support/tchatui.h"

#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTest>
#include <algorithm>
#include <memory>

class BenchLive : public QObject
{
    Q_OBJECT

    std::unique_ptr<TServer> host;
    quint16 port = 0;

    std::unique_ptr<Tchat> join(const QString &name)
    {
        auto t = std::make_unique<Tchat>();
        t->setparams({name});
        t->game()->setloginname(name);
        t->link()->sock.HostName = QStringLiteral("127.0.0.1");
        t->link()->sock.PortName = QString::number(port);
        t->link()->sock.Open();
        Tchat *p = t.get();
        if (!waitUntil([p] { return p->game()->loggedin(); }))
            qFatal("no login");
        return t;
    }

    enum class Pen { batches, flush, atOnce };
    struct Run
    {
        Percentiles paint, message;
        double perSecond = 0;
        qsizetype characters = 0;
        int painted = 0; // of the stroke's 300 points
    };

    static const char *name(Pen pen)
    {
        switch (pen) {
        case Pen::batches:
            return "batches of 101";
        case Pen::flush:
            return "flush";
        case Pen::atOnce:
            return "every point at once";
        }
        return "";
    }

    // One stroke of 300 points at 100 moves a second; the chat probe talks every 50 ms when given.
    Run stroke(Pen pen, ChatProbe *chat)
    {
        // Joined with no history, so the guesser's picture starts white.
        HostGameProbe::sethistory(host->game(), {});
        auto drawer = join(QStringLiteral("Ann"));
        auto guesser = join(QStringLiteral("Bob"));
        HostGameProbe::setphase(host->game(), HostGame::Phase::drawing);
        HostGameProbe::setdrawer(host->game(), drawer->game()->mynumber());
        const QString turn = QStringLiteral("CMD_nextplayer+%1+0+___").arg(drawer->game()->mynumber());
        play(drawer->game(), {turn});
        play(guesser->game(), {turn});
        StrokeFlusher *flusher = strokesender(ui(drawer))->flusher;
        flusher->enabled = pen != Pen::batches;
        flusher->setInterval(pen == Pen::atOnce ? 0 : StrokeFlush::interval);
        QTest::qWait(100);

        QList<QPoint> points;
        for (int i = 0; i < 300; ++i)
            points << QPoint(10 + (i % 100) * 5, 20 + (i / 100) * 100);
        QList<qint64> moved(points.size(), -1), painted(points.size(), -1), queued(points.size(), -1);
        QElapsedTimer clock;
        clock.start();
        int next = 0, seen = 0, atHost = 0;
        qsizetype lines = 0;
        bool released = false;
        ui(drawer).image_main->onMouseDown(Qt::LeftButton, Qt::LeftButton, 5, 20);
        QTimer hand;
        hand.setTimerType(Qt::PreciseTimer);
        hand.setInterval(10);
        QObject::connect(&hand, &QTimer::timeout, [&] {
            if (next < points.size()) {
                moved[next] = clock.nsecsElapsed();
                ui(drawer).image_main->onMouseMove(Qt::LeftButton, points[next].x(), points[next].y());
                ++next;
            } else {
                hand.stop();
                released = true;
                ui(drawer).image_main->onMouseUp(Qt::LeftButton, Qt::NoButton, points.last().x(),
                                                 points.last().y());
            }
        });
        QTimer look;
        look.setTimerType(Qt::PreciseTimer);
        look.setInterval(1);
        const QImage &picture = ui(guesser).image_main->image_backup;
        const QStringList &history = host->game().history();
        QObject::connect(&look, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            while (seen < next && picture.pixel(points[seen]) == qRgb(0, 0, 0))
                painted[seen++] = now;
            // The host keeps each stroke message as it takes it from its queue: a point is there
            // once a message holding it is.
            for (; lines < history.size(); ++lines)
                if (history[lines].startsWith(QStringLiteral("CMD_draw+")))
                    for (int k = int(history[lines].count(QLatin1Char(','))); k > 0 && atHost < next; --k)
                        queued[atHost++] = now;
        });
        QTimer talk;
        talk.setInterval(50);
        if (chat)
            QObject::connect(&talk, &QTimer::timeout, [&] {
                if (chat->answered())
                    chat->say();
            });
        hand.start();
        look.start();
        if (chat)
            talk.start();
        waitUntil([&] { return seen == points.size(); }, 10000);
        talk.stop();
        waitUntil([&] { return released; });
        look.stop();
        const double seconds = double(moved.last() - moved.first()) / 1e9;

        QList<double> lag, wait;
        for (int i = 0; i < seen; ++i)
            lag << double(painted[i] - moved[i]) / 1e6;
        for (int i = 0; i < atHost; ++i)
            wait << double(queued[i] - moved[i]) / 1e6;
        Run run{percentiles(lag), percentiles(wait), double(history.size()) / seconds, 0, seen};
        for (const QString &line : history)
            run.characters += line.size();
        qInfo("figure: move to paint, %s: p50 %.1f ms, p99 %.1f ms, max %.1f ms (%d of %d points)", name(pen),
              run.paint.p50, run.paint.p99, run.paint.max, seen, int(points.size()));
        qInfo("figure: point to message, %s: p50 %.1f ms, p99 %.1f ms, max %.1f ms (%d of %d points)",
              name(pen), run.message.p50, run.message.p99, run.message.max, atHost, int(points.size()));
        qInfo("figure: stroke messages on the host's queue, %s: %lld in a %.2f s stroke = %.1f a second, "
              "%lld characters of history",
              name(pen), qlonglong(history.size()), seconds, run.perSecond, qlonglong(run.characters));
        HostGameProbe::setphase(host->game(), HostGame::Phase::idle);
        drawer.reset();
        guesser.reset();
        QTest::qWait(100);
        return run;
    }

private slots:
    void initTestCase()
    {
        errorbox::setHook([](const QString &text) { qWarning("error box: %s", qPrintable(text)); });
        port = freePort();
        host = std::make_unique<TServer>();
        host->listener.PortName = QString::number(port);
        host->listener.setListen(true);
    }

    void moveToPaint()
    {
        QCOMPARE(stroke(Pen::batches, nullptr).painted, 300);
        // A point waits for the flush at most its interval; the look's millisecond and the
        // timers' make up the rest of the margin. A stall of the machine (another program's build
        // on two cores held a stroke up to 160 ms) lands in one stroke and not the next, while a
        // flush that held points longer would show in every stroke: the floor and the flush are
        // measured again, up to three times, until a pair keeps within the margin.
        const double most = double(StrokeFlush::interval) + 10;
        for (int attempt = 1; attempt <= 3; ++attempt) {
            const Run floor = stroke(Pen::atOnce, nullptr);
            const Run flush = stroke(Pen::flush, nullptr);
            QCOMPARE(floor.painted, 300);
            QCOMPARE(flush.painted, 300);
            QVERIFY(flush.perSecond <= 60);
            const bool within =
                flush.paint.p99 - floor.paint.p99 <= most && flush.message.p99 - floor.message.p99 <= most;
            qInfo("figure: the flush over every point at once: move to paint p99 %.1f ms against %.1f ms, "
                  "point to message p99 %.1f ms against %.1f ms (goal 20 ms: %s; attempt %d: %s)",
                  flush.paint.p99, floor.paint.p99, flush.message.p99, floor.message.p99,
                  std::max(flush.paint.p99, flush.message.p99) <= 20 ? "met" : "missed", attempt,
                  within ? "within the floor's margin" : "over it");
            if (within)
                return;
        }
        QFAIL("the flush kept points over the floor's margin in three strokes");
    }

    void chatWhileDrawing()
    {
        ChatProbe chat(port);
        QVERIFY(waitUntil([&] { return chat.slot > 0; }));
        for (int i = 0; i < 60; ++i) {
            chat.say();
            QVERIFY(waitUntil([&] { return chat.answered(); }));
            QTest::qWait(20);
        }
        const Percentiles idle = percentiles(chat.trips);
        chat.trips.clear();
        const Run streaming = stroke(Pen::flush, &chat);
        QCOMPARE(streaming.painted, 300);
        QVERIFY(streaming.perSecond <= 60);
        const Percentiles busy = percentiles(chat.trips);
        qInfo("figure: chat line through the host: idle p50 %.1f ms p99 %.1f ms; with a drawer streaming "
              "p50 %.1f ms p99 %.1f ms (%d lines)",
              idle.p50, idle.p99, busy.p50, busy.p99, int(chat.trips.size()));
    }

    void lateJoinerHistory()
    {
        // The drawer stays seated, so the late joiner takes another slot: a player skips the
        // relayed strokes that carry its own slot number, and a history written for slot 1 was
        // skipped whole by a late joiner who was given slot 1 again.
        auto drawer = join(QStringLiteral("Ann"));
        const int d = drawer->game()->mynumber();
        // 3,000 stroke messages as the flush writes them at 100 moves a second: strokes of a
        // start and two points a message.
        QStringList history;
        int x = 10;
        for (int m = 0; history.size() < 2999; ++m) {
            if (m % 10 == 0) {
                history
                    << QStringLiteral("CMD_moveit+%1+clBlack+3+%2+%3").arg(d).arg(x % 500).arg(20 + m % 300);
                continue;
            }
            QString line = QStringLiteral("CMD_draw+%1+clBlack+3++").arg(d);
            for (int k = 0; k < 2; ++k)
                line += QStringLiteral("%1,%2+").arg((x += 3) % 520).arg(20 + (m + k) % 340);
            history << line;
        }
        // The last stroke: a short red line in a corner no black stroke reaches.
        history << QStringLiteral("CMD_moveit+%1+clRed+5+524+366").arg(d)
                << QStringLiteral("CMD_draw+%1+clRed+5++530,366+").arg(d);
        HostGameProbe::sethistory(host->game(), history);
        auto late = std::make_unique<Tchat>();
        // A seat needs a name the table can show.
        late->game()->setloginname(QStringLiteral("Late"));
        late->link()->sock.HostName = QStringLiteral("127.0.0.1");
        late->link()->sock.PortName = QString::number(port);

        QElapsedTimer clock;
        qint64 lastTick = 0, worstGap = 0;
        QTimer beat;
        beat.setTimerType(Qt::PreciseTimer);
        beat.setInterval(1);
        QObject::connect(&beat, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            worstGap = std::max(worstGap, now - lastTick);
            lastTick = now;
        });
        Tchat *p = late.get();
        late->link()->sock.Open();
        QVERIFY(waitUntil([p] { return p->game()->loggedin(); }));
        clock.start();
        beat.start();
        QVERIFY(p->game()->mynumber() != d);
        QVERIFY(waitUntil([p] { return ui(p).image_main->image_backup.pixel(527, 366) == qRgb(255, 0, 0); },
                          20000));
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        beat.stop();
        qInfo("figure: late joiner draws a history of %lld messages in %.0f ms; longest event-loop stall "
              "%.1f ms",
              qlonglong(host->game().history().size()), ms, double(worstGap) / 1e6);
    }

    void cleanupTestCase() { host.reset(); }
};

QTEST_MAIN(BenchLive)
#include "bench_live.moc"
