// What one hostile player costs the others, with the host's real drain timer running: how long
// another player's chat line takes through the host after a flood, how the host grows under a
// reconnect flood, and how many messages an amplifying guess makes every player receive.
#include "bench/support/memory.h"
#include "tests/host/serverharness.h"
#include "tests/support/textsupport.h"

#include <QElapsedTimer>
#include <QFile>
#include <cstdio>

namespace {

QByteArray chatBurst(int slot, int lines, int length)
{
    QByteArray burst;
    const QString filler(length, QLatin1Char('x'));
    for (int i = 0; i < lines; ++i)
        burst += framing::frame(cp1252::encode(cmd::buildChat(slot, filler, s("clBlack"))));
    return burst;
}

// Milliseconds from `from` sending a chat line until `to` has it back from the host.
double chatDelay(RawClient *from, RawClient *to, const QString &text)
{
    to->take();
    QElapsedTimer clock;
    clock.start();
    from->send(cmd::buildChat(from->slot, text, s("clBlack")));
    const bool arrived = waitUntil(
        [&] {
            return std::any_of(to->got.cbegin(), to->got.cend(),
                               [&](const QString &m) { return m.contains(text); });
        },
        600000);
    return arrived ? clock.nsecsElapsed() / 1e6 : -1;
}

// A host on loopback whose drain runs on its own 10 ms timer, with three players.
struct LiveHost : Host
{
    LiveHost()
    {
        for (const char *name : {"Ann", "Bob", "Cy"})
            join(QString::fromLatin1(name));
    }
    RawClient *at(int slot) { return clients[size_t(slot - 1)].get(); }
};

} // namespace

class BenchAbuse : public QObject
{
    Q_OBJECT
private slots:
    void chatAfterFlood();
    void reconnectFlood();
    void amplifyingGuess();
};

void BenchAbuse::chatAfterFlood()
{
    LiveHost h;
    double worst = 0;
    for (int round = 0; round < 5; ++round) {
        h.at(1)->sendRaw(chatBurst(1, 5000, 20));
        QVERIFY(waitUntil([&] { return h.server.queue().size() >= 500; }));
        const double ms = chatDelay(h.at(2), h.at(3), QStringLiteral("mine%1").arg(round));
        QVERIFY(ms >= 0);
        worst = std::max(worst, ms);
        QVERIFY(waitUntil([&] { return h.server.queue().isEmpty(); }, 600000));
    }
    std::printf("figure: chat line through the host after a 5,000-line flood: worst of 5 %.1f ms\n", worst);
}

void BenchAbuse::reconnectFlood()
{
    LiveHost h;
    const double before = residentMb();
    QElapsedTimer clock;
    clock.start();
    for (int round = 0; round < 20; ++round) {
        RawClient *m = h.connect();
        m->sendRaw(chatBurst(m->slot, 1000, 4000));
        m->disconnectFromHost();
        QVERIFY(waitUntil([&] { return !h.server.game().inuse(m->slot); }, 60000));
    }
    const qint64 floodMs = clock.elapsed();
    const double ms = chatDelay(h.at(2), h.at(3), s("after the flood"));
    QVERIFY(ms >= 0);
    const double after = residentMb();
    std::printf("figure: reconnect flood (20 x 1,000 lines of 4,000): %lld ms; then a chat line in %.1f ms; "
                "process %.1f MB -> %.1f MB (+%.1f MB); still queued %lld messages\n",
                floodMs, ms, before, after, after - before, qlonglong(h.server.queue().size()));
}

void BenchAbuse::amplifyingGuess()
{
    LiveHost h;
    h.server.game().setPhraseList(0, {s("baking soda volcano experiment")});
    h.request(h.at(1), cmd::buildStartgame(1, false, 100, 600));
    h.request(h.at(1), cmd::buildPickcatagory(1, 0));
    h.request(h.at(2), cmd::buildAnswer(2, s("soda")));
    h.takeAll();
    const QString guess = QStringList(1326, s("soda")).join(QLatin1Char(' '));
    for (int i = 0; i < 200; ++i)
        h.at(2)->send(cmd::buildAnswer(2, guess));
    QVERIFY(h.sync(h.at(2)));
    const QStringList got = h.at(3)->take();
    const auto updates = std::count_if(got.cbegin(), got.cend(),
                                       [](const QString &m) { return m.startsWith(s("CMD_updateanswer")); });
    std::printf("figure: 200 guesses of a shown word x 1,326: each other player received %lld messages "
                "(%lld answer updates)\n",
                qlonglong(got.size()), qlonglong(updates));
}

QTEST_MAIN(BenchAbuse)
#include "bench_abuse.moc"
