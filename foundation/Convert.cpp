#include "foundation/Convert.h"

#include "foundation/Exceptions.h"

namespace {

// Blanks, a sign, then decimal digits or a "$"/"0x" hexadecimal number, and
// nothing after it. The magnitude must not exceed limit (hexadecimal may use
// every bit of the result, decimal only the signed range); the result is the
// two's complement bit pattern of the signed value.
std::optional<uint64_t> ParseNumber(QStringView text, uint64_t hexLimit, uint64_t positiveLimit)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i].unicode() <= u' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    unsigned base = 10;
    if (i < n && text[i] == u'$') {
        base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    if (i == n)
        return std::nullopt;
    const uint64_t limit = base == 16 ? hexLimit : (negative ? positiveLimit + 1 : positiveLimit);
    uint64_t value = 0;
    for (; i < n; ++i) {
        const char16_t c = text[i].unicode();
        unsigned digit;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else
            return std::nullopt;
        if (value > (limit - digit) / base)
            return std::nullopt;
        value = value * base + digit;
    }
    return negative ? 0 - value : value;
}

} // namespace

std::optional<int32_t> TryStrToInt(QStringView text)
{
    // Hexadecimal spans the full 32 bits unsigned (as "$FFFFFFFF" is -1).
    if (const auto bits = ParseNumber(text, UINT32_MAX, INT32_MAX))
        return static_cast<int32_t>(static_cast<uint32_t>(*bits));
    return std::nullopt;
}

std::optional<int64_t> TryStrToInt64(QStringView text)
{
    if (const auto bits = ParseNumber(text, UINT64_MAX, INT64_MAX))
        return static_cast<int64_t>(*bits);
    return std::nullopt;
}

int32_t StrToInt(const QString &text)
{
    if (const auto value = TryStrToInt(text))
        return *value;
    ThrowConvertError(text);
}
