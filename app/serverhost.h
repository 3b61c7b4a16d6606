#pragma once

#include "client/core/localhost.h"

#include <QStringList>
#include <functional>
#include <memory>

class GameAnnouncer;
class TServer;
class WebServer;

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

    // The web port, where browsers join the game; 0 serves no page.
    quint16 webport = 0;
    // The web port could not be opened; the game goes on without it.
    std::function<void()> onWebFailed;
    // The page's server while it listens; else null.
    const WebServer *web() const { return webserver.get(); }
    // An address players were given besides this machine's own (the router's external one): the
    // page answers requests that name it.
    void allowWebName(const QString &name);

private:
    TServer &server;
    std::unique_ptr<GameAnnouncer> announcer;
    std::unique_ptr<WebServer> webserver;
    QStringList webnames;
};
