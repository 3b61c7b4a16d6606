// The point list of a relayed stroke, read and painted as the player's board does it.
#include "board/canvas.h"
#include "platform/errors.h"
#include "protocol/colortext.h"
#include "protocol/cp1252.h"
#include "protocol/strokemessage.h"

#include <QVarLengthArray>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The board's picture, kept between runs like the board keeps it between messages.
    static QImage picture(789, 542, QImage::Format_RGB32);
    static Canvas canvas(&picture);

    FieldReader f(cp1252::decode(reinterpret_cast<const char *>(data), qsizetype(size)));
    QVarLengthArray<QPoint, 128> points;
    try {
        f.nextInt(); // the drawer's slot
        canvas.pencolour = colortext::toQColor(colortext::fromText(f.next()));
        canvas.penwidth = f.nextInt();
        StrokePoints walk(f);
        QPoint p;
        while (walk.next(p)) {
            points.append(p);
            if (points.size() > 4096)
                __builtin_trap(); // a message of 4096 characters cannot hold more points
        }
    } catch (const EConvertError &) {
    }
    // Far points cost no more than near ones: the 2 s limit per input catches a slow paint.
    canvas.lineThrough(points.constData(), points.size());
    return 0;
}
