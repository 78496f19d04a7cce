#include "foundation/CodePage.h"

#include <algorithm>

namespace CodePage1252 {
namespace {

// 0x80..0x9F; the rest of the byte range is Latin-1.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, //
};

} // namespace

char16_t DecodeByte(unsigned char byte)
{
    return (byte >= 0x80 && byte <= 0x9F) ? kHighControls[byte - 0x80] : char16_t(byte);
}

QString Decode(QByteArrayView bytes)
{
    QString result(bytes.size(), Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(result.data());
    const auto *in = reinterpret_cast<const unsigned char *>(bytes.data());
    for (qsizetype i = 0, n = bytes.size(); i < n; ++i)
        out[i] = DecodeByte(in[i]);
    return result;
}

int EncodeChar(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] == c)
            return 0x80 + i;
    }
    return -1;
}

bool EncodeAppend(QStringView text, QByteArray &out)
{
    // Written through a pointer into room made once: appending byte by byte
    // was the largest single cost of saving a project.
    bool lossless = true;
    const qsizetype start = out.size();
    out.resize(start + text.size());
    char *const first = out.data() + start;
    char *next = first;
    const char16_t *in = text.utf16();
    for (qsizetype i = 0, n = text.size(); i < n; ++i) {
        const char16_t c = in[i];
        int byte = c < 0x80 ? int(c) : EncodeChar(c);
        if (byte < 0) {
            // A surrogate pair stands for one character and so for one '?'.
            if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(in[i + 1]))
                ++i;
            byte = '?';
            lossless = false;
        }
        *next++ = static_cast<char>(byte);
    }
    out.truncate(start + (next - first));
    return lossless;
}

QByteArray Encode(QStringView text)
{
    QByteArray out;
    EncodeAppend(text, out);
    return out;
}

bool CanEncode(QStringView text)
{
    // Project text is nearly all ASCII: blocks of it are passed with one test
    // each, and only a block holding something else is looked at closely.
    constexpr qsizetype block = 16;
    const char16_t *in = text.utf16();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; i += block) {
        const qsizetype end = std::min(n, i + block);
        char16_t any = 0;
        for (qsizetype k = i; k < end; ++k)
            any |= in[k];
        if (any < 0x80)
            continue;
        for (qsizetype k = i; k < end; ++k) {
            if (in[k] >= 0x80 && EncodeChar(in[k]) < 0)
                return false;
        }
    }
    return true;
}

} // namespace CodePage1252
