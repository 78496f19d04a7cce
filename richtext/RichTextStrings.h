#pragma once

// Fixed texts of the rich-text engine: what the reader reports when it had to
// repair its input or could not read part of it.

#include <QString>

namespace RichTextStrings {

inline QString NotRtf()
{
    return QStringLiteral("Not RTF: the text is shown as plain text");
}
inline QString TextBeforeRtf()
{
    return QStringLiteral("Text before the start of the RTF was ignored");
}
inline QString MissingRtfHeader()
{
    return QStringLiteral("The RTF header (\\rtf1) is missing");
}
inline QString MissingCloseBraces()
{
    return QStringLiteral("Unbalanced braces: %1 group(s) not closed");
}
inline QString ExtraCloseBraces()
{
    return QStringLiteral("Unbalanced braces: %1 closing brace(s) too many");
}
inline QString TruncatedEscape()
{
    return QStringLiteral("Truncated escape at offset %1");
}
inline QString InvalidHexEscape()
{
    return QStringLiteral("Invalid hexadecimal escape at offset %1");
}
inline QString NestedTooDeep()
{
    return QStringLiteral("Groups nested deeper than %1 levels were skipped");
}
inline QString TruncatedBinary()
{
    return QStringLiteral("Binary data runs past the end of the text");
}
inline QString UnreadablePicture()
{
    return QStringLiteral("A picture could not be decoded and is kept unchanged");
}
inline QString InvalidSurrogate()
{
    return QStringLiteral("Invalid UTF-16 surrogate replaced");
}

inline QString ObjectPlaceholder()
{
    return QStringLiteral("[object]");
}

} // namespace RichTextStrings
