// Live drawing through a real host: a drawer streams a stroke of 300 points at 100 moves a
// second over loopback TCP to a guesser; the figures are the time from a point's move event to
// that point on the guesser's backing picture (batches of 101 against the 40 ms flush), the
// stroke messages a second that reach the host's queue, a chat line's round trip through the
// host while the stroke streams and while nothing is drawn, and the time a late joiner takes to
// draw a history of 3,000 live-drawn stroke messages, with the longest stall of the event loop
// meanwhile. Everything runs in this one process, on one event loop, as the players' copies and
// the host would each run on theirs.
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

    // One stroke of 300 points at 100 moves a second; the chat probe talks every 50 ms when given.
    void stroke(bool live, ChatProbe *chat)
    {
        // Joined with no history, so the guesser's picture starts white.
        HostGameProbe::sethistory(host->game(), {});
        auto drawer = join(QStringLiteral("Ann"));
        auto guesser = join(QStringLiteral("Bob"));
        HostGameProbe::setphase(host->game(), HostGame::Phase::drawing);
        HostGameProbe::setdrawer(host->game(), drawer->game()->mynumber());
        arrange(drawer->game()).drawernumber = drawer->game()->mynumber();
        arrange(guesser->game()).drawernumber = drawer->game()->mynumber();
        strokesender(ui(drawer))->flusher->enabled = live;
        QTest::qWait(100);

        QList<QPoint> points;
        for (int i = 0; i < 300; ++i)
            points << QPoint(10 + (i % 100) * 5, 20 + (i / 100) * 100);
        QList<qint64> moved(points.size(), -1), painted(points.size(), -1);
        QElapsedTimer clock;
        clock.start();
        int next = 0, seen = 0;
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
        QObject::connect(&look, &QTimer::timeout, [&] {
            while (seen < next && picture.pixel(points[seen]) == qRgb(0, 0, 0))
                painted[seen++] = clock.nsecsElapsed();
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

        QList<double> lag;
        for (int i = 0; i < seen; ++i)
            lag << double(painted[i] - moved[i]) / 1e6;
        const Percentiles p = percentiles(lag);
        qInfo("figure: move to paint, %s: p50 %.1f ms, p99 %.1f ms, max %.1f ms (%d of %d points)",
              live ? "40 ms flush" : "batches of 101", p.p50, p.p99, p.max, seen, int(points.size()));
        qInfo("figure: stroke messages on the host's queue, %s: %lld in a %.2f s stroke = %.1f a second",
              live ? "40 ms flush" : "batches of 101", qlonglong(host->game().history().size()), seconds,
              double(host->game().history().size()) / seconds);
        QCOMPARE(seen, int(points.size()));
        HostGameProbe::setphase(host->game(), HostGame::Phase::idle);
        drawer.reset();
        guesser.reset();
        QTest::qWait(100);
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
        stroke(false, nullptr);
        stroke(true, nullptr);
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
        stroke(true, &chat);
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
        // 3,000 stroke messages as the 40 ms flush writes them: strokes of a start and about
        // four points a message.
        QStringList history;
        int x = 10;
        for (int m = 0; history.size() < 2999; ++m) {
            if (m % 10 == 0) {
                history
                    << QStringLiteral("CMD_moveit+%1+clBlack+3+%2+%3").arg(d).arg(x % 500).arg(20 + m % 300);
                continue;
            }
            QString line = QStringLiteral("CMD_draw+%1+clBlack+3++").arg(d);
            for (int k = 0; k < 4; ++k)
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
