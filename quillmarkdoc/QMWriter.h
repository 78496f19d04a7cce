#pragma once

// Writes the project file and the settings block in the layout the reader
// reads: one value a line, CR LF after every line, counts before lists.
//
// A writer without a stream only looks: it walks the same values and tells
// whether the ANSI code page can hold every one of them, so a save never
// turns text into question marks unnoticed.

#include "foundation/Font.h"
#include "foundation/GStreams.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>

class TQMContentsItem;
class TQMProjectOptions;
class TQMTextMacro;
class TQMTopic;
class TQuillmarkDoc;
class TStringList;

class TQMWriter
{
public:
    // The stream is not owned.
    explicit TQMWriter(TGTextStream &stream);

    // True when every text of the document has a byte in the ANSI code page.
    static bool FitsAnsi(const TQuillmarkDoc &doc);

    // ---- values

    void WriteString(QStringView value);
    void WriteInteger(int32_t value);
    void WriteBoolean(bool value);
    void WriteStrings(const TStringList &list);
    // "B", "I", "U", "S" or "." in positions 1 to 4.
    static QString StyleLine(TFontStyles style);
    void WriteFont(const TFont &font);

    // ---- records

    void WriteHeader(const TQMProjectOptions &options);
    void WriteTopicRecord(const TQMTopic &topic);
    void WriteContentsLine(const TQMContentsItem &item);
    void WriteTextMacro(const TQMTextMacro &macro);

    // Everything after the byte-order mark.
    void WriteProject(const TQuillmarkDoc &doc);
    void WriteSettings(const TQuillmarkDoc &doc);

private:
    TQMWriter() = default;

    void Line(QStringView value);

    TGTextStream *m_stream = nullptr;
    // Only looking: set when a text needs more than the ANSI code page.
    bool m_beyondAnsi = false;
};
