// What one message of a turn costs the player side, from the queue to the screen's widgets.
#include "client/tchat.h"
#include "platform/errors.h"
#include "tests/support/playersetup.h"
#include "tests/support/tchatui.h"

#include <QListWidget>
#include <QTest>

class BenchDispatch : public QObject
{
    Q_OBJECT

    Tchat t;

    void seatTable()
    {
        unplug(t.game());
        play(t.game(), {"CMD_sendlogininfo+1"});
        for (const char *m : {"CMD_newplayerinfo+1+Ann", "CMD_existingplayers+2+Bob",
                              "CMD_existingplayers+3+Cy", "CMD_startgame+1+false+20+120"}) {
            t.link()->receivedlist.push({QLatin1String(m), 0, 0});
            t.link()->processsocktimer();
        }
    }

    void dispatch(const QString &message)
    {
        t.link()->receivedlist.push({message, 0, 0});
        t.link()->processsocktimer();
    }

private slots:
    void initTestCase()
    {
        errorbox::setHook([](const QString &) {});
        t.resize(797, 590);
        t.show();
        QVERIFY(QTest::qWaitForWindowExposed(&t));
        seatTable();
    }

    void nextplayer()
    {
        QBENCHMARK
        {
            dispatch(QStringLiteral("CMD_nextplayer+2+4+_____ ___ ____ "));
        }
    }
    void myguessed()
    {
        int n = 0;
        QBENCHMARK
        {
            dispatch(QStringLiteral("CMD_myguessed+3+HOUSE") + QString::number(++n));
            if (n % 200 == 0)
                ui(t).listbox_myguessed->clear();
        }
    }
    void updateanswer()
    {
        QBENCHMARK
        {
            dispatch(QStringLiteral("CMD_updateanswer+false+HOUSE ___ ____ "));
        }
    }
    void correctanswer()
    {
        QBENCHMARK
        {
            dispatch(QStringLiteral("CMD_correctanswer+3+7+2+5+HOUSE BOAT"));
        }
    }
    void teamscore()
    {
        QBENCHMARK
        {
            dispatch(QStringLiteral("CMD_teamscore+4+6+4+6+4+6+4+6+4+6"));
        }
    }
    void clockTick()
    {
        // A drawing turn of a million seconds.
        play(t.game(), {"CMD_gamestats+20+1000000", "CMD_nextplayer+2+0+___"});
        QBENCHMARK
        {
            t.game()->turnClockTick();
        }
    }
};

QTEST_MAIN(BenchDispatch)
#include "bench_dispatch.moc"
