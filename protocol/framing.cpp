#include "protocol/framing.h"

#include <cstring>

namespace framing {

void FrameBuffer::keep(const char *data, qsizetype size)
{
    const qsizetype room = maxMessage - buffer.size();
    if (room > 0)
        buffer.append(data, qMin(room, size));
}

void FrameBuffer::feed(const char *data, qsizetype size, QByteArrayList &out)
{
    const char *p = data;
    const char *end = data + size;
    while (p < end) {
        const auto *marker = static_cast<const char *>(std::memchr(p, endMarker, size_t(end - p)));
        if (!marker) {
            keep(p, end - p);
            return;
        }
        if (buffer.isEmpty()) {
            out.append(QByteArray(p, qMin<qsizetype>(marker - p, maxMessage)));
        } else {
            keep(p, marker - p);
            out.append(buffer);
            buffer.clear();
        }
        p = marker + 1;
    }
}

QByteArray frame(const QByteArray &text)
{
    QByteArray out;
    out.reserve(text.size() + 1);
    out.append(text);
    out.append(endMarker);
    return out;
}

} // namespace framing
