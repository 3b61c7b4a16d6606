#include "host/fairqueue.h"

#include <algorithm>

void FairQueue::push(QueuedMessage m)
{
    Line &line = lines[m.connection];
    if (line.items.empty())
        turn.push_back(m.connection);
    line.chars += m.text.size();
    total += m.text.size();
    ++count;
    line.items.push_back(std::move(m));
}

QueuedMessage FairQueue::take(const std::function<bool(const QueuedMessage &)> &may)
{
    for (auto at = turn.begin(); at != turn.end(); ++at) {
        const auto it = lines.find(*at);
        Line &line = it.value();
        if (may && !may(line.items.front()))
            continue;
        const quint64 connection = *at;
        turn.erase(at);
        QueuedMessage m = std::move(line.items.front());
        line.items.pop_front();
        line.chars -= m.text.size();
        total -= m.text.size();
        --count;
        if (line.items.empty())
            lines.erase(it);
        else
            turn.push_back(connection);
        return m;
    }
    return {};
}

qsizetype FairQueue::queued(quint64 connection) const
{
    const auto it = lines.constFind(connection);
    return it == lines.cend() ? 0 : qsizetype(it->items.size());
}

qsizetype FairQueue::queuedchars(quint64 connection) const
{
    const auto it = lines.constFind(connection);
    return it == lines.cend() ? 0 : it->chars;
}

quint64 FairQueue::heaviest() const
{
    quint64 found = 0;
    qsizetype most = -1;
    for (auto it = lines.cbegin(); it != lines.cend(); ++it) {
        if (it->chars > most) {
            most = it->chars;
            found = it.key();
        }
    }
    return found;
}

void FairQueue::drop(quint64 connection)
{
    const auto it = lines.find(connection);
    if (it == lines.end())
        return;
    total -= it->chars;
    count -= qsizetype(it->items.size());
    lines.erase(it);
    turn.erase(std::remove(turn.begin(), turn.end(), connection), turn.end());
}

void FairQueue::clear()
{
    lines.clear();
    turn.clear();
    count = 0;
    total = 0;
}
