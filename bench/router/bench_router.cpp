// The game beside a router that answers one byte every 3 s (a stand-in on 127.0.0.1): the longest
// stall of the router opening's caller while a request runs out its deadline; the round trip of
// chat lines through a hosting copy while its router requests are under way, with the longest
// stall of its event loop; how long the hosting window takes to close; and how long quillet-host
// takes to stop after SIGTERM, with a router that drips from the start and with one that turns to
// dripping after it mapped the port.
#include "app/hostingrole.h"
#include "app/hostjoin.h"
#include "app/program.h"
#include "bench/support/chatprobe.h"
#include "client/tchat.h"
#include "features/ini.h"
#include "platform/errors.h"
#include "router/routeropening.h"
#include "tests/support/eventloop.h"
#include "tests/support/netsupport.h"
#include "tests/support/standinrouter.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

using testsupport::ServedRouter;
using testsupport::StandInRouter;

namespace {
// Over the floor's figures: a chat line or a turn of the event loop may wait longer than the
// floor's worst by a stall of the machine (up to 160 ms beside another program's build), never by
// a router's drip (3 s a byte); a close or a stop may wait for the router's deadline of 1 s, never
// for a drip.
constexpr double chatMarginMs = 250;
constexpr qint64 closeMarginMs = 1500;

// The stand-in serves from a thread of its own (closing a hosting copy waits on the router); from
// now on it answers one byte every 3 s.
void drip(ServedRouter &router)
{
    router.change([](StandInRouter &s) { s.dripMs = 3000; });
}
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
            drip(router);
        Program p({QStringLiteral("Ann"), QStringLiteral("127.0.0.1"), QStringLiteral("true")});
        p.chat->processparams();
        if (!waitUntil([&] { return p.chat->game()->loggedin() && p.hosting; }))
            return out;
        if (!dripFirst) {
            if (!waitUntil([&] { return !p.hosting->externalAddress().isEmpty(); }))
                return out;
            if (drips)
                drip(router);
        }
        ChatProbe chat(quint16(qEnvironmentVariableIntValue("QUILLET_GAME_PORT")));
        if (!waitUntil([&] { return chat.slot > 0; }))
            return out;
        QElapsedTimer run;
        const testsupport::StallWatch watch;
        run.start();
        const bool waitingAtStart = p.hosting->waitingForRouter();
        while (run.elapsed() < 3000) {
            chat.say();
            waitUntil([&] { return chat.answered(); });
            QTest::qWait(20);
        }
        const qint64 stall = watch.worst();
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
            drip(router);
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
            drip(router);
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

    // The router opening on its own, its request running out its deadline against the dripping
    // stand-in served by the caller's own loop; the floor is that loop as long with nothing under
    // way.
    void callerLoopBesideADrippingRouter()
    {
        qint64 floor = 0;
        {
            const testsupport::StallWatch watch;
            waitUntil([] { return false; }, RouterOpening::requestMs);
            floor = watch.worst();
        }
        StandInRouter stand;
        stand.dripMs = 3000;
        RouterOpening opening;
        QSignalSpy failed(&opening, &RouterOpening::failed);
        router::Request q;
        q.port = quint16(freePort());
        q.descriptionUrl = stand.descriptionUrl();
        QElapsedTimer clock;
        clock.start();
        const testsupport::StallWatch watch;
        opening.open(q);
        waitUntil([&] { return !failed.isEmpty(); });
        const qint64 stall = watch.worst();
        const qint64 failedMs = clock.elapsed();
        qInfo("figure: the caller's longest event-loop stall while a router request drips to its "
              "deadline: %lld ms (floor, nothing under way: %lld ms); it failed after %lld ms",
              stall, floor, failedMs);
        QCOMPARE(failed.size(), 1);
        QVERIFY2(stall <= floor + qint64(chatMarginMs), "the caller's loop waited on the router");
        QVERIFY2(failedMs <= RouterOpening::requestMs + closeMarginMs, "a request outlived its deadline");
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
