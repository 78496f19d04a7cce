#pragma once

// Text to number the way the file formats expect it: optional leading blanks,
// an optional sign, decimal digits or a "$"/"0x" hexadecimal number, and
// nothing after it. Anything else, or a value outside 32 bits, is an
// EConvertError with the standard message naming the text.

#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

std::optional<int32_t> TryStrToInt(QStringView text);
// The same syntax widened to 64 bits (hexadecimal up to 16 digits).
std::optional<int64_t> TryStrToInt64(QStringView text);
int32_t StrToInt(const QString &text);
