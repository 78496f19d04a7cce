#pragma once

// The ANSI code page of the file formats: Windows-1252. Every byte value
// survives a decode and an encode: the five bytes that Windows-1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the
// same value and back.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace CodePage1252 {

char16_t DecodeByte(unsigned char byte);
QString Decode(QByteArrayView bytes);

// Encodes into out, appending; returns false when a character had no byte
// and was written as '?'.
bool EncodeAppend(QStringView text, QByteArray &out);
QByteArray Encode(QStringView text);

// True when every character of the text has a byte in the code page.
bool CanEncode(QStringView text);

// The byte for one character, or -1 when the code page has none.
int EncodeChar(char16_t c);

} // namespace CodePage1252
