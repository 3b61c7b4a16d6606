#pragma once

#include "client/tchat.h"
#include "platform/errors.h"
#include "tests/support/tchatui.h"

// Puts host messages into a player's queue and handles them one per tick, as queueTimer does.
inline void feed(Tchat &t, const QString &message)
{
    t.link()->receivedlist.push({message, 0, 0});
    guard([&t] { t.link()->drainQueue(); });
}
