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

QueuedMessage FairQueue::take()
{
    if (turn.empty())
        return {};
    const quint64 connection = turn.front();
    turn.pop_front();
    const auto it = lines.find(connection);
    Line &line = it.value();
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

qsizetype FairQueue::queued(quint64 connection) const
{
    const auto it = lines.constFind(connection);
    return it == lines.cend() ? 0 : qsizetype(it->items.size());
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
