// The dedicated host's memory under raw connections: 15 connections at a time that come and go
// every fraction of a second, sending random bytes, requests in the wrong slot, logins, chat lines,
// unknown requests and overlong messages, while two players stay and read everything. The host's
// resident memory is sampled every 10 seconds; after the first tenth of the run (allocator warm-up)
// it should stay within 5 MB.
// Usage: bench_rawmemory [SECONDS=600] [CONNECTIONS=15]
#include "bench/support/hostprocess.h"
#include "bench/support/memory.h"
#include "protocol/commands.h"
#include "protocol/cp1252.h"
#include "protocol/framing.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

// The host's floor is its own memory after the warm-up, in the same run: it may move this much
// above it (over 20 s, as bench/run.sh runs it, the spread was 0.1-0.4 MB in three runs; 5 MB
// leaves room for a ten-minute run).
constexpr double spreadMb = 5.0;

QByteArray frame(const QString &text)
{
    return framing::frame(cp1252::encode(text));
}

// One raw connection: its slot once the host has said it, and when it goes.
struct Raw
{
    std::unique_ptr<QTcpSocket> sock;
    int slot = 0;
    qint64 until = 0;
};

QByteArray junk(QRandomGenerator &rng, int slot)
{
    const int wrong = slot + 1 + int(rng.bounded(14));
    switch (rng.bounded(10)) {
    case 0: {
        QByteArray bytes(int(rng.bounded(300)), Qt::Uninitialized);
        for (char &b : bytes)
            b = char(rng.bounded(256));
        return bytes;
    }
    case 1:
        return frame(cmd::buildLogininfo(slot, QStringLiteral("2.2.8"),
                                         QStringLiteral("raw%1").arg(rng.bounded(1000))));
    case 2:
        return frame(cmd::buildLogininfo(wrong, QStringLiteral("0.1"), QStringLiteral("wrong")));
    case 3:
        return frame(cmd::buildChat(slot, QString(int(rng.bounded(400)), QLatin1Char('x')),
                                    QStringLiteral("clBlack")));
    case 4:
        return frame(cmd::buildChat(wrong, QStringLiteral("not mine"), QStringLiteral("clBlack")));
    case 5:
        return frame(QStringLiteral("CMD_nosuchthing+%1+%2").arg(slot).arg(rng.generate()));
    case 6:
        return frame(cmd::buildStartgame(slot, rng.bounded(2) == 1, 5, 30));
    case 7:
        return frame(cmd::buildAnswer(slot, QStringLiteral("a guess %1").arg(rng.bounded(100))));
    case 8:
        // Longer than any message may be, with no end marker.
        return QByteArray(framing::maxMessage + 100, 'y');
    default:
        return frame(QStringLiteral("CMD_draw+%1+clBlack+3+junk+%2").arg(slot).arg(rng.generate()));
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(20, atoi(argv[1])) : 600;
    const int connections = argc > 2 ? std::clamp(atoi(argv[2]), 1, 30) : 15;

    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    QProcess host;
    if (!startHost(host, QStringLiteral(QUILLET_HOST_BINARY), port))
        return 1;
    QObject::connect(&host, &QProcess::readyReadStandardOutput, [&] { host.readAllStandardOutput(); });

    // Two players who stay: they read everything the raw connections make the host relay.
    std::vector<std::unique_ptr<QTcpSocket>> players;
    for (int i = 0; i < 2; ++i) {
        auto s = std::make_unique<QTcpSocket>();
        QTcpSocket *p = s.get();
        QObject::connect(p, &QTcpSocket::readyRead, p, [p, i] {
            const QByteArray got = p->readAll();
            const int at = got.indexOf("CMD_sendlogininfo+");
            if (at >= 0)
                p->write(frame(cmd::buildLogininfo(got.mid(at + 18, 2).toInt(), cmd::versionText,
                                                   QStringLiteral("Keeper%1").arg(i))));
        });
        p->connectToHost(QHostAddress::LocalHost, port);
        players.push_back(std::move(s));
    }

    QRandomGenerator rng(12345);
    QElapsedTimer clock;
    clock.start();
    std::vector<Raw> raws(static_cast<size_t>(connections));
    qint64 opened = 0;
    auto open = [&](Raw &r) {
        r.sock = std::make_unique<QTcpSocket>();
        r.slot = 0;
        r.until = clock.elapsed() + 50 + qint64(rng.bounded(700));
        QTcpSocket *s = r.sock.get();
        Raw *rp = &r;
        QObject::connect(s, &QTcpSocket::readyRead, s, [s, rp] {
            const QByteArray got = s->readAll();
            const int at = got.indexOf("CMD_sendlogininfo+");
            if (at >= 0 && rp->slot == 0)
                rp->slot = got.mid(at + 18, 2).toInt();
        });
        s->connectToHost(QHostAddress::LocalHost, port);
        ++opened;
    };
    for (Raw &r : raws)
        open(r);

    QTimer traffic;
    traffic.setInterval(20);
    QObject::connect(&traffic, &QTimer::timeout, [&] {
        for (Raw &r : raws) {
            if (clock.elapsed() >= r.until) {
                // Half leave politely, half vanish.
                if (rng.bounded(2) == 0)
                    r.sock->abort();
                else
                    r.sock->disconnectFromHost();
                r.sock.release()->deleteLater();
                open(r);
                continue;
            }
            if (r.sock->state() == QAbstractSocket::ConnectedState && rng.bounded(3) == 0)
                r.sock->write(junk(rng, r.slot ? r.slot : 1 + int(rng.bounded(15))));
        }
    });
    traffic.start();

    std::vector<double> samples;
    QTimer sampler;
    sampler.setInterval(10000);
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        const double mb = residentMb(host.processId());
        samples.push_back(mb);
        std::printf("%4llds  host %.1f MB  connections so far %lld\n", clock.elapsed() / 1000, mb,
                    static_cast<long long>(opened));
        std::fflush(stdout);
        if (clock.elapsed() >= qint64(seconds) * 1000)
            QCoreApplication::quit();
    });
    sampler.start();
    QCoreApplication::exec();

    const bool alive = host.state() == QProcess::Running;
    host.terminate();
    host.waitForFinished(5000);
    // The first tenth of the run is the allocator's warm-up.
    const size_t from = std::max<size_t>(1, samples.size() / 10);
    if (samples.size() <= from) {
        std::printf("too short a run\n");
        return 1;
    }
    const auto [lo, hi] = std::minmax_element(samples.begin() + long(from), samples.end());
    std::printf(
        "figure: host after warm-up: %.1f to %.1f MB (spread %.1f MB of %.1f allowed, first %.1f, last "
        "%.1f) over %d s, %lld raw connections; host %s\n",
        *lo, *hi, *hi - *lo, spreadMb, samples[from], samples.back(), seconds, static_cast<long long>(opened),
        alive ? "running" : "GONE");
    return alive && *hi - *lo <= spreadMb ? 0 : 1;
}
