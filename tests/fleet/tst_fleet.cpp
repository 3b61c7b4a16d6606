// quillet-host in a fleet, as a real process against a stand-in SDK sidecar on 127.0.0.1: when it
// says ready, its health pings, allocation, the seat count and state label, the idle shutdown.

#include "bench/support/memory.h"
#include "fleet/sidecarhttp.h"
#include "tests/board/rawpeer.h"
#include "tests/fleet/standinsdk.h"
#include "tests/quillet-host/hostprocess.h"
#include "tests/support/netsupport.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTcpServer>
#include <QtTest>
#include <csignal>

using testsupport::StandInSdk;

namespace {

// Built with AddressSanitizer (tools/sanitized.sh), as the host this suite starts is too.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool sanitized = true;
#elif defined(__has_feature)
constexpr bool sanitized = __has_feature(address_sanitizer);
#else
constexpr bool sanitized = false;
#endif

const QString readyPath = QStringLiteral("/ready");
const QString healthPath = QStringLiteral("/health");
const QString allocatePath = QStringLiteral("/allocate");
const QString shutdownPath = QStringLiteral("/shutdown");
const QString seatsPath = QStringLiteral("/v1beta1/counters/players");
const QString labelPath = QStringLiteral("/metadata/label");

// A quillet-host that reports to the sidecar on sdkPort.
struct FleetHost : HostProcess
{
    quint16 port = freePort();

    void start(quint16 sdkPort, const QStringList &more = {})
    {
        QProcessEnvironment env;
        env.insert(QStringLiteral("AGONES_SDK_HTTP_PORT"), QString::number(sdkPort));
        env.insert(QStringLiteral("QUILLET_AGONES_HEALTH_MS"), QStringLiteral("200"));
        env.insert(QStringLiteral("QUILLET_AGONES_RETRY_MS"), QStringLiteral("50"));
        env.insert(QStringLiteral("QUILLET_AGONES_RETRY_MAX_MS"), QStringLiteral("200"));
        HostProcess::start(port, QStringList{QStringLiteral("--no-announce")} + more, env);
    }
    // A player logs in under the name; false when the host did not seat him.
    bool login(RawPeer &peer, const QString &name)
    {
        if (!peer.connectTo(port))
            return false;
        const QString slot = peer.next().section(QLatin1Char('+'), 1);
        peer.send(QStringLiteral("CMD_logininfo+%1+2.2.8+%2").arg(slot, name));
        return waitLine(QStringLiteral("Player joined")).endsWith(name + QLatin1Char(')'));
    }
    // Stops it as the fleet's pod is stopped; true when it ended as ever within the time.
    bool terminate(int ms = 5000)
    {
        ::kill(pid_t(proc.processId()), SIGTERM);
        return proc.waitForFinished(ms) && proc.exitStatus() == QProcess::NormalExit &&
               proc.exitCode() == 0 && waitLine(QStringLiteral("Stopped"), 100) == QStringLiteral("Stopped");
    }
};

} // namespace

class Fleet : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(!qEnvironmentVariableIsEmpty("QUILLET_HOST_BINARY")); }
    void readyOnceListeningThenHealthUntilStalled();
    void readyRetriedUntilTheSidecarStarts();
    void allocatesAtFirstLoginAndCountsSeats();
    void shutsDownOnlyAnAllocatedEmptyTable();
    void wholeLifeAgainstAStrictSidecar();
    void callsGivenUpDoNotHoldTheShutdown();
    void misbehavingSidecar_data();
    void misbehavingSidecar();
    void watchStreamInBoundedLines_data();
    void watchStreamInBoundedLines();
};

void Fleet::readyOnceListeningThenHealthUntilStalled()
{
    StandInSdk sdk;
    // Three silent periods of 300 ms make the table Unhealthy.
    sdk.healthPeriodMs = 300;
    QVERIFY(sdk.listen());
    FleetHost host;
    // When the sidecar hears "ready", players can already connect.
    bool listened = false;
    sdk.arrived = [&](const StandInSdk::Call &c) {
        if (c.path == readyPath)
            listened = acceptsConnections(host.port);
    };
    host.start(sdk.port());
    QVERIFY(!host.waitLine(QStringLiteral("Fleet: ready")).isEmpty());
    QVERIFY(listened);
    QCOMPARE(sdk.calls.first().path, readyPath);
    QTRY_COMPARE(sdk.values(seatsPath, QStringLiteral("count")), QStringList{QStringLiteral("0")});
    QTRY_COMPARE(sdk.values(labelPath, QStringLiteral("value")), QStringList{QStringLiteral("waiting")});
    QCOMPARE(sdk.values(labelPath, QStringLiteral("key")), QStringList{QStringLiteral("state")});

    // A ping every 200 ms.
    QTest::qWait(2000);
    const qint64 readyAt = sdk.of(readyPath).first().ms;
    const auto pings = sdk.of(healthPath);
    QVERIFY2(pings.size() >= 4 && pings.size() <= 14, qPrintable(QString::number(pings.size())));
    QVERIFY(pings.first().ms >= readyAt);

    // A stalled event loop pings no more; once it runs again the pings come back.
    ::kill(pid_t(host.proc.processId()), SIGSTOP);
    const qint64 stalled = sdk.now();
    QTest::qWait(1500);
    ::kill(pid_t(host.proc.processId()), SIGCONT);
    const qint64 resumed = sdk.now();
    const auto during = std::count_if(sdk.calls.cbegin(), sdk.calls.cend(), [&](const StandInSdk::Call &c) {
        return c.path == healthPath && c.ms > stalled + 300 && c.ms < resumed;
    });
    QCOMPARE(during, 0);
    QTRY_VERIFY(sdk.of(healthPath).last().ms > resumed);
    // The fleet saw the silence, and the host hears of it.
    QCOMPARE(host.waitLine(QStringLiteral("Fleet: Unhealthy")), QStringLiteral("Fleet: Unhealthy"));

    // A second copy on the taken port never says it is ready.
    FleetHost second;
    second.port = host.port;
    second.start(sdk.port());
    QVERIFY(second.proc.waitForFinished(5000));
    QVERIFY(second.proc.exitCode() != 0);
    QCOMPARE(sdk.of(readyPath).size(), 1);

    QVERIFY(host.terminate());
    QVERIFY(sdk.of(shutdownPath).isEmpty());
}

void Fleet::readyRetriedUntilTheSidecarStarts()
{
    const quint16 sdkPort = freePort();
    FleetHost host;
    host.start(sdkPort);
    QVERIFY(!host.waitLine(QStringLiteral("Listening")).isEmpty());
    // The game does not wait for the sidecar.
    RawPeer ann;
    QVERIFY(host.login(ann, QStringLiteral("Ann")));
    QTest::qWait(800);

    // It comes up, but cannot take the first tries yet.
    StandInSdk sdk;
    sdk.unavailable = 2;
    QVERIFY(sdk.listen(sdkPort));
    QVERIFY(!host.waitLine(QStringLiteral("Fleet: ready")).isEmpty());
    QCOMPARE(sdk.unavailable, 0);
    // What waited goes out in order once ready went through.
    QTRY_VERIFY(!sdk.of(allocatePath).isEmpty());
    QCOMPARE(sdk.calls.first().path, readyPath);
    QCOMPARE(sdk.of(readyPath).size(), 1);
    QCOMPARE(sdk.values(seatsPath, QStringLiteral("count")), QStringList{QStringLiteral("1")});
    QVERIFY(ann.connected());
}

void Fleet::allocatesAtFirstLoginAndCountsSeats()
{
    {
        StandInSdk sdk;
        QVERIFY(sdk.listen());
        FleetHost host;
        host.start(sdk.port());
        QVERIFY(!host.waitLine(QStringLiteral("Fleet: ready")).isEmpty());
        // Ten seated players, then a spectator: he holds no seat.
        RawPeer peers[11];
        RawPeer &ann = peers[0], &bob = peers[1];
        const auto seats = [&] { return sdk.values(seatsPath, QStringLiteral("count")).last(); };
        QVERIFY(host.login(ann, QStringLiteral("Ann")));
        QTRY_COMPARE(sdk.of(allocatePath).size(), 1);
        QTRY_COMPARE(seats(), QStringLiteral("1"));
        QVERIFY(host.login(bob, QStringLiteral("Bob")));
        QTRY_COMPARE(seats(), QStringLiteral("2"));
        for (int i = 2; i < 11; ++i)
            QVERIFY(host.login(peers[i], QStringLiteral("P%1").arg(i + 1)));
        QTRY_COMPARE(seats(), QStringLiteral("10"));
        ann.send(QStringLiteral("CMD_startgame+1+false+5+60"));
        QVERIFY(!host.waitLine(QStringLiteral("Game started")).isEmpty());
        QTRY_COMPARE(sdk.values(labelPath, QStringLiteral("value")),
                     (QStringList{QStringLiteral("waiting"), QStringLiteral("playing")}));
        bob.socket()->disconnectFromHost();
        QVERIFY(!host.waitLine(QStringLiteral("Player left")).isEmpty());
        QTRY_COMPARE(seats(), QStringLiteral("9"));
        QVERIFY(!sdk.values(seatsPath, QStringLiteral("count")).contains(QStringLiteral("11")));
        QCOMPARE(sdk.of(allocatePath).size(), 1);
    }
    // A server the fleet allocated is not allocated again by its players.
    StandInSdk sdk;
    QVERIFY(sdk.listen());
    FleetHost host;
    host.start(sdk.port());
    QVERIFY(!host.waitLine(QStringLiteral("Fleet: ready")).isEmpty());
    sdk.setState(QStringLiteral("Allocated"));
    QVERIFY(!host.waitLine(QStringLiteral("Fleet: Allocated")).isEmpty());
    RawPeer ann;
    QVERIFY(host.login(ann, QStringLiteral("Ann")));
    QTRY_COMPARE(sdk.values(seatsPath, QStringLiteral("count")).last(), QStringLiteral("1"));
    QVERIFY(sdk.of(allocatePath).isEmpty());
}

void Fleet::shutsDownOnlyAnAllocatedEmptyTable()
{
    StandInSdk sdk;
    QVERIFY(sdk.listen());
    FleetHost host;
    host.start(sdk.port(), {QStringLiteral("--idle-shutdown"), QStringLiteral("1")});
    QVERIFY(!host.waitLine(QStringLiteral("Fleet: ready")).isEmpty());
    // Nobody allocated it: it waits, Ready, however long.
    QTest::qWait(1500);
    RawPeer ann, bob;
    QVERIFY(host.login(ann, QStringLiteral("Ann")));
    QVERIFY(host.login(bob, QStringLiteral("Bob")));
    ann.socket()->disconnectFromHost();
    QVERIFY(!host.waitLine(QStringLiteral("Player left")).isEmpty());
    // Somebody is still seated.
    QTest::qWait(1800);
    QVERIFY(sdk.of(shutdownPath).isEmpty());
    const qint64 empty = sdk.now();
    bob.socket()->disconnectFromHost();
    QVERIFY(!host.waitLine(QStringLiteral("Player left")).isEmpty());
    QCOMPARE(host.waitLine(QStringLiteral("Fleet: the table")),
             QStringLiteral("Fleet: the table was empty for 1 s, shutting down"));
    QTRY_COMPARE(sdk.of(shutdownPath).size(), 1);
    // A coarse timer may fire up to 5% early.
    QVERIFY(sdk.of(shutdownPath).first().ms >= empty + 950);
    QCOMPARE(sdk.values(seatsPath, QStringLiteral("count")).last(), QStringLiteral("0"));
    // The fleet then stops the pod: the host ends as ever.
    QVERIFY(host.terminate());
    QCOMPARE(sdk.of(shutdownPath).size(), 1);
}

void Fleet::wholeLifeAgainstAStrictSidecar()
{
    StandInSdk sdk;
    // Not up for the first calls; the first shutdown fails, the second is answered but not done.
    sdk.unavailable = 3;
    sdk.faults = {{shutdownPath, 500}, {shutdownPath, 200}};
    // Three silent periods of 600 ms would make the table Unhealthy.
    sdk.healthPeriodMs = 600;
    QVERIFY(sdk.listen());
    FleetHost host;
    host.start(sdk.port(), {QStringLiteral("--idle-shutdown"), QStringLiteral("1")});
    QVERIFY(!host.waitLine(QStringLiteral("Fleet: ready")).isEmpty());
    QCOMPARE(host.waitLine(QStringLiteral("Fleet: Ready")), QStringLiteral("Fleet: Ready"));
    // The fleet hands the table to a group.
    sdk.setState(QStringLiteral("Allocated"));
    QVERIFY(!host.waitLine(QStringLiteral("Fleet: Allocated")).isEmpty());
    RawPeer ann, bob;
    QVERIFY(host.login(ann, QStringLiteral("Ann")));
    QVERIFY(host.login(bob, QStringLiteral("Bob")));
    QTRY_COMPARE(sdk.counters[QStringLiteral("players")].count, 2);
    ann.socket()->disconnectFromHost();
    bob.socket()->disconnectFromHost();
    QCOMPARE(host.waitLine(QStringLiteral("Fleet: the table")),
             QStringLiteral("Fleet: the table was empty for 1 s, shutting down"));
    QVERIFY(!host.waitLine(QStringLiteral("Fleet: the sidecar took the shutdown")).isEmpty());
    QCOMPARE(host.waitLine(QStringLiteral("Fleet: Shutdown")), QStringLiteral("Fleet: Shutdown"));

    // Every call as the sidecar takes it: methods, paths and bodies.
    for (const StandInSdk::Call &c : sdk.refusals())
        QFAIL(qPrintable(QStringLiteral("refused: %1 %2 (%3)").arg(QString::fromLatin1(c.verb), c.path).arg(c.code)));
    QCOMPARE(sdk.of(readyPath).size(), 1);
    QCOMPARE(sdk.of(allocatePath).size(), 0);
    QCOMPARE(sdk.of(shutdownPath).size(), 1);
    QCOMPARE(sdk.faults.size(), 0);
    QCOMPARE(sdk.values(seatsPath, QStringLiteral("count")).first(), QStringLiteral("0"));
    QCOMPARE(sdk.values(seatsPath, QStringLiteral("count")).last(), QStringLiteral("0"));
    QCOMPARE(sdk.labels, (QMap<QString, QString>{{QStringLiteral("agones.dev/sdk-state"), QStringLiteral("waiting")}}));
    QVERIFY(!host.lines.contains(QStringLiteral("Fleet: Unhealthy")));
    QVERIFY(host.terminate());
}

void Fleet::callsGivenUpDoNotHoldTheShutdown()
{
    // The engine's own local server declares no "players" counter: each count is refused (500)
    // until it is given up, and the calls after it still go out.
    StandInSdk sdk;
    sdk.counters = {{QStringLiteral("rooms"), {0, 10}}};
    QVERIFY(sdk.listen());
    FleetHost host;
    host.start(sdk.port(), {QStringLiteral("--idle-shutdown"), QStringLiteral("1")});
    QVERIFY(!host.waitLine(QStringLiteral("Fleet: ready")).isEmpty());
    QCOMPARE(host.waitLine(QStringLiteral("Fleet: the sidecar refused")),
             QStringLiteral("Fleet: the sidecar refused PATCH /v1beta1/counters/players: HTTP 500 after 8 tries"));
    RawPeer ann;
    QVERIFY(host.login(ann, QStringLiteral("Ann")));
    QTRY_COMPARE(sdk.of(allocatePath).size(), 1);
    ann.socket()->disconnectFromHost();
    QTRY_COMPARE_WITH_TIMEOUT(sdk.of(shutdownPath).size(), 1, 15000);
    QCOMPARE(sdk.labels.value(QStringLiteral("agones.dev/sdk-state")), QStringLiteral("waiting"));
    QVERIFY(host.terminate());
}

void Fleet::misbehavingSidecar_data()
{
    QTest::addColumn<int>("mischief");
    QTest::addColumn<QStringList>("paths");
    using M = StandInSdk::Mischief;
    const QStringList all, watch{QStringLiteral("/watch/gameserver")}, health{healthPath};
    QTest::newRow("blank lines on the watch") << int(M::BlankLines) << watch;
    QTest::newRow("huge answers") << int(M::HugeAnswers) << all;
    QTest::newRow("an endless watch line") << int(M::HugeAnswers) << watch;
    QTest::newRow("endless headers") << int(M::EndlessHeaders) << all;
    QTest::newRow("endless watch headers") << int(M::EndlessHeaders) << watch;
    QTest::newRow("dripped answers") << int(M::Drip) << all;
    QTest::newRow("dripped health") << int(M::Drip) << health;
    QTest::newRow("redirects") << int(M::Redirect) << all;
}

void Fleet::misbehavingSidecar()
{
    QFETCH(int, mischief);
    QFETCH(QStringList, paths);
    // Where a redirect points: nothing may come here.
    QTcpServer trap;
    QVERIFY(trap.listen(QHostAddress::LocalHost));
    StandInSdk sdk;
    sdk.mischief = StandInSdk::Mischief(mischief);
    sdk.mischiefPaths = paths;
    sdk.redirectTo = "http://127.0.0.1:" + QByteArray::number(trap.serverPort()) + "/ready";
    QVERIFY(sdk.listen());
    FleetHost host;
    host.start(sdk.port());
    QVERIFY(!host.waitLine(QStringLiteral("Listening")).isEmpty());
    QTest::qWait(2000);
    // The game goes on: a player is seated at once.
    RawPeer ann;
    QElapsedTimer login;
    login.start();
    QVERIFY(host.login(ann, QStringLiteral("Ann")));
    QVERIFY2(login.elapsed() < 1000, qPrintable(QString::number(login.elapsed())));
    // Only the health pings were held: the rest still goes out.
    if (paths == QStringList{healthPath})
        QTRY_COMPARE(sdk.of(allocatePath).size(), 1);
    QTest::qWait(500);
    // Well inside the Fleet's 96 MiB; a sanitized build keeps shadow memory and freed blocks
    // besides, so there only growth without bound (the 1 GB the sidecar sends) fails.
    const double mb = residentMb(host.proc.processId());
    QVERIFY2(mb > 0 && mb < (sanitized ? 320 : 64), qPrintable(QString::number(mb)));
    QVERIFY(!trap.hasPendingConnections());
    // The pod stops at once whatever the sidecar does (1.5 s asked; bench/fleet has the figure).
    QElapsedTimer stop;
    stop.start();
    QVERIFY(host.terminate(4000));
    QVERIFY2(stop.elapsed() < 3000, qPrintable(QString::number(stop.elapsed())));
}

void Fleet::watchStreamInBoundedLines_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QByteArrayList>("lines");
    QTest::addColumn<bool>("ok");
    const QByteArray chunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    const QByteArray line(fleet::maxAnswer, 'x');
    QTest::newRow("chunks") << chunked + "6\r\n{\"a\"}\n\r\n3\r\n{\"b\r\n4;x=1\r\n\"}\n\n\r\n0\r\n\r\n"
                            << QByteArrayList{"{\"a\"}", "{\"b\"}"} << true;
    QTest::newRow("blank lines") << chunked + "5\r\n\n \r\n\n\r\n" << QByteArrayList{} << true;
    QTest::newRow("to the close") << QByteArray("HTTP/1.1 200 OK\r\n\r\n{}\n\n{\"c\":1}\n")
                                  << QByteArrayList{"{}", "{\"c\":1}"} << true;
    QTest::newRow("longest line") << "HTTP/1.1 200 OK\r\n\r\n" + line + '\n' << QByteArrayList{line} << true;
    QTest::newRow("longer line") << "HTTP/1.1 200 OK\r\n\r\n" + line + "x\n" << QByteArrayList{} << false;
    QTest::newRow("redirect") << QByteArray("HTTP/1.1 307 Moved\r\nLocation: http://127.0.0.1:7772/\r\n\r\n")
                              << QByteArrayList{} << false;
    QTest::newRow("endless head") << "HTTP/1.1 200 OK\r\n" + QByteArray(fleet::maxAnswer, 'h') << QByteArrayList{}
                                  << false;
    QTest::newRow("not a size") << chunked + "zz\r\n{}\n\r\n" << QByteArrayList{} << false;
    QTest::newRow("chunk without its end") << chunked + "3\r\n{}\nX" << QByteArrayList{"{}"} << false;
    QTest::newRow("not HTTP") << QByteArray("SSH-2.0\r\n\r\n") << QByteArrayList{} << false;
}

void Fleet::watchStreamInBoundedLines()
{
    QFETCH(QByteArray, stream);
    QFETCH(QByteArrayList, lines);
    QFETCH(bool, ok);
    // In one piece, and a byte at a time as a dripping sidecar sends it.
    for (const qsizetype piece : {stream.size(), qsizetype(1)}) {
        fleet::WatchDecoder decoder;
        QByteArrayList got;
        bool fine = true;
        for (qsizetype at = 0; at < stream.size() && fine; at += piece)
            fine = decoder.feed(QByteArrayView(stream).sliced(at, qMin(piece, stream.size() - at)), got);
        QCOMPARE(got, lines);
        QCOMPARE(fine, ok);
    }
}

QTEST_MAIN(Fleet)
#include "tst_fleet.moc"
