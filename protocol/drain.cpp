#include "protocol/drain.h"

DrainTimer::DrainTimer(int intervalMs, std::function<void()> tick, std::function<bool()> hasWork,
                       QObject *parent)
    : QObject(parent), onTick(std::move(tick)), busy(std::move(hasWork))
{
    timer.setInterval(intervalMs);
    timer.setTimerType(Qt::PreciseTimer);
    connect(&timer, &QTimer::timeout, this, &DrainTimer::fire);
}

void DrainTimer::wake()
{
    if (timer.isActive())
        return;
    timer.start();
    if (!immediatePending) {
        immediatePending = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                immediatePending = false;
                if (timer.isActive()) {
                    timer.start(); // the next tick one interval after this one
                    fire();
                }
            },
            Qt::QueuedConnection);
    }
}

void DrainTimer::fire()
{
    onTick();
    if (!busy())
        timer.stop();
}
