#pragma once

#include "client/core/localhost.h"

#include <functional>
#include <memory>

class GameAnnouncer;
class TServer;

// The program's host as the player's window asks for it: the game port and the announcement.
class ServerHost : public LocalHost
{
public:
    explicit ServerHost(TServer &server);
    ~ServerHost() override;

    void setsolo() override;
    void listen() override;
    void announce(const QString &playername) override;
    bool announcing() const override { return announcer != nullptr; }

    // The game port could not be opened; called before the error goes on to the caller.
    std::function<void()> onListenFailed;

private:
    TServer &server;
    std::unique_ptr<GameAnnouncer> announcer;
};
