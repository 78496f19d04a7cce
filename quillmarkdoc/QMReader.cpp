#include "quillmarkdoc/QMReader.h"

#include "foundation/Convert.h"
#include "foundation/Exceptions.h"
#include "foundation/FoundationStrings.h"
#include "quillmarkdoc/QMFileStrings.h"
#include "quillmarkdoc/QuillmarkDoc.h"
#include "quillmarkdoc/QuillmarkDocStrings.h"

#include <algorithm>
#include <array>
#include <optional>

namespace {

// The versions the reader knows; the last one is also what new options carry.
constexpr std::array<int, 7> AcceptedVersions = {
    10, 11, 12, 13, 14, 15, TQMProjectOptions::NewestFileVersion};

bool IsBlank(QChar c)
{
    return c.unicode() < 33;
}

} // namespace

TQMReader::TQMReader(TGTextStream &stream, int firstLine)
    : m_stream(stream)
    , m_line(firstLine)
{}

// ---------------------------------------------------------------- values

void TQMReader::ThrowConvertError(const QString &text, int line) const
{
    throw EConvertError(FoundationStrings::ConvertError().arg(text) + QMFileStrings::AtLine().arg(line));
}

void TQMReader::ThrowDataEnded() const
{
    ThrowConvertError(QString(), m_line);
}

int32_t TQMReader::ToInteger(const QString &text, int line) const
{
    const std::optional<int32_t> value = TryStrToInt(text);
    if (!value)
        ThrowConvertError(text, line);
    return *value;
}

QString TQMReader::ReadString()
{
    ++m_line;
    QString line = m_stream.ReadLine();
    // The line was built with room to grow; the document keeps it for good,
    // and across a whole project the spare room would add up to a third more
    // memory. Shrinking in place costs next to nothing.
    line.squeeze();
    return line;
}

int32_t TQMReader::ReadInteger()
{
    const int line = m_line;
    return ToInteger(ReadString(), line);
}

bool TQMReader::ReadBoolean()
{
    return ReadString() == QLatin1String("TRUE");
}

QStringList TQMReader::ReadStringList()
{
    const int count = ReadInteger();
    QStringList list;
    for (int i = 0; i < count; ++i) {
        if (AtEnd())
            ThrowDataEnded();
        list.append(ReadString());
    }
    return list;
}

void TQMReader::ReadStrings(TStringList &list)
{
    list.Clear();
    const QStringList entries = ReadStringList();
    if (!entries.isEmpty())
        list.AddStrings(entries);
}

TFontStyles TQMReader::ParseStyle(QStringView line)
{
    static constexpr std::array<TFontStyle, 4> styles = {fsBold, fsItalic, fsUnderline, fsStrikeOut};
    TFontStyles result;
    for (qsizetype i = 0; i < qsizetype(styles.size()) && i < line.size(); ++i) {
        if (line[i] != QLatin1Char('.'))
            result |= styles[size_t(i)];
    }
    return result;
}

void TQMReader::ReadFont(TFont &font)
{
    font.SetColor(ReadInteger());
    font.SetName(ReadString());
    font.SetCharset(static_cast<TFontCharset>(ReadInteger()));
    font.SetSize(ReadInteger());
    font.SetHeight(ReadInteger());
    font.SetStyle(ReadStyle());
}

// ---------------------------------------------------------------- records

void TQMReader::ReadHeader(TQMProjectOptions &options)
{
    if (ReadString() != QMFileStrings::Identifier())
        throw EQMException(QMFileStrings::MissingIdentifier());
    const int version = ReadInteger();
    if (std::find(AcceptedVersions.begin(), AcceptedVersions.end(), version) == AcceptedVersions.end())
        throw EQMException(QMFileStrings::UnknownVersion());

    options.SetFileVersion(version);
    options.SetUnknown1(ReadString());
    options.SetHelpFileKind(ReadInteger());
    options.SetHelpFileType(static_cast<THelpFileType>(ReadInteger()));
    options.SetTitle(ReadString());
    options.SetBuildTag(ReadString());
    options.SetCitation(ReadString());
    options.SetCopyright(ReadString());
    options.SetCompress(ReadBoolean());
    options.SetLocaleID(ReadString());
    options.SetBitmapPaths(ReadString());
    ReadStrings(*options.Configuration());
    ReadStrings(*options.Baggage());
    options.SetGenerateCFile(ReadBoolean());
    options.SetOutput(ReadString());
    options.SetIncludeImages(!ReadBoolean());

    // The groups came with different versions but sit in this order.
    if (version > 10) {
        options.SetHTMLPngImages(ReadBoolean());
        for (int i = 0; i < TQMProjectOptions::HTMLColorCount; ++i)
            options.SetHTMLColor(i, ReadInteger());
    }
    if (version > 11) {
        options.SetIncludeSearchInfo(ReadBoolean());
        options.SetEnableAdvancedSearch(ReadBoolean());
        options.SetFavoritesTabVisible(ReadBoolean());
    }
    if (version > 13)
        options.SetAutoCollapseTOC(ReadBoolean());
    if (version > 15) {
        THelpWindowPosition *position = options.HelpWindowPosition();
        // Left first: it moves the left edge, the extents follow.
        position->SetLeft(ReadInteger());
        position->SetTop(ReadInteger());
        position->SetWidth(ReadInteger());
        position->SetHeight(ReadInteger());
        position->SetPersistent(ReadBoolean());
    }
    if (version > 14)
        options.SetConvertPopupLinks(ReadBoolean());
    if (version > 12) {
        TQMWebExportOptions *web = options.WebExportOptions();
        web->SetOutputFormat(static_cast<TWebExportOutputFormat>(ReadInteger()));
        web->SetUseStyleAttributesIndent(ReadBoolean());
        web->SetLargeFontSizes(ReadBoolean());
        web->SetContents(ReadString());
        web->SetContentsTitle(ReadString());
        web->SetIndex(ReadString());
        web->SetIndexTitle(ReadString());
        web->SetPrevious(ReadString());
        web->SetNext(ReadString());
        web->SetUseBuildTagsFromProject(ReadBoolean());
        web->SetWebFilename(ReadString());
    }
}

void TQMReader::ReadTopicRecord(TQMTopic &topic)
{
    topic.StoreTopicID(ReadInteger());
    topic.SetContextString(ReadString());
    topic.SetTitle(ReadString());
    topic.SetKeywords(ReadString());
    topic.SetDelphiKeywords(ReadString());
    topic.SetBuildTag(ReadString());

    const int browseLine = m_line;
    const QString browse = ReadString();
    const qsizetype colon = browse.indexOf(QLatin1Char(':'));
    if (colon >= 0) {
        topic.SetBrowseSequence(browse.left(colon));
        topic.SetBrowseSequenceNum(ToInteger(browse.mid(colon + 1), browseLine));
    } else {
        topic.SetBrowseSequence(browse);
        topic.SetBrowseSequenceNum(0);
    }

    topic.SetStatus(ReadString());
    topic.SetWindow(ReadString());
    topic.SetEntryMacro(ReadString());
    topic.SetAKeywords(ReadString());
    topic.SetBookmark(ReadBoolean());
    // One change for the whole body instead of one per line, and room for
    // exactly the lines that were read: bodies are most of a project's memory.
    const QStringList lines = ReadStringList();
    TStringList &text = *topic.Text();
    TUpdateScope<TStringList> bracket(text);
    text.Clear();
    text.SetCapacity(int(lines.size()));
    text.AddStrings(lines);
}

void TQMReader::ReadTopics(TQMTopics &topics)
{
    TUpdateScope<TCollection> bracket(topics);
    topics.Clear();
    const int count = ReadInteger();
    for (int i = 0; i < count; ++i) {
        TQMTopic *topic = topics.Add();
        ReadTopicRecord(*topic);
        // A stable insertion: past every topic with a greater number, so
        // equal numbers keep file order. Files the writer made are already
        // ascending and never get here.
        const int last = topics.Count() - 1;
        const int number = topic->TopicID();
        if (last > 0 && topics.Items(last - 1)->TopicID() > number) {
            int low = 0;
            int high = last - 1;
            while (low < high) {
                const int middle = low + (high - low) / 2;
                if (topics.Items(middle)->TopicID() > number)
                    high = middle;
                else
                    low = middle + 1;
            }
            topics.Move(last, low);
        }
    }
}

void TQMReader::ReadContentsLine(TQMContentsItem &item)
{
    // The level is a token: blanks, line ends included, come before it.
    int line = m_line;
    QString text = ReadString();
    qsizetype start = 0;
    for (;;) {
        while (start < text.size() && IsBlank(text[start]))
            ++start;
        if (start < text.size())
            break;
        if (AtEnd())
            ThrowConvertError(QString(), line);
        line = m_line;
        text = ReadString();
        start = 0;
    }
    qsizetype end = start;
    while (end < text.size() && text[end] != QLatin1Char(' ') && text[end] != QLatin1Char('\t'))
        ++end;
    const int level = ToInteger(text.mid(start, end - start), line);

    const QStringView rest = QStringView(text).mid(end);
    const qsizetype equals = rest.indexOf(QLatin1Char('='));
    item.SetLevel(level);
    if (equals >= 0) {
        item.SetTitle(rest.left(equals).trimmed().toString());
        item.SetLink(rest.mid(equals + 1).toString());
    } else {
        item.SetTitle(rest.trimmed().toString());
        item.SetLink(QString());
    }
}

void TQMReader::ReadContents(TQMContentsItems &contents)
{
    TUpdateScope<TCollection> bracket(contents);
    contents.Clear();
    const int count = ReadInteger();
    for (int i = 0; i < count; ++i)
        ReadContentsLine(*contents.Add());
}

void TQMReader::ReadTextMacro(TQMTextMacro &macro)
{
    macro.SetName(ReadString());
    macro.SetColor(ReadInteger());
    macro.SetTypeFace(ReadString());
    macro.SetUnknown1(ReadInteger());
    macro.SetSize(ReadInteger());
    macro.SetUnknown2(ReadInteger());
    macro.SetStyle(ReadStyle());
    macro.SetAlignment(static_cast<TAlignment>(ReadInteger()));
    macro.SetBullet(ReadString() == QLatin1String("1"));
    macro.SetLeftMargin(ReadInteger());
    macro.SetRightMargin(ReadInteger());
    macro.SetIndent(ReadInteger());
    macro.Tabs()->AssignStrings(ReadStringList());
}

void TQMReader::ReadTextMacros(TQuillmarkDoc &doc)
{
    {
        TQMTextMacros &macros = *doc.TextMacros();
        TUpdateScope<TCollection> bracket(macros);
        macros.Clear();
        const int count = ReadInteger();
        for (int i = 0; i < count; ++i)
            ReadTextMacro(*macros.Add());
    }
    doc.EnsureDefaultMacros();
}

void TQMReader::ReadProject(TQuillmarkDoc &doc)
{
    ReadHeader(*doc.Options());
    ReadTopics(*doc.Topics());
    ReadStrings(*doc.WindowDefinitions());
    ReadStrings(*doc.ContentsLinks());
    ReadStrings(*doc.ContentsIndices());
    ReadContents(*doc.Contents());
    ReadTextMacros(doc);
}

void TQMReader::ReadSettings(TQuillmarkDoc &doc)
{
    ReadHeader(*doc.Options());

    const int recentCount = ReadInteger();
    for (int i = 0; i < recentCount; ++i) {
        if (AtEnd())
            ThrowDataEnded();
        doc.RecentFiles()->Add(ReadString());
    }

    // Older programs wrote shorter blocks: whatever is missing stays.
    if (AtEnd())
        return;
    doc.SetTopicIncrement(ReadInteger());
    if (AtEnd())
        return;
    doc.SetTopicGrid(ReadInteger());
    if (AtEnd())
        return;
    doc.SetTopicGridEnabled(ReadBoolean());
    if (AtEnd())
        return;
    {
        // One change of the editor font, so the statuses rebase once.
        TFont font;
        font.Assign(doc.Font());
        ReadFont(font);
        doc.SetFont(&font);
    }

    if (AtEnd())
        return;
    TQMStatuses &statuses = *doc.Statuses();
    const int writing = statuses.IndexOfText(QuillmarkDocStrings::StatusWriting());
    if (writing >= 0) {
        ReadFont(*statuses.Items(writing)->Font());
    } else {
        TFont discarded;
        ReadFont(discarded);
    }

    if (AtEnd())
        return;
    const int statusCount = ReadInteger();
    for (int i = statuses.Count() - 1; i >= 0; --i) {
        const QString &text = statuses.Items(i)->Text();
        if (text.compare(QuillmarkDocStrings::StatusDone(), Qt::CaseInsensitive) != 0 &&
            text.compare(QuillmarkDocStrings::StatusWriting(), Qt::CaseInsensitive) != 0)
            statuses.Delete(i);
    }
    for (int i = 0; i < statusCount; ++i) {
        if (AtEnd())
            ThrowDataEnded();
        TQMStatus *status = statuses.Add();
        status->SetText(ReadString());
        ReadFont(*status->Font());
    }

    if (AtEnd())
        return;
    doc.SetQMLocation(ReadString());
}

// ---------------------------------------------------------------- document

void TQuillmarkDoc::LoadFromFile(const QString &fileName, const TEncoding *encoding)
{
    {
        TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
        LoadFromStream(file, encoding);
    }
    m_recentFiles->AddFile(fileName);
}

void TQuillmarkDoc::LoadFromStream(TStream &stream, const TEncoding *encoding)
{
    TGTextStream text(stream, encoding);
    TQMReader(text).ReadProject(*this);
    m_modified = false;
}

void TQuillmarkDoc::LoadSettingsFromStream(TStream &stream, const TEncoding *encoding)
{
    // Settings are presentation: reading them never makes the project look
    // edited, also when they fail half-way.
    struct Restore
    {
        bool &flag;
        bool saved;
        ~Restore() { flag = saved; }
    } restore{m_modified, m_modified};
    TGTextStream text(stream, encoding);
    TQMReader(text).ReadSettings(*this);
}
