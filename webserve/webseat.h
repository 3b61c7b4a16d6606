#pragma once

#include "host/seat.h"

class QWebSocket;

// A seat on the page's WebSocket: one message per text frame, in UTF-8, without the end marker.
// Text is turned into the wire's code page as it arrives (characters the code page lacks become
// "?") and back as it leaves, so the host handles the same messages as from a game connection.
class WebSeat : public Seat
{
    Q_OBJECT
public:
    // The seat takes the socket over.
    explicit WebSeat(QWebSocket *socket, QObject *parent = nullptr);
    ~WebSeat() override;

    quint64 serial() const override { return number; }
    void send(const QByteArray &framed) override;
    QStringList take() override;
    void close() override;
    // The host is going away: the page hears an orderly end (1001), not a dropped connection.
    // Nothing is reported; the seat stays until it is deleted.
    void goodbye();

    // A frame or message longer than this closes the connection (1009): a message of the wire's
    // longest, each character at most four bytes in UTF-8.
    static const quint64 maxFrame;
    // A peer that leaves more than this unread is let go, as on a game connection.
    static constexpr qint64 maxOutput = 8 * 1024 * 1024;

private:
    void received(const QString &text);
    void end();
    QWebSocket *socket;
    quint64 number;
    QStringList waiting;
    bool ended = false;
};
