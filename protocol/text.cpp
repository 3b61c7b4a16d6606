#include "protocol/text.h"

#include "protocol/cp1252.h"

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

QChar codepageUpper(QChar c)
{
    if (c.unicode() < 0x80)
        return c >= QLatin1Char('a') && c <= QLatin1Char('z') ? QChar(c.unicode() - 32) : c;
    const QChar upper = c.toUpper();
    if (upper != c && cp1252::decode(cp1252::encode(QString(upper))) == QString(upper))
        return upper;
    return c;
}

QString codepageUpper(QString s)
{
    for (QChar &c : s)
        c = codepageUpper(c);
    return s;
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
