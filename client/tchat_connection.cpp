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
    {cmd::sendlogininfo, nullptr, &PlayerGame::sendloginfo},
    {cmd::chat, nullptr, &PlayerGame::chatrecieved},
    {cmd::action, nullptr, &PlayerGame::chatrecieved},
    {cmd::newplayerinfo, nullptr, &PlayerGame::newplayerinfo},
    {cmd::existingplayers, nullptr, &PlayerGame::newplayerinfo},
    {cmd::playerdisconnected, nullptr, &PlayerGame::playerdisconnected},
    {cmd::startgame, nullptr, &PlayerGame::startthegame},
    {cmd::nextplayer, nullptr, &PlayerGame::getnextplayer},
    {cmd::winner, nullptr, &PlayerGame::winner},
    {cmd::full, &Tchat::gamefull},
    {cmd::draw, nullptr, &PlayerGame::drawit},
    {cmd::moveit, nullptr, &PlayerGame::moveit},
    {cmd::clearmain, nullptr, &PlayerGame::clearmain},
    {cmd::correctanswer, nullptr, &PlayerGame::correctanswer},
    {cmd::updateanswer, nullptr, &PlayerGame::updateanswer},
    {cmd::givedraweranswer, nullptr, &PlayerGame::givedraweranswer},
    {cmd::guessed, nullptr, &PlayerGame::guessed},
    {cmd::pickcatagory, nullptr, &PlayerGame::pickcatagory},
    {cmd::myguessed, nullptr, &PlayerGame::myguessed},
    {cmd::passed, nullptr, &PlayerGame::passed},
    {cmd::refreshplayerlist, nullptr, &PlayerGame::refreshplayerlist},
    {cmd::havewrongversion, nullptr, &PlayerGame::havewrongversion},
    {cmd::wrongversion, nullptr, &PlayerGame::wrongversion},
    {cmd::justwatching, nullptr, &PlayerGame::justwatching},
    {cmd::teamscore, nullptr, &PlayerGame::teamscore},
    {cmd::gamestats, nullptr, &PlayerGame::gamestats},
    {cmd::veryclose, nullptr, &PlayerGame::veryclose},
    {cmd::playasound, nullptr, &PlayerGame::playasound},
    {cmd::updatetime, nullptr, &PlayerGame::updatetime},
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
    game->send(text);
}

void Tchat::leftgame(const QString &why)
{
    if (game->gameleft)
        return;
    game->leavegame(why);
    QString reason = why;
    if (reason.endsWith(QLatin1Char('.')))
        reason.chop(1);
    setWindowTitle(title + QStringLiteral(" - ") + reason);
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
