// Undo and the eraser through a real host: the drawer's window, a player copy that knows no undo
// and only draws the strokes relayed to it, and a newcomer who joins after the undo.
#include "app/serverhost.h"
#include "chatfixture.h"
#include "host/tserver.h"
#include "protocol/commands.h"
#include "rawpeer.h"
#include "tests/support/netsupport.h"
#include "tests/support/strokeui.h"
#include "tests/support/tchatui.h"

#include <QTest>
#include <QThread>

class BoardUndo : public QObject
{
    Q_OBJECT

    TServer *server = nullptr;
    QList<Tchat *> windows;

    // Runs the host's and every window's queue until nothing moves.
    void pump()
    {
        for (int quiet = 0; quiet < 20;) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            bool moved = false;
            while (!server->queue().isEmpty()) {
                guard([this] { server->socktimerTimer(); });
                moved = true;
            }
            for (Tchat *w : std::as_const(windows))
                while (!w->link()->receivedlist.isEmpty()) {
                    guard([w] { w->link()->drainQueue(); });
                    moved = true;
                }
            quiet = moved ? 0 : quiet + 1;
            if (!moved)
                QThread::usleep(200);
        }
    }
    bool join(Tchat &w, const QStringList &params, int number)
    {
        windows << &w;
        w.setparams(params);
        w.show();
        return QTest::qWaitFor([&] {
            pump();
            return w.game()->loggedin() && w.game()->mynumber() == number;
        });
    }
    // The raw player's stroke messages, the wipes among them.
    static QStringList strokes(const QStringList &messages)
    {
        QStringList out;
        for (const QString &m : messages)
            if (m.startsWith(cmd::moveit) || m.startsWith(cmd::draw) || m.startsWith(cmd::clearmain))
                out << m;
        return out;
    }
    void stroke(DrawingBoard *board, QList<QPoint> points)
    {
        press(board, points.first());
        for (qsizetype i = 1; i < points.size(); ++i)
            drag(board, points[i]);
        release(board, points.last());
        pump();
    }

    // A hosting window (Ann, the drawer) and a player that knows no undo and only reads what the
    // host relays (Old), with Ann's first turn open.
    struct Table
    {
        quint16 port = 0;
        TServer host;
        std::unique_ptr<ServerHost> local;
        Tchat ann;
        RawPeer old;
    };
    std::unique_ptr<Table> openTurn()
    {
        const quint16 port = freePort();
        qputenv("QUILLET_GAME_PORT", QByteArray::number(port));
        qputenv("QUILLET_LOBBY_PORT", QByteArray::number(freePort()));
        auto t = std::make_unique<Table>();
        t->port = port;
        server = &t->host;
        // The game's clock never ticks here.
        t->host.clockms = 3600 * 1000;
        for (int c = 0; c < 7; ++c)
            t->host.game().setPhraseList(c, {QStringLiteral("big cat")});
        t->local = std::make_unique<ServerHost>(t->host);
        t->ann.attach({.localhost = t->local.get()});
        if (!join(t->ann, {QStringLiteral("Ann"), QStringLiteral("127.0.0.1"), QStringLiteral("true")}, 1) ||
            !t->old.connectTo(t->port))
            return nullptr;
        pump();
        if (t->old.nextOf(cmd::sendlogininfo) != cmd::sendlogininfo + QStringLiteral("+2"))
            return nullptr;
        t->old.send(cmd::buildLogininfo(2, cmd::versionText, QStringLiteral("Old")));
        pump();
        t->ann.game()->startgame(false, 20, 120);
        pump();
        if (t->host.game().drawer() != 1)
            return nullptr;
        QTest::mouseClick(ui(t->ann).button_cat[0], Qt::LeftButton);
        pump();
        t->old.drain(50);
        return t->host.game().phase() == HostGame::Phase::drawing ? std::move(t) : nullptr;
    }

private slots:
    void undoAndEraserReachEveryCopyAlike()
    {
        QStringList boxes;
        errorbox::setHook([&](const QString &t) { boxes << t; });
        const auto table = openTurn();
        QVERIFY(table);
        Tchat &ann = table->ann;
        RawPeer &old = table->old;

        // A line, then the eraser across it (the key, then the button gives the colour back),
        // then a long stroke of several batches.
        DrawingBoard *board = ui(ann).image_main;
        stroke(board, {{50, 50}, {150, 50}, {250, 60}});
        QTest::keyClick(&ann, Qt::Key_E, Qt::ControlModifier);
        QVERIFY(ui(ann).part<QToolButton>("eraserButton")->isChecked());
        stroke(board, {{100, 30}, {100, 80}});
        QCOMPARE(QColor(board->image_backup.pixel(100, 50)), QColor(Qt::white));
        QList<QPoint> wave;
        for (int x = 20; x < 500; x += 2)
            wave << QPoint(x, 200 + (x / 10) % 40);
        QTest::keyClick(&ann, Qt::Key_E, Qt::ControlModifier);
        QVERIFY(!ui(ann).part<QToolButton>("eraserButton")->isChecked());
        const QImage beforeWave = board->image_backup;
        stroke(board, wave);
        const QStringList drawn = strokes(old.drain(150));
        QVERIFY(drawn[2].startsWith(QStringLiteral("CMD_moveit+1+clWhite+3+100+30")));
        QVERIFY(drawn.size() >= 7); // the wave took three batches or more

        // Ctrl+Z right after a stroke, though the chat entry had the focus before it: a dot, then
        // the wave go, and every copy hears a wipe and the strokes left, as they were first sent.
        ui(ann).chatpane->mychat->setFocus();
        stroke(board, {{10, 300}});
        QVERIFY(board->hasFocus());
        QTest::keyClick(&ann, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(&ann, Qt::Key_Z, Qt::ControlModifier);
        pump();
        QStringList expected{QStringLiteral("CMD_moveit+1+clBlack+3+10+300"), cmd::buildClearmain(1)};
        expected << drawn << cmd::buildClearmain(1) << drawn.mid(0, 4);
        QCOMPARE(strokes(old.drain(150)), expected);
        QCOMPARE(board->image_backup, beforeWave);

        // A newcomer after the undo gets the same picture from the host's history.
        Tchat cid;
        QVERIFY(join(cid, {QStringLiteral("Cid"), QStringLiteral("127.0.0.1"), QStringLiteral("join")}, 3));
        QCOMPARE(ui(cid).image_main->image_backup, board->image_backup);

        // Back to the start of the turn, then nothing more to take back: nothing is sent.
        ui(ann).part<QToolButton>("undoButton")->click();
        ui(ann).part<QToolButton>("undoButton")->click();
        ui(ann).part<QToolButton>("undoButton")->click();
        pump();
        QCOMPARE(strokes(old.drain(150)),
                 (QStringList{cmd::buildClearmain(1), drawn[0], drawn[1], cmd::buildClearmain(1)}));
        QCOMPARE(ui(cid).image_main->image_backup, board->image_backup);
        QVERIFY2(boxes.isEmpty(), qPrintable(boxes.join(QLatin1Char('\n'))));
        windows.clear();
        errorbox::setHook({});
    }

    // A long turn drawn with the button held, the pen flushed every second move: 30 strokes of 1,800
    // small batches. An undo sends the 29 strokes left in full batches, and a player that knows no
    // undo and a newcomer get the very same messages, in a tenth of what the pen sent.
    void undoOfALongTurnArrivesWholeAndPacked()
    {
        const auto table = openTurn();
        QVERIFY(table);
        Tchat &ann = table->ann;
        RawPeer &old = table->old;

        DrawingBoard *board = ui(ann).image_main;
        StrokeSender *pen = strokesender(ui(ann));
        for (int s = 0; s < 30; ++s) {
            // The last strokes change width near their end.
            ui(ann).penw->setText(QStringLiteral("3"));
            press(board, {10 + s * 15, 20});
            for (int flush = 0; flush < 60; ++flush) {
                drag(board, {10 + s * 15 + flush % 7, 20 + flush * 5});
                drag(board, {12 + s * 15 + flush % 5, 22 + flush * 5});
                if (s >= 25 && flush == 55)
                    ui(ann).penw->setText(QStringLiteral("6"));
                pen->flush();
            }
            release(board, {12 + s * 15, 320});
            pump();
        }
        const QStringList drawn = strokes(old.drain(200));
        const int sent = int(drawn.size());
        QCOMPARE(sent, 30 * 61);

        QTest::keyClick(&ann, Qt::Key_Z, Qt::ControlModifier);
        pump();
        const QStringList undone = strokes(old.drain(200));
        QCOMPARE(undone.first(), cmd::buildClearmain(1));
        QVERIFY2(undone.size() <= (sent - 61) / 10, qPrintable(QString::number(undone.size())));
        // 29 strokes of 120 points: a CMD_moveit and two batches; one more where the width changed.
        QCOMPARE(undone.size(), 1 + 25 * 3 + 4 * 4);

        RawPeer late;
        QVERIFY(late.connectTo(table->port));
        pump();
        late.send(cmd::buildLogininfo(3, cmd::versionText, QStringLiteral("Late")));
        pump();
        QCOMPARE(strokes(late.drain(200)), undone.mid(1));

        // Painted from the packed messages, a window shows the drawer's picture.
        Tchat cid;
        QVERIFY(join(cid, {QStringLiteral("Cid"), QStringLiteral("127.0.0.1"), QStringLiteral("join")}, 4));
        QCOMPARE(ui(cid).image_main->image_backup, board->image_backup);
        windows.clear();
    }
};

QTEST_MAIN(BoardUndo)
#include "tst_boardundo.moc"
