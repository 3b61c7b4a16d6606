#pragma once

#include <QtGlobal>

// A player's drain takes one message a tick. When a backlog waits (a late joiner's drawing
// history, a burst after a stall), one tick goes on with the next messages, in order, as long
// as more than `backlog` wait and the tick has worked less than `budgetNs`, so a long history is
// drawn quickly while input and painting still get their turn between ticks.
namespace drainburst {

constexpr qsizetype backlog = 8;
constexpr qint64 budgetNs = 4'000'000;

// Whether the tick takes one more message, with `waiting` messages queued and `workedNs` spent.
constexpr bool more(qsizetype waiting, qint64 workedNs)
{
    return waiting > backlog && workedNs < budgetNs;
}

} // namespace drainburst
