#pragma once

#include <QByteArray>
#include <QByteArrayList>

namespace framing {

constexpr char endMarker = char(0xFF);
constexpr qsizetype maxMessage = 4096;

// Reassembly buffer of one connection: bytes after the last end marker wait here for the rest of
// their message. A message longer than 4096 characters is cut to its first 4096 as it arrives,
// so a peer that never sends the marker cannot grow it.
class FrameBuffer
{
public:
    // Appends every message completed by these bytes, without its marker, oldest first.
    void feed(const char *data, qsizetype size, QByteArrayList &out);
    void feed(const QByteArray &bytes, QByteArrayList &out) { feed(bytes.constData(), bytes.size(), out); }
    const QByteArray &pending() const { return buffer; }
    void clear() { buffer.clear(); }

private:
    void keep(const char *data, qsizetype size);
    QByteArray buffer;
};

// The bytes of one message as it goes on the wire: text plus end marker.
QByteArray frame(const QByteArray &text);

} // namespace framing
