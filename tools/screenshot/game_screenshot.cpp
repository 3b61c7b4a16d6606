// Plays the first moments of a game between two windows in one process (the real host over
// loopback), then leaves them on screen side by side for a screenshot: the drawer's window on the
// left, the guesser's on the right. Usage: game_screenshot (tools/screenshot.sh runs it).
#include "app/serverhost.h"
#include "board/drawingboard.h"
#include "client/chatpane.h"
#include "client/tchat.h"
#include "features/spylist.h"
#include "host/tserver.h"
#include "platform/errors.h"
#include "protocol/colortext.h"
#include "tests/support/tchatui.h"
#include "widgets/colorbutton.h"
#include "windows/tgamestartform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <cmath>
#include <memory>

namespace {

struct Copy
{
    std::unique_ptr<Tgamestartform> form = std::make_unique<Tgamestartform>();
    std::unique_ptr<Tspylist> spylist = std::make_unique<Tspylist>();
    std::unique_ptr<Tchat> chat = std::make_unique<Tchat>();
};

TServer *host = nullptr;
std::vector<Copy *> copies;

// Runs sockets and drains until nothing moves any more.
void pump()
{
    int quiet = 0;
    while (quiet < 20) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        bool moved = false;
        while (!host->queue().isEmpty()) {
            guard([] { host->socktimerTimer(); });
            moved = true;
        }
        for (Copy *c : copies) {
            while (!c->chat->link()->receivedlist.isEmpty()) {
                guard([c] { c->chat->link()->drainQueue(); });
                moved = true;
            }
        }
        quiet = moved ? 0 : quiet + 1;
        if (!moved)
            QThread::usleep(200);
    }
}

void stroke(DrawingBoard *board, const QList<QPointF> &points)
{
    QTest::mousePress(board, Qt::LeftButton, {}, points.first().toPoint());
    for (const QPointF &p : points)
        QTest::mouseMove(board, p.toPoint());
    QTest::mouseRelease(board, Qt::LeftButton, {}, points.last().toPoint());
    pump();
}

// Points along an ellipse arc, degrees from a to b.
QList<QPointF> arc(QPointF c, double rx, double ry, double a, double b)
{
    QList<QPointF> pts;
    for (double t = a; t <= b + 0.01; t += 4)
        pts << QPointF(c.x() + rx * std::cos(t * M_PI / 180), c.y() + ry * std::sin(t * M_PI / 180));
    return pts;
}

void say(Copy &c, const QString &text)
{
    ui(c.chat).chatpane->mychat->setText(text);
    QTest::keyClick(ui(c.chat).chatpane->mychat, Qt::Key_Return);
    pump();
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    {
        QTcpServer probe; // a free port for the game
        probe.listen(QHostAddress::LocalHost);
        qputenv("QUILLET_GAME_PORT", QByteArray::number(probe.serverPort()));
    }
    qputenv("QUILLET_LOBBY_PORT", "1");
    // The hosted game is announced to this machine only.
    qputenv("QUILLET_ANNOUNCE_ADDRESS", "127.0.0.1");
    errorbox::setHook([](const QString &) {});

    TServer server;
    ServerHost localhost(server);
    host = &server;
    // The clock is ticked here, not by the time.
    server.clockms = 3600 * 1000;
    server.game().seed(5);
    for (int c = 0; c < 7; ++c)
        server.game().setPhraseList(c, {QStringLiteral("hot dog stand")});

    Copy ann, zed;
    copies = {&ann, &zed};
    const QStringList names = {QStringLiteral("Ann"), QStringLiteral("Zed")};
    for (int i = 0; i < 2; ++i) {
        Copy &c = *copies[i];
        c.chat->attach({.spylist = c.spylist.get(), .gamestartform = c.form.get(), .localhost = &localhost});
        c.chat->setparams(
            {names[i], QStringLiteral("127.0.0.1"), i == 0 ? QStringLiteral("true") : QStringLiteral("x")});
        c.chat->show();
        QDeadlineTimer until(10000);
        while (!(c.chat->game()->loggedin() && c.chat->game()->mynumber() == i + 1) && !until.hasExpired())
            pump();
    }
    say(ann, QStringLiteral("Hi Zed! Ready for a round?"));
    say(zed, QStringLiteral("/me waves hello"));

    ui(ann.chat).button_start->show();
    QTest::mouseClick(ui(ann.chat).button_start, Qt::LeftButton);
    QTest::mouseClick(ann.form->startButton, Qt::LeftButton);
    pump();
    Copy &drawer = *copies[server.game().drawer() - 1];
    Copy &guesser = &drawer == &ann ? zed : ann;
    QTest::mouseClick(ui(drawer.chat).button_cat[6], Qt::LeftButton);
    pump();

    DrawingBoard *board = ui(drawer.chat).image_main;
    ColorButton *pen = ui(drawer.chat).ColorButton;
    ui(drawer.chat).penw->setText(QStringLiteral("5"));
    pen->setColour(0x00206BB0); // a brown bun
    stroke(board, arc(QPointF(260, 190), 170, 60, 0, 180));
    pen->setColour(colortext::clRed); // the sausage
    stroke(board, arc(QPointF(260, 175), 190, 38, 180, 360));
    stroke(board, arc(QPointF(260, 175), 190, 38, 0, 180));
    pen->setColour(0x0000D0F0); // mustard
    QList<QPointF> mustard;
    for (double x = 110; x <= 410; x += 3)
        mustard << QPointF(x, 172 + 9 * std::sin(x / 9));
    stroke(board, mustard);
    pen->setColour(colortext::clBlack); // the stand's legs
    ui(drawer.chat).penw->setText(QStringLiteral("3"));
    stroke(board, {QPointF(120, 290), QPointF(120, 345)});
    stroke(board, {QPointF(400, 290), QPointF(400, 345)});

    ui(guesser.chat).edit_answer->setFocus();
    QTest::keyClicks(ui(guesser.chat).edit_answer, QStringLiteral("hot dog"));
    QTest::keyClick(ui(guesser.chat).edit_answer, Qt::Key_Return);
    pump();
    say(guesser, QStringLiteral("Almost there, what is under it?"));
    for (int s = 0; s < 14; ++s) {
        guard([] { host->game().tick(); });
        for (Copy *c : copies)
            guard([c] { c->chat->game()->turnClockTick(); });
        pump();
    }

    drawer.chat->move(0, 0);
    guesser.chat->move(drawer.chat->frameGeometry().width() + 6, 0);
    QTimer::singleShot(500, &app, [] { std::fputs("ready\n", stdout), std::fflush(stdout); });
    return QApplication::exec();
}
