#pragma once

#include <QColor>
#include <QString>

// Colours as the game writes them: a 32-bit value 00BBGGRR, as one of sixteen names when it
// equals that name's value, otherwise "$" and eight upper-case hexadecimal digits.
namespace colortext {

constexpr int clBlack = 0x000000;
constexpr int clMaroon = 0x000080;
constexpr int clGreen = 0x008000;
constexpr int clOlive = 0x008080;
constexpr int clNavy = 0x800000;
constexpr int clPurple = 0x800080;
constexpr int clTeal = 0x808000;
constexpr int clGray = 0x808080;
constexpr int clSilver = 0xC0C0C0;
constexpr int clRed = 0x0000FF;
constexpr int clLime = 0x00FF00;
constexpr int clYellow = 0x00FFFF;
constexpr int clBlue = 0xFF0000;
constexpr int clFuchsia = 0xFF00FF;
constexpr int clAqua = 0xFFFF00;
constexpr int clWhite = 0xFFFFFF;

QString toText(int color);
// Names without regard to case, else a number ("$1F", "0x1F", "31"); raises EConvertError.
int fromText(const QString &text);

constexpr int rgb(int r, int g, int b)
{
    return r | (g << 8) | (b << 16);
}
// 00BBGGRR <-> QColor (the high byte is ignored). Inline, so that a program that draws nothing
// (quillet-host) needs no graphics library at all.
inline QColor toQColor(int color)
{
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}
inline int fromQColor(const QColor &c)
{
    return rgb(c.red(), c.green(), c.blue());
}

} // namespace colortext
