#pragma once

#include "client/core/strokeflush.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

// Drives the flush of a held stroke: the drawer's move events ask whether their point should
// leave at once, and a single-shot timer, armed only while points wait, sends the rest when the
// pointer rests. No timer runs between strokes or while nothing waits.
class StrokeFlusher : public QObject
{
    Q_OBJECT
public:
    // `flush` sends the waiting points (and reports the send through sent()).
    explicit StrokeFlusher(std::function<void()> flush, QObject *parent = nullptr);

    // Off: points wait for their full batch or the end of the stroke, as before.
    bool enabled = true;
    // Steady milliseconds; tests replace it.
    std::function<qint64()> clock;

    // A message of the stroke left: nothing waits any more.
    void sent();
    // A point was added to the waiting ones: true when they should leave now. Otherwise the
    // timer is armed for the moment they will be due.
    bool pointAdded();
    // The stroke ended or was dropped.
    void stop();
    bool armed() const { return timer.isActive(); }
    // Milliseconds between a stroke's messages while its points wait; 0 sends every point at once.
    void setInterval(qint64 ms) { rule.every = ms; }
    // The timer's tick: sends the waiting points when they are due, else waits on.
    void timerTick();

private:
    void arm();
    StrokeFlush rule;
    QTimer timer;
    QElapsedTimer steady;
    std::function<void()> onFlush;
};
