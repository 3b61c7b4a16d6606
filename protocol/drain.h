#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

// The rhythm of a receive queue's drain: one tick per interval while there is work, asleep when
// there is none. New data wakes it, and the first message of a burst is taken at once.
class DrainTimer : public QObject
{
    Q_OBJECT
public:
    DrainTimer(int intervalMs, std::function<void()> tick, std::function<bool()> hasWork,
               QObject *parent = nullptr);

    // Something arrived (or other work began): make sure the ticks run.
    void wake();
    bool isActive() const { return timer.isActive(); }
    int interval() const { return timer.interval(); }

private:
    void fire();
    QTimer timer;
    bool immediatePending = false;
    std::function<void()> onTick;
    std::function<bool()> busy;
};
