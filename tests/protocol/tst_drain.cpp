// The queue drain: one message per tick, prompt on arrival, asleep when idle.
#include "protocol/drain.h"
#include "protocol/receivequeue.h"

#include <QElapsedTimer>
#include <QtTest>

class TestDrain : public QObject
{
    Q_OBJECT
private slots:
    void drainsOnePerTickThenSleeps()
    {
        ReceiveQueue q;
        QStringList handled;
        QList<qint64> at;
        QElapsedTimer clock;
        DrainTimer drain(
            10,
            [&] {
                handled << q.take().text;
                at << clock.elapsed();
            },
            [&] { return !q.isEmpty(); });
        QVERIFY(!drain.isActive());
        for (int i = 0; i < 3; ++i)
            q.push({QStringLiteral("CMD_m+%1").arg(i), 0, 0});
        clock.start();
        drain.wake();
        drain.wake(); // a second wake while running changes nothing
        QTRY_COMPARE(handled.size(), 3);
        QCOMPARE(handled, (QStringList{u"CMD_m+0"_qs, u"CMD_m+1"_qs, u"CMD_m+2"_qs}));
        QVERIFY2(at[0] < 8, "the first message of a burst is taken at once");
        QVERIFY2(at[2] - at[0] >= 18, "later messages keep the interval");
        QTRY_VERIFY(!drain.isActive()); // empty queue: the timer sleeps
        QTest::qWait(30);
        QCOMPARE(handled.size(), 3);
    }

    void keepsTickingWhileOtherWorkRuns()
    {
        int ticks = 0;
        int work = 5; // like the phrase-button pause, counted by ticks
        DrainTimer drain(
            1,
            [&] {
                ++ticks;
                --work;
            },
            [&] { return work > 0; });
        drain.wake();
        QTRY_VERIFY(!drain.isActive());
        QCOMPARE(ticks, 5);
    }
};

QTEST_MAIN(TestDrain)
#include "tst_drain.moc"
