#pragma once

#include "protocol/drain.h"
#include "protocol/receivequeue.h"
#include "protocol/tsock.h"

#include <QWidget>
#include <array>

// One record of the host's player table; slots 1..15 are used, 0 never is.
struct tplayer
{
    bool inuse = false;
    TSock *sock = nullptr;
    QString name;
    int score = 0;
    bool watching = false;
};

// The hidden host window: the single authority of the game. Never shown.
class TServer : public QWidget
{
    Q_OBJECT
public:
    explicit TServer(QWidget *parent = nullptr);
    ~TServer() override;

    // Sockets: the listener and the carrier of the player sockets' handlers.
    TSock Sock1;
    TSock tempsock;

    std::array<tplayer, 16> playertable{};
    int highslot = 15;
    ReceiveQueue receivedlist;
    DrainTimer *socktimer = nullptr;

    // Set by the main window when the program started without parameters.
    bool sologame = false;

    // Socket handlers.
    void Sock1Read(TSock *sender, qsizetype count);
    void Sock1Accept(TSock *sender);
    void tempsockDisconnect(TSock *sender);
    void tempsockInfo(TSock *sender, TSock::TSocketInfo info, const QString &msg);

    // One message off the queue, dispatched.
    void socktimerTimer();

    // Sending.
    void sendto(int slot, const QString &text);
    void sendtoall(const QString &text);

    // Handlers.
    void receivedlogininfo(const QueuedMessage &m, const QString &rest);
};
