#include "protocol/receivequeue.h"

QueuedMessage ReceiveQueue::take()
{
    if (items.empty())
        return {};
    QueuedMessage m = std::move(items.front());
    items.pop_front();
    return m;
}

CommandText splitCommand(const QString &text)
{
    const qsizetype plus = text.indexOf(QLatin1Char('+'));
    if (plus < 0)
        return {};
    return {text.left(plus), text.mid(plus + 1)};
}
