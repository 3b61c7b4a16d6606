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

    // Hosts a game with the router opening on, times chat lines for `ms`, then closes the window.
    void hostBeside(ServedRouter &router, bool dripFirst, const char *what)
    {
        qputenv("QUILLET_GAME_PORT", QByteArray::number(freePort()));
        qputenv("QUILLET_IGD_URL", router.stand.descriptionUrl().toUtf8());
        // A mapped port is renewed every second, each renewal meeting the dripping router.
        qputenv("QUILLET_IGD_LEASE", dripFirst ? "" : "2");
        if (dripFirst)
            router.drip();
        Program p({QStringLiteral("Ann"), QStringLiteral("127.0.0.1"), QStringLiteral("true")});
        p.chat->processparams();
        QVERIFY(waitUntil([&] { return p.chat->game()->loggedin() && p.hosting; }));
        if (!dripFirst) {
            QVERIFY(waitUntil([&] { return !p.hosting->externalAddress().isEmpty(); }));
            router.drip();
        }
        ChatProbe chat(quint16(qEnvironmentVariableIntValue("QUILLET_GAME_PORT")));
        QVERIFY(waitUntil([&] { return chat.slot > 0; }));
        QElapsedTimer run, gap;
        qint64 stall = 0;
        QTimer beat;
        connect(&beat, &QTimer::timeout, this, [&] { stall = std::max(stall, gap.restart()); });
        run.start();
        gap.start();
        beat.start(5);
        const bool waitingAtStart = p.hosting->waitingForRouter();
        while (run.elapsed() < 5000) {
            chat.say();
            QVERIFY(waitUntil([&] { return chat.answered(); }));
            QTest::qWait(20);
        }
        beat.stop();
        const Percentiles trips = percentiles(chat.trips);
        QElapsedTimer closing;
        closing.start();
        p.chat->close();
        const qint64 closeMs = closing.elapsed();
        qInfo("figure: chat through a hosting copy, %s (router request under way at start: %s): "
              "p50 %.1f ms, p99 %.1f ms, max %.1f ms (%d lines); longest event-loop stall %lld ms; "
              "the window closed in %lld ms",
              what, waitingAtStart ? "yes" : "no", trips.p50, trips.p99, trips.max, int(chat.trips.size()),
              stall, closeMs);
        QVERIFY(trips.p99 <= 50);
        QVERIFY(closeMs <= 1500);
    }

    // Starts quillet-host with the router opening on, stops it with SIGTERM, and times the stop.
    void stopHost(ServedRouter &router, bool dripFirst, const char *what)
    {
        if (dripFirst)
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
        QVERIFY(host.waitForStarted(5000));
        QByteArray out;
        const auto saw = [&](const char *line) {
            out += host.readAllStandardOutput();
            return out.contains(line);
        };
        QVERIFY(waitUntil([&] { return saw(dripFirst ? "Invitation: " : "Router opened port"); }));
        if (!dripFirst)
            router.drip();
        QTest::qWait(500);
        QElapsedTimer stopping;
        stopping.start();
        ::kill(pid_t(host.processId()), SIGTERM);
        QVERIFY(host.waitForFinished(5000));
        const qint64 ms = stopping.elapsed();
        qInfo("figure: quillet-host stopped %lld ms after SIGTERM, %s", ms, what);
        QCOMPARE(host.exitCode(), 0);
        QVERIFY(ms <= 1500);
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
        {
            ServedRouter router;
            hostBeside(router, true, "router dripping from the start");
        }
        ServedRouter router;
        hostBeside(router, false, "router dripping after it mapped the port, renewing every second");
    }

    void hostStopsBesideADrippingRouter()
    {
        {
            ServedRouter router;
            stopHost(router, true, "router dripping from the start");
        }
        ServedRouter router;
        stopHost(router, false, "router dripping after it mapped the port");
    }
};

QTEST_MAIN(BenchRouter)
#include "bench_router.moc"
