#pragma once

#include <QtGlobal>
#include <algorithm>

// When the points of a stroke whose button is still held leave before their batch is full.
// While the button is held, two stroke messages of one drawer are at least `interval`
// milliseconds apart (its start, a full batch, or an earlier flush), so a drawer sends at most 60
// a second, and no point waits longer than `interval`. A point that comes when the last message
// is that old leaves at once, taking the waiting ones along: a pointer moving at 100 events a
// second sends every second event with the one before it, and one that rests sends each point as
// it comes. Points that are still waiting leave `interval` after the oldest of them came. Only a
// full batch (101 points within the interval) and the stroke's end do not wait. Times are
// milliseconds of one steady clock.
class StrokeFlush
{
public:
    // A sixtieth of a second, rounded up.
    static constexpr qint64 interval = 17;
    // The interval in force; benchmarks set 0 to send every point at once.
    qint64 every = interval;

    // A message of the stroke left at `now`: nothing waits.
    void sent(qint64 now)
    {
        lastsent = now;
        waiting = false;
    }
    // A point came at `now`: true when it should leave at once with any that wait. Otherwise it
    // waits, and the oldest waiting point sets when they all leave.
    bool pointAdded(qint64 now)
    {
        if (now - lastsent >= every)
            return true;
        if (!waiting)
            oldest = now;
        waiting = true;
        return false;
    }
    // Milliseconds until the waiting points are due; 0 when they are due already (or none wait).
    qint64 wait(qint64 now) const { return waiting ? std::max<qint64>(0, oldest + every - now) : 0; }
    bool pointsWait() const { return waiting; }
    // The stroke ended or was dropped: nothing waits.
    void stop() { waiting = false; }

private:
    qint64 lastsent = 0;
    qint64 oldest = 0;
    bool waiting = false;
};
