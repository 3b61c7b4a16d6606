#pragma once

#include "client/core/playergame.h"
#include "protocol/drain.h"
#include "protocol/receivequeue.h"
#include "protocol/tsock.h"

#include <QObject>

// The player's connections: the game socket to the host and the silent lobby link. What arrives
// waits in the receive queue and is handed to the game one message a tick, faster in a backlog.
// Messages from the game leave through the game socket.
class PlayerLink : public QObject, public Outbox
{
    Q_OBJECT
public:
    explicit PlayerLink(PlayerGame *game, QObject *parent = nullptr);

    TSock sock;
    TSock lobbyLink;
    ReceiveQueue receivedlist;
    DrainTimer *queueTimer = nullptr;

    void send(const QString &message) override;
    // Opens the lobby link; one that can't open stays shut, as it carries nothing.
    void openlobbylink();
    // Hands the next waiting message to the game.
    void processsocktimer();
    // One tick of the drain: the next message, and more while a backlog waits.
    void drainQueue();
    // The window is closing: nothing more is handed on.
    void stop();
    bool stopped() const { return halted; }

signals:
    // A connect that failed, with the socket's error text.
    void connectFailed(const QString &error);
    // The host closed the connection; what arrived before the close has been handled.
    void hostClosed();

private:
    void sockRead(TSock *sender);
    void sockInfo(TSock::TSocketInfo info, const QString &msg);
    PlayerGame *game;
    bool halted = false;
};
