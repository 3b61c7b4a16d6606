#pragma once

#include "host/seat.h"

class QTcpSocket;

// A seat on the page's WebSocket: one message per text frame, in UTF-8, without the end marker.
// Text is turned into the wire's code page as it arrives (characters the code page lacks become
// "?") and back as it leaves, so the host handles the same messages as from a game connection.
// The seat speaks the WebSocket protocol itself on the connection, so every byte it holds for it
// is counted: unread answers, pongs and close frames included, what waits to be read, and a message
// arriving in pieces.
class WebSeat : public Seat
{
    Q_OBJECT
public:
    // The seat takes the socket over, its handshake answered; `early` came after the handshake.
    WebSeat(QTcpSocket *socket, const QByteArray &early, QObject *parent = nullptr);
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
    // A connection that makes the host hold more than this for it is let go, as a game connection
    // that leaves too much unread is.
    static constexpr qint64 maxHeld = 8 * 1024 * 1024;
    // Bytes the host holds for the connection now.
    qint64 held() const;

private:
    void readFrames();
    bool frame(quint8 op, bool fin, const QByteArray &payload);
    void received(const QByteArray &utf8);
    void fail(quint16 code);
    void checkHeld();
    void end();
    QTcpSocket *socket;
    quint64 number;
    QStringList waiting;
    // Bytes read and not yet taken as frames, from `from` on; a text message so far.
    QByteArray in;
    qsizetype from = 0;
    QByteArray message;
    bool inMessage = false;
    bool ended = false;
};
