#pragma once

#include <QtGlobal>

// What one connection may have the host handle and pass on to everybody: a bucket of messages and
// a bucket of characters, each filling at a steady rate up to its burst. A drawer's pen (a batch
// every 40 ms) stays far below the rates, and an undo that sends a whole long turn again at once
// (some 2,000 full batches) fits in the bursts. No sockets, no clock of its own.
struct RelayLimits
{
    double burstmessages = 5000;
    double burstchars = 2'000'000;
    double messagespersecond = 250;
    double charspersecond = 100'000;
};

class RelayBudget
{
public:
    // Starts full at the given time.
    RelayBudget(const RelayLimits &limits, qint64 nowMs);
    // Takes one message of `chars` characters from the budget at the given time, if it holds it;
    // otherwise takes nothing.
    bool spend(qint64 nowMs, qsizetype chars);

private:
    RelayLimits limits;
    double messages;
    double chars;
    qint64 last;
};
