// The figures a fleet's manifests request for one table: the time from the start of quillet-host
// to its "ready" at the SDK sidecar (a stand-in on 127.0.0.1), and its resident memory idle and at
// a full table: ten seated players and five spectators in a running turn whose drawing holds
// 1.5 million characters of strokes. Then, against a hostile sidecar in each misbehaving mode,
// the host's resident memory after some seconds of it and the time from SIGTERM to its exit.
// Usage: bench_fleet [STARTS=5]
#include "bench/support/memory.h"
#include "protocol/commands.h"
#include "tests/board/rawpeer.h"
#include "tests/fleet/standinsdk.h"
#include "tests/support/netsupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

// Starts the host against the stand-in; the milliseconds to its "ready", or -1.
qint64 startToReady(QProcess &host, testsupport::StandInSdk &sdk, quint16 port)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("AGONES_SDK_HTTP_PORT"), QString::number(sdk.port()));
    env.insert(QStringLiteral("QUILLET_ANNOUNCE_ADDRESS"), QStringLiteral("127.0.0.1"));
    host.setProcessEnvironment(env);
    host.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const qsizetype before = sdk.of(QStringLiteral("/ready")).size();
    const qint64 started = sdk.now();
    host.start(qEnvironmentVariable("QUILLET_HOST_BINARY", QStringLiteral(QUILLET_HOST_BINARY)),
               {QStringLiteral("--port"), QString::number(port), QStringLiteral("--no-announce")});
    QElapsedTimer wait;
    wait.start();
    while (sdk.of(QStringLiteral("/ready")).size() == before && wait.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    const auto ready = sdk.of(QStringLiteral("/ready"));
    return ready.size() > before ? ready.last().ms - started : -1;
}

void stop(QProcess &host)
{
    host.terminate();
    host.waitForFinished(5000);
}

// Milliseconds from SIGTERM to the host's exit; -1 when it did not end as ever within 10 s.
qint64 stopTimed(QProcess &host)
{
    QElapsedTimer t;
    t.start();
    host.terminate();
    if (!host.waitForFinished(10000) || host.exitStatus() != QProcess::NormalExit || host.exitCode() != 0)
        return -1;
    return t.elapsed();
}

// The host against a sidecar in one misbehaving mode: its memory after `ms` and its stop.
bool hostile(const char *what, testsupport::StandInSdk::Mischief mischief, const QStringList &paths, int ms)
{
    testsupport::StandInSdk sdk;
    sdk.mischief = mischief;
    sdk.mischiefPaths = paths;
    sdk.floodBytes = qint64(1024) * 1024 * 1024;
    sdk.redirectTo = "http://127.0.0.1:9/";
    if (!sdk.listen())
        return false;
    QProcess host;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("AGONES_SDK_HTTP_PORT"), QString::number(sdk.port()));
    host.setProcessEnvironment(env);
    host.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    host.setStandardOutputFile(QProcess::nullDevice());
    host.start(qEnvironmentVariable("QUILLET_HOST_BINARY", QStringLiteral(QUILLET_HOST_BINARY)),
               {QStringLiteral("--port"), QString::number(freePort()), QStringLiteral("--no-announce"),
                QStringLiteral("--no-web")});
    if (!host.waitForStarted(5000))
        return false;
    double peak = 0;
    for (QElapsedTimer t; !t.isValid() || t.elapsed() < ms;) {
        if (!t.isValid())
            t.start();
        QTest::qWait(100);
        peak = qMax(peak, residentMb(host.processId()));
    }
    const qint64 stopped = stopTimed(host);
    std::printf("figure: sidecar %s: resident memory at most %.1f MB over %d s, SIGTERM to exit %lld ms\n", what,
                peak, ms / 1000, static_cast<long long>(stopped));
    return stopped >= 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int starts = qMax(1, argc > 1 ? QByteArray(argv[1]).toInt() : 5);
    testsupport::StandInSdk sdk;
    if (!sdk.listen())
        return 1;

    std::vector<qint64> times;
    for (int i = 0; i < starts; ++i) {
        QProcess host;
        const qint64 ms = startToReady(host, sdk, freePort());
        if (ms < 0) {
            std::fprintf(stderr, "quillet-host never said it was ready\n");
            return 1;
        }
        times.push_back(ms);
        stop(host);
    }
    std::sort(times.begin(), times.end());
    std::printf("figure: start to ready: median %lld ms, longest %lld ms over %d starts\n",
                static_cast<long long>(times[times.size() / 2]), static_cast<long long>(times.back()),
                starts);

    QProcess host;
    const quint16 port = freePort();
    if (startToReady(host, sdk, port) < 0)
        return 1;
    QTest::qWait(1000);
    const double idle = residentMb(host.processId());

    // Ten seats and five spectators.
    std::vector<std::unique_ptr<RawPeer>> peers;
    for (int slot = 1; slot <= 15; ++slot) {
        auto peer = std::make_unique<RawPeer>();
        if (!peer->connectTo(port) || peer->next() != QStringLiteral("CMD_sendlogininfo+%1").arg(slot)) {
            std::fprintf(stderr, "slot %d was not given\n", slot);
            return 1;
        }
        peer->send(cmd::buildLogininfo(slot, QStringLiteral("2.2.8"), QStringLiteral("P%1").arg(slot)));
        peers.push_back(std::move(peer));
    }
    peers[0]->send(QStringLiteral("CMD_startgame+1+false+50+600"));
    int drawer = 0;
    for (QElapsedTimer t; !t.isValid() || (drawer == 0 && t.elapsed() < 5000);) {
        if (!t.isValid())
            t.start();
        const QString m = peers[0]->next(100);
        if (m.startsWith(cmd::pickcatagory + QLatin1Char('+')))
            drawer = m.section(QLatin1Char('+'), 1).toInt();
    }
    if (drawer < 1 || drawer > 10) {
        std::fprintf(stderr, "no turn began\n");
        return 1;
    }
    RawPeer &pen = *peers[size_t(drawer - 1)];
    pen.send(cmd::buildPickcatagory(drawer, 0));
    QTest::qWait(300);
    QList<QPoint> points;
    for (int i = 0; i < 40; ++i)
        points << QPoint(100 + i, 200 + (i * 7) % 90);
    const QString stroke = cmd::buildDraw(drawer, QStringLiteral("clBlack"), QStringLiteral("3"), points);
    const qsizetype strokes = 1'500'000 / stroke.size();
    for (qsizetype i = 0; i < strokes; ++i) {
        pen.send(stroke);
        if (i % 100 == 0)
            QCoreApplication::processEvents();
    }
    // Everybody reads what the host passes on, until it is quiet.
    QTest::qWait(5000);
    const double full = residentMb(host.processId());
    std::printf("figure: resident memory: idle %.1f MB, full table %.1f MB (%lld strokes, %lld characters)\n",
                idle, full, static_cast<long long>(strokes), static_cast<long long>(strokes * stroke.size()));
    stop(host);
    if (idle <= 0 || full <= 0)
        return 1;

    using M = testsupport::StandInSdk::Mischief;
    const QStringList all, watch{QStringLiteral("/watch/gameserver")};
    bool ok = hostile("answering well", M::None, all, 5000);
    ok = hostile("sending 1 GB of blank lines on the watch", M::BlankLines, watch, 5000) && ok;
    ok = hostile("answering every call with 1 GB", M::HugeAnswers, all, 5000) && ok;
    ok = hostile("sending header lines without end", M::EndlessHeaders, all, 5000) && ok;
    ok = hostile("dripping every answer", M::Drip, all, 5000) && ok;
    ok = hostile("redirecting every call", M::Redirect, all, 5000) && ok;
    return ok ? 0 : 1;
}
