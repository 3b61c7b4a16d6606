// Field reading, number reading and colour text on any payload. Every field is also checked
// against what the rules say it must read as.
#include "platform/errors.h"
#include "protocol/colortext.h"
#include "protocol/cp1252.h"
#include "protocol/fields.h"
#include "protocol/numbers.h"

#include <QRegularExpression>

namespace {

bool throwsConvert(auto &&f)
{
    try {
        f();
    } catch (const EConvertError &) {
        return true;
    }
    return false;
}

void checkNumber(const QString &s)
{
    const std::optional<int> v = numbers::tryStrToInt(s);
    if (throwsConvert([&] { numbers::strToInt(s); }) == v.has_value())
        __builtin_trap();
    if (numbers::strToIntDef(s, 12345) != v.value_or(12345))
        __builtin_trap();

    // Plain decimal: exactly the values of the 32-bit range read, as themselves.
    static const QRegularExpression decimal(QStringLiteral("\\A[+-]?[0-9]+\\z"));
    static const QRegularExpression dollar(QStringLiteral("\\A\\$[0-9A-Fa-f]+\\z"));
    if (decimal.match(s).hasMatch()) {
        bool ok = false;
        const qlonglong wide = s.toLongLong(&ok);
        const bool inRange = ok && wide >= INT_MIN && wide <= INT_MAX;
        if (inRange != v.has_value() || (inRange && *v != wide))
            __builtin_trap();
    } else if (dollar.match(s).hasMatch()) {
        bool ok = false;
        const qulonglong wide = s.mid(1).toULongLong(&ok, 16);
        const bool inRange = ok && wide <= 0xFFFFFFFFull;
        if (inRange != v.has_value() || (inRange && *v != int(quint32(wide))))
            __builtin_trap();
    }
}

void checkColour(const QString &s)
{
    int c = 0;
    if (throwsConvert([&] { c = colortext::fromText(s); }))
        return;
    // Written back and read again, a colour stays the same colour.
    if (colortext::fromText(colortext::toText(c)) != c)
        __builtin_trap();
    if (colortext::fromQColor(colortext::toQColor(c)) != (c & 0xFFFFFF))
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString payload = cp1252::decode(reinterpret_cast<const char *>(data), qsizetype(size));

    // Alternate text and number fields, as the handlers read them.
    FieldReader f(payload);
    qsizetype before = payload.size();
    for (int i = 0; i < 64 && f.rest().contains(QLatin1Char('+')); ++i) {
        const QString probe = FieldReader(f.rest()).next();
        checkNumber(probe);
        checkColour(probe);
        if (i % 2)
            throwsConvert([&] { f.nextInt(); });
        else
            f.next();
        if (f.rest().size() >= before)
            __builtin_trap(); // every field taken shortens what remains
        before = f.rest().size();
    }
    checkNumber(f.rest());
    checkColour(f.rest());
    throwsConvert([&] { f.restInt(); });
    // A reader with no "+" left reads empty fields and keeps the rest.
    const QString rest = f.rest();
    if (!rest.contains(QLatin1Char('+')) && (!f.next().isEmpty() || f.rest() != rest))
        __builtin_trap();
    return 0;
}
