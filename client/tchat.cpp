#include "client/tchat.h"

#include "client/chatpane.h"
#include "protocol/errors.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenuBar>
#include <QTimer>

Tchat::Tchat(QWidget *parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Quillet - Orvane Software"));
    sock.PortName = QString();
    sock.OnRead = [this](TSock *s, qsizetype n) { sockRead(s, n); };
    sock.OnInfo = [this](TSock *s, TSock::TSocketInfo i, const QString &m) { sockInfo(s, i, m); };
    Timer1 = new DrainTimer(
        1, [this] { guard([this] { Timer1Timer(); }); },
        [this] { return !receivedlist.isEmpty() || !phraseready; }, this);
    timer2 = new QTimer(this);
    timer2->setInterval(1000);
    connect(timer2, &QTimer::timeout, this, [this] { guard([this] { timer2Timer(); }); });

    buildBoard();
    buildMenus();
    connectStartMenus();
    buildChatMenus();
    buildBoardControls();
    FormCreate();
}

Tchat::~Tchat() = default;

void Tchat::buildMenus()
{
    // Items whose work is not wired here yet exist all the same, so the menus are complete.
    File1 = menuBar()->addMenu(QStringLiteral("&File"));
    StartGame1 = File1->addAction(QStringLiteral("Start Game"));
    StartGame1->setObjectName(QStringLiteral("StartGame1"));
    File1->addSeparator();
    Exit1 = File1->addAction(QStringLiteral("Exit"));
    Exit1->setObjectName(QStringLiteral("Exit1"));
    connect(Exit1, &QAction::triggered, this, [this] { guard([this] { Exit1Click(); }); });

    Options1 = menuBar()->addMenu(QStringLiteral("&Options"));
    JustWatch1 = Options1->addAction(QStringLiteral("Just Watch"));
    JustWatch1->setObjectName(QStringLiteral("JustWatch1"));
    JustWatch1->setCheckable(true);
    // The tick shows what the host last said; a click alone does not change it.
    connect(JustWatch1, &QAction::triggered, this,
            [this](bool checked) { JustWatch1->setChecked(!checked); });
    // The chat pane, the sound switches and the settings add their items after this one.

    View1 = menuBar()->addMenu(QStringLiteral("&View"));
    SpyList1 = View1->addAction(QStringLiteral("Spy List"));
    SpyList1->setObjectName(QStringLiteral("SpyList1"));
    SnapShots1 = View1->addAction(QStringLiteral("Snap Shots"));
    SnapShots1->setObjectName(QStringLiteral("SnapShots1"));
    PhraseLists1 = View1->addAction(QStringLiteral("Phrase Lists"));
    PhraseLists1->setObjectName(QStringLiteral("PhraseLists1"));

    Help1 = menuBar()->addMenu(QStringLiteral("&Help"));
    Help2 = Help1->addAction(QStringLiteral("Contents"));
    Help2->setObjectName(QStringLiteral("Help2"));
    Help2->setShortcut(QKeySequence(Qt::Key_F1));
    About1 = Help1->addAction(QStringLiteral("About"));
    About1->setObjectName(QStringLiteral("About1"));
}

void Tchat::addlinetochat(const QString &line, int colour)
{
    if (recordlog)
        linelog.append({line, colour});
    chatpane->addlinetochat(line, colour);
}

void Tchat::eventcue(const QString &cue)
{
    if (recordlog)
        cuelog << cue;
    playsounds(cue);
}

void Tchat::showEvent(QShowEvent *e)
{
    QMainWindow::showEvent(e);
    if (!shown) {
        shown = true;
        // Roles are chosen once the window is up and the event loop runs.
        QMetaObject::invokeMethod(
            this, [this] { guard([this] { FormShow(); }); }, Qt::QueuedConnection);
    }
}

void Tchat::closeEvent(QCloseEvent *e)
{
    if (!closing) {
        closing = true;
        guard([this] { FormClose(); });
    }
    timer2->stop();
    QMainWindow::closeEvent(e);
    emit closed();
}

void Tchat::Exit1Click()
{
    close();
}
