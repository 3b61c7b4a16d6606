#pragma once

#include <QByteArray>
#include <QByteArrayView>

// WebSocket frames as a server reads and writes them, without sockets.
namespace wsframe {

enum Op : quint8 { Continuation = 0x0, Text = 0x1, Binary = 0x2, Close = 0x8, Ping = 0x9, Pong = 0xA };

// Close codes the host sends.
enum Code : quint16 {
    Normal = 1000,
    GoingAway = 1001,
    ProtocolError = 1002,
    Unsupported = 1003,
    BadText = 1007,
    TooBig = 1009,
};

// A frame from the server: whole and unmasked.
QByteArray frame(Op op, QByteArrayView payload);
QByteArray closeFrame(Code code);

struct Frame
{
    bool fin = false;
    quint8 op = 0;
    QByteArray payload; // unmasked
};

enum class Read {
    Incomplete, // more bytes are needed
    Complete,
    Unmasked,   // a client's frames are masked; the connection must close
    TooLarge,   // the payload would be longer than allowed, known from the frame's first bytes
    Bad,        // reserved bits, an unknown opcode, a control frame in pieces or over 125 bytes
};

// Reads the client's frame at the start of `bytes`; `used` is its length when Complete. Whatever is
// wrong with the frame is known from its first bytes, before the payload has come.
Read read(QByteArrayView bytes, quint64 maxPayload, Frame &out, qsizetype &used);

} // namespace wsframe
