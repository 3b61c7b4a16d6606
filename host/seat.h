#pragma once

#include <QByteArray>
#include <QObject>
#include <QStringList>

// One player's connection as the server sees it, whatever carries it. The server only sends the
// messages as they go on the wire, takes the messages that arrived, and hangs up; a seat reports
// when it has gone, once.
class Seat : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // A number no other connection of this process shares, for the fair queue.
    virtual quint64 serial() const = 0;
    // Messages as they go on the wire: each in the code page, followed by the end marker.
    virtual void send(const QByteArray &framed) = 0;
    // The messages that arrived complete since the last call, oldest first.
    virtual QStringList take() = 0;
    // Hangs up; gone() comes before it returns, unless it came already.
    virtual void close() = 0;

    // The slot the host has given the seat; 0 before that.
    int slot = 0;

signals:
    // Messages wait to be taken.
    void arrived();
    // The connection ended, from either side.
    void gone();
};
