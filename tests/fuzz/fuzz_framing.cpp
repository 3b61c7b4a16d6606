// The reassembly buffer fed the same bytes in arbitrary pieces: the messages and what is left
// pending must not depend on how the bytes were split.
#include "protocol/cp1252.h"
#include "protocol/framing.h"
#include "protocol/receivequeue.h"

#include <fuzzer/FuzzedDataProvider.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    // Split points come from the end of the input, the bytes from the front.
    std::vector<size_t> pieces;
    const int count = in.ConsumeIntegralInRange<int>(0, 16);
    for (int i = 0; i < count; ++i)
        pieces.push_back(in.ConsumeIntegralInRange<size_t>(0, 6000));
    const std::string bytes = in.ConsumeRemainingBytesAsString();

    framing::FrameBuffer whole;
    QByteArrayList expected;
    whole.feed(bytes.data(), qsizetype(bytes.size()), expected);

    framing::FrameBuffer split;
    QByteArrayList got;
    size_t at = 0;
    for (size_t piece : pieces) {
        piece = std::min(piece, bytes.size() - at);
        split.feed(bytes.data() + at, qsizetype(piece), got);
        at += piece;
    }
    split.feed(bytes.data() + at, qsizetype(bytes.size() - at), got);

    if (got != expected || split.pending() != whole.pending())
        __builtin_trap();
    if (whole.pending().size() > framing::maxMessage || whole.pending().contains(framing::endMarker))
        __builtin_trap();
    for (const QByteArray &m : std::as_const(got)) {
        if (m.size() > framing::maxMessage || m.contains(framing::endMarker))
            __builtin_trap();
        // What the receiving side does next with each message.
        const QString text = cp1252::decode(m);
        const CommandText c = splitCommand(text);
        if (!c.word.isEmpty() && c.word.size() + 1 + c.rest.size() != text.size())
            __builtin_trap();
        if (cp1252::encode(text).size() != m.size())
            __builtin_trap();
    }
    return 0;
}
