#include "client/core/turnclock.h"

#include <QTest>

class TestTurnClock : public QObject
{
    Q_OBJECT
private slots:
    void clockText_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0 << QStringLiteral("0:00");
        QTest::newRow("nine") << 9 << QStringLiteral("0:09");
        QTest::newRow("ten") << 10 << QStringLiteral("0:10");
        QTest::newRow("minute") << 60 << QStringLiteral("1:00");
        QTest::newRow("65") << 65 << QStringLiteral("1:05");
        QTest::newRow("125") << 125 << QStringLiteral("2:05");
        QTest::newRow("hour") << 3599 << QStringLiteral("59:59");
    }
    void clockText()
    {
        QFETCH(int, seconds);
        QFETCH(QString, text);
        QCOMPARE(turnclock::clockText(seconds), text);
        QCOMPARE(turnclock::timePerTurnText(seconds), QStringLiteral("Time Per Turn: ") + text);
    }

    // A pause of ten seconds: ten pixels a second, never negative.
    void pauseBar()
    {
        int width = 100;
        for (int s = 9; s >= -1; --s) {
            width = turnclock::barWidth(turnclock::Mode::pause, s, width);
            QCOMPARE(width, qMax(0, s * 10));
        }
    }

    // A 120-second turn: full until the seconds fall to 100, then the seconds themselves.
    void drawingBarFollowsSeconds()
    {
        int width = 100;
        for (int s = 119; s >= 0; --s) {
            width = turnclock::barWidth(turnclock::Mode::drawing, s, width);
            QCOMPARE(width, s > 100 ? 100 : s);
        }
    }

    // A short turn starts with a full bar that closes on the seconds two pixels a tick.
    void drawingBarCatchesUp()
    {
        int width = 100;
        QList<int> seen;
        for (int s = 59; s >= 50; --s) {
            width = turnclock::barWidth(turnclock::Mode::drawing, s, width);
            seen << width;
        }
        QCOMPARE(seen, (QList<int>{98, 96, 94, 92, 90, 88, 86, 84, 82, 80}));
        // Once level with the seconds it follows them.
        QCOMPARE(turnclock::barWidth(turnclock::Mode::drawing, 20, 21), 20);
        QCOMPARE(turnclock::barWidth(turnclock::Mode::drawing, -1, 0), 0);
    }
};

QTEST_APPLESS_MAIN(TestTurnClock)
#include "tst_turnclock.moc"
