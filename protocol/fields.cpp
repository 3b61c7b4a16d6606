#include "protocol/fields.h"

#include "protocol/numbers.h"

QString FieldReader::next()
{
    const qsizetype plus = text.indexOf(QLatin1Char('+'));
    if (plus < 0)
        return {};
    QString field = text.left(plus);
    text.remove(0, plus + 1);
    return field;
}

int FieldReader::nextInt()
{
    return numbers::strToInt(next());
}

int FieldReader::restInt() const
{
    return numbers::strToInt(text);
}
