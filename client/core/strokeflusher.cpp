#include "client/core/strokeflusher.h"

#include <algorithm>

StrokeFlusher::StrokeFlusher(std::function<void()> flush, QObject *parent)
    : QObject(parent), onFlush(std::move(flush))
{
    steady.start();
    clock = [this] { return steady.elapsed(); };
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    connect(&timer, &QTimer::timeout, this, &StrokeFlusher::timerTick);
}

void StrokeFlusher::sent()
{
    rule.sent(clock());
    timer.stop();
}

bool StrokeFlusher::pointAdded()
{
    if (!enabled)
        return false;
    if (rule.pointAdded(clock()))
        return true;
    if (!timer.isActive())
        arm();
    return false;
}

void StrokeFlusher::stop()
{
    rule.stop();
    timer.stop();
}

void StrokeFlusher::timerTick()
{
    if (!enabled || !rule.pointsWait())
        return;
    if (rule.wait(clock()) == 0)
        onFlush();
    else
        arm();
}

void StrokeFlusher::arm()
{
    timer.start(int(std::max<qint64>(1, rule.wait(clock()))));
}
