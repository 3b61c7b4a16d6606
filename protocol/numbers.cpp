#include "protocol/numbers.h"

#include "platform/errors.h"

#include <climits>

namespace numbers {

std::optional<int> tryStrToInt(const QString &text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    bool hex = false;
    if (i < n && text[i] == QLatin1Char('$')) {
        hex = true;
        ++i;
    } else if (i + 1 < n && text[i] == QLatin1Char('0') &&
               (text[i + 1] == QLatin1Char('x') || text[i + 1] == QLatin1Char('X'))) {
        hex = true;
        i += 2;
    }
    if (i >= n)
        return std::nullopt;
    quint64 value = 0;
    for (; i < n; ++i) {
        const char16_t c = text[i].unicode();
        int digit;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (hex && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (hex && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else
            return std::nullopt;
        value = value * (hex ? 16 : 10) + quint64(digit);
        if (value > 0xFFFFFFFFull)
            return std::nullopt;
    }
    if (hex) {
        // The digits give 32 bits, the top one the sign; a minus sign then negates in 64 bits,
        // and the result must still fit: "-$80000000" does not.
        const qint64 bits = static_cast<qint32>(static_cast<quint32>(value));
        const qint64 result = negative ? -bits : bits;
        if (result < INT_MIN || result > INT_MAX)
            return std::nullopt;
        return static_cast<int>(result);
    }
    if (negative) {
        if (value > 0x80000000ull)
            return std::nullopt;
        return static_cast<int>(-static_cast<qint64>(value));
    }
    if (value > 0x7FFFFFFFull)
        return std::nullopt;
    return static_cast<int>(value);
}

int strToInt(const QString &text)
{
    if (const auto v = tryStrToInt(text))
        return *v;
    throw EConvertError(QLatin1Char('\'') + text + QStringLiteral("' is not a valid integer value"));
}

int strToIntDef(const QString &text, int fallback)
{
    return tryStrToInt(text).value_or(fallback);
}

} // namespace numbers
