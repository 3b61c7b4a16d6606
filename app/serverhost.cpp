#include "app/serverhost.h"

#include "host/tserver.h"
#include "lan/lan.h"
#include "webserve/webserver.h"

ServerHost::ServerHost(TServer &server) : server(server) {}

ServerHost::~ServerHost() = default;

void ServerHost::setsolo()
{
    server.game().setsologame(true);
}

void ServerHost::listen()
{
    try {
        server.listener.setListen(true);
    } catch (...) {
        if (onListenFailed)
            onListenFailed();
        throw;
    }
    if (webport == 0 || webserver)
        return;
    webserver = std::make_unique<WebServer>();
    webserver->onseat = [host = &server](Seat *seat) { host->admit(seat); };
    for (const QString &name : std::as_const(webnames))
        webserver->allowName(name);
    if (!webserver->listen(webport)) {
        webserver.reset();
        if (onWebFailed)
            onWebFailed();
    }
}

void ServerHost::allowWebName(const QString &name)
{
    if (!webnames.contains(name))
        webnames.append(name);
    if (webserver)
        webserver->allowName(name);
}

void ServerHost::announce(const QString &playername)
{
    if (announcer)
        return;
    const quint16 port = sockets::lookupPort(server.listener.PortName);
    TServer *host = &server;
    announcer = std::make_unique<GameAnnouncer>(
        playername, port, [host](announce::Announcement &a) { host->game().describe(a); });
    announcer->start();
}
