#pragma once

#include <QEvent>
#include <QObject>
#include <functional>

// Passes the events of the objects it watches to a callback; it never consumes them.
class EventHook : public QObject
{
    Q_OBJECT
public:
    EventHook(QObject *parent, std::function<void(QObject *watched, QEvent *event)> callback)
        : QObject(parent), onEvent(std::move(callback))
    {
    }
    void watch(QObject *o) { o->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        onEvent(watched, event);
        return false;
    }

private:
    std::function<void(QObject *, QEvent *)> onEvent;
};
