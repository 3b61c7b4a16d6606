#include "protocol/wire.h"

#include "protocol/cp1252.h"
#include "protocol/framing.h"
#include "protocol/tsock.h"

namespace wire {

void send(TSock &sock, const QString &text)
{
    sock.Send(framing::frame(cp1252::encode(text)));
}

int receive(TSock &sock, ReceiveQueue &queue, int slot)
{
    QByteArrayList messages;
    sock.reassembly.feed(sock.Receive(), messages);
    for (const QByteArray &m : messages)
        queue.push({cp1252::decode(m), slot, sock.serial()});
    return int(messages.size());
}

} // namespace wire
