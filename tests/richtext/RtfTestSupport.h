#pragma once

// Helpers shared by the rich-text tests: a document header with a known font
// and colour table, and a look at the format of one character.

#include "richtext/RichTextBuffer.h"

#include <QByteArray>
#include <QString>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

namespace RtfTest {

// f0 Arial (ANSI), f1 Times (Cyrillic), f2 Symbol, f3 MS Gothic (Shift-JIS);
// colours 1 red, 2 blue.
inline QByteArray Wrap(const QByteArray &body)
{
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
           "{\\f1\\froman\\fcharset204 Times;}{\\f2\\fnil\\fcharset2 Symbol;}{\\f3\\fnil\\fcharset128 MS "
           "Gothic;}}"
           "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\\viewkind4\\uc1\\pard " +
           body + "}";
}

inline QTextCharFormat FormatAt(const QTextDocument &doc, int position)
{
    const QTextBlock block = doc.findBlock(position);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        if (position >= f.position() && position < f.position() + f.length())
            return f.charFormat();
    }
    return QTextCharFormat();
}

// The attributes of one character as the buffer reports them.
inline TTextAttributes AttributesAt(TRichTextBuffer &buffer, int offset)
{
    buffer.SetSelection(offset, 1);
    return buffer.SelAttributes();
}

inline TParaAttributes ParaAt(TRichTextBuffer &buffer, int line)
{
    buffer.SetSelection(buffer.LineStart(line), 0);
    return buffer.ParaAttributes();
}

} // namespace RtfTest
