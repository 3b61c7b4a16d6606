#pragma once

#include <QString>

namespace text {

// The letters a to z become A to Z; every other character stays (accented letters too).
QString asciiUpper(const QString &s);

// Typed text as it may go on the wire: the byte 0xFF (y with diaeresis in the code page) is the
// end marker and becomes "?", and line breaks and other control characters become blanks.
QString wireSafe(QString text);

} // namespace text
