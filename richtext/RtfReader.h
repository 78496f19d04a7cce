#pragma once

// The RTF reader: builds the content of a QTextDocument from RTF as the
// Windows rich-edit control, WordPad and word processors write it. It never
// fails: damaged input reads as far as it can, and what had to be repaired or
// could not be read comes back as a list of short messages. A text that is not
// RTF at all is read as plain text.
//
// Groups the engine cannot show (pictures in other formats, embedded objects,
// footnotes, fields without a result) become one object character that keeps
// the group's bytes, and field instructions are kept on the field's result
// text, so the writer puts them back unchanged.

#include <QByteArrayView>
#include <QStringList>
#include <QStringView>

class QTextCursor;
class QTextDocument;

class TRtfReader
{
public:
    // Replaces the document's content. Undo is off while the document fills,
    // and the document is marked unmodified afterwards.
    static QStringList Read(QTextDocument &document, QByteArrayView rtf);
    // A QString holds RTF as decoded by the project file: characters of
    // Windows-1252 stand for their bytes, others for themselves.
    static QStringList Read(QTextDocument &document, QStringView rtf);
    // The lines of a topic's text, which joined with CR LF make the RTF.
    static QStringList Read(QTextDocument &document, const QStringList &lines);

    // Replaces the cursor's selection by the RTF's content and leaves the
    // cursor after it. Paragraphs that the RTF ends with \par bring their
    // paragraph format; text after the last \par takes on the paragraph it
    // lands in.
    static QStringList Insert(QTextCursor &cursor, QByteArrayView rtf);
    static QStringList Insert(QTextCursor &cursor, QStringView rtf);

    // The greatest group depth the reader follows; deeper groups are skipped.
    static constexpr int MaxDepth = 4096;
};
