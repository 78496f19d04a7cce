// Writing project files and settings blocks: the layout, round trips in every
// encoding, the example projects byte for byte, and saves that fail.

#include "FileTestSupport.h"
#include "QtPrinters.h"
#include "foundation/Exceptions.h"
#include "quillmarkdoc/QMWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace FileTest;

namespace {

QStringList SplitLines(const QByteArray &bytes)
{
    QStringList lines = CodePage1252::Decode(bytes).split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines.last(), QString()) << "every line ends in CR LF";
    lines.removeLast();
    return lines;
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A document with every kind of value set away from its default.
void Fill(TQuillmarkDoc &doc)
{
    TQMProjectOptions &options = *doc.Options();
    options.SetUnknown1(QStringLiteral("u1"));
    options.SetHelpFileKind(3);
    options.SetHelpFileType(ftHTML);
    options.SetTitle(QStringLiteral("Help \u00e9"));
    options.SetBuildTag(QStringLiteral("tag"));
    options.SetCitation(QStringLiteral("cite"));
    options.SetCopyright(QStringLiteral("(c)"));
    options.SetCompress(true);
    options.SetLocaleID(QStringLiteral("0x0407"));
    options.SetBitmapPaths(QStringLiteral("img;bmp"));
    options.Configuration()->AssignStrings({QStringLiteral("BrowseButtons()"), QString()});
    options.Baggage()->AssignStrings({QStringLiteral("a.bin")});
    options.SetGenerateCFile(true);
    options.SetOutput(QStringLiteral("out.chm"));
    options.SetIncludeImages(true);
    options.SetHTMLPngImages(false);
    for (int i = 0; i < TQMProjectOptions::HTMLColorCount; ++i)
        options.SetHTMLColor(i, -2147483640 + i);
    options.SetIncludeSearchInfo(true);
    options.SetEnableAdvancedSearch(true);
    options.SetFavoritesTabVisible(true);
    options.SetAutoCollapseTOC(true);
    options.HelpWindowPosition()->SetLeft(1);
    options.HelpWindowPosition()->SetTop(2);
    options.HelpWindowPosition()->SetWidth(3);
    options.HelpWindowPosition()->SetHeight(4);
    options.HelpWindowPosition()->SetPersistent(false);
    options.SetConvertPopupLinks(true);
    TQMWebExportOptions &web = *options.WebExportOptions();
    web.SetOutputFormat(ofContents);
    web.SetUseStyleAttributesIndent(true);
    web.SetLargeFontSizes(true);
    web.SetContents(QStringLiteral("C"));
    web.SetContentsTitle(QStringLiteral("CT"));
    web.SetIndex(QStringLiteral("I"));
    web.SetIndexTitle(QStringLiteral("IT"));
    web.SetPrevious(QStringLiteral("P"));
    web.SetNext(QStringLiteral("N"));
    web.SetUseBuildTagsFromProject(true);
    web.SetWebFilename(QStringLiteral("w.htm"));

    for (int i = 0; i < 3; ++i) {
        TQMTopic *topic = doc.Topics()->Add();
        topic->SetTopicID(100 * (i + 1));
        topic->SetContextString(QStringLiteral("ctx%1").arg(i));
        topic->SetTitle(QStringLiteral("Topic %1 \u00fc").arg(i));
        topic->SetKeywords(QStringLiteral("k%1").arg(i));
        topic->SetDelphiKeywords(QStringLiteral("d%1").arg(i));
        topic->SetBuildTag(QStringLiteral("b%1").arg(i));
        topic->SetBrowseSequence(i == 1 ? QString() : QStringLiteral("seq"));
        topic->SetBrowseSequenceNum(i == 1 ? 0 : 1234567 * i);
        topic->SetStatus(QStringLiteral("To Do"));
        topic->SetWindow(QStringLiteral("win"));
        topic->SetEntryMacro(QStringLiteral("Macro()"));
        topic->SetAKeywords(QStringLiteral("a%1").arg(i));
        topic->SetBookmark(i == 2);
        topic->Text()->AssignStrings(
            {QStringLiteral("{\\rtf1 body %1").arg(i), QString(), QStringLiteral("}")});
    }
    doc.WindowDefinitions()->AssignStrings({QStringLiteral("main=,,,,")});
    doc.ContentsLinks()->AssignStrings({QStringLiteral(":Link other.cnt")});
    doc.ContentsIndices()->AssignStrings({QStringLiteral("i1"), QStringLiteral("i2")});
    const struct
    {
        int level;
        const char *title;
        const char *link;
    } entries[] = {
        {1, "Book", ""}, {2, "First", "Quill100"}, {2, "Second", "ctx1>win"}, {3, "Gone", "Quill999"}};
    for (const auto &e : entries) {
        TQMContentsItem *item = doc.Contents()->Add();
        item->SetLevel(e.level);
        item->SetTitle(QString::fromLatin1(e.title));
        item->SetLink(QString::fromLatin1(e.link));
    }
    TQMTextMacro *macro = doc.TextMacros()->Insert(0);
    macro->SetName(QStringLiteral("Mine"));
    macro->SetColor(-16777201);
    macro->SetTypeFace(QStringLiteral("Verdana"));
    macro->SetUnknown1(5);
    macro->SetSize(11);
    macro->SetUnknown2(6);
    macro->SetStyle(fsUnderline | fsStrikeOut);
    macro->SetAlignment(taRightJustify);
    macro->SetBullet(true);
    macro->SetLeftMargin(7);
    macro->SetRightMargin(8);
    macro->SetIndent(-9);
    macro->Tabs()->AssignStrings({QStringLiteral("360")});
}

TEST(WriterTest, EmptyDocumentLayout)
{
    TQuillmarkDoc doc;
    const QStringList lines = SplitLines(Save(doc));
    ASSERT_GE(lines.size(), 50);
    EXPECT_EQ(lines.at(0), QStringLiteral("Quillmark project file."));
    EXPECT_EQ(lines.at(1), QStringLiteral("16"));
    // Line 17: new options do not include images.
    EXPECT_EQ(lines.at(16), QStringLiteral("TRUE"));
    EXPECT_EQ(lines.mid(44, 6),
              (QStringList{QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"),
                           QStringLiteral("0"), QStringLiteral("12")}));
    // Twelve macros of thirteen lines with no tabs.
    EXPECT_EQ(lines.size(), 50 + 12 * 13);
    EXPECT_EQ(lines.at(50), QStringLiteral("*PopupLink"));
}

TEST(WriterTest, HeaderLengthFollowsTheVersion)
{
    const int lengths[] = {17, 23, 26, 37, 38, 39, 44};
    for (int version = 10; version <= 16; ++version) {
        SCOPED_TRACE(version);
        TQuillmarkDoc doc;
        doc.Options()->SetFileVersion(version);
        doc.Options()->SetIncludeImages(true);
        const QStringList lines = SplitLines(Save(doc));
        const int headerLength = lengths[version - 10];
        EXPECT_EQ(lines.at(16), QStringLiteral("FALSE"));
        EXPECT_EQ(lines.at(headerLength), QStringLiteral("0")) << "topic count after the header";
        EXPECT_EQ(lines.at(headerLength + 5), QStringLiteral("12"));
        EXPECT_EQ(lines.size(), headerLength + 6 + 12 * 13);
    }
}

TEST(WriterTest, RecordLines)
{
    TQuillmarkDoc doc;
    Fill(doc);
    const QStringList lines = SplitLines(Save(doc));
    // The first topic record follows the header (three lines longer for the
    // entries of Configuration and Baggage) and the count.
    EXPECT_EQ(lines.at(47), QStringLiteral("3"));
    EXPECT_EQ(lines.mid(48, 14),
              (QStringList{QStringLiteral("100"), QStringLiteral("ctx0"), QStringLiteral("Topic 0 \u00fc"),
                           QStringLiteral("k0"), QStringLiteral("d0"), QStringLiteral("b0"),
                           QStringLiteral("seq:000000"), QStringLiteral("To Do"), QStringLiteral("win"),
                           QStringLiteral("Macro()"), QStringLiteral("a0"), QStringLiteral("FALSE"),
                           QStringLiteral("3"), QStringLiteral("{\\rtf1 body 0")}));
    EXPECT_EQ(lines.at(48 + 16 + 6), QString()) << "no browse line without a sequence name";
    EXPECT_EQ(lines.at(48 + 2 * 16 + 6), QStringLiteral("seq:2469134"));
    const qsizetype contents = lines.indexOf(QStringLiteral("1 Book"));
    ASSERT_GT(contents, 0);
    EXPECT_EQ(lines.at(contents - 1), QStringLiteral("4"));
    EXPECT_EQ(lines.mid(contents + 1, 3),
              (QStringList{QStringLiteral("2 First=Quill100"), QStringLiteral("2 Second=ctx1>win"),
                           QStringLiteral("3 Gone=Quill999")}));
    EXPECT_EQ(
        lines.mid(contents + 5, 14),
        (QStringList{QStringLiteral("Mine"), QStringLiteral("-16777201"), QStringLiteral("Verdana"),
                     QStringLiteral("5"), QStringLiteral("11"), QStringLiteral("6"), QStringLiteral("..US"),
                     QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("7"), QStringLiteral("8"),
                     QStringLiteral("-9"), QStringLiteral("1"), QStringLiteral("360")}));
}

TEST(WriterTest, DocumentRoundTripsFieldByField)
{
    TQuillmarkDoc doc;
    Fill(doc);
    doc.SetModified(true);
    const QByteArray bytes = Save(doc);
    EXPECT_FALSE(doc.Modified());
    TQuillmarkDoc copy;
    Load(copy, bytes);
    EXPECT_EQ(Json(copy), Json(doc));
    // The differences of the format: the browse number without a name.
    for (const TEncoding *encoding : {TEncoding::Utf8(), TEncoding::Utf16LE(), TEncoding::Utf16BE()}) {
        SCOPED_TRACE(encoding->Name().toStdString());
        TQuillmarkDoc other;
        Load(other, Save(doc, encoding));
        EXPECT_EQ(Json(other), Json(doc));
    }
}

TEST(WriterTest, WrittenFilesRewriteByteForByteInEveryEncoding)
{
    TQuillmarkDoc doc;
    Fill(doc);
    const struct
    {
        const char *name;
        const TEncoding *encoding;
        QByteArray mark;
    } cases[] = {{"null", nullptr, {}},
                 {"ansi", TEncoding::Ansi(), {}},
                 {"utf8", TEncoding::Utf8(), "\xEF\xBB\xBF"},
                 {"utf16le", TEncoding::Utf16LE(), "\xFF\xFE"},
                 {"utf16be", TEncoding::Utf16BE(), "\xFE\xFF"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray first = Save(doc, c.encoding);
        EXPECT_TRUE(first.startsWith(c.mark));
        TQuillmarkDoc copy;
        Load(copy, first);
        EXPECT_EQ(Save(copy, c.encoding), first);
    }
}

TEST(WriterTest, ExampleProjectsRewriteByteForByte)
{
    for (const char *name : {"ClassLibrary.qmp", "ClassLibrary-old.qmp"}) {
        SCOPED_TRACE(name);
        const QByteArray original =
            ReadFile(QDir(QStringLiteral(QM_EXAMPLES_DIR)).filePath(QString::fromLatin1(name)));
        ASSERT_FALSE(original.isEmpty());
        TQuillmarkDoc doc;
        Load(doc, original);
        EXPECT_GT(doc.Topics()->Count(), 10);
        EXPECT_EQ(Save(doc), original);
    }
}

TEST(WriterTest, UnchangedValuesOfTheFormat)
{
    // A contents title holding "=" splits there when read back.
    TQuillmarkDoc doc;
    TQMContentsItem *item = doc.Contents()->Add();
    item->SetLevel(1);
    item->SetTitle(QStringLiteral("a=b"));
    TQuillmarkDoc copy;
    Load(copy, Save(doc));
    EXPECT_EQ(copy.Contents()->Items(0)->Title(), QStringLiteral("a"));
    EXPECT_EQ(copy.Contents()->Items(0)->Link(), QStringLiteral("b"));
}

// ---------------------------------------------------------------- settings

TEST(WriterTest, SettingsBlockWritesTheOtherStatuses)
{
    TQuillmarkDoc doc;
    doc.RecentFiles()->AddFile(QStringLiteral("/p/a.qmp"));
    doc.SetTopicIncrement(5);
    doc.SetQMLocation(QStringLiteral("/opt/qm"));
    TMemoryStream stream;
    doc.SaveSettingsToStream(stream);
    QStringList lines = SplitLines(stream.Bytes());
    ASSERT_EQ(lines.size(), 44 + 2 + 3 + 6 + 6 + 1 + 2 * 7 + 1);
    EXPECT_EQ(lines.mid(44, 5),
              (QStringList{QStringLiteral("1"), QStringLiteral("/p/a.qmp"), QStringLiteral("5"),
                           QStringLiteral("10"), QStringLiteral("FALSE")}));
    EXPECT_EQ(lines.at(61), QStringLiteral("2"));
    EXPECT_EQ(lines.at(62), QStringLiteral("To Do"));
    EXPECT_EQ(lines.at(69), QStringLiteral("Merged"));
    EXPECT_EQ(lines.at(75), QStringLiteral(".I.."));
    EXPECT_EQ(lines.last(), QStringLiteral("/opt/qm"));

    // Read back into a fresh document, the block gives the same block.
    TQuillmarkDoc copy;
    copy.RecentFiles()->Clear();
    stream.SetPosition(0);
    copy.LoadSettingsFromStream(stream);
    TMemoryStream again;
    copy.SaveSettingsToStream(again);
    EXPECT_EQ(again.Bytes(), stream.Bytes());

    // Without Done the count is still that of the others; without Writing
    // the editor font stands in for its record.
    doc.Statuses()->Delete(doc.Statuses()->IndexOfText(QStringLiteral("Done")));
    doc.Statuses()->Delete(doc.Statuses()->IndexOfText(QStringLiteral("Writing")));
    TMemoryStream fewer;
    doc.SaveSettingsToStream(fewer);
    lines = SplitLines(fewer.Bytes());
    EXPECT_EQ(lines.at(61), QStringLiteral("2"));
    EXPECT_EQ(lines.mid(55, 6), lines.mid(49, 6));
}

// ---------------------------------------------------------------- files

class SaveFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        target = dir.filePath(QStringLiteral("project.qmp"));
    }

    QStringList Entries() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }

    QTemporaryDir dir;
    QString target;
};

TEST_F(SaveFileTest, AnsiWhenItFitsUtf8WithMarkWhenNot)
{
    TQuillmarkDoc doc;
    Fill(doc);
    doc.SaveToFile(target);
    const QByteArray ansi = ReadFile(target);
    EXPECT_EQ(ansi, Save(doc));
    EXPECT_FALSE(doc.Modified());
    EXPECT_EQ(doc.RecentFiles()->ToQStringList(), QStringList{target});

    doc.Topics()->Items(1)->SetTitle(QStringLiteral("\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac"));
    doc.SaveToFile(target);
    const QByteArray utf8 = ReadFile(target);
    EXPECT_TRUE(utf8.startsWith("\xEF\xBB\xBF"));
    TQuillmarkDoc copy;
    copy.LoadFromFile(target);
    EXPECT_EQ(Json(copy), Json(doc));
    // An explicit encoding is what the caller asked for.
    doc.SaveToFile(target, TEncoding::Ansi());
    EXPECT_TRUE(ReadFile(target).contains("\r\n????????\r\n"));
    EXPECT_EQ(Entries(), QStringList{QStringLiteral("project.qmp")});
}

TEST_F(SaveFileTest, FailedSaveKeepsThePreviousFile)
{
    WriteFile(target, "previous contents");
    TQuillmarkDoc doc;
    Fill(doc);
    doc.SetModified(true);
    // A handler that fails once the file is open stands for any failure
    // while writing.
    doc.OnRecentFilesChange = [](TObject *) { throw EWriteError(QStringLiteral("disk full")); };
    EXPECT_THROW(doc.SaveToFile(target), EWriteError);
    EXPECT_EQ(ReadFile(target), QByteArray("previous contents"));
    EXPECT_TRUE(doc.Modified());
    EXPECT_EQ(Entries(), QStringList{QStringLiteral("project.qmp")});

    doc.OnRecentFilesChange = nullptr;
    doc.RecentFiles()->Clear();
    const QString missingDir = dir.filePath(QStringLiteral("missing/project.qmp"));
    EXPECT_THROW(doc.SaveToFile(missingDir), EFCreateError);
    EXPECT_EQ(doc.RecentFiles()->Count(), 0);
    EXPECT_TRUE(doc.Modified());
}

} // namespace
