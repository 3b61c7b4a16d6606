#include "client/tchat.h"

#include "features/sound.h"

#include "board/drawingboard.h"

#include "client/eventhook.h"

#include "client/chatpane.h"
#include "client/core/playergame.h"
#include "protocol/errors.h"
#include "protocol/wire.h"
#include "widgets/errorboxes.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenuBar>
#include <QTimer>

namespace {

// The game's messages, framed onto the game socket.

} // namespace

Tchat::Tchat(QWidget *parent) : QMainWindow(parent)
{
    errorbox::useMessageBoxes();
    setWindowTitle(title);
    phraseTimer = new QTimer(this);
    phraseTimer->setSingleShot(true);
    phraseTimer->setTimerType(Qt::PreciseTimer);
    phraseTimer->setInterval(phrasepause);
    connect(phraseTimer, &QTimer::timeout, this, [this] { phraseready = true; });
    game = new PlayerGame(this);
    link = new PlayerLink(game, this);
    connect(link, &PlayerLink::connectFailed, this, &Tchat::connectfailed);
    connect(link, &PlayerLink::hostClosed, this, &Tchat::hostclosed);
    connect(game, &PlayerGame::full, this, &Tchat::gamefull);
    connect(game, &PlayerGame::clockChanged, this, &Tchat::showclock);
    connect(game, &PlayerGame::chatLine, this, &Tchat::addlinetochat);
    connect(game, &PlayerGame::cue, this, &Tchat::eventcue);
    connect(game, &PlayerGame::loggedIn, this, &Tchat::limitchatline);
    connect(game, &PlayerGame::connected, this, &Tchat::loadinifile);
    connect(game, &PlayerGame::removed, this,
            [this] { leftgame(QStringLiteral("You were removed from the game.")); });
    connect(game, &PlayerGame::optionsChanged, this, &Tchat::showoptions);
    connect(game, &PlayerGame::teamChanged, this, &Tchat::setteamcolours);
    connect(game, &PlayerGame::seatChanged, this, &Tchat::showseat);
    connect(game, &PlayerGame::scoreChanged, this, &Tchat::showscore);
    connect(game, &PlayerGame::spyAdded, this, &Tchat::addspyline);
    connect(game, &PlayerGame::spyRemoved, this, &Tchat::removespyline);

    buildBoard();
    // Relayed strokes are painted by the board.
    connect(game, &PlayerGame::strokeStarted, image_main, &DrawingBoard::penDown);
    connect(game, &PlayerGame::strokeDrawn, image_main, &DrawingBoard::penThrough);
    connect(game, &PlayerGame::boardWiped, image_main, &DrawingBoard::wipe);
    buildMenus();
    connectStartMenus();
    connectSnapshots();
    buildChatMenus();
    buildBoardControls();
    buildWatchMenus();
    buildPhraseButtons();
    connectTurn();
    connect(game, &PlayerGame::soundPlayed, this, [](const QString &name) { sound::play(name); });
    connect(playChatterSoundsAction, &QAction::toggled, this, [this](bool on) { game->chattersounds = on; });
    FormCreate();
}

Tchat::~Tchat()
{
    // The base class hides the children as it goes; the event hooks call back into this window,
    // which by then is no longer a Tchat, so they go first.
    qDeleteAll(findChildren<EventHook *>(Qt::FindDirectChildrenOnly));
}

void Tchat::buildMenus()
{
    // Items whose work is not wired here yet exist all the same, so the menus are complete.
    fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    startGameAction = fileMenu->addAction(QStringLiteral("Start Game"));
    startGameAction->setObjectName(QStringLiteral("startGameAction"));
    hostGameAction = fileMenu->addAction(QStringLiteral("Host a Game..."));
    hostGameAction->setObjectName(QStringLiteral("hostGameAction"));
    joinGameAction = fileMenu->addAction(QStringLiteral("Join a Game..."));
    joinGameAction->setObjectName(QStringLiteral("joinGameAction"));
    inviteFriendsAction = fileMenu->addAction(QStringLiteral("Invite Friends..."));
    fileMenu->addSeparator();
    exitAction = fileMenu->addAction(QStringLiteral("Exit"));
    exitAction->setObjectName(QStringLiteral("exitAction"));
    connect(exitAction, &QAction::triggered, this, [this] { guard([this] { exitClicked(); }); });

    optionsMenu = menuBar()->addMenu(QStringLiteral("&Options"));
    justWatchAction = optionsMenu->addAction(QStringLiteral("Just Watch"));
    justWatchAction->setObjectName(QStringLiteral("justWatchAction"));
    justWatchAction->setCheckable(true);
    // The tick shows what the host last said; a click alone does not change it.
    connect(justWatchAction, &QAction::triggered, this, [this](bool checked) {
        justWatchAction->setChecked(!checked);
        guard([this] { justWatchClicked(); });
    });
    // The chat pane, the sound switches and the settings add their items after this one.

    viewMenu = menuBar()->addMenu(QStringLiteral("&View"));
    spyListAction = viewMenu->addAction(QStringLiteral("Spy List"));
    spyListAction->setObjectName(QStringLiteral("spyListAction"));
    snapShotsAction = viewMenu->addAction(QStringLiteral("Snap Shots"));
    snapShotsAction->setObjectName(QStringLiteral("snapShotsAction"));
    phraseListsAction = viewMenu->addAction(QStringLiteral("Phrase Lists"));
    phraseListsAction->setObjectName(QStringLiteral("phraseListsAction"));

    helpMenu = menuBar()->addMenu(QStringLiteral("&Help"));
    contentsAction = helpMenu->addAction(QStringLiteral("Contents"));
    contentsAction->setObjectName(QStringLiteral("contentsAction"));
    contentsAction->setShortcut(QKeySequence(Qt::Key_F1));
    aboutAction = helpMenu->addAction(QStringLiteral("About"));
    aboutAction->setObjectName(QStringLiteral("aboutAction"));
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
    link->stop();
    QMainWindow::closeEvent(e);
    // The program ends with this window: no error box stays behind it.
    errorbox::closeAll();
    emit closed();
}

void Tchat::exitClicked()
{
    close();
}
