#pragma once

#include "host/hostgame.h"

// The tests' way into the game, to set up a situation without playing up to it.
struct HostGameProbe
{
    static tplayer &player(HostGame &g, int slot) { return g.playertable[size_t(slot)]; }
    static void setdrawer(HostGame &g, int slot) { g.curdrawer = slot; }
    static void setphase(HostGame &g, HostGame::Phase phase) { g.state = phase; }
    static void setcategory(HostGame &g, int category) { g.curcategory = category; }
    static void setplayto(HostGame &g, int score) { g.winscore = score; }
    static void setmask(HostGame &g, const QString &mask) { g.themask = mask; }
    // The drawing history of the turn, as if these strokes had been drawn.
    static void sethistory(HostGame &g, const QStringList &lines)
    {
        g.clearhistory();
        for (const QString &line : lines)
            g.storestroke(line);
    }
    static void findplayer(HostGame &g) { g.findplayer(); }
    static void stopgame(HostGame &g) { g.stopgame(); }
};
