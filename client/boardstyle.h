#pragma once

#include <QColor>
#include <QFont>

// The board's palette and type: warm paper, brown ink, maroon lettering.
namespace boardstyle {

inline const QColor maroon(0x80, 0x00, 0x00);
inline const QColor paper(0xFF, 0xF7, 0xE4);
inline const QColor paperDeep(0xFF, 0xEC, 0xC4);
inline const QColor ink(0x8B, 0x5A, 0x2B);

inline QFont font(int pixels, bool bold = false)
{
    QFont f;
    f.setFamilies(
        {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

} // namespace boardstyle
