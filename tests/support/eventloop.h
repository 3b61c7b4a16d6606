#pragma once

// How well the event loop of the calling thread keeps turning.

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>

namespace testsupport {

// The longest the loop went without turning while this watch lived, in ms: the widest gap between
// two ticks of a 5 ms beat, the one still open included.
class StallWatch
{
public:
    StallWatch()
    {
        gap.start();
        QObject::connect(&beat, &QTimer::timeout, [this] { worst_ = std::max(worst_, gap.restart()); });
        beat.start(5);
    }
    qint64 worst() const { return std::max(worst_, gap.elapsed()); }

private:
    QTimer beat;
    QElapsedTimer gap;
    qint64 worst_ = 0;
};

} // namespace testsupport
