#pragma once

// The four text encodings the file formats use: the ANSI code page
// (Windows-1252), UTF-8 and UTF-16 in both byte orders. Each is one static
// object, so encodings compare by address; "no encoding" is nullptr.
//
// Decoding never fails: a byte sequence that is not valid in the encoding
// becomes U+FFFD (one per maximal invalid part, as the Unicode standard
// recommends), and all 256 bytes of the ANSI code page decode to something
// that encodes back to the same byte. UTF-16 is decoded unit by unit, so an
// unpaired surrogate in the data survives as that unit.
//
// Encoding a character the encoding cannot hold writes a stand-in: '?' in
// the ANSI code page (check with CodePage1252::CanEncode beforehand when it
// matters), U+FFFD for an unpaired surrogate in UTF-8. UTF-16 holds every
// unit.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <cstdint>

class TEncoding
{
public:
    enum class Kind { Ansi, Utf8, Utf16LE, Utf16BE };

    static const TEncoding *Ansi();
    static const TEncoding *Utf8();
    static const TEncoding *Utf16LE();
    static const TEncoding *Utf16BE();

    TEncoding(const TEncoding &) = delete;
    TEncoding &operator=(const TEncoding &) = delete;

    Kind Type() const { return m_kind; }
    QString Name() const;

    // The byte-order mark; empty for the ANSI code page.
    QByteArrayView Preamble() const;
    int PreambleLength() const { return int(Preamble().size()); }
    // True when bytes begin with the whole mark (never for an empty mark).
    bool StartsWithPreamble(QByteArrayView bytes) const;

    // The most bytes one decoded unit (or UTF-8 sequence) takes.
    int MaxCharBytes() const;

    QByteArray Encode(QStringView text) const;
    // Appends to out; false when a character had to be replaced.
    bool EncodeAppend(QStringView text, QByteArray &out) const;
    // The bytes of one code point (a lone surrogate in UTF-16 is kept as that
    // unit); returns their number (1 to 4).
    int EncodeChar(char32_t codePoint, unsigned char out[4]) const;

    // Decodes everything; an incomplete sequence at the end is U+FFFD.
    QString Decode(QByteArrayView bytes) const;

    // Decodes the character at p, which has available bytes after it.
    // Returns the number of bytes it takes and sets codePoint; returns 0 when
    // the bytes end inside a character that more bytes could complete,
    // unless atEnd says no more will come (then the partial character is one
    // U+FFFD taking all of them). Needs available >= 1.
    int DecodeNext(const unsigned char *p, qsizetype available, bool atEnd, char32_t &codePoint) const;

private:
    explicit TEncoding(Kind kind)
        : m_kind(kind)
    {}

    Kind m_kind;
};

// Decodes a sequence of byte runs, carrying a character split between runs
// over to the next one.
class TTextDecoder
{
public:
    explicit TTextDecoder(const TEncoding *encoding);

    void Decode(QByteArrayView bytes, QString &out);
    // No more bytes will come: a carried partial character becomes U+FFFD.
    void Finish(QString &out);
    bool HasPending() const { return m_carryLength > 0; }

private:
    const TEncoding *m_encoding;
    unsigned char m_carry[4] = {};
    int m_carryLength = 0;
};

// Appends a code point as one or two UTF-16 units.
inline void AppendCodePoint(QString &out, char32_t codePoint)
{
    if (codePoint < 0x10000) {
        out.append(QChar(char16_t(codePoint)));
    } else {
        const char16_t pair[2] = {QChar::highSurrogate(codePoint), QChar::lowSurrogate(codePoint)};
        out.append(QStringView(pair, 2));
    }
}
