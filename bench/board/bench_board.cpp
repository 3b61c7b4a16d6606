// Drawing costs on the player's side: a relayed batch, a repaint, and a late joiner's replay.

#include "board/drawingboard.h"
#include "client/tchat.h"
#include "host/tserver.h"
#include "protocol/errors.h"
#include "protocol/fields.h"
#include "protocol/strokemessage.h"

#include <QTcpServer>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <cmath>

namespace {

// A batch as a hand draws it: 101 points a few pixels apart along a curve.
QString handBatch(int player, int width, int offset)
{
    QString s = QStringLiteral("%1+clBlack+%2+").arg(player).arg(width);
    for (int i = 0; i < 101; ++i) {
        const double t = (offset * 101 + i) * 0.05;
        const int x = 266 + int(std::lround(200 * std::sin(t) * std::cos(t * 0.3)));
        const int y = 184 + int(std::lround(150 * std::sin(t * 0.7)));
        s += QStringLiteral("+%1,%2").arg(x).arg(y);
    }
    return s + QLatin1Char('+');
}

// Long jumps across the whole area: the painter's worst case for a batch.
QString jumpBatch(int player, int width)
{
    QString s = QStringLiteral("%1+clBlack+%2+").arg(player).arg(width);
    for (int i = 0; i < 101; ++i)
        s += QStringLiteral("+%1,%2").arg((i * 157) % 533).arg((i * 97) % 369);
    return s + QLatin1Char('+');
}

// Every segment runs from one side of the area to the other.
QString crossingBatch(int player, int width)
{
    QString s = QStringLiteral("%1+clBlack+%2+").arg(player).arg(width);
    for (int i = 0; i < 101; ++i)
        s += QStringLiteral("+%1,%2").arg(i % 2 ? 532 : 0).arg((i * 97) % 369);
    return s + QLatin1Char('+');
}

} // namespace

class BenchBoard : public QObject
{
    Q_OBJECT

private slots:
    void drawitBatch_data();
    void drawitBatch();
    void repaintWholeArea();
    void lateJoinerReplay();
};

void BenchBoard::drawitBatch_data()
{
    QTest::addColumn<QString>("batch");
    QTest::newRow("hand stroke, width 3") << handBatch(2, 3, 0);
    QTest::newRow("jumps across the area, width 3") << jumpBatch(2, 3);
    QTest::newRow("every segment crossing the area, width 3") << crossingBatch(2, 3);
}

void BenchBoard::drawitBatch()
{
    QFETCH(QString, batch);
    Tchat chat;
    chat.game->mynumber = 1;
    chat.moveit(QStringLiteral("2+clBlack+3+266+184"));
    QBENCHMARK
    {
        chat.drawit(batch);
    }
}

void BenchBoard::repaintWholeArea()
{
    Tchat chat;
    chat.params = {QStringLiteral("Bench")};
    chat.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chat));
    chat.game->mynumber = 1;
    chat.moveit(QStringLiteral("2+clBlack+3+266+184"));
    for (int i = 0; i < 20; ++i)
        chat.drawit(handBatch(2, 3, i));
    DrawingBoard *board = chat.image_main;
    QBENCHMARK
    {
        board->repaint();
    }
    QCOMPARE(board->screenimage, board->image_backup);
}

void BenchBoard::lateJoinerReplay()
{
    // The host holds a turn's history of 2,000 stroke messages and sends it at the login, in one
    // burst, as it does for anybody who joins during a turn.
    errorbox::setHook([](const QString &) {});
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const QString port = QString::number(probe.serverPort());
    probe.close();
    TServer server;
    server.listener.PortName = port;
    server.listener.setListen(true);
    const int messages = 2000;
    qsizetype bytes = 0;
    for (int i = 0; i < messages; ++i) {
        const QString m = i % 20 == 0 ? QStringLiteral("CMD_moveit+2+clBlack+3+266+184")
                                      : QStringLiteral("CMD_draw+") + handBatch(2, 3, i);
        server.memo_drawing << m;
        bytes += m.size() + 1;
    }

    Tchat chat;
    chat.params = {QStringLiteral("Bench")};
    chat.game->loginname = QStringLiteral("Late");
    chat.sock.HostName = QStringLiteral("127.0.0.1");
    chat.sock.PortName = port;
    chat.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chat));

    // The window's responsiveness: how late a 10 ms timer fires while the history drains.
    QElapsedTimer clock;
    qint64 last = 0, worst = 0;
    int ticks = 0;
    QTimer probeTimer;
    probeTimer.setInterval(10);
    connect(&probeTimer, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        if (ticks++ > 0)
            worst = qMax(worst, now - last);
        last = now;
    });
    clock.start();
    probeTimer.start();
    QElapsedTimer drain;
    drain.start();
    chat.sock.Open();

    // Wait, without sleeping, until the last message has been drawn.
    const QPoint lastPoint = [&] {
        QPoint p;
        FieldReader f(handBatch(2, 3, messages - 1));
        f.next();
        f.next();
        f.next();
        StrokePoints walk(f);
        while (walk.next(p)) {
        }
        return p;
    }();
    QEventLoop loop;
    QTimer watch;
    connect(&watch, &QTimer::timeout, [&] {
        if ((chat.receivedlist.isEmpty() && chat.image_main->backup.penpos == lastPoint) ||
            drain.elapsed() > 60000)
            loop.quit();
    });
    watch.start(1);
    loop.exec();
    QCOMPARE(chat.image_main->backup.penpos, lastPoint);
    const double seconds = drain.nsecsElapsed() / 1e9;
    qInfo("figure: login and replay of %d messages (%lld bytes): %.2f s, %.2f ms a message; worst gap of a "
          "10 ms "
          "timer meanwhile: %.1f ms (%d ticks)",
          messages, qlonglong(bytes), seconds, seconds * 1000 / messages, worst / 1e6, ticks);
    errorbox::setHook({});
}

QTEST_MAIN(BenchBoard)
#include "bench_board.moc"
