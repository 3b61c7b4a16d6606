#pragma once

// Puts a player's game in a state for a test without playing up to it: the fields as the host's
// messages would have left them, without what those messages show or send.

#include "client/core/playergame.h"

struct PlayerGameSetup
{
    static auto &state(PlayerGame &g) { return g.st; }
    static void restartclock(PlayerGame &g, turnclock::Mode mode, int seconds)
    {
        g.restartclock(mode, seconds);
    }
};

inline auto &arrange(PlayerGame &g)
{
    return PlayerGameSetup::state(g);
}
inline auto &arrange(PlayerGame *g)
{
    return PlayerGameSetup::state(*g);
}
