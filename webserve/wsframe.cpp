#include "webserve/wsframe.h"

namespace wsframe {

QByteArray frame(Op op, QByteArrayView payload)
{
    QByteArray out;
    out.reserve(payload.size() + 10);
    out += char(0x80 | op);
    const quint64 n = quint64(payload.size());
    if (n < 126) {
        out += char(n);
    } else if (n <= 0xFFFF) {
        out += char(126);
        out += char(n >> 8);
        out += char(n & 0xFF);
    } else {
        out += char(127);
        for (int shift = 56; shift >= 0; shift -= 8)
            out += char((n >> shift) & 0xFF);
    }
    out += payload;
    return out;
}

QByteArray closeFrame(Code code)
{
    const char bytes[2] = {char(code >> 8), char(code & 0xFF)};
    return frame(Close, QByteArrayView(bytes, 2));
}

Read read(QByteArrayView bytes, quint64 maxPayload, Frame &out, qsizetype &used)
{
    if (bytes.size() < 2)
        return Read::Incomplete;
    const auto b0 = quint8(bytes[0]);
    const auto b1 = quint8(bytes[1]);
    const quint8 op = b0 & 0x0F;
    const bool control = op & 0x8;
    if ((b0 & 0x70) || !(op <= Binary || (op >= Close && op <= Pong)))
        return Read::Bad;
    if (!(b1 & 0x80))
        return Read::Unmasked;
    quint64 length = b1 & 0x7F;
    qsizetype at = 2;
    if (control && (length > 125 || !(b0 & 0x80)))
        return Read::Bad;
    if (length == 126 || length == 127) {
        const qsizetype extra = length == 126 ? 2 : 8;
        if (bytes.size() < at + extra)
            return Read::Incomplete;
        length = 0;
        for (qsizetype i = 0; i < extra; ++i)
            length = (length << 8) | quint8(bytes[at + i]);
        at += extra;
    }
    if (length > maxPayload)
        return Read::TooLarge;
    if (quint64(bytes.size() - at) < 4 + length)
        return Read::Incomplete;
    const char *mask = bytes.data() + at;
    at += 4;
    out.fin = b0 & 0x80;
    out.op = op;
    out.payload = bytes.sliced(at, qsizetype(length)).toByteArray();
    char *p = out.payload.data();
    for (qsizetype i = 0; i < out.payload.size(); ++i)
        p[i] ^= mask[i & 3];
    used = at + qsizetype(length);
    return Read::Complete;
}

} // namespace wsframe
