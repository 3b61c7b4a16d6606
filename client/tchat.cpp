#include "client/tchat.h"

#include "board/drawingboard.h"
#include "client/chatpane.h"
#include "protocol/errors.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QHBoxLayout>
#include <QVBoxLayout>

Tchat::Tchat(QWidget *parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Quillet - Orvane Software"));
    sock.PortName = QString();
    sock.OnRead = [this](TSock *s, qsizetype n) { sockRead(s, n); };
    sock.OnInfo = [this](TSock *s, TSock::TSocketInfo i, const QString &m) { sockInfo(s, i, m); };
    Timer1 = new DrainTimer(
        1, [this] { guard([this] { Timer1Timer(); }); },
        [this] { return !receivedlist.isEmpty() || !phraseready; }, this);

    auto *central = new QWidget(this);
    auto *row = new QHBoxLayout(central);
    auto *boardColumn = new QWidget(central);
    auto *column = new QVBoxLayout(boardColumn);
    image_main = new DrawingBoard(boardColumn);
    column->addWidget(image_main);
    row->addWidget(boardColumn);
    chatpane = new ChatPane(central);
    row->addWidget(chatpane);
    setCentralWidget(central);
    buildMenus();
    buildChatMenus();
    buildBoardControls();
    FormCreate();
}

Tchat::~Tchat() = default;

void Tchat::buildMenus()
{
    File1 = menuBar()->addMenu(QStringLiteral("&File"));
    StartGame1 = File1->addAction(QStringLiteral("Start Game"));
    File1->addSeparator();
    Exit1 = File1->addAction(QStringLiteral("Exit"));
    connect(Exit1, &QAction::triggered, this, [this] { guard([this] { Exit1Click(); }); });
}

void Tchat::addlinetochat(const QString &line, int colour)
{
    chatpane->addlinetochat(line, colour);
}

void Tchat::showEvent(QShowEvent *e)
{
    QMainWindow::showEvent(e);
    if (!shown) {
        shown = true;
        // Roles are chosen once the window is up and the event loop runs.
        QMetaObject::invokeMethod(this, [this] { guard([this] { FormShow(); }); }, Qt::QueuedConnection);
    }
}

void Tchat::closeEvent(QCloseEvent *e)
{
    if (!closing) {
        closing = true;
        guard([this] { FormClose(); });
    }
    QMainWindow::closeEvent(e);
    emit closed();
}

void Tchat::Exit1Click()
{
    close();
}
