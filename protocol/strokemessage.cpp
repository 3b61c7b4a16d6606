#include "protocol/strokemessage.h"

#include "protocol/numbers.h"

QPoint readPoint(const QString &segment)
{
    const qsizetype comma = segment.indexOf(QLatin1Char(','));
    const QString x = comma < 0 ? QString() : segment.left(comma);
    const QString y = comma < 0 ? segment : segment.mid(comma + 1);
    const int px = numbers::strToInt(x);
    return QPoint(px, numbers::strToInt(y));
}

bool StrokePoints::next(QPoint &point)
{
    while (!done) {
        QString segment;
        if (f.rest().contains(QLatin1Char('+'))) {
            segment = f.next();
        } else {
            segment = f.rest(); // the last segment, closed or not
            done = true;
        }
        if (!segment.isEmpty()) {
            point = readPoint(segment);
            return true;
        }
    }
    return false;
}
