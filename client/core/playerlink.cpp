#include "client/core/playerlink.h"

#include "platform/config.h"
#include "platform/errors.h"
#include "protocol/drainburst.h"
#include "protocol/wire.h"

#include <QElapsedTimer>

PlayerLink::PlayerLink(PlayerGame *game, QObject *parent) : QObject(parent), game(game)
{
    sock.PortName = config::gamePort();
    sock.OnRead = [this](TSock *s, qsizetype) { sockRead(s); };
    sock.OnInfo = [this](TSock *, TSock::TSocketInfo i, const QString &m) { sockInfo(i, m); };
    lobbyLink.HostName = QStringLiteral("127.0.0.1");
    lobbyLink.PortName = config::lobbyPort();
    queueTimer = new DrainTimer(
        1, [this] { guard([this] { drainQueue(); }); }, [this] { return !receivedlist.isEmpty(); }, this);
    game->setoutbox(this);
}

void PlayerLink::send(const QString &message)
{
    wire::send(sock, message);
}

void PlayerLink::openlobbylink()
{
    try {
        lobbyLink.Open();
    } catch (const EError &) {
    }
}

void PlayerLink::stop()
{
    halted = true;
    game->stopclock();
}

void PlayerLink::sockRead(TSock *sender)
{
    if (wire::receive(*sender, receivedlist, 0) > 0)
        queueTimer->wake();
}

void PlayerLink::drainQueue()
{
    QElapsedTimer work;
    work.start();
    processsocktimer();
    // A backlog goes faster than one message a tick; each message still ends on its own error.
    while (!halted && drainburst::more(receivedlist.size(), work.nsecsElapsed()))
        guard([this] { processsocktimer(); });
}

void PlayerLink::processsocktimer()
{
    game->handle(receivedlist.take().text);
}

void PlayerLink::sockInfo(TSock::TSocketInfo info, const QString &msg)
{
    // A connect that fails reports an error while the socket is not connected; errors of an
    // established connection come before its close.
    if (info == TSock::siError && !sock.Connected() && !game->loggedin()) {
        emit connectFailed(msg);
        return;
    }
    if (info == TSock::siError)
        game->connectionerror();
    if (msg != QLatin1String("Socket Closed"))
        return;
    // What arrived before the close is handled first: a host that is full says so and hangs up
    // at once, and its refusal must still be read; so is the host's word that this player was
    // removed.
    while (!receivedlist.isEmpty() && !halted)
        guard([this] { processsocktimer(); });
    if (!halted)
        emit hostClosed();
}
