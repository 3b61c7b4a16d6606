#pragma once

#include <QtGlobal>

// When the points of a stroke whose button is still held leave before their batch is full:
// as soon as `interval` milliseconds have passed since the stroke's last message (its start, a
// full batch, or an earlier flush) and points are waiting. Times are milliseconds of one steady
// clock.
class StrokeFlush
{
public:
    static constexpr qint64 interval = 40;
    // The interval in force; benchmarks set 0 to send every point at once.
    qint64 every = interval;

    // A message of the stroke left at `now`.
    void sent(qint64 now) { lastsent = now; }
    // Points are waiting at `now`: true when they should leave at once.
    bool due(qint64 now) const { return now - lastsent >= every; }
    // Milliseconds until waiting points are due; 0 when they are due already.
    qint64 wait(qint64 now) const { return due(now) ? 0 : lastsent + every - now; }

private:
    qint64 lastsent = 0;
};
