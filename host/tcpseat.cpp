#include "host/tcpseat.h"

#include "protocol/cp1252.h"

TcpSeat::TcpSeat(TSock *socket, QObject *parent) : Seat(parent), sock(socket)
{
    sock->OnRead = [this](TSock *, qsizetype) { emit arrived(); };
    sock->OnWrite = nullptr;
    sock->OnDisconnect = nullptr;
    sock->OnInfo = [this](TSock *, TSock::TSocketInfo, const QString &msg) {
        // A close from either side, reported once however often the socket says it.
        if (msg != QLatin1String("Socket Closed") || ended)
            return;
        ended = true;
        emit gone();
    };
}

TcpSeat::~TcpSeat()
{
    if (!sock)
        return;
    sock->OnRead = nullptr;
    sock->OnInfo = nullptr;
    sock->deleteLater();
}

quint64 TcpSeat::serial() const
{
    return sock->serial();
}

void TcpSeat::send(const QByteArray &framed)
{
    sock->Send(framed);
}

QStringList TcpSeat::take()
{
    QByteArrayList messages;
    sock->reassembly.feed(sock->Receive(), messages);
    QStringList out;
    out.reserve(messages.size());
    for (const QByteArray &m : messages)
        out.append(cp1252::decode(m));
    return out;
}

void TcpSeat::close()
{
    sock->Close();
}
