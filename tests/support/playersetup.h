#pragma once

// Puts a player's game in a state the way a game does: by playing it the host's messages, in
// order ("CMD_sendlogininfo+4", "CMD_pickcatagory+4", ...).

#include "client/core/playergame.h"

#include <QStringList>
#include <initializer_list>

// What a game sent, message by message.
struct Sent : Outbox
{
    QStringList messages;
    void send(const QString &message) override { messages << message; }
};

// A window's game that has no connection to answer the host through: what it sends from here on
// (the login's answer, requests) goes nowhere.
inline void unplug(PlayerGame *g)
{
    static Sent nowhere;
    nowhere.messages.clear();
    g->setoutbox(&nowhere);
}

inline void play(PlayerGame &g, const QStringList &messages)
{
    for (const QString &m : messages)
        g.handle(m);
}
inline void play(PlayerGame &g, std::initializer_list<const char *> messages)
{
    for (const char *m : messages)
        g.handle(QLatin1String(m));
}
inline void play(PlayerGame *g, const QStringList &messages)
{
    play(*g, messages);
}
inline void play(PlayerGame *g, std::initializer_list<const char *> messages)
{
    play(*g, messages);
}
