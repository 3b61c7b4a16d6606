#pragma once

#include "protocol/receivequeue.h"

#include <QHash>
#include <deque>
#include <functional>

// The host's queue of received requests. Each connection has its own line of messages, kept in
// arrival order; the messages are handed out one at a time, taking the connections that have
// something waiting in turn, so a connection that sends a great deal holds up nobody but itself.
class FairQueue
{
public:
    void push(QueuedMessage m);
    // The next message in turn; an empty entry when there is none. A connection whose next message
    // `may` does not let through now is passed over and keeps its place and its messages.
    QueuedMessage take(const std::function<bool(const QueuedMessage &)> &may = {});
    bool isEmpty() const { return turn.empty(); }
    // Messages waiting, in all and from one connection; characters of text waiting in all.
    qsizetype size() const { return count; }
    qsizetype queued(quint64 connection) const;
    qsizetype chars() const { return total; }
    qsizetype queuedchars(quint64 connection) const;
    // Connections that have messages waiting.
    qsizetype connections() const { return lines.size(); }
    // The connection with the most text waiting; 0 when nothing waits.
    quint64 heaviest() const;
    // Forgets everything waiting from a connection.
    void drop(quint64 connection);
    void clear();

private:
    struct Line
    {
        std::deque<QueuedMessage> items;
        qsizetype chars = 0;
    };
    QHash<quint64, Line> lines;
    // The connections with messages waiting, the one to serve next first.
    std::deque<quint64> turn;
    qsizetype count = 0;
    qsizetype total = 0;
};
