#include "protocol/colortext.h"

#include "protocol/numbers.h"

namespace colortext {

namespace {
struct Named
{
    int value;
    const char *name;
};
constexpr Named names[] = {
    {clBlack, "clBlack"},   {clMaroon, "clMaroon"},   {clGreen, "clGreen"}, {clOlive, "clOlive"},
    {clNavy, "clNavy"},     {clPurple, "clPurple"},   {clTeal, "clTeal"},   {clGray, "clGray"},
    {clSilver, "clSilver"}, {clRed, "clRed"},         {clLime, "clLime"},   {clYellow, "clYellow"},
    {clBlue, "clBlue"},     {clFuchsia, "clFuchsia"}, {clAqua, "clAqua"},   {clWhite, "clWhite"},
};
} // namespace

QString toText(int color)
{
    for (const Named &n : names) {
        if (n.value == color)
            return QLatin1String(n.name);
    }
    return QLatin1Char('$') +
           QString::number(static_cast<quint32>(color), 16).toUpper().rightJustified(8, QLatin1Char('0'));
}

int fromText(const QString &text)
{
    for (const Named &n : names) {
        if (text.compare(QLatin1String(n.name), Qt::CaseInsensitive) == 0)
            return n.value;
    }
    return numbers::strToInt(text);
}

} // namespace colortext
