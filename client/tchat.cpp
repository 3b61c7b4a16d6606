#include "client/tchat.h"

#include "features/sound.h"

#include "board/drawingboard.h"

#include "client/eventhook.h"
#include "widgets/chatviewer.h"
#include "widgets/tiledbackground.h"

#include "client/chatpane.h"
#include "client/core/playergame.h"
#include "platform/errors.h"
#include "protocol/wire.h"
#include "widgets/errorboxes.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenuBar>
#include <QTimer>

Tchat::Tchat(QWidget *parent) : QMainWindow(parent)
{
    errorbox::useMessageBoxes();
    setWindowTitle(title);
    playergame = new PlayerGame(this);
    playerlink = new PlayerLink(playergame, this);
    connect(playerlink, &PlayerLink::connectFailed, this, &Tchat::connectfailed);
    connect(playerlink, &PlayerLink::hostClosed, this, &Tchat::hostclosed);
    connect(playergame, &PlayerGame::full, this, &Tchat::gamefull);
    connect(playergame, &PlayerGame::clockChanged, this, &Tchat::showclock);
    connect(playergame, &PlayerGame::chatLine, this, &Tchat::addlinetochat);
    connect(playergame, &PlayerGame::cue, this, &Tchat::playsounds);
    connect(playergame, &PlayerGame::loggedIn, this, &Tchat::limitchatline);
    connect(playergame, &PlayerGame::connected, this, &Tchat::loadinifile);
    connect(playergame, &PlayerGame::removed, this,
            [this] { leftgame(QStringLiteral("You were removed from the game.")); });
    connect(playergame, &PlayerGame::optionsChanged, this, [this] {
        showoptions();
        setteamcolours();
    });
    connect(playergame, &PlayerGame::seatChanged, this, &Tchat::showseat);
    connect(playergame, &PlayerGame::spyAdded, this, &Tchat::addspyline);
    connect(playergame, &PlayerGame::spyRemoved, this, &Tchat::removespyline);

    buildBoard();
    // Relayed strokes are painted by the board.
    connect(playergame, &PlayerGame::strokeStarted, image_main, &DrawingBoard::penDown);
    connect(playergame, &PlayerGame::strokeDrawn, image_main, &DrawingBoard::penThrough);
    connect(playergame, &PlayerGame::boardWiped, image_main, &DrawingBoard::wipe);
    buildMenus();
    connectSnapshots();
    buildChatMenus();
    buildBoardControls();
    buildWatchMenus();
    buildPhraseButtons();
    connectTurn();
    connectPodium();
    // The board as first laid out is the one of zoom 1 (see showEvent); it scales whenever the
    // client area changes size.
    zoom.keepFont(chatpane->mainchat);
    auto *sizeWatch = new EventHook(this, [this](QObject *, QEvent *e) {
        if (e->type() == QEvent::Resize)
            guard([this] { rezoom(); });
    });
    sizeWatch->watch(background);
    connect(playergame, &PlayerGame::soundPlayed, this, [](const QString &name) { sound::play(name); });
    FormCreate();
}

void Tchat::attach(const Companions &c)
{
    with = c;
}

void Tchat::setparams(const QStringList &parameters)
{
    params = parameters;
}

void Tchat::setinviteavailable(bool on)
{
    inviteFriendsAction->setEnabled(on);
}

Tchat::~Tchat()
{
    // The base class hides the children as it goes; the event hooks call back into this window,
    // which by then is no longer a Tchat, so they go first.
    qDeleteAll(findChildren<EventHook *>(Qt::FindDirectChildrenOnly));
}

void Tchat::addlinetochat(const QString &line, int colour)
{
    chatpane->addlinetochat(line, colour);
}

void Tchat::addlinkline(const QString &text, const QString &linkText, const QString &target, int colour)
{
    chatpane->addlinkline(text, linkText, target, colour);
}

void Tchat::showEvent(QShowEvent *e)
{
    QMainWindow::showEvent(e);
    if (!shown) {
        shown = true;
        zoom.remember(boardPanel);
        rezoom();
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
    playerlink->stop();
    QMainWindow::closeEvent(e);
    // The program ends with this window: no error box stays behind it.
    errorbox::closeAll();
    emit closed();
}

void Tchat::exitClicked()
{
    close();
}
