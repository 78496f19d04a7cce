// Reading project files and settings blocks: the header groups of each
// version, topic order, the record syntax, encodings, and damaged input.

#include "FileTestSupport.h"
#include "QtPrinters.h"
#include "foundation/Exceptions.h"
#include "quillmarkdoc/QMReader.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace FileTest;

namespace {

QStringList Project(const QStringList &topics, int topicCount, const QStringList &tail = EmptyTail())
{
    return Header() + QStringList{QString::number(topicCount)} + topics + tail;
}

QString ErrorOf(const QByteArray &bytes)
{
    TQuillmarkDoc doc;
    try {
        Load(doc, bytes);
    } catch (const Exception &e) {
        return e.Message();
    }
    return QStringLiteral("(no error)");
}

TEST(ReaderTest, OlderVersionsOmitTheirGroupsAndKeepThoseFields)
{
    for (int version = 10; version <= 16; ++version) {
        SCOPED_TRACE(version);
        TQuillmarkDoc doc;
        TQMProjectOptions &options = *doc.Options();
        options.SetHTMLPngImages(false);
        options.SetIncludeSearchInfo(true);
        options.SetAutoCollapseTOC(true);
        options.HelpWindowPosition()->SetLeft(7);
        options.SetConvertPopupLinks(true);
        options.WebExportOptions()->SetOutputFormat(ofContents);

        Load(doc, Lines(Header(version) + QStringList{QStringLiteral("0")} + EmptyTail()));
        EXPECT_EQ(options.FileVersion(), version);
        EXPECT_EQ(options.HTMLPngImages(), version <= 10 ? false : true);
        EXPECT_EQ(options.HTMLActiveColor(), version <= 10 ? 255 : 5);
        EXPECT_EQ(options.IncludeSearchInfo(), version <= 11);
        EXPECT_EQ(options.AutoCollapseTOC(), version <= 13);
        EXPECT_EQ(options.HelpWindowPosition()->Left(), version <= 15 ? 7 : 150);
        EXPECT_EQ(options.ConvertPopupLinks(), version <= 14);
        EXPECT_EQ(options.WebExportOptions()->OutputFormat(),
                  version <= 12 ? ofContents : ofSimpleNavigation);
        EXPECT_EQ(doc.Topics()->Count(), 0);
    }
}

TEST(ReaderTest, Version16GroupsStandInFileOrder)
{
    QStringList lines = Header(16);
    // Line 28 on: window position, persistence, popup links, then web export.
    const int at = 27;
    lines[at] = QStringLiteral("11");
    lines[at + 1] = QStringLiteral("22");
    lines[at + 2] = QStringLiteral("333");
    lines[at + 3] = QStringLiteral("444");
    lines[at + 4] = QStringLiteral("FALSE");
    lines[at + 5] = QStringLiteral("TRUE");
    lines[at + 6] = QStringLiteral("2");
    lines[at + 9] = QStringLiteral("Inhalt");
    lines.last() = QStringLiteral("web.htm");
    TQuillmarkDoc doc;
    Load(doc, Lines(lines + QStringList{QStringLiteral("0")} + EmptyTail()));
    const THelpWindowPosition &position = *doc.Options()->HelpWindowPosition();
    EXPECT_EQ(position.Left(), 11);
    EXPECT_EQ(position.Top(), 22);
    EXPECT_EQ(position.Width(), 333);
    EXPECT_EQ(position.Height(), 444);
    EXPECT_FALSE(position.Persistent());
    EXPECT_TRUE(doc.Options()->ConvertPopupLinks());
    EXPECT_EQ(doc.Options()->WebExportOptions()->OutputFormat(), ofContents);
    EXPECT_EQ(doc.Options()->WebExportOptions()->Contents(), QStringLiteral("Inhalt"));
    EXPECT_EQ(doc.Options()->WebExportOptions()->WebFilename(), QStringLiteral("web.htm"));
}

TEST(ReaderTest, BooleansAreTrueOnlyForUpperCaseTrue)
{
    const struct
    {
        const char *line;
        bool compress;
        bool includeImages; // line 17 is the negation
    } cases[] = {{"TRUE", true, false},  {"true", false, true}, {"True", false, true},
                 {"TRUE ", false, true}, {"", false, true},     {"1", false, true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        QStringList lines = Header();
        lines[9] = QString::fromLatin1(c.line);
        lines[16] = QString::fromLatin1(c.line);
        TQuillmarkDoc doc;
        Load(doc, Lines(lines + QStringList{QStringLiteral("0")} + EmptyTail()));
        EXPECT_EQ(doc.Options()->Compress(), c.compress);
        EXPECT_EQ(doc.Options()->IncludeImages(), c.includeImages);
    }
}

TEST(ReaderTest, TopicsComeOutAscendingWithDuplicatesInFileOrder)
{
    TQuillmarkDoc doc;
    Load(doc, Lines(Project(
                  TopicRecord(30, QStringLiteral("thirty")) + TopicRecord(10, QStringLiteral("ten a")) +
                      TopicRecord(20, QStringLiteral("twenty")) + TopicRecord(10, QStringLiteral("ten b")),
                  4)));
    ASSERT_EQ(doc.Topics()->Count(), 4);
    QStringList titles;
    for (int i = 0; i < 4; ++i)
        titles << doc.Topics()->Items(i)->Title();
    EXPECT_EQ(titles, (QStringList{QStringLiteral("ten a"), QStringLiteral("ten b"), QStringLiteral("twenty"),
                                   QStringLiteral("thirty")}));
    EXPECT_EQ(doc.Topics()->Items(0)->TopicID(), 10);
    EXPECT_EQ(doc.Topics()->Items(1)->TopicID(), 10);
    EXPECT_EQ(doc.Topics()->Items(0)->Text()->ToQStringList(), QStringList{QStringLiteral("{\\rtf1 ten a}")});
    EXPECT_FALSE(doc.Modified());
}

TEST(ReaderTest, EmptyContextStringKeepsTheOneGivenOnCreation)
{
    TQuillmarkDoc doc;
    Load(doc, Lines(Project(TopicRecord(500, QStringLiteral("a"), QStringLiteral("Intro")) +
                                TopicRecord(700, QStringLiteral("b")),
                            2)));
    EXPECT_EQ(doc.Topics()->Items(0)->ContextString(), QStringLiteral("Intro"));
    // The second topic was created after 500, so it was numbered 501.
    EXPECT_EQ(doc.Topics()->Items(1)->TopicID(), 700);
    EXPECT_EQ(doc.Topics()->Items(1)->ContextString(), QStringLiteral("Quill501"));
}

TEST(ReaderTest, BrowseSequenceLine)
{
    const struct
    {
        const char *line;
        const char *name;
        int number;
    } cases[] = {
        {":000005", "", 5}, {"main", "main", 0}, {"main:000012", "main", 12}, {"a:b:7", "", -1}, {"", "", 0}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        TQuillmarkDoc doc;
        const QByteArray bytes =
            Lines(Project(TopicRecord(1, QStringLiteral("t"), QString(), QString::fromLatin1(c.line)), 1));
        if (c.number < 0) {
            // The text after the first colon must be a number.
            EXPECT_EQ(ErrorOf(bytes), QStringLiteral("'b:7' is not a valid integer value (line 52)"));
            continue;
        }
        Load(doc, bytes);
        EXPECT_EQ(doc.Topics()->Items(0)->BrowseSequence(), QString::fromLatin1(c.name));
        EXPECT_EQ(doc.Topics()->Items(0)->BrowseSequenceNum(), c.number);
    }
}

TEST(ReaderTest, ContentsLines)
{
    const struct
    {
        const char *line;
        int level;
        const char *title;
        const char *link;
        int topic; // 0: unresolved
        const char *window;
    } cases[] = {
        {"2 Getting started=Quill20>Main", 2, "Getting started", "Quill20>Main", 20, "Main"},
        {"1 Heading", 1, "Heading", "", 0, ""},
        {"3\t  Spaced title  = Intro", 3, "Spaced title", " Intro", 0, ""},
        {"  4 Context=intro", 4, "Context", "intro", 10, ""},
        {"-1 a=b=c", -1, "a", "b=c", 0, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        QStringList tail = {QStringLiteral("0"), QStringLiteral("0"),         QStringLiteral("0"),
                            QStringLiteral("1"), QString::fromLatin1(c.line), QStringLiteral("0")};
        TQuillmarkDoc doc;
        Load(doc, Lines(Project(TopicRecord(10, QStringLiteral("ten"), QStringLiteral("Intro")) +
                                    TopicRecord(20, QStringLiteral("twenty")),
                                2, tail)));
        ASSERT_EQ(doc.Contents()->Count(), 1);
        const TQMContentsItem &item = *doc.Contents()->Items(0);
        EXPECT_EQ(item.Level(), c.level);
        EXPECT_EQ(item.Title(), QString::fromLatin1(c.title));
        EXPECT_EQ(item.Link(), QString::fromLatin1(c.link));
        EXPECT_EQ(item.Topic() ? item.Topic()->TopicID() : 0, c.topic);
        EXPECT_EQ(item.WindowName(), QString::fromLatin1(c.window));
    }
}

TEST(ReaderTest, ContentsLevelMayFollowBlankLines)
{
    QStringList tail = {QStringLiteral("0"),      QStringLiteral("0"), QStringLiteral("0"),
                        QStringLiteral("1"),      QString(),           QStringLiteral("  "),
                        QStringLiteral("5 Late"), QStringLiteral("0")};
    TQuillmarkDoc doc;
    Load(doc, Lines(Project({}, 0, tail)));
    ASSERT_EQ(doc.Contents()->Count(), 1);
    EXPECT_EQ(doc.Contents()->Items(0)->Level(), 5);
    EXPECT_EQ(doc.Contents()->Items(0)->Title(), QStringLiteral("Late"));
}

TEST(ReaderTest, TextMacroFieldsAndStandardMacros)
{
    QStringList tail = {QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"),
                        QStringLiteral("2")};
    tail << QStringLiteral("Note") << QStringLiteral("-16777208") << QStringLiteral("Verdana")
         << QStringLiteral("3") << QStringLiteral("12") << QStringLiteral("4") << QStringLiteral("xI.S")
         << QStringLiteral("2") << QStringLiteral("1") << QStringLiteral("5") << QStringLiteral("6")
         << QStringLiteral("-7") << QStringLiteral("2") << QStringLiteral("720") << QStringLiteral("1440");
    // A syntax macro by its reserved name; the bullet line is "1" only.
    tail << TQMTextMacro::SyntaxMacroName(stSQL) << QStringLiteral("0") << QString() << QStringLiteral("0")
         << QStringLiteral("0") << QStringLiteral("0") << QStringLiteral("B") << QStringLiteral("0")
         << QStringLiteral("TRUE") << QStringLiteral("0") << QStringLiteral("0") << QStringLiteral("0")
         << QStringLiteral("0");
    TQuillmarkDoc doc;
    Load(doc, Lines(Project({}, 0, tail)));
    // The two from the file, then the twelve standard ones that were missing.
    ASSERT_EQ(doc.TextMacros()->Count(), 2 + 12 - 1);
    const TQMTextMacro &note = *doc.TextMacros()->Items(0);
    EXPECT_EQ(note.Name(), QStringLiteral("Note"));
    EXPECT_EQ(note.Color(), -16777208);
    EXPECT_EQ(note.TypeFace(), QStringLiteral("Verdana"));
    EXPECT_EQ(note.Unknown1(), 3);
    EXPECT_EQ(note.Size(), 12);
    EXPECT_EQ(note.Unknown2(), 4);
    EXPECT_EQ(note.Style(), TFontStyles(fsBold | fsItalic | fsStrikeOut));
    EXPECT_EQ(note.Alignment(), taCenter);
    EXPECT_TRUE(note.Bullet());
    EXPECT_EQ(note.LeftMargin(), 5);
    EXPECT_EQ(note.RightMargin(), 6);
    EXPECT_EQ(note.Indent(), -7);
    EXPECT_EQ(note.Tabs()->ToQStringList(), (QStringList{QStringLiteral("720"), QStringLiteral("1440")}));
    EXPECT_EQ(note.SyntaxType(), stDelphi);
    EXPECT_FALSE(note.IsSyntaxMacro());

    const TQMTextMacro &sql = *doc.TextMacros()->Items(1);
    EXPECT_EQ(sql.SyntaxType(), stSQL);
    EXPECT_TRUE(sql.IsSyntaxMacro());
    EXPECT_EQ(sql.Style(), TFontStyles(fsBold));
    EXPECT_FALSE(sql.Bullet());
}


TEST(ReaderTest, NumbersWithoutANameAreKeptAndWrittenBack)
{
    // The help file type, the web output format and a macro's alignment, each
    // a number the format has no name for, as a damaged or newer file has.
    QStringList header = Header();
    header[4] = QStringLiteral("150");
    header[header.size() - 11] = QStringLiteral("-3");
    QStringList tail = {QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"),
                        QStringLiteral("1")};
    tail << QStringLiteral("Note") << QStringLiteral("0") << QString() << QStringLiteral("0")
         << QStringLiteral("0") << QStringLiteral("0") << QStringLiteral("....") << QStringLiteral("2147483647")
         << QStringLiteral("0") << QStringLiteral("0") << QStringLiteral("0") << QStringLiteral("0")
         << QStringLiteral("0");
    const QByteArray bytes = Lines(header + QStringList{QStringLiteral("0")} + tail);
    TQuillmarkDoc doc;
    Load(doc, bytes);
    EXPECT_EQ(int(doc.Options()->HelpFileType()), 150);
    EXPECT_EQ(int(doc.Options()->WebExportOptions()->OutputFormat()), -3);
    EXPECT_EQ(int(doc.TextMacros()->Items(0)->Alignment()), 2147483647);
    const QByteArray saved = Save(doc);
    EXPECT_TRUE(saved.startsWith(Lines(header)));
    EXPECT_TRUE(saved.contains("\r\n....\r\n2147483647\r\n"));
}
TEST(ReaderTest, EncodingsAreDetectedOrGiven)
{
    const QString title = QStringLiteral("Caf\u00e9 \u20ac");
    const QStringList lines = Project(TopicRecord(1, title), 1);
    QString text;
    for (const QString &line : lines)
        text += line + QStringLiteral("\r\n");

    const struct
    {
        const char *name;
        QByteArray bytes;
        const TEncoding *given;
    } cases[] = {
        {"ansi", TEncoding::Ansi()->Encode(text), nullptr},
        {"utf8 mark", QByteArray("\xEF\xBB\xBF") + TEncoding::Utf8()->Encode(text), nullptr},
        {"utf16le mark", QByteArray("\xFF\xFE") + TEncoding::Utf16LE()->Encode(text), nullptr},
        {"utf16be mark", QByteArray("\xFE\xFF") + TEncoding::Utf16BE()->Encode(text), nullptr},
        {"utf8 given", TEncoding::Utf8()->Encode(text), TEncoding::Utf8()},
        {"utf16le given", TEncoding::Utf16LE()->Encode(text), TEncoding::Utf16LE()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TQuillmarkDoc doc;
        Load(doc, c.bytes, c.given);
        ASSERT_EQ(doc.Topics()->Count(), 1);
        EXPECT_EQ(doc.Topics()->Items(0)->Title(), title);
    }

    // Without a mark, UTF-8 bytes are Windows-1252 characters.
    TQuillmarkDoc doc;
    Load(doc, TEncoding::Utf8()->Encode(text));
    EXPECT_EQ(doc.Topics()->Items(0)->Title(), QStringLiteral("Caf\u00c3\u00a9 \u00e2\u201a\u00ac"));
}

TEST(ReaderTest, DamagedFilesFailWithTheirMessage)
{
    const QStringList header = Header();
    QStringList badVersion = header;
    badVersion[1] = QStringLiteral("17");
    QStringList version9 = header;
    version9[1] = QStringLiteral("9");
    QStringList textVersion = header;
    textVersion[1] = QStringLiteral("x16");
    QStringList wideColor = header;
    wideColor[18] = QStringLiteral("2147483648");
    QStringList badIdentifier = header;
    badIdentifier[0] = QStringLiteral("Quillmark project file. ");
    QStringList lowerIdentifier = header;
    lowerIdentifier[0] = QStringLiteral("quillmark project file.");

    const struct
    {
        const char *name;
        QByteArray bytes;
        const char *message;
    } cases[] = {
        {"empty", QByteArray(), "Missing Quillmark Identifier, not a Quillmark File"},
        {"trailing blank", Lines(badIdentifier), "Missing Quillmark Identifier, not a Quillmark File"},
        {"lower case", Lines(lowerIdentifier), "Missing Quillmark Identifier, not a Quillmark File"},
        {"version 17", Lines(badVersion), "Unknown Quillmark File Version, not a Quillmark File"},
        {"version 9", Lines(version9), "Unknown Quillmark File Version, not a Quillmark File"},
        {"version text", Lines(textVersion), "'x16' is not a valid integer value (line 2)"},
        {"beyond 32 bits", Lines(wideColor), "'2147483648' is not a valid integer value (line 19)"},
        {"ends after header", Lines(header), "'' is not a valid integer value (line 45)"},
        {"ends inside a topic", Lines(header + QStringList{QStringLiteral("1"), QStringLiteral("10")}),
         "'' is not a valid integer value (line 58)"},
        {"ends inside a list",
         Lines(header + QStringList{QStringLiteral("0"), QStringLiteral("3"), QStringLiteral("a")}),
         "'' is not a valid integer value (line 48)"},
        {"topic count", Lines(header + QStringList{QStringLiteral("many")}),
         "'many' is not a valid integer value (line 45)"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ErrorOf(c.bytes), QString::fromLatin1(c.message));
    }
}

TEST(ReaderTest, FailedLoadKeepsWhatWasReadAndStaysModified)
{
    TQuillmarkDoc doc;
    doc.Topics()->Add();
    doc.SetModified(true);
    QStringList header = Header();
    header[5] = QStringLiteral("Half read");
    EXPECT_THROW(Load(doc, Lines(header)), EConvertError);
    EXPECT_EQ(doc.Options()->Title(), QStringLiteral("Half read"));
    EXPECT_EQ(doc.Topics()->Count(), 0);
    EXPECT_EQ(doc.Topics()->UpdateCount(), 0);
    EXPECT_TRUE(doc.Modified());
}

TEST(ReaderTest, HugeCountsWithShortDataFailAtOnce)
{
    const QString huge = QStringLiteral("2000000000");
    const QStringList header = Header();
    QStringList configuration = header.mid(0, 12);
    configuration << huge << QStringLiteral("one entry");
    QStringList withNul = header.mid(0, 12);
    const struct
    {
        const char *name;
        QByteArray bytes;
    } cases[] = {
        {"configuration", Lines(configuration)},
        {"configuration then a character 0", Lines(withNul) + huge.toLatin1() + "\r\nx\0y\0z"},
        {"topics", Lines(header + QStringList{huge})},
        {"topic text", Lines(header + QStringList{QStringLiteral("1")} +
                             TopicRecord(1, QStringLiteral("t")).mid(0, 12) + QStringList{huge})},
        {"contents", Lines(header + QStringList{QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"),
                                                QStringLiteral("0"), huge})},
        {"macros",
         Lines(header + QStringList{QStringLiteral("0")} + EmptyTail().mid(0, 4) + QStringList{huge})},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QElapsedTimer timer;
        timer.start();
        TQuillmarkDoc doc;
        EXPECT_THROW(Load(doc, c.bytes), EConvertError);
        EXPECT_LT(timer.elapsed(), 2000);
    }
}

TEST(ReaderTest, LoadFromFileAddsTheNameOnlyOnSuccess)
{
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("good.qmp"));
    const QString bad = dir.filePath(QStringLiteral("bad.qmp"));
    for (const auto &[path, bytes] :
         {std::pair{good, Lines(Project({}, 0))}, std::pair{bad, QByteArray("x\r\n")}}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    TQuillmarkDoc doc;
    EXPECT_THROW(doc.LoadFromFile(bad), EQMException);
    EXPECT_THROW(doc.LoadFromFile(dir.filePath(QStringLiteral("missing.qmp"))), EFOpenError);
    EXPECT_EQ(doc.RecentFiles()->Count(), 0);
    doc.LoadFromFile(good);
    EXPECT_EQ(doc.RecentFiles()->ToQStringList(), QStringList{good});
}

// ---------------------------------------------------------------- settings

QStringList FontRecord(int color, const char *name, int size, const char *style)
{
    return {QString::number(color), QString::fromLatin1(name),      QStringLiteral("0"),
            QString::number(size),  QString::number(-size * 4 / 3), QString::fromLatin1(style)};
}

class SettingsTest : public ::testing::Test
{
protected:
    void Read(const QStringList &lines)
    {
        TMemoryStream stream(Lines(lines));
        doc.LoadSettingsFromStream(stream);
    }

    QStringList StatusTexts() const
    {
        QStringList texts;
        for (int i = 0; i < doc.Statuses()->Count(); ++i)
            texts << doc.Statuses()->Items(i)->Text();
        return texts;
    }

    TQuillmarkDoc doc;
};

TEST_F(SettingsTest, WholeBlock)
{
    doc.SetModified(false);
    QStringList lines = Header();
    lines << QStringLiteral("2") << QStringLiteral("/p/a.qmp") << QStringLiteral("/p/b.qmp")
          << QStringLiteral("5") << QStringLiteral("100") << QStringLiteral("TRUE");
    lines << FontRecord(0, "Tahoma", 9, "....") << FontRecord(255, "Tahoma", 9, ".I..");
    lines << QStringLiteral("1") << QStringLiteral("Review") << FontRecord(65280, "Tahoma", 9, "B...");
    lines << QStringLiteral("/opt/quillmark");
    Read(lines);

    EXPECT_EQ(doc.RecentFiles()->ToQStringList(),
              (QStringList{QStringLiteral("/p/a.qmp"), QStringLiteral("/p/b.qmp")}));
    EXPECT_EQ(doc.TopicIncrement(), 5);
    EXPECT_EQ(doc.TopicGrid(), 100);
    EXPECT_TRUE(doc.TopicGridEnabled());
    EXPECT_EQ(doc.Font()->Name(), QStringLiteral("Tahoma"));
    EXPECT_EQ(doc.Font()->Size(), 9);
    // To Do and Merged went; Done and Writing stay, the new one follows.
    EXPECT_EQ(StatusTexts(),
              (QStringList{QStringLiteral("Done"), QStringLiteral("Writing"), QStringLiteral("Review")}));
    const TFont &writing = *doc.Statuses()->Items(1)->Font();
    EXPECT_EQ(writing.Color(), 255);
    EXPECT_EQ(writing.Style(), TFontStyles(fsItalic));
    EXPECT_EQ(doc.Statuses()->Items(2)->Font()->Color(), 65280);
    EXPECT_EQ(doc.QMLocation(), QStringLiteral("/opt/quillmark"));
    EXPECT_FALSE(doc.Modified());
}

TEST_F(SettingsTest, BlockEndingEarlyLeavesTheRest)
{
    const QStringList before = StatusTexts();
    const QString fontName = doc.Font()->Name();
    doc.SetModified(true);
    Read(Header() + QStringList{QStringLiteral("1"), QStringLiteral("/p/a.qmp")});
    EXPECT_EQ(doc.RecentFiles()->Count(), 1);
    EXPECT_EQ(doc.TopicIncrement(), 1);
    EXPECT_EQ(doc.TopicGrid(), 10);
    EXPECT_EQ(doc.Font()->Name(), fontName);
    EXPECT_EQ(StatusTexts(), before);
    EXPECT_TRUE(doc.Modified());

    // Ending after the numbering: the font and statuses stay too.
    Read(Header() +
         QStringList{QStringLiteral("0"), QStringLiteral("3"), QStringLiteral("0"), QStringLiteral("TRUE")});
    EXPECT_EQ(doc.TopicIncrement(), 3);
    EXPECT_EQ(doc.TopicGrid(), 10); // 0 is ignored
    EXPECT_EQ(doc.Font()->Name(), fontName);
    EXPECT_EQ(StatusTexts(), before);
}

TEST_F(SettingsTest, WritingFontIsConsumedWithoutAStatus)
{
    doc.Statuses()->Delete(doc.Statuses()->IndexOfText(QStringLiteral("Writing")));
    QStringList lines = Header();
    lines << QStringLiteral("0") << QStringLiteral("1") << QStringLiteral("10") << QStringLiteral("FALSE");
    lines << FontRecord(0, "Arial", 10, "....") << FontRecord(255, "Ghost", 10, "....");
    lines << QStringLiteral("1") << QStringLiteral("Merged") << FontRecord(1, "Arial", 10, "....");
    lines << QStringLiteral("qm");
    Read(lines);
    EXPECT_EQ(StatusTexts(), (QStringList{QStringLiteral("Done"), QStringLiteral("Merged")}));
    EXPECT_EQ(doc.QMLocation(), QStringLiteral("qm"));
}

TEST_F(SettingsTest, TooManyRecentFilesAndErrorsKeepModified)
{
    doc.SetModified(true);
    QStringList lines = Header();
    lines << QStringLiteral("5");
    for (int i = 0; i < 5; ++i)
        lines << QStringLiteral("/p/%1.qmp").arg(i);
    EXPECT_THROW(Read(lines), EStringListError);
    EXPECT_TRUE(doc.Modified());

    doc.SetModified(false);
    EXPECT_THROW(Read(Header().mid(0, 20)), EConvertError);
    EXPECT_FALSE(doc.Modified());
}

TEST_F(SettingsTest, ReadsThroughATextStreamAfterOtherLines)
{
    QByteArray bytes =
        "window line 1\r\nwindow line 2\r\n" + Lines(Header() + QStringList{QStringLiteral("0")});
    TMemoryStream memory(bytes);
    TGTextStream outer(memory);
    EXPECT_EQ(outer.ReadLine(), QStringLiteral("window line 1"));
    EXPECT_EQ(outer.ReadLine(), QStringLiteral("window line 2"));
    doc.LoadSettingsFromStream(outer);
    EXPECT_EQ(doc.Options()->Title(), QStringLiteral("Title"));
}

} // namespace
