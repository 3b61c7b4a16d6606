// quillet-host in a fleet, as a real process against a stand-in SDK sidecar on 127.0.0.1: when it
// says ready, its health pings, allocation, the seat count and state label, the idle shutdown.

#include "tests/board/rawpeer.h"
#include "tests/fleet/standinsdk.h"
#include "tests/quillet-host/hostprocess.h"
#include "tests/support/netsupport.h"

#include <QProcess>
#include <QtTest>
#include <csignal>

using testsupport::StandInSdk;

namespace {

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
    // Stops it as the fleet's pod is stopped; true when it ended as ever.
    bool terminate()
    {
        ::kill(pid_t(proc.processId()), SIGTERM);
        return proc.waitForFinished(5000) && proc.exitStatus() == QProcess::NormalExit &&
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
};

void Fleet::readyOnceListeningThenHealthUntilStalled()
{
    StandInSdk sdk;
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

QTEST_MAIN(Fleet)
#include "tst_fleet.moc"
