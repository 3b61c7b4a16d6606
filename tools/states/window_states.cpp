// Drives the main window through six moments of a game against a stand-in host on loopback and
// saves a picture of the window at each, with every byte the window sent. Two runs of the same
// build give the same pictures and bytes, so a run before and after a change to the player side
// shows whether a player would see or send anything different.
//   window_states OUTDIR   (tools/states.sh runs it under a private X server)
// Writes OUTDIR/1-before-login.png ... OUTDIR/6-win.png and OUTDIR/wire.txt (one sent message a
// line).
#include "app/program.h"
#include "client/tchat.h"
#include "features/playersettings.h"
#include "platform/config.h"
#include "platform/errors.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QStyleHints>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <cstdio>

namespace {

QDir out;
QTcpSocket *player = nullptr;
QByteArray sent; // what the window sent, as it arrived

void pump(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (player && player->bytesAvailable())
            sent += player->readAll();
        QThread::usleep(500);
    }
}

void host(const QByteArray &message)
{
    player->write(message + '\xff');
    player->flush();
}

void shot(QWidget *window, const char *name)
{
    pump(150);
    window->grab().save(out.filePath(QLatin1String(name) + QLatin1String(".png")));
}

template <typename W> W *child(QWidget *window, const char *name)
{
    W *w = window->findChild<W *>(QLatin1String(name));
    if (!w) {
        std::fprintf(stderr, "window_states: no %s in the window\n", name);
        std::exit(1);
    }
    return w;
}

void stroke(QWidget *board, const QList<QPoint> &points)
{
    QTest::mousePress(board, Qt::LeftButton, {}, points.first());
    for (const QPoint &p : points)
        QTest::mouseMove(board, p);
    QTest::mouseRelease(board, Qt::LeftButton, {}, points.last());
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2 && argc != 3) {
        std::fputs("usage: window_states OUTDIR [WIDTHxHEIGHT]\n", stderr);
        return 2;
    }
    // A size fills the screen as a maximised window does (the virtual screen has no window manager).
    const QStringList size =
        argc == 3 ? QString::fromLocal8Bit(argv[2]).split(QLatin1Char('x')) : QStringList();
    out = QDir(QString::fromLocal8Bit(argv[1]));
    out.mkpath(QStringLiteral("."));
    QTemporaryDir home;
    qputenv("QUILLET_HOME", home.path().toLocal8Bit());
    qputenv("QUILLET_LOBBY_PORT", "1");
    qputenv("QUILLET_ANNOUNCE_ADDRESS", "127.0.0.1");
    qputenv("QUILLET_ERRORBOX_LOG", QByteArray());

    int toolkitArgc = 1;
    QApplication app(toolkitArgc, argv);
    QTcpServer standIn;
    standIn.listen(QHostAddress::LocalHost);
    qputenv("QUILLET_GAME_PORT", QByteArray::number(standIn.serverPort()));
    // A blinking caret would make two pictures of the same moment differ.
    QGuiApplication::styleHints()->setCursorFlashTime(0);
    errorbox::setHook([](const QString &text) { std::fprintf(stderr, "error box: %s\n", qPrintable(text)); });

    if (size.size() == 2) {
        // The saved placement, read when the window is made and again at the login.
        PlayerSettings placed;
        placed.setNumber(PlayerSettings::Left, 0);
        placed.setNumber(PlayerSettings::Top, 0);
        placed.setNumber(PlayerSettings::Width, size[0].toInt());
        placed.setNumber(PlayerSettings::Height, size[1].toInt());
        placed.save(
            QDir(config::dataDir()).filePath(QStringLiteral("orvanelobby.ini")),
            {PlayerSettings::Left, PlayerSettings::Top, PlayerSettings::Width, PlayerSettings::Height});
    }
    Program program({QStringLiteral("Dee"), QStringLiteral("127.0.0.1"), QStringLiteral("x")});
    QWidget *window = program.chat.get();
    window->move(0, 0);
    window->show();
    QDeadlineTimer until(10000);
    while (!standIn.hasPendingConnections() && !until.hasExpired())
        pump(10);
    player = standIn.nextPendingConnection();
    if (!player) {
        std::fputs("window_states: the window never connected\n", stderr);
        return 1;
    }
    shot(window, "1-before-login");

    // Dee joins Ann and Cat and is the first to choose.
    host("CMD_sendlogininfo+2");
    host("CMD_newplayerinfo+2+Dee");
    host("CMD_existingplayers+1+Ann");
    host("CMD_existingplayers+3+Cat");
    host("CMD_chat+1+Ann chats: Welcome, Dee!|clNavy");
    pump(200);
    for (const char *seat : {"1+Ann", "2+Dee", "3+Cat"})
        host(QByteArray("CMD_refreshplayerlist+") + seat);
    host("CMD_startgame+1+false+10+90");
    host("CMD_pickcatagory+2");
    shot(window, "2-pick");

    // Dee draws "STAR WARS"; Cat guesses.
    QTest::mouseClick(child<QWidget>(window, "button_cat4"), Qt::LeftButton);
    pump(100);
    host("CMD_nextplayer+2+4+____ ____ ");
    host("CMD_givedraweranswer+STAR WARS");
    pump(100);
    QWidget *board = child<QWidget>(window, "image_main");
    QList<QPoint> star;
    for (int i = 0; i <= 5; ++i)
        star << QPoint(260 + int(120 * std::sin(i * 4 * M_PI / 5)),
                       180 - int(120 * std::cos(i * 4 * M_PI / 5)));
    stroke(board, star);
    child<QLineEdit>(window, "penw")->setText(QStringLiteral("8"));
    stroke(board, {QPoint(60, 330), QPoint(200, 300), QPoint(330, 330), QPoint(470, 300)});
    host("CMD_guessed+3+SPACE");
    host("CMD_guessed+1+STAR TREK");
    host("CMD_updateanswer+false+STAR ____ ");
    shot(window, "3-drawing");

    // Cat draws "HOT DOG STAND"; Dee guesses.
    host("CMD_correctanswer+1+2+2+1+STAR WARS");
    host("CMD_pickcatagory+3");
    host("CMD_nextplayer+3+6+___ ___ _____ ");
    host("CMD_moveit+3+clRed+5+100+100");
    host("CMD_draw+3+clRed+5++120,110+160,130+220,120+300,140+");
    host("CMD_moveit+3+$000080FF+3+90+200");
    host("CMD_draw+3+$000080FF+3++400,200+400,260++");
    pump(200);
    QLineEdit *answer = child<QLineEdit>(window, "edit_answer");
    answer->setFocus();
    QTest::keyClicks(answer, QStringLiteral("hot"));
    QTest::keyClick(answer, Qt::Key_Return);
    pump(100);
    host("CMD_myguessed+2+HOT");
    host("CMD_updateanswer+false+HOT ___ _____ ");
    host("CMD_myguessed+1+DOG");
    host("CMD_updateanswer+false+HOT DOG _____ ");
    host("CMD_veryclose+2+STANDS+");
    shot(window, "4-guessing");

    host("CMD_myguessed+2+STAND");
    host("CMD_correctanswer+2+4+3+1+HOT DOG STAND");
    shot(window, "5-break");

    host("CMD_winner+Dee");
    shot(window, "6-win");

    QFile wire(out.filePath(QStringLiteral("wire.txt")));
    if (!wire.open(QIODevice::WriteOnly))
        return 1;
    wire.write(sent.replace('\xff', '\n'));
    wire.close();
    std::puts("done");
    std::fflush(stdout);
    std::_Exit(0); // the pictures are taken; the window's own closing would talk to the stand-in
}
