// The game beside a router that answers one byte every 3 s (a stand-in on 127.0.0.1): the round
// trip of chat lines through a hosting copy while its router requests are under way, with the
// longest stall of its event loop; how long the hosting window takes to close; and how long
// quillet-host takes to stop after SIGTERM, with a router that drips from the start and with one
// that turns to dripping after it mapped the port.
#include "app/hostingrole.h"
#include "app/hostjoin.h"
#include "app/program.h"
#include "bench/support/chatprobe.h"
#include "client/tchat.h"
#include "features/ini.h"
#include "platform/errors.h"
#include "tests/support/netsupport.h"
#include "tests/support/standinrouter.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <csignal>

using testsupport::StandInRouter;

namespace {
// Over the floor's figures: a chat line may wait longer than the floor's worst by a stall of the
// machine (up to 160 ms beside another program's build), never by a router's drip (3 s a byte);
// a close or a stop may wait for the router's deadline of 1 s, never for a drip.
constexpr double chatMarginMs = 250;
constexpr qint64 closeMarginMs = 1500;

// The stand-in serves from a thread of its own: closing a hosting copy waits on the router.
struct ServedRouter
{
    StandInRouter stand;
    QThread thread;
    ServedRouter()
    {
        stand.moveToThread(&thread);
        thread.start();
    }
    ~ServedRouter()
    {
        thread.quit();
        thread.wait();
    }
    void drip()
    {
        QMetaObject::invokeMethod(
            &stand, [s = &stand] { s->dripMs = 3000; }, Qt::BlockingQueuedConnection);
    }
};
} // namespace

class BenchRouter : public QObject
{
    Q_OBJECT
    QTemporaryDir home;

    struct Hosted
    {
        Percentiles trips;
        qint64 closeMs = 0;
    };

    // Hosts a game with the router opening on, times chat lines for `ms`, then closes the window.
    // A router that never drips is the floor of the others.
    Hosted hostBeside(ServedRouter &router, bool drips, bool dripFirst, const char *what)
    {
        Hosted out;
        qputenv("QUILLET_GAME_PORT", QByteArray::number(freePort()));
        qputenv("QUILLET_IGD_URL", router.stand.descriptionUrl().toUtf8());
        // A mapped port is renewed every second, each renewal meeting the dripping router.
        qputenv("QUILLET_IGD_LEASE", dripFirst ? "" : "2");
        if (drips && dripFirst)
            router.drip();
        Program p({QStringLiteral("Ann"), QStringLiteral("127.0.0.1"), QStringLiteral("true")});
        p.chat->processparams();
        if (!waitUntil([&] { return p.chat->game()->loggedin() && p.hosting; }))
            return out;
        if (!dripFirst) {
            if (!waitUntil([&] { return !p.hosting->externalAddress().isEmpty(); }))
                return out;
            if (drips)
                router.drip();
        }
        ChatProbe chat(quint16(qEnvironmentVariableIntValue("QUILLET_GAME_PORT")));
        if (!waitUntil([&] { return chat.slot > 0; }))
            return out;
        QElapsedTimer run, gap;
        qint64 stall = 0;
        QTimer beat;
        connect(&beat, &QTimer::timeout, this, [&] { stall = std::max(stall, gap.restart()); });
        run.start();
        gap.start();
        beat.start(5);
        const bool waitingAtStart = p.hosting->waitingForRouter();
        while (run.elapsed() < 3000) {
            chat.say();
            waitUntil([&] { return chat.answered(); });
            QTest::qWait(20);
        }
        beat.stop();
        out.trips = percentiles(chat.trips);
        QElapsedTimer closing;
        closing.start();
        p.chat->close();
        out.closeMs = closing.elapsed();
        qInfo("figure: chat through a hosting copy, %s (router request under way at start: %s): "
              "p50 %.1f ms, p99 %.1f ms, max %.1f ms (%d lines); longest event-loop stall %lld ms; "
              "the window closed in %lld ms",
              what, waitingAtStart ? "yes" : "no", out.trips.p50, out.trips.p99, out.trips.max,
              int(chat.trips.size()), stall, out.closeMs);
        return out;
    }

    // Starts quillet-host with the router opening on, stops it with SIGTERM; the milliseconds the
    // stop took, or -1. A router that never drips is the floor of the others.
    qint64 stopHost(ServedRouter &router, bool drips, bool dripFirst, const char *what)
    {
        if (drips && dripFirst)
            router.drip();
        QProcess host;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QUILLET_IGD_URL"), router.stand.descriptionUrl());
        host.setProcessEnvironment(env);
        QString binary = qEnvironmentVariable("QUILLET_HOST_BINARY");
        if (binary.isEmpty())
            binary = QCoreApplication::applicationDirPath() + QStringLiteral("/../../quillet-host");
        host.start(binary, {QStringLiteral("--port"), QString::number(freePort()),
                            QStringLiteral("--no-announce"), QStringLiteral("--open-router")});
        if (!host.waitForStarted(5000))
            return -1;
        QByteArray out;
        const auto saw = [&](const char *line) {
            out += host.readAllStandardOutput();
            return out.contains(line);
        };
        if (!waitUntil([&] { return saw(drips && dripFirst ? "Invitation: " : "Router opened port"); }))
            return -1;
        if (drips && !dripFirst)
            router.drip();
        QTest::qWait(500);
        QElapsedTimer stopping;
        stopping.start();
        ::kill(pid_t(host.processId()), SIGTERM);
        if (!host.waitForFinished(5000) || host.exitCode() != 0)
            return -1;
        const qint64 ms = stopping.elapsed();
        qInfo("figure: quillet-host stopped %lld ms after SIGTERM, %s", ms, what);
        return ms;
    }

private slots:
    void initTestCase()
    {
        errorbox::setHook([](const QString &text) { qWarning("error box: %s", qPrintable(text)); });
        qputenv("QUILLET_HOME", home.path().toUtf8());
        qputenv("QUILLET_INSTANCE", "bench-router-" + QByteArray::number(QCoreApplication::applicationPid()));
        QVERIFY(ini::writeString(home.filePath(QStringLiteral("orvanelobby.ini")), QStringLiteral("Quillet"),
                                 HostJoin::openRouterKey, QStringLiteral("1")));
    }

    void chatBesideADrippingRouter()
    {
        Hosted floor, first, after;
        {
            ServedRouter router;
            floor = hostBeside(router, false, false, "router answering at once (floor)");
        }
        {
            ServedRouter router;
            first = hostBeside(router, true, true, "router dripping from the start");
        }
        {
            ServedRouter router;
            after = hostBeside(router, true, false,
                               "router dripping after it mapped the port, renewing every second");
        }
        for (const Hosted *h : {&floor, &first, &after})
            QVERIFY(!qFuzzyIsNull(h->trips.p50));
        // A router request never holds the event loop, and closing never waits out a drip.
        for (const Hosted *h : {&first, &after}) {
            QVERIFY2(h->trips.p99 <= floor.trips.max + chatMarginMs, "a chat line waited on the router");
            QVERIFY2(h->closeMs <= floor.closeMs + closeMarginMs, "the window waited on the router");
        }
    }

    void hostStopsBesideADrippingRouter()
    {
        qint64 floor = 0, first = 0, after = 0;
        {
            ServedRouter router;
            floor = stopHost(router, false, false, "router answering at once (floor)");
        }
        {
            ServedRouter router;
            first = stopHost(router, true, true, "router dripping from the start");
        }
        {
            ServedRouter router;
            after = stopHost(router, true, false, "router dripping after it mapped the port");
        }
        QVERIFY(floor >= 0 && first >= 0 && after >= 0);
        QVERIFY2(std::max(first, after) <= floor + closeMarginMs, "quillet-host waited on the router");
    }
};

QTEST_MAIN(BenchRouter)
#include "bench_router.moc"
