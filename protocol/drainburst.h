#pragma once

#include <QtGlobal>

// A drain takes one message a tick. When a backlog waits (a late joiner's drawing history, a
// drawer's undo, a burst after a stall), one tick goes on with the next messages, in order, as
// long as more than `backlog` wait and the tick has worked less than its budget, so a long
// history is handled quickly while input, painting, sockets and timers still get their turn
// between ticks.
namespace drainburst {

constexpr qsizetype backlog = 8;
// The player's budget: most of a 10 ms tick, so a history of thousands of strokes is drawn within
// about a second, and the window still answers input within a tick.
constexpr qint64 budgetNs = 8'000'000;
// The host's budget: it serves every connection's sockets, so it leaves more of each tick free.
constexpr qint64 hostBudgetNs = 4'000'000;

// Whether the tick takes one more message, with `waiting` messages queued and `workedNs` spent.
constexpr bool more(qsizetype waiting, qint64 workedNs, qint64 budget = budgetNs)
{
    return waiting > backlog && workedNs < budget;
}

} // namespace drainburst
