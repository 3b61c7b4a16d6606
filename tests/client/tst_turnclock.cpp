#include "client/core/turnclock.h"

#include <QTest>

Q_DECLARE_METATYPE(turnclock::Mode)

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

    // The bar's width after a tick, from the seconds left and the width before it.
    void barWidth_data()
    {
        QTest::addColumn<turnclock::Mode>("mode");
        QTest::addColumn<int>("seconds");
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("width");
        const auto pause = turnclock::Mode::pause;
        const auto drawing = turnclock::Mode::drawing;
        // A pause of ten seconds: ten pixels a second, never negative.
        QTest::newRow("pause 9") << pause << 9 << 100 << 90;
        QTest::newRow("pause 5") << pause << 5 << 60 << 50;
        QTest::newRow("pause 1") << pause << 1 << 20 << 10;
        QTest::newRow("pause 0") << pause << 0 << 10 << 0;
        QTest::newRow("pause over") << pause << -1 << 0 << 0;
        // A 120-second turn: full until the seconds fall to 100, then the seconds themselves.
        QTest::newRow("turn 119") << drawing << 119 << 100 << 100;
        QTest::newRow("turn 101") << drawing << 101 << 100 << 100;
        QTest::newRow("turn 100") << drawing << 100 << 100 << 100;
        QTest::newRow("turn 99") << drawing << 99 << 100 << 99;
        QTest::newRow("turn 37") << drawing << 37 << 38 << 37;
        QTest::newRow("turn 0") << drawing << 0 << 1 << 0;
        // A short turn closes on the seconds two pixels a tick; level with them it follows them.
        QTest::newRow("short turn 59") << drawing << 59 << 100 << 98;
        QTest::newRow("short turn 50") << drawing << 50 << 82 << 80;
        QTest::newRow("caught up") << drawing << 20 << 21 << 20;
        QTest::newRow("turn over") << drawing << -1 << 0 << 0;
    }
    void barWidth()
    {
        QFETCH(turnclock::Mode, mode);
        QFETCH(int, seconds);
        QFETCH(int, before);
        QFETCH(int, width);
        QCOMPARE(turnclock::barWidth(mode, seconds, before), width);
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
    }
};

QTEST_APPLESS_MAIN(TestTurnClock)
#include "tst_turnclock.moc"
