#pragma once

#include <QString>

namespace text {

// The letters a to z become A to Z; every other character stays (accented letters too).
QString asciiUpper(const QString &s);

} // namespace text
