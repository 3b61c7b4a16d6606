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

} // namespace text
