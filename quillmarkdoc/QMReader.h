#pragma once

// Reads the line-oriented project file and the settings block of the
// preferences file. Every value sits on a line of its own, in a fixed order;
// repeated parts are introduced by a count line.
//
// The reader counts the lines it consumes, so a bad integer line is reported
// with its line number. It never trusts a count: nothing is reserved by one,
// and a list whose data has ended fails at once instead of reading the rest
// of its entries one empty line at a time.

#include "foundation/Font.h"
#include "foundation/GStreams.h"

#include <QString>
#include <QStringList>

#include <cstdint>

class TQMContentsItem;
class TQMContentsItems;
class TQMProjectOptions;
class TQMTextMacro;
class TQMTopic;
class TQMTopics;
class TQuillmarkDoc;
class TStringList;

class TQMReader
{
public:
    // The stream is not owned. firstLine is the number of the line the
    // stream stands at, for the messages.
    explicit TQMReader(TGTextStream &stream, int firstLine = 1);

    TGTextStream &Stream() const { return m_stream; }
    // The number of the next line to be read.
    int LineNumber() const { return m_line; }
    // No more data: every further line reads empty.
    bool AtEnd() { return m_stream.Eof(); }

    // ---- values

    QString ReadString();
    // The whole line through the platform conversion (32-bit); EConvertError
    // with the line number otherwise.
    int32_t ReadInteger();
    // True only for a line that is exactly "TRUE".
    bool ReadBoolean();
    // A count line, then that many entries.
    QStringList ReadStringList();
    // Clears the list, then adds the entries in one change.
    void ReadStrings(TStringList &list);
    // Positions 1 to 4: Bold, Italic, Underline, StrikeOut; any character
    // but "." sets the style.
    static TFontStyles ParseStyle(QStringView line);
    TFontStyles ReadStyle() { return ParseStyle(ReadString()); }
    // Colour, name, character set, size, height (which decides), style.
    void ReadFont(TFont &font);

    // ---- records

    void ReadHeader(TQMProjectOptions &options);
    // One topic record. The number is stored as it is (no duplicate check,
    // no move, context string untouched); the caller puts the topic in order.
    void ReadTopicRecord(TQMTopic &topic);
    // Clears the topics, then reads the count and the records, keeping the
    // collection ascending (equal numbers stay in file order).
    void ReadTopics(TQMTopics &topics);
    // A level, a title and, after "=", a link.
    void ReadContentsLine(TQMContentsItem &item);
    void ReadContents(TQMContentsItems &contents);
    void ReadTextMacro(TQMTextMacro &macro);
    // Clears the macros, reads them, then ensures the standard ones.
    void ReadTextMacros(TQuillmarkDoc &doc);

    // The whole project file.
    void ReadProject(TQuillmarkDoc &doc);
    // The settings block; stops quietly where older, shorter blocks end.
    void ReadSettings(TQuillmarkDoc &doc);

private:
    [[noreturn]] void ThrowConvertError(const QString &text, int line) const;
    int32_t ToInteger(const QString &text, int line) const;
    // The remaining entries of a list cannot come any more.
    [[noreturn]] void ThrowDataEnded() const;

    TGTextStream &m_stream;
    int m_line;
};
