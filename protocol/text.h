#pragma once

#include <QString>

namespace text {

// The letters a to z become A to Z; every other character stays (accented letters too).
QString asciiUpper(const QString &s);

// Every letter whose capital the code page holds becomes that capital: a to z, and accented
// letters such as é and ñ; a letter whose capital lies outside it (µ) and ß stay. One character
// stays one character, so positions in the result are positions in the text.
QChar codepageUpper(QChar c);
QString codepageUpper(QString s);

// Typed text as it may go on the wire: the byte 0xFF (y with diaeresis in the code page) is the
// end marker and becomes "?", and line breaks and other control characters become blanks.
QString wireSafe(QString text);

} // namespace text
