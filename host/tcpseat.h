#pragma once

#include "host/seat.h"
#include "protocol/tsock.h"

#include <QPointer>

// A seat on a game connection (TCP): the connection's bytes cut into messages at the end
// markers. The socket stays a child of its listener and goes with the seat.
class TcpSeat : public Seat
{
    Q_OBJECT
public:
    TcpSeat(TSock *sock, QObject *parent = nullptr);
    ~TcpSeat() override;

    quint64 serial() const override;
    void send(const QByteArray &framed) override;
    QStringList take() override;
    void close() override;

    // Gone before the seat when the listener goes first.
    const QPointer<TSock> sock;

private:
    bool ended = false;
};
