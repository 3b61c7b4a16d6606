#include "protocol/text.h"

namespace text {

QString asciiUpper(const QString &s)
{
    QString out = s;
    for (QChar &c : out) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 32);
    }
    return out;
}

QString wireSafe(QString text)
{
    for (QChar &c : text) {
        if (c.unicode() == 0xFF)
            c = QLatin1Char('?');
        else if (c.unicode() < 0x20)
            c = QLatin1Char(' ');
    }
    return text;
}

} // namespace text
