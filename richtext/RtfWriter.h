#pragma once

// The RTF writer: writes a QTextDocument, or a range of it, as RTF in the
// shape the Windows rich-edit control gives it:
//
//   {\rtf1\ansi\ansicpg1252\deff0\deflang1033{\fonttbl{\f0\fnil\fcharset0 Arial;}}
//   {\colortbl ;\red0\green0\blue255;}\viewkind4\uc1\pard\cf1\b\f0\fs32 Title\cf0\b0\fs20\par
//   \par
//   }
//
// one line per paragraph, each ending in \par (the last one too: the reader
// takes a final \par as the end of the last paragraph), lines separated by
// CR LF, characters outside Windows-1252 as \uN?. What the reader kept unchanged (pictures, objects,
// field instructions) is written back byte for byte. Reading what the writer
// wrote and writing it again gives the same bytes.

#include <QByteArray>
#include <QStringList>

class QTextDocument;

class TRtfWriter
{
public:
    static QByteArray Write(const QTextDocument &document);
    // The characters from..to (plain-text offsets, a paragraph break counting
    // one); a paragraph break inside the range is written as \par.
    static QByteArray Write(const QTextDocument &document, int from, int to);

    // The RTF as a topic holds it: its lines, or all of it as one string
    // (bytes read as Windows-1252).
    static QStringList WriteLines(const QTextDocument &document);
    static QString WriteString(const QTextDocument &document);
    static QStringList SplitLines(const QByteArray &rtf);
};
