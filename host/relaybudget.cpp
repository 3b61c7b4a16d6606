#include "host/relaybudget.h"

#include <algorithm>

RelayBudget::RelayBudget(const RelayLimits &l, qint64 nowMs)
    : limits(l), messages(l.burstmessages), chars(l.burstchars), last(nowMs)
{
}

bool RelayBudget::spend(qint64 nowMs, qsizetype size)
{
    // A clock that went back gives nothing and takes nothing.
    const double seconds = double(std::max<qint64>(0, nowMs - last)) / 1000.0;
    last = std::max(last, nowMs);
    messages = std::min(limits.burstmessages, messages + seconds * limits.messagespersecond);
    chars = std::min(limits.burstchars, chars + seconds * limits.charspersecond);
    if (messages < 1 || chars < double(size))
        return false;
    messages -= 1;
    chars -= double(size);
    return true;
}
