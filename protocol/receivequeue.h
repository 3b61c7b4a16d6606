#pragma once

#include <QString>
#include <deque>

// One side's queue of received messages (`receivedlist`), oldest first. Each entry remembers the
// connection it came from, so the host can tell who really sent a request.
struct QueuedMessage
{
    QString text;
    int slot = 0;           // the connection's slot on the host; 0 on the player side
    quint64 connection = 0; // serial number of the connection it arrived on
};

class ReceiveQueue
{
public:
    void push(QueuedMessage m) { items.push_back(std::move(m)); }
    // The first entry, removed; an empty entry when there is none.
    QueuedMessage take();
    bool isEmpty() const { return items.empty(); }
    qsizetype size() const { return qsizetype(items.size()); }
    void clear() { items.clear(); }

private:
    std::deque<QueuedMessage> items;
};

// A message cut at its first "+": the command word and everything after that "+".
struct CommandText
{
    QString word;
    QString rest;
};
// A text without "+" gives an empty word (and is dropped by both sides).
CommandText splitCommand(const QString &text);
