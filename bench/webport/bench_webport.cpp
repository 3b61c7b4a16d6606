// The web port of a dedicated host under each attack that once held or grew it, one after another,
// with a player chatting on the game port throughout: a WebSocket that pings and never reads,
// 64 idle connections from 8 addresses, 32 connections sending their heads a byte at a time, and
// 64 connections that pipeline the sound file and never read. With each attack running the host's
// resident memory stays within 20 MB of its rest and the chat line's round trip keeps p99 <= 50 ms
// (its floor, a bare echo server in the same run, is given beside it); a page is served throughout.
// The dribbled heads' processor time is measured per byte for long heads and short ones, and for
// the same heads sent whole: a head looked at once costs per byte what a short one does.
#include "bench/support/chatprobe.h"
#include "bench/support/hostprocess.h"
#include "bench/support/memory.h"
#include "webserve/wsframe.h"

#include <QFile>
#include <QProcess>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {

constexpr double memoryMarginMb = 20;
constexpr double chatP99Ms = 50;

// The host's processor time so far, in seconds.
double cpuSeconds(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray stat = f.readAll();
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    return (fields.value(11).toDouble() + fields.value(12).toDouble()) / double(sysconf(_SC_CLK_TCK));
}

QByteArray maskedFrame(wsframe::Op op, const QByteArray &payload)
{
    QByteArray f = wsframe::frame(op, payload);
    const qsizetype header = f.size() - payload.size();
    f[1] = char(f[1] | 0x80);
    f.insert(header, "\x01\x02\x03\x04", 4);
    for (qsizetype i = 0; i < payload.size(); ++i)
        f[header + 4 + i] = char(payload[i] ^ "\x01\x02\x03\x04"[i & 3]);
    return f;
}

std::unique_ptr<QTcpSocket> connectFrom(const QString &from, quint16 port)
{
    auto s = std::make_unique<QTcpSocket>();
    s->bind(QHostAddress(from));
    s->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    s->connectToHost(QStringLiteral("127.0.0.1"), port);
    return s;
}

struct Figures
{
    double peakMb = 0;
    Percentiles chat;
    int pages = 0, pagesMissed = 0;
};

} // namespace

class BenchWebPort : public QObject
{
    Q_OBJECT
private slots:
    void attacks();

private:
    // Runs the attack's step for `ms` while the probe chats and a page is fetched every 500 ms.
    Figures during(int ms, const std::function<void()> &step);
    void report(const char *what, const Figures &f);
    QProcess host;
    quint16 gamePort = 0, webPort = 0;
    std::unique_ptr<ChatProbe> probe;
    double restMb = 0, floorP99 = 0;
    QByteArray hostLine;
};

Figures BenchWebPort::during(int ms, const std::function<void()> &step)
{
    Figures f;
    probe->trips.clear();
    QElapsedTimer t, sample, page;
    t.start();
    sample.start();
    page.start();
    std::unique_ptr<QTcpSocket> browser;
    QByteArray got;
    while (t.elapsed() < ms) {
        step();
        probe->say();
        if (sample.elapsed() >= 50) {
            f.peakMb = qMax(f.peakMb, residentMb(host.processId()));
            sample.restart();
        }
        if (page.elapsed() >= 500) {
            if (browser) {
                got += browser->readAll();
                ++(got.startsWith("HTTP/1.1 200 OK") ? f.pages : f.pagesMissed);
            }
            browser = connectFrom(QStringLiteral("127.0.0.1"), webPort);
            browser->write("GET / HTTP/1.1\r\n" + hostLine + "Connection: close\r\n\r\n");
            got.clear();
            page.restart();
        }
        if (browser)
            got += browser->readAll();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        QThread::usleep(200);
    }
    f.chat = percentiles(probe->trips);
    return f;
}

void BenchWebPort::report(const char *what, const Figures &f)
{
    std::printf("figure: %s: host %.1f MB -> peak %.1f MB (+%.1f, at most +%.0f); chat p50 %.2f ms p99 %.2f ms "
                "(at most %.0f; floor p99 %.2f); pages served %d, missed %d\n",
                what, restMb, f.peakMb, f.peakMb - restMb, memoryMarginMb, f.chat.p50, f.chat.p99, chatP99Ms,
                floorP99, f.pages, f.pagesMissed);
    QVERIFY2(f.peakMb - restMb <= memoryMarginMb, what);
    QVERIFY2(f.chat.p99 <= chatP99Ms, what);
    QVERIFY2(f.pagesMissed == 0 && f.pages > 0, what);
}

void BenchWebPort::attacks()
{
    // The floor: the same probe against a bare echo server.
    {
        ChatEcho echo;
        ChatProbe floor(echo.port());
        QVERIFY(waitUntil([&] { return floor.slot != 0; }));
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 2000) {
            floor.say();
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
            QThread::usleep(200);
        }
        floorP99 = percentiles(floor.trips).p99;
    }
    QTcpServer pick;
    pick.listen(QHostAddress::LocalHost);
    gamePort = pick.serverPort();
    QTcpServer pickWeb;
    pickWeb.listen(QHostAddress::LocalHost);
    webPort = pickWeb.serverPort();
    pick.close();
    pickWeb.close();
    hostLine = "Host: 127.0.0.1:" + QByteArray::number(webPort) + "\r\n";
    qputenv("QUILLET_WEB_PORT", QByteArray::number(webPort));
    QVERIFY(startHost(host, QStringLiteral(QUILLET_HOST_BINARY), gamePort));
    probe = std::make_unique<ChatProbe>(gamePort);
    QVERIFY(waitUntil([&] { return probe->slot != 0; }));
    // At rest: the game and a page or two served.
    const Figures rest = during(2000, [] {});
    restMb = residentMb(host.processId());
    report("at rest", rest);

    // A WebSocket that pings and never reads; let go, it comes again.
    {
        std::unique_ptr<QTcpSocket> pinger;
        const QByteArray pings = maskedFrame(wsframe::Ping, QByteArray(125, 'p')).repeated(500);
        int connections = 0;
        const Figures f = during(5000, [&] {
            if (!pinger || pinger->state() == QAbstractSocket::UnconnectedState) {
                pinger = connectFrom(QStringLiteral("127.0.0.1"), webPort);
                pinger->setReadBufferSize(1);
                pinger->write("GET /play HTTP/1.1\r\n" + hostLine +
                              "Upgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Version: 13\r\n"
                              "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nOrigin: http://127.0.0.1:" +
                              QByteArray::number(webPort) + "\r\n\r\n");
                ++connections;
            }
            if (pinger->state() == QAbstractSocket::ConnectedState && pinger->bytesToWrite() < 512 * 1024)
                pinger->write(pings);
        });
        report("a WebSocket pinging, never reading", f);
        std::printf("figure: the pinger was let go and came again %d times in 5 s\n", connections - 1);
    }

    // 64 connections from 8 addresses that send nothing, each again as soon as it is let go.
    {
        std::vector<std::unique_ptr<QTcpSocket>> idle(64);
        const Figures f = during(5000, [&] {
            for (size_t i = 0; i < idle.size(); ++i)
                if (!idle[i] || idle[i]->state() == QAbstractSocket::UnconnectedState)
                    idle[i] = connectFrom(QStringLiteral("127.0.0.%1").arg(2 + i % 8), webPort);
        });
        report("64 idle connections from 8 addresses", f);
    }

    // Heads a byte at a time: 32 connections, long heads and then short ones, then the same whole.
    {
        auto dribble = [&](int headBytes, bool whole) {
            const QByteArray head = "GET /none HTTP/1.1\r\n" + hostLine + "X-Pad: " +
                                    QByteArray(headBytes - 30 - hostLine.size(), 'p') + "\r\n\r\n";
            std::vector<std::unique_ptr<QTcpSocket>> conns(32);
            std::vector<qsizetype> at(conns.size(), 0);
            qint64 bytes = 0;
            const double cpu0 = cpuSeconds(host.processId());
            const Figures f = during(4000, [&] {
                for (size_t i = 0; i < conns.size(); ++i) {
                    auto &c = conns[i];
                    if (!c || c->state() == QAbstractSocket::UnconnectedState) {
                        c = connectFrom(QStringLiteral("127.0.0.%1").arg(10 + i % 8), webPort);
                        at[i] = 0;
                    }
                    if (c->state() != QAbstractSocket::ConnectedState || c->bytesToWrite() > 0)
                        continue;
                    c->readAll();
                    const qsizetype n = whole ? head.size() - at[i] : 1;
                    c->write(head.constData() + at[i], n);
                    c->flush();
                    bytes += n;
                    at[i] = (at[i] + n) % head.size();
                }
            });
            const double perKb = (cpuSeconds(host.processId()) - cpu0) / double(bytes) * 1024 * 1e6;
            return std::make_pair(f, perKb);
        };
        const auto [longHeads, longCost] = dribble(8000, false);
        report("32 connections sending 8,000-byte heads a byte at a time", longHeads);
        const auto [shortHeads, shortCost] = dribble(200, false);
        report("32 connections sending 200-byte heads a byte at a time", shortHeads);
        // As fast as the host takes them: the floor of the processor time, not an attack to judge.
        const auto [wholeHeads, wholeCost] = dribble(8000, true);
        std::printf("figure: host processor time per KB of head: 8,000-byte heads a byte at a time %.0f us, "
                    "200-byte heads a byte at a time %.0f us (long/short %.2f, at most 2), the same heads "
                    "whole %.1f us (a byte at a time costs %.0f times as much)\n",
                    longCost, shortCost, longCost / shortCost, wholeCost, longCost / wholeCost);
        QVERIFY(longCost / shortCost <= 2);
    }

    // 64 connections from 8 addresses pipelining the sound file, never reading.
    {
        std::vector<std::unique_ptr<QTcpSocket>> unread(64);
        const QByteArray sounds =
            QByteArray("GET /sounds/CORRECT.wav HTTP/1.1\r\n" + hostLine + "\r\n").repeated(100);
        const Figures f = during(5000, [&] {
            for (size_t i = 0; i < unread.size(); ++i) {
                if (unread[i] && unread[i]->state() != QAbstractSocket::UnconnectedState)
                    continue;
                unread[i] = connectFrom(QStringLiteral("127.0.0.%1").arg(20 + i % 8), webPort);
                unread[i]->setReadBufferSize(1);
                unread[i]->write(sounds);
            }
        });
        report("64 connections from 8 addresses pipelining the sound file, never reading", f);
    }
    host.terminate();
    host.waitForFinished(5000);
}

QTEST_MAIN(BenchWebPort)
#include "bench_webport.moc"
