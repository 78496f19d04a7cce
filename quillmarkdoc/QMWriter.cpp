#include "quillmarkdoc/QMWriter.h"

#include "foundation/CodePage.h"
#include "foundation/Exceptions.h"
#include "foundation/FoundationStrings.h"
#include "quillmarkdoc/QMFileStrings.h"
#include "quillmarkdoc/QuillmarkDoc.h"
#include "quillmarkdoc/QuillmarkDocStrings.h"

#include <QSaveFile>

#include <array>

namespace {

// A byte stream over a Qt device, for the file a save writes beside its
// target.
class TDeviceStream : public TStream
{
public:
    explicit TDeviceStream(QIODevice &device)
        : m_device(device)
    {}

    int64_t Read(void *buffer, int64_t count) override
    {
        const qint64 n = m_device.read(static_cast<char *>(buffer), count);
        return n < 0 ? 0 : n;
    }
    int64_t Write(const void *buffer, int64_t count) override
    {
        const qint64 n = m_device.write(static_cast<const char *>(buffer), count);
        return n < 0 ? 0 : n;
    }
    int64_t Seek(int64_t offset, TSeekOrigin origin) override
    {
        int64_t target = offset;
        if (origin == soCurrent)
            target = m_device.pos() + offset;
        else if (origin == soEnd)
            target = m_device.size() + offset;
        if (target != m_device.pos())
            m_device.seek(target);
        return m_device.pos();
    }
    int64_t Size() override { return m_device.size(); }

private:
    QIODevice &m_device;
};

bool IsDoneOrWriting(const QString &text)
{
    return text.compare(QuillmarkDocStrings::StatusDone(), Qt::CaseInsensitive) == 0 ||
           text.compare(QuillmarkDocStrings::StatusWriting(), Qt::CaseInsensitive) == 0;
}

} // namespace

TQMWriter::TQMWriter(TGTextStream &stream)
    : m_stream(&stream)
{}

bool TQMWriter::FitsAnsi(const TQuillmarkDoc &doc)
{
    TQMWriter probe;
    probe.WriteProject(doc);
    return !probe.m_beyondAnsi;
}

// ---------------------------------------------------------------- values

void TQMWriter::Line(QStringView value)
{
    if (m_stream) {
        m_stream->WriteStr(value);
        m_stream->WriteLn();
    } else if (!m_beyondAnsi && !CodePage1252::CanEncode(value)) {
        m_beyondAnsi = true;
    }
}

void TQMWriter::WriteString(QStringView value)
{
    Line(value);
}

void TQMWriter::WriteInteger(int32_t value)
{
    if (m_stream)
        Line(QString::number(value));
}

void TQMWriter::WriteBoolean(bool value)
{
    if (m_stream)
        Line(value ? u"TRUE" : u"FALSE");
}

void TQMWriter::WriteStrings(const TStringList &list)
{
    WriteInteger(list.Count());
    for (int i = 0; i < list.Count(); ++i)
        Line(list.Strings(i));
}

QString TQMWriter::StyleLine(TFontStyles style)
{
    QString line(4, QLatin1Char('.'));
    if (style.testFlag(fsBold))
        line[0] = QLatin1Char('B');
    if (style.testFlag(fsItalic))
        line[1] = QLatin1Char('I');
    if (style.testFlag(fsUnderline))
        line[2] = QLatin1Char('U');
    if (style.testFlag(fsStrikeOut))
        line[3] = QLatin1Char('S');
    return line;
}

void TQMWriter::WriteFont(const TFont &font)
{
    WriteInteger(font.Color());
    WriteString(font.Name());
    WriteInteger(font.Charset());
    WriteInteger(font.Size());
    WriteInteger(font.Height());
    WriteString(StyleLine(font.Style()));
}

// ---------------------------------------------------------------- records

void TQMWriter::WriteHeader(const TQMProjectOptions &options)
{
    const int version = options.FileVersion();
    WriteString(QMFileStrings::Identifier());
    WriteInteger(version);
    WriteString(options.Unknown1());
    WriteInteger(options.HelpFileKind());
    WriteInteger(options.HelpFileType());
    WriteString(options.Title());
    WriteString(options.BuildTag());
    WriteString(options.Citation());
    WriteString(options.Copyright());
    WriteBoolean(options.Compress());
    WriteString(options.LocaleID());
    WriteString(options.BitmapPaths());
    WriteStrings(*options.Configuration());
    WriteStrings(*options.Baggage());
    WriteBoolean(options.GenerateCFile());
    WriteString(options.Output());
    WriteBoolean(!options.IncludeImages());

    if (version > 10) {
        WriteBoolean(options.HTMLPngImages());
        for (int i = 0; i < TQMProjectOptions::HTMLColorCount; ++i)
            WriteInteger(options.HTMLColor(i));
    }
    if (version > 11) {
        WriteBoolean(options.IncludeSearchInfo());
        WriteBoolean(options.EnableAdvancedSearch());
        WriteBoolean(options.FavoritesTabVisible());
    }
    if (version > 13)
        WriteBoolean(options.AutoCollapseTOC());
    if (version > 15) {
        const THelpWindowPosition *position = options.HelpWindowPosition();
        WriteInteger(position->Left());
        WriteInteger(position->Top());
        WriteInteger(position->Width());
        WriteInteger(position->Height());
        WriteBoolean(position->Persistent());
    }
    if (version > 14)
        WriteBoolean(options.ConvertPopupLinks());
    if (version > 12) {
        const TQMWebExportOptions *web = options.WebExportOptions();
        WriteInteger(web->OutputFormat());
        WriteBoolean(web->UseStyleAttributesIndent());
        WriteBoolean(web->LargeFontSizes());
        WriteString(web->Contents());
        WriteString(web->ContentsTitle());
        WriteString(web->Index());
        WriteString(web->IndexTitle());
        WriteString(web->Previous());
        WriteString(web->Next());
        WriteBoolean(web->UseBuildTagsFromProject());
        WriteString(web->WebFilename());
    }
}

void TQMWriter::WriteTopicRecord(const TQMTopic &topic)
{
    WriteInteger(topic.TopicID());
    WriteString(topic.ContextString());
    WriteString(topic.Title());
    WriteString(topic.Keywords());
    WriteString(topic.DelphiKeywords());
    WriteString(topic.BuildTag());
    if (topic.BrowseSequence().isEmpty())
        WriteString(QString());
    else
        WriteString(topic.BrowseSequence() + QLatin1Char(':') +
                    QStringLiteral("%1").arg(topic.BrowseSequenceNum(), 6, 10, QLatin1Char('0')));
    WriteString(topic.Status());
    WriteString(topic.Window());
    WriteString(topic.EntryMacro());
    WriteString(topic.AKeywords());
    WriteBoolean(topic.Bookmark());
    WriteStrings(*topic.Text());
}

void TQMWriter::WriteContentsLine(const TQMContentsItem &item)
{
    QString line = QString::number(item.Level()) + QLatin1Char(' ') + item.Title();
    if (!item.Link().isEmpty())
        line += QLatin1Char('=') + item.Link();
    WriteString(line);
}

void TQMWriter::WriteTextMacro(const TQMTextMacro &macro)
{
    WriteString(macro.Name());
    WriteInteger(macro.Color());
    WriteString(macro.TypeFace());
    WriteInteger(macro.Unknown1());
    WriteInteger(macro.Size());
    WriteInteger(macro.Unknown2());
    WriteString(StyleLine(macro.Style()));
    WriteInteger(macro.Alignment());
    WriteString(macro.Bullet() ? u"1" : u"0");
    WriteInteger(macro.LeftMargin());
    WriteInteger(macro.RightMargin());
    WriteInteger(macro.Indent());
    WriteStrings(*macro.Tabs());
}

void TQMWriter::WriteProject(const TQuillmarkDoc &doc)
{
    WriteHeader(*doc.Options());

    const TQMTopics &topics = *doc.Topics();
    WriteInteger(topics.Count());
    for (int i = 0; i < topics.Count(); ++i)
        WriteTopicRecord(*topics.Items(i));

    WriteStrings(*doc.WindowDefinitions());
    WriteStrings(*doc.ContentsLinks());
    WriteStrings(*doc.ContentsIndices());

    const TQMContentsItems &contents = *doc.Contents();
    WriteInteger(contents.Count());
    for (int i = 0; i < contents.Count(); ++i)
        WriteContentsLine(*contents.Items(i));

    const TQMTextMacros &macros = *doc.TextMacros();
    WriteInteger(macros.Count());
    for (int i = 0; i < macros.Count(); ++i)
        WriteTextMacro(*macros.Items(i));
}

void TQMWriter::WriteSettings(const TQuillmarkDoc &doc)
{
    WriteHeader(*doc.Options());
    WriteStrings(*doc.RecentFiles());
    WriteInteger(doc.TopicIncrement());
    WriteInteger(doc.TopicGrid());
    WriteBoolean(doc.TopicGridEnabled());
    WriteFont(*doc.Font());

    const TQMStatuses &statuses = *doc.Statuses();
    const int writing = statuses.IndexOfText(QuillmarkDocStrings::StatusWriting());
    WriteFont(writing >= 0 ? *statuses.Items(writing)->Font() : *doc.Font());

    int others = 0;
    for (int i = 0; i < statuses.Count(); ++i) {
        if (!IsDoneOrWriting(statuses.Items(i)->Text()))
            ++others;
    }
    WriteInteger(others);
    for (int i = 0; i < statuses.Count(); ++i) {
        const TQMStatus *status = statuses.Items(i);
        if (IsDoneOrWriting(status->Text()))
            continue;
        WriteString(status->Text());
        WriteFont(*status->Font());
    }
    WriteString(doc.QMLocation());
}

// ---------------------------------------------------------------- document

void TQuillmarkDoc::SaveToStream(TStream &stream, const TEncoding *encoding)
{
    struct ClearModified
    {
        bool &flag;
        ~ClearModified() { flag = false; }
    } clear{m_modified};
    WriteEncodingPreamble(stream, encoding);
    TGTextStream text(stream, encoding);
    TQMWriter(text).WriteProject(*this);
    text.FlushBuffer();
}

void TQuillmarkDoc::SaveToFile(const QString &fileName, const TEncoding *encoding)
{
    // The ANSI code page would turn a character it lacks into "?"; such a
    // document goes out as UTF-8 with its mark, which the reader detects.
    if (encoding == nullptr && !TQMWriter::FitsAnsi(*this))
        encoding = TEncoding::Utf8();

    // The new file is written beside the target and replaces it only once
    // complete, so a failed save leaves the previous file as it was.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw EFCreateError(FoundationStrings::FileCreateError().arg(fileName, file.errorString()));
    m_recentFiles->AddFile(fileName);

    const bool modified = m_modified;
    try {
        TDeviceStream out(file);
        SaveToStream(out, encoding);
    } catch (...) {
        m_modified = modified;
        throw;
    }
    if (!file.commit()) {
        m_modified = modified;
        throw EWriteError(QMFileStrings::FileWriteError().arg(fileName, file.errorString()));
    }
    m_modified = false;
}

void TQuillmarkDoc::SaveSettingsToStream(TStream &stream, const TEncoding *encoding)
{
    WriteEncodingPreamble(stream, encoding);
    TGTextStream text(stream, encoding);
    TQMWriter(text).WriteSettings(*this);
    text.FlushBuffer();
}
