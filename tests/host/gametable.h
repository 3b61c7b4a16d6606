#pragma once

// The host's game with no server: what it sends is recorded per connection, a hang-up comes back
// as that connection's departure at once, and the clock is ticked by hand.

#include "host/hostgame.h"
#include "hostgameprobe.h"
#include "platform/errors.h"
#include "protocol/commands.h"
#include "tests/support/textsupport.h"

#include <QStringList>
#include <QTest>
#include <memory>
#include <vector>

// One connection as the game knows it, and everything it was sent.
struct Client
{
    int slot = 0;
    quint64 connection = 0;
    QStringList got;
    bool closed = false;
    QStringList take()
    {
        QStringList out;
        out.swap(got);
        return out;
    }
};

class GameHost : public HostOutbox
{
public:
    GameHost()
    {
        errorbox::setHook([this](const QString &text) { boxes.append(text); });
        game.seed(7);
    }
    ~GameHost() override { errorbox::setHook(nullptr); }

    // A new connection and the slot it is given (0 when the table is full).
    Client *connect()
    {
        Client *c = clients.emplace_back(std::make_unique<Client>()).get();
        c->connection = ++serials;
        c->slot = game.freeslot();
        if (c->slot != 0)
            game.join(c->slot, c->connection);
        else
            c->closed = true;
        return c;
    }
    // A connection that logs in with the given name; what everybody received up to then is dropped.
    Client *join(const QString &name, const QString &version = cmd::versionText)
    {
        Client *c = connect();
        request(c, cmd::buildLogininfo(c->slot, version, name));
        takeAll();
        return c;
    }
    // A request from a connection, handled.
    void request(Client *c, const QString &text) { game.receive({text, c->slot, c->connection}); }
    // The connection ends from the player's side.
    void disconnect(Client *c)
    {
        if (!std::exchange(c->closed, true))
            game.leave(c->slot, c->connection);
    }
    // The connection in a slot is closed by the host.
    void close(int slot) { hangup(slot); }
    void tick(int seconds = 1)
    {
        for (int i = 0; i < seconds; ++i)
            game.tick();
    }
    void takeAll()
    {
        for (auto &c : clients)
            c->take();
    }
    tplayer &seat(int slot) { return HostGameProbe::player(game, slot); }
    void findplayer() { HostGameProbe::findplayer(game); }

    HostGame game{*this};
    std::vector<std::unique_ptr<Client>> clients;
    QStringList notes;
    QStringList boxes;

protected:
    // The open connection that holds a slot.
    Client *holder(int slot)
    {
        for (auto &c : clients)
            if (!c->closed && c->slot == slot && c->connection == game.player(slot).connection)
                return c.get();
        return nullptr;
    }
    void sendto(int slot, const QString &text) override
    {
        if (Client *c = game.inuse(slot) ? holder(slot) : nullptr)
            c->got.append(text);
    }
    void sendtoothers(int slot, const QString &text) override
    {
        for (int i = 1; i <= HostGame::maxslot; ++i)
            if (i != slot)
                sendto(i, text);
    }
    void sendtoall(const QString &text) override { sendtoothers(0, text); }
    void hangup(int slot) override
    {
        if (Client *c = game.inuse(slot) ? holder(slot) : nullptr)
            disconnect(c);
    }
    void note(const QString &line) override { notes.append(line); }
    void runclock(bool) override {}

private:
    quint64 serials = 100;
};
