#include "foundation/TextEncoding.h"

#include "foundation/CodePage.h"

#include <QtEndian>

#include <cstring>

namespace {

constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";
constexpr char kUtf16LEMark[] = "\xFF\xFE";
constexpr char kUtf16BEMark[] = "\xFE\xFF";

constexpr char32_t kReplacement = 0xFFFD;

int DecodeUtf8(const unsigned char *p, qsizetype available, bool atEnd, char32_t &cp)
{
    const unsigned char b0 = p[0];
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    }
    int need;
    unsigned char lo = 0x80, hi = 0xBF;
    char32_t value;
    if (b0 < 0xC2) {
        cp = kReplacement; // a stray continuation byte or an overlong lead
        return 1;
    } else if (b0 < 0xE0) {
        need = 1;
        value = b0 & 0x1F;
    } else if (b0 < 0xF0) {
        need = 2;
        value = b0 & 0x0F;
        if (b0 == 0xE0)
            lo = 0xA0;
        else if (b0 == 0xED)
            hi = 0x9F; // surrogates have no UTF-8 form
    } else if (b0 < 0xF5) {
        need = 3;
        value = b0 & 0x07;
        if (b0 == 0xF0)
            lo = 0x90;
        else if (b0 == 0xF4)
            hi = 0x8F;
    } else {
        cp = kReplacement;
        return 1;
    }
    for (int i = 1; i <= need; ++i) {
        if (i >= available) {
            if (!atEnd)
                return 0;
            cp = kReplacement;
            return int(available);
        }
        const unsigned char b = p[i];
        if (b < lo || b > hi) {
            cp = kReplacement;
            return i;
        }
        lo = 0x80;
        hi = 0xBF;
        value = (value << 6) | (b & 0x3F);
    }
    cp = value;
    return need + 1;
}

} // namespace

const TEncoding *TEncoding::Ansi()
{
    static const TEncoding encoding(Kind::Ansi);
    return &encoding;
}

const TEncoding *TEncoding::Utf8()
{
    static const TEncoding encoding(Kind::Utf8);
    return &encoding;
}

const TEncoding *TEncoding::Utf16LE()
{
    static const TEncoding encoding(Kind::Utf16LE);
    return &encoding;
}

const TEncoding *TEncoding::Utf16BE()
{
    static const TEncoding encoding(Kind::Utf16BE);
    return &encoding;
}

QString TEncoding::Name() const
{
    switch (m_kind) {
    case Kind::Ansi:
        return QStringLiteral("windows-1252");
    case Kind::Utf8:
        return QStringLiteral("UTF-8");
    case Kind::Utf16LE:
        return QStringLiteral("UTF-16LE");
    case Kind::Utf16BE:
        return QStringLiteral("UTF-16BE");
    }
    return {};
}

QByteArrayView TEncoding::Preamble() const
{
    switch (m_kind) {
    case Kind::Ansi:
        return {};
    case Kind::Utf8:
        return QByteArrayView(kUtf8Mark, 3);
    case Kind::Utf16LE:
        return QByteArrayView(kUtf16LEMark, 2);
    case Kind::Utf16BE:
        return QByteArrayView(kUtf16BEMark, 2);
    }
    return {};
}

bool TEncoding::StartsWithPreamble(QByteArrayView bytes) const
{
    const QByteArrayView mark = Preamble();
    return !mark.isEmpty() && bytes.startsWith(mark);
}

int TEncoding::MaxCharBytes() const
{
    switch (m_kind) {
    case Kind::Ansi:
        return 1;
    case Kind::Utf8:
        return 4;
    case Kind::Utf16LE:
    case Kind::Utf16BE:
        return 2;
    }
    return 1;
}

QByteArray TEncoding::Encode(QStringView text) const
{
    QByteArray out;
    EncodeAppend(text, out);
    return out;
}

bool TEncoding::EncodeAppend(QStringView text, QByteArray &out) const
{
    switch (m_kind) {
    case Kind::Ansi:
        return CodePage1252::EncodeAppend(text, out);
    case Kind::Utf8: {
        bool lossless = true;
        const qsizetype start = out.size();
        out.resize(start + text.size() * 3);
        auto *o = reinterpret_cast<unsigned char *>(out.data()) + start;
        const char16_t *s = text.utf16();
        const qsizetype n = text.size();
        for (qsizetype i = 0; i < n; ++i) {
            char32_t c = s[i];
            if (c < 0x80) {
                *o++ = static_cast<unsigned char>(c);
                continue;
            }
            if (QChar::isSurrogate(c)) {
                if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(s[i + 1])) {
                    c = QChar::surrogateToUcs4(char16_t(c), s[i + 1]);
                    ++i;
                } else {
                    c = kReplacement;
                    lossless = false;
                }
            }
            o += EncodeChar(c, o);
        }
        out.resize(o - reinterpret_cast<unsigned char *>(out.data()));
        return lossless;
    }
    case Kind::Utf16LE:
    case Kind::Utf16BE: {
        const qsizetype start = out.size();
        out.resize(start + text.size() * 2);
        auto *o = reinterpret_cast<unsigned char *>(out.data()) + start;
        for (const QChar c : text) {
            if (m_kind == Kind::Utf16LE)
                qToLittleEndian(c.unicode(), o);
            else
                qToBigEndian(c.unicode(), o);
            o += 2;
        }
        return true;
    }
    }
    return false;
}

int TEncoding::EncodeChar(char32_t cp, unsigned char out[4]) const
{
    switch (m_kind) {
    case Kind::Ansi: {
        if (cp > 0xFFFF) {
            out[0] = '?';
            return 1;
        }
        const int byte = CodePage1252::EncodeChar(char16_t(cp));
        out[0] = static_cast<unsigned char>(byte < 0 ? '?' : byte);
        return 1;
    }
    case Kind::Utf8:
        if (cp < 0x80) {
            out[0] = static_cast<unsigned char>(cp);
            return 1;
        }
        if (cp < 0x800) {
            out[0] = static_cast<unsigned char>(0xC0 | (cp >> 6));
            out[1] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
            return 2;
        }
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            cp = kReplacement;
        if (cp < 0x10000) {
            out[0] = static_cast<unsigned char>(0xE0 | (cp >> 12));
            out[1] = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
            out[2] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
            return 3;
        }
        out[0] = static_cast<unsigned char>(0xF0 | (cp >> 18));
        out[1] = static_cast<unsigned char>(0x80 | ((cp >> 12) & 0x3F));
        out[2] = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
        out[3] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
        return 4;
    case Kind::Utf16LE:
    case Kind::Utf16BE: {
        char16_t units[2];
        int count = 1;
        if (cp > 0x10FFFF) {
            units[0] = char16_t(kReplacement);
        } else if (cp >= 0x10000) {
            units[0] = QChar::highSurrogate(cp);
            units[1] = QChar::lowSurrogate(cp);
            count = 2;
        } else {
            units[0] = char16_t(cp);
        }
        for (int i = 0; i < count; ++i) {
            if (m_kind == Kind::Utf16LE)
                qToLittleEndian(units[i], out + 2 * i);
            else
                qToBigEndian(units[i], out + 2 * i);
        }
        return 2 * count;
    }
    }
    return 0;
}

int TEncoding::DecodeNext(const unsigned char *p, qsizetype available, bool atEnd, char32_t &cp) const
{
    switch (m_kind) {
    case Kind::Ansi:
        cp = CodePage1252::DecodeByte(p[0]);
        return 1;
    case Kind::Utf8:
        return DecodeUtf8(p, available, atEnd, cp);
    case Kind::Utf16LE:
    case Kind::Utf16BE:
        if (available < 2) {
            if (!atEnd)
                return 0;
            cp = kReplacement;
            return 1;
        }
        cp = m_kind == Kind::Utf16LE ? qFromLittleEndian<char16_t>(p) : qFromBigEndian<char16_t>(p);
        return 2;
    }
    return 0;
}

QString TEncoding::Decode(QByteArrayView bytes) const
{
    if (m_kind == Kind::Ansi)
        return CodePage1252::Decode(bytes);
    QString out;
    TTextDecoder decoder(this);
    decoder.Decode(bytes, out);
    decoder.Finish(out);
    return out;
}

TTextDecoder::TTextDecoder(const TEncoding *encoding)
    : m_encoding(encoding ? encoding : TEncoding::Ansi())
{}

void TTextDecoder::Decode(QByteArrayView bytes, QString &out)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *end = p + bytes.size();
    out.reserve(out.size() + bytes.size());
    char32_t cp;
    const bool byteWise =
        m_encoding->Type() != TEncoding::Kind::Utf16LE && m_encoding->Type() != TEncoding::Kind::Utf16BE;
    // Complete the character carried over from the previous run first.
    while (m_carryLength > 0 && p < end) {
        m_carry[m_carryLength++] = *p++;
        const int used = m_encoding->DecodeNext(m_carry, m_carryLength, false, cp);
        if (used == 0)
            continue;
        AppendCodePoint(out, cp);
        // Bytes the character did not take start over as fresh input.
        unsigned char rest[4];
        const int restLength = m_carryLength - used;
        std::memcpy(rest, m_carry + used, restLength);
        m_carryLength = 0;
        if (restLength > 0) {
            QByteArrayView restView(reinterpret_cast<const char *>(rest), restLength);
            Decode(restView, out);
        }
    }
    while (p < end) {
        if (byteWise && *p < 0x80) {
            out.append(QChar(char16_t(*p++)));
            continue;
        }
        const int used = m_encoding->DecodeNext(p, end - p, false, cp);
        if (used == 0) {
            m_carryLength = int(end - p);
            std::memcpy(m_carry, p, m_carryLength);
            return;
        }
        AppendCodePoint(out, cp);
        p += used;
    }
}

void TTextDecoder::Finish(QString &out)
{
    const unsigned char *p = m_carry;
    qsizetype left = m_carryLength;
    m_carryLength = 0;
    char32_t cp;
    while (left > 0) {
        const int used = m_encoding->DecodeNext(p, left, true, cp);
        AppendCodePoint(out, cp);
        p += used;
        left -= used;
    }
}
