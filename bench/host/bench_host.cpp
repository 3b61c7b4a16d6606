// What one drain tick costs the host: a drawer's stroke relayed to 14 players, and judging a guess.
#include "host/judging.h"
#include "tests/host/hostharness.h"
#include "tests/support/textsupport.h"

class BenchHost : public QObject
{
    Q_OBJECT
private slots:
    void strokeToFourteen();
    void judgeFourWords();
    void answerToFourteen();
};

// 15 players connected, slot 1 drawing.
struct FullHouse : Host
{
    FullHouse()
    {
        server.setPhraseList(0, {s("baking soda volcano experiment")});
        for (int i = 1; i <= 15; ++i)
            join(QStringLiteral("Player%1").arg(i));
        request(clients[0].get(), cmd::buildStartgame(1, false, 100, 120));
        request(clients[0].get(), cmd::buildPickcatagory(1, 0));
        takeAll();
    }
    QueuedMessage from(int slot, const QString &text)
    {
        return {text, slot, server.playertable[slot].sock->serial()};
    }
};

void BenchHost::strokeToFourteen()
{
    FullHouse h;
    QList<QPoint> points;
    for (int i = 0; i < 101; ++i)
        points.append({100 + i, 200 + (i * 7) % 150});
    const QueuedMessage m = h.from(1, cmd::buildDraw(1, s("$00BFD7BF"), s("3"), points));
    const qsizetype before = h.server.memo_drawing.size();
    QBENCHMARK
    {
        h.server.receivedlist.push(m);
        h.server.socktimerTimer();
    }
    QVERIFY(h.server.memo_drawing.size() > before);
    QVERIFY(h.clients[1]->waitFor(1));
    QCOMPARE(h.clients[1]->got.constFirst(), m.text);
}

void BenchHost::judgeFourWords()
{
    const QString phrase = s("BAKING SODA VOLCANO EXPERIMENT");
    const phrases::PhraseWords words = phrases::phrasewords(phrase.toLower());
    const QString fresh = phrases::sortphrase(phrase);
    const QString guess = s("BAKE SODA VOLCANOS TEST");
    QList<judging::Step> steps;
    QBENCHMARK
    {
        QString mask = fresh;
        steps = judging::judge(phrase, mask, words, guess);
    }
    QCOMPARE(steps.size(), 3);
}

void BenchHost::answerToFourteen()
{
    FullHouse h;
    const QueuedMessage m = h.from(2, cmd::buildAnswer(2, s("bake soda volcanos test")));
    const QString fresh = h.server.themask;
    QBENCHMARK
    {
        h.server.themask = fresh;
        h.server.receivedlist.push(m);
        h.server.socktimerTimer();
    }
    QVERIFY(h.clients[2]->waitFor(2));
}

QTEST_MAIN(BenchHost)
#include "bench_host.moc"
