#pragma once

#include <QString>
#include <optional>

namespace numbers {

// Reads a whole number with the classic rules: optional sign, then decimal digits, or "$", "0x"
// or "0X" and hexadecimal digits (up to 32 bits, the top bit giving a negative value), in the
// 32-bit range, nothing else. Failure raises EConvertError "'TEXT' is not a valid integer value".
int strToInt(const QString &text);

// Same rules; no value instead of the error.
std::optional<int> tryStrToInt(const QString &text);

// Same rules; the default when the text does not read.
int strToIntDef(const QString &text, int fallback);

} // namespace numbers
