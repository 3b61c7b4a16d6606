#pragma once

#include <QString>

// The host this copy runs, as the player's side asks for it. The program provides it; a copy that
// only joins has none.
class LocalHost
{
public:
    virtual ~LocalHost() = default;
    // A game for this player alone.
    virtual void setsolo() = 0;
    // Opens the game port; raises the listener's error when it can't.
    virtual void listen() = 0;
    // Announces the hosted game on the local network under the player's name, once.
    virtual void announce(const QString &playername) = 0;
    virtual bool announcing() const = 0;
};
