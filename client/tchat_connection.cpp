// The game connection: queue, drain, dispatch, login, arrivals and departures.
#include "client/core/playergame.h"
#include "client/tchat.h"

#include "client/chatpane.h"
#include "features/spylist.h"
#include "protocol/commands.h"
#include "protocol/drainburst.h"
#include "protocol/errors.h"
#include "protocol/fields.h"
#include "protocol/text.h"
#include "protocol/wire.h"
#include "widgets/flatpanel.h"

#include <QAbstractButton>
#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QTimer>
#include <QToolButton>

namespace {
using Handler = void (Tchat::*)(const QString &);
using GameHandler = void (PlayerGame::*)(const QString &);
// A message goes to the player's game or, for what the window still handles itself, the window.
struct Route
{
    const QString &word;
    Handler handler;
    GameHandler gamehandler = nullptr;
};

// Dispatch table, in order; the first exact, case-sensitive match takes the message. Words that
// match no row are dropped.
const Route routes[] = {
    {cmd::sendlogininfo, &Tchat::sendloginfo},
    {cmd::chat, &Tchat::chatrecieved},
    {cmd::action, &Tchat::chatrecieved},
    {cmd::newplayerinfo, &Tchat::newplayerinfo},
    {cmd::existingplayers, &Tchat::newplayerinfo},
    {cmd::playerdisconnected, &Tchat::playerdisconnected},
    {cmd::startgame, &Tchat::startthegame},
    {cmd::nextplayer, &Tchat::getnextplayer},
    {cmd::winner, &Tchat::winner},
    {cmd::full, &Tchat::gamefull},
    {cmd::draw, &Tchat::drawit},
    {cmd::moveit, &Tchat::moveit},
    {cmd::clearmain, &Tchat::clearmain},
    {cmd::correctanswer, &Tchat::correctanswer},
    {cmd::updateanswer, &Tchat::updateanswer},
    {cmd::givedraweranswer, &Tchat::givedraweranswer},
    {cmd::guessed, &Tchat::guessed},
    {cmd::pickcatagory, &Tchat::pickcatagory},
    {cmd::myguessed, &Tchat::myguessed},
    {cmd::passed, &Tchat::passed},
    {cmd::refreshplayerlist, nullptr, &PlayerGame::refreshplayerlist},
    {cmd::havewrongversion, &Tchat::havewrongversion},
    {cmd::wrongversion, &Tchat::wrongversion},
    {cmd::justwatching, nullptr, &PlayerGame::justwatching},
    {cmd::teamscore, nullptr, &PlayerGame::teamscore},
    {cmd::gamestats, nullptr, &PlayerGame::gamestats},
    {cmd::veryclose, &Tchat::veryclose},
    {cmd::playasound, &Tchat::playasound},
    {cmd::updatetime, &Tchat::updatetime},
};

} // namespace

void Tchat::sockRead(TSock *sender, qsizetype)
{
    if (wire::receive(*sender, receivedlist, 0) > 0)
        queueTimer->wake();
}

void Tchat::drainQueue()
{
    QElapsedTimer work;
    work.start();
    processsocktimer();
    // A backlog goes faster than one message a tick; each message still ends on its own error.
    while (!closing && drainburst::more(receivedlist.size(), work.nsecsElapsed()))
        guard([this] { processsocktimer(); });
}

void Tchat::processsocktimer()
{
    const QueuedMessage m = receivedlist.take();
    const CommandText c = splitCommand(m.text);
    if (c.word.isEmpty())
        return;
    for (const Route &r : routes) {
        if (r.word == c.word) {
            if (r.gamehandler)
                (game->*r.gamehandler)(c.rest);
            else
                (this->*r.handler)(c.rest);
            return;
        }
    }
}

void Tchat::sendtohost(const QString &text)
{
    wire::send(sock, text);
}

void Tchat::sendloginfo(const QString &rest)
{
    game->mynumber = FieldReader(rest).restInt();
    game->loggedin = true;
    // From here on a turn without a pick before it is one this copy joined in the middle of.
    game->pickseen = false;
    limitchatline();
    sendtohost(cmd::buildLogininfo(game->mynumber, cmd::versionText, text::wireSafe(game->loginname)));
    // Number 1 carries the hosting player's say on the host, also when no copy hosts.
    actashost();
}

void Tchat::newplayerinfo(const QString &rest)
{
    FieldReader f(rest);
    const int number = f.nextInt();
    const QString name = f.rest();
    if (number == game->mynumber) {
        addlinetochat(QStringLiteral("0+You are Connected."), systemcolour);
        loadinifile();
    } else {
        addlinetochat(QStringLiteral("0+") + name + QStringLiteral(" is Connected."), systemcolour);
    }
    if (number > 10) {
        game->spyarrived(number, name);
        if (number == game->mynumber)
            addlinetochat(QStringLiteral("0+You are spying."), systemcolour);
        else
            addlinetochat(QStringLiteral("0+") + name + QStringLiteral(" is spying."), systemcolour);
    } else if (number >= 1) {
        game->seatarrived(number, name);
        actashost();
    }
    eventcue(QStringLiteral("entered"));
}

void Tchat::playerdisconnected(const QString &rest)
{
    FieldReader f(rest);
    const int number = f.nextInt();
    const QString name = f.rest();
    if (number == game->mynumber) {
        leftgame(QStringLiteral("You were removed from the game."));
        return;
    }
    if (number >= 1 && number <= 10) {
        // The name comes from the panel: a seat that is already empty adds no line.
        const QString shown = game->seatname(number);
        if (shown != PlayerGame::waiting)
            addlinetochat(QStringLiteral("0+") + shown + QStringLiteral(" disconnected."), systemcolour);
        game->seatleft(number);
        actashost();
    }
    if (game->spyleft(number, name))
        addlinetochat(QStringLiteral("0+") + name + QStringLiteral(" has left."), systemcolour);
}

void Tchat::leftgame(const QString &why)
{
    if (game->gameleft)
        return;
    game->gameleft = true;
    game->loggedin = false;
    game->drawernumber = 0;
    strokesender->drop();
    game->turnClock->stop();
    addlinetochat(QStringLiteral("0+") + why +
                      QStringLiteral(" Use File / Host a Game... or Join a Game... to play again."),
                  systemcolour);
    QString reason = why;
    if (reason.endsWith(QLatin1Char('.')))
        reason.chop(1);
    setWindowTitle(title + QStringLiteral(" - ") + reason);
    // What needs the game: starting, the turn's controls, chat and phrases, watching, removals.
    game->amhost = false;
    button_start->hide();
    startGameAction->setEnabled(false);
    justWatchAction->setEnabled(false);
    panel_pickcatagory->hide();
    panel_toolbar->hide();
    panel_answer->hide();
    button_pass->hide();
    chatpane->mychat->setEnabled(false);
    chatpane->phraserow->setEnabled(false);
    chatpane->button_smilies->setEnabled(false);
    chatpane->b_phrase10->setEnabled(false);
    if (spylist)
        spylist->popup_kickhim->setEnabled(false);
}

void Tchat::gamefull(const QString &)
{
    // The box does not block the queue. The window stays after it, so the player can try another
    // game.
    if (fullbox)
        return;
    joinfailed(QStringLiteral("The game is full."));
    fullbox = new QMessageBox(QMessageBox::Information, errorbox::title(), QStringLiteral("Game is full"),
                              QMessageBox::Ok, this);
    fullbox->setAttribute(Qt::WA_DeleteOnClose);
    fullbox->open();
}

void Tchat::havewrongversion(const QString &rest)
{
    addlinetochat(QStringLiteral("0+") + rest +
                      QStringLiteral(" has a different version of the game then you."),
                  bluecolour);
}

void Tchat::wrongversion(const QString &)
{
    addlinetochat(QStringLiteral("0+You have a different version of the game then the host."), bluecolour);
}
