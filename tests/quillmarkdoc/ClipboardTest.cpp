#include "ModelTestSupport.h"
#include "QtPrinters.h"

#include "foundation/GStreams.h"
#include "quillmarkdoc/QMClipboard.h"
#include "quillmarkdoc/QuillmarkDocStack.h"

#include <gtest/gtest.h>

namespace {

// One topic record as the project file holds it, lines ending CR LF.
QString Record(int number, const QString &context, const QString &title, const QStringList &text,
               const QString &browse = QString())
{
    QStringList lines = {QString::number(number),
                         context,
                         title,
                         {},
                         {},
                         {},
                         browse,
                         QStringLiteral("Writing"),
                         {},
                         {},
                         {},
                         QStringLiteral("FALSE"),
                         QString::number(text.size())};
    lines += text;
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

class Clipboard : public testing::Test
{
protected:
    Clipboard() { TQMClipboard::Install(&clipboard); }
    ~Clipboard() override { TQMClipboard::Install(nullptr); }

    void Put(TQMClipboardFormatType format, const QString &payload)
    {
        TQMClipboardFormat carrier;
        carrier.SetFormat(format);
        carrier.SetText(payload);
        clipboard.SetCarrierData(carrier.Serialize());
    }

    static QStringList Titles(const TQuillmarkDoc &doc)
    {
        QStringList titles;
        for (int i = 0; i < doc.Topics()->Count(); ++i)
            titles.append(doc.Topics()->Items(i)->Title());
        return titles;
    }

    // Source topics 10, 20, 30; 10 links to 20, 20 to 10; 10 and 20
    // selected and copied.
    void CopyTenAndTwenty()
    {
        AddTopics(source, {10, 20, 30});
        source.Topics()->Items(0)->Text()->AssignStrings({QStringLiteral("{\\rtf1 to \\{linkID=20\\}}")});
        source.Topics()->Items(1)->Text()->AssignStrings({QStringLiteral("{\\rtf1 to \\{linkID=10>w\\}}")});
        source.Topics()->Items(0)->SetSelected(true);
        source.Topics()->Items(1)->SetSelected(true);
        source.CopyTopicsToClipboard();
    }

    TQMMemoryClipboard clipboard;
    TQuillmarkDoc source;
    TQuillmarkDoc doc;
};

struct NumberingCase
{
    const char *name;
    QList<int> existing;
    int current; // index of the current topic, -1 for none
    QList<int> numbers;
    QStringList contexts;
    QString linkOfFirst;
    QString linkOfSecond;
};

TEST_F(Clipboard, PastedTopicsTakeFreeNumbersAndTheirLinksFollow)
{
    const NumberingCase cases[] = {
        {"after a current topic",
         {5, 8},
         0,
         {5, 6, 7, 8},
         {{}, QStringLiteral("Quill6"), QStringLiteral("Quill7"), {}},
         QStringLiteral("{\\rtf1 to \\{linkID=7\\}}"),
         QStringLiteral("{\\rtf1 to \\{linkID=6>w\\}}")},
        {"after a current topic, stepping over taken numbers between",
         {5, 7, 8},
         0,
         {5, 6, 7, 8, 9},
         {{}, QStringLiteral("Quill6"), {}, {}, QStringLiteral("Quill9")},
         QStringLiteral("{\\rtf1 to \\{linkID=9\\}}"),
         QStringLiteral("{\\rtf1 to \\{linkID=6>w\\}}")},
        {"into an empty document",
         {},
         -1,
         {10, 20},
         {QStringLiteral("Quill10"), QStringLiteral("Quill20")},
         QStringLiteral("{\\rtf1 to \\{linkID=20\\}}"),
         QStringLiteral("{\\rtf1 to \\{linkID=10>w\\}}")},
        {"without a current topic, one number taken",
         {10},
         -1,
         {10, 11, 20},
         {{}, QStringLiteral("Quill11"), QStringLiteral("Quill20")},
         QStringLiteral("{\\rtf1 to \\{linkID=20\\}}"),
         QStringLiteral("{\\rtf1 to \\{linkID=11>w\\}}")},
    };
    for (const NumberingCase &c : cases) {
        SCOPED_TRACE(c.name);
        source.Clear();
        doc.Clear();
        CopyTenAndTwenty();
        for (int number : c.existing)
            AddTopics(doc, {number});
        doc.SetTopicIndex(c.current);
        doc.PasteFromClipboard();

        EXPECT_EQ(c.numbers, TopicNumbers(doc));
        TQMTopic *first = nullptr;
        TQMTopic *second = nullptr;
        for (int i = 0; i < doc.Topics()->Count(); ++i) {
            TQMTopic *topic = doc.Topics()->Items(i);
            if (!c.contexts[i].isEmpty()) {
                EXPECT_EQ(c.contexts[i], topic->ContextString());
            }
            if (topic->Title() == QStringLiteral("T10"))
                first = topic;
            if (topic->Title() == QStringLiteral("T20"))
                second = topic;
        }
        ASSERT_TRUE(first && second);
        EXPECT_EQ(c.linkOfFirst, first->Text()->Strings(0));
        EXPECT_EQ(c.linkOfSecond, second->Text()->Strings(0));
        EXPECT_FALSE(first->Selected());
    }
}

TEST_F(Clipboard, PasteKeepsOwnContextStringsAndMapsBrowseNumbers)
{
    AddTopics(doc, {1});
    doc.SetTopicIndex(0);
    Put(cftTopic, QStringLiteral("1\r\n") + Record(1, QStringLiteral("MyContext"), QStringLiteral("A"), {},
                                                   QStringLiteral("seq:1")));
    doc.PasteFromClipboard();
    ASSERT_EQ(2, doc.Topics()->Count());
    const TQMTopic *pasted = doc.Topics()->Items(1);
    EXPECT_EQ(2, pasted->TopicID());
    EXPECT_EQ(QStringLiteral("MyContext"), pasted->ContextString());
    EXPECT_EQ(QStringLiteral("seq"), pasted->BrowseSequence());
    EXPECT_EQ(2, pasted->BrowseSequenceNum());
}

TEST_F(Clipboard, RecordNumberedZeroIsPastedAndMappedLikeAnyOther)
{
    AddTopics(doc, {40});
    doc.SetTopicIndex(0);
    Put(cftTopic, QStringLiteral("2\r\n") + Record(0, QStringLiteral("Quill0"), QStringLiteral("zero"), {}) +
                      Record(3, QStringLiteral("Quill3"), QStringLiteral("three"),
                             {QStringLiteral("\\{linkID=0\\} \\{linkID=3\\}")}));
    doc.PasteFromClipboard();
    EXPECT_EQ(QList<int>({40, 41, 42}), TopicNumbers(doc));
    EXPECT_EQ(QStringLiteral("Quill41"), doc.Topics()->Items(1)->ContextString());
    EXPECT_EQ(QStringLiteral("\\{linkID=41\\} \\{linkID=42\\}"), doc.Topics()->Items(2)->Text()->Strings(0));
}

TEST_F(Clipboard, TopicInfoReplacesTheCurrentTopicsFieldsButNotItsIdentity)
{
    AddTopics(doc, {5});
    doc.SetTopicIndex(0);
    Put(cftTopicInfo,
        Record(99, QStringLiteral("Other"), QStringLiteral("New title"), {QStringLiteral("body")}));
    doc.PasteFromClipboard();
    ASSERT_EQ(1, doc.Topics()->Count());
    const TQMTopic *topic = doc.Topics()->Items(0);
    EXPECT_EQ(5, topic->TopicID());
    EXPECT_EQ(QStringLiteral("Quill5"), topic->ContextString());
    EXPECT_EQ(QStringLiteral("New title"), topic->Title());
    EXPECT_EQ(QStringList({QStringLiteral("body")}), topic->Text()->ToQStringList());

    // Without a current topic it becomes a new one with its own number.
    doc.SetTopicIndex(-1);
    doc.PasteFromClipboard();
    EXPECT_EQ(QList<int>({5, 6}), TopicNumbers(doc));
    EXPECT_EQ(QStringLiteral("New title"), doc.Topics()->Items(1)->Title());
}

TEST_F(Clipboard, CopyTopicWithoutCurrentTopicLeavesTheClipboardAlone)
{
    AddTopics(source, {1});
    source.CopyTopicToClipboard();
    EXPECT_FALSE(clipboard.CarrierData().has_value());
    source.SetTopicIndex(0);
    source.CopyTopicToClipboard();
    EXPECT_TRUE(doc.CanPaste({cftTopicInfo}));
    EXPECT_FALSE(doc.CanPaste({cftTopic, cftTOC}));
}

// ---------------------------------------------------------------- contents

struct LevelCase
{
    const char *name;
    QList<int> existing;
    int current;
    QList<int> pasted; // levels on the clipboard
    QList<int> levels; // the whole table afterwards
};

TEST_F(Clipboard, PastedContentsBecomeChildrenOfTheEntryBefore)
{
    const LevelCase cases[] = {
        {"after a level 3 entry", {1, 2, 3}, 2, {1, 2}, {1, 2, 3, 4, 5}},
        {"in front of a sibling", {1, 2, 2}, 1, {2, 3, 2}, {1, 2, 3, 4, 3, 2}},
        {"at the top", {2}, -1, {3, 4, 1}, {1, 2, 1, 2}},
        {"deep levels are lifted", {1}, 0, {5, 6, 5}, {1, 2, 3, 2}},
    };
    for (const LevelCase &c : cases) {
        SCOPED_TRACE(c.name);
        source.Clear();
        doc.Clear();
        for (int level : c.pasted) {
            TQMContentsItem *item = source.Contents()->Add();
            item->SetLevel(level);
            item->SetTitle(QStringLiteral("p%1").arg(level));
            item->SetSelected(true);
        }
        source.CopyContentsToClipboard();
        for (int level : c.existing)
            doc.Contents()->Add()->SetLevel(level);
        doc.SetContentIndex(c.current);
        doc.PasteFromClipboard();
        QList<int> levels;
        for (int i = 0; i < doc.Contents()->Count(); ++i)
            levels.append(doc.Contents()->Items(i)->Level());
        EXPECT_EQ(c.levels, levels);
    }
}

TEST_F(Clipboard, ContentsCountBeyondTheLinesPastesTheLinesPresent)
{
    doc.Contents()->Add()->SetLevel(3);
    doc.SetContentIndex(0);
    Put(cftTOC, QStringLiteral("2000000000\r\n1 One=Quill1\r\n2 Two\r\n"));
    doc.PasteFromClipboard();
    ASSERT_EQ(3, doc.Contents()->Count());
    EXPECT_EQ(QStringLiteral("One"), doc.Contents()->Items(1)->Title());
    EXPECT_EQ(QStringLiteral("Quill1"), doc.Contents()->Items(1)->Link());
    EXPECT_EQ(4, doc.Contents()->Items(1)->Level());
    EXPECT_EQ(5, doc.Contents()->Items(2)->Level());
}

// ---------------------------------------------------------------- bad data

TEST_F(Clipboard, DamagedPayloadsPasteWhatTheyCanAndReport)
{
    struct Case
    {
        const char *name;
        QString payload;
        int pastedTopics;
    };
    const Case cases[] = {
        {"count far beyond the records",
         QStringLiteral("2000000000\r\n") + Record(1, QStringLiteral("Quill1"), {}, {}), 1},
        {"record cut short",
         QStringLiteral("2\r\n") + Record(1, QStringLiteral("Quill1"), {}, {}) +
             QStringLiteral("2\r\nQuill2\r\n"),
         1},
        {"not a number", QStringLiteral("many\r\n"), 0},
        {"text count beyond the lines",
         QStringLiteral("1\r\n7\r\nc\r\nt\r\n\r\n\r\n\r\n\r\nW\r\n\r\n\r\n\r\nFALSE\r\n"
                        "2000000000\r\nline\r\n"),
         0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        doc.Clear();
        Put(cftTopic, c.payload);
        EXPECT_THROW(doc.PasteFromClipboard(), Exception);
        EXPECT_EQ(c.pastedTopics, doc.Topics()->Count());
        EXPECT_EQ(0, doc.Topics()->UpdateCount());
    }
}

TEST_F(Clipboard, ForeignOrDamagedCarriersAreRefusedWithAMessage)
{
    TQMClipboardFormat carrier;
    carrier.SetFormat(cftTOC);
    carrier.SetText(QStringLiteral("1\r\n1 A\r\n"));
    const QByteArray good = carrier.Serialize();
    const struct
    {
        const char *name;
        QByteArray data;
        const char16_t *message;
    } cases[] = {
        {"another class", QByteArray("TOtherThing\nFormat=cftTOC\nText=0\n"), u"Class TOtherThing not found"},
        {"truncated", good.left(good.size() - 3), u"The clipboard data is damaged and was not pasted"},
        {"unknown format", QByteArray("TQMClipboardFormat\nFormat=cftSomething\nText=0\n"),
         u"The clipboard data is damaged and was not pasted"},
        {"huge length", QByteArray("TQMClipboardFormat\nFormat=cftTOC\nText=99999999999999999999\n"),
         u"The clipboard data is damaged and was not pasted"},
        {"no line end", QByteArray("\x01\x02\x03"), u"The clipboard data is damaged and was not pasted"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        clipboard.SetCarrierData(c.data);
        EXPECT_FALSE(doc.CanPaste({cftTopic, cftTopicInfo, cftTOC}));
        try {
            doc.PasteFromClipboard();
            ADD_FAILURE() << "pasted";
        } catch (const EQMException &error) {
            EXPECT_EQ(QString::fromUtf16(c.message), error.Message());
        }
        EXPECT_EQ(0, doc.Contents()->Count());
    }
    // A blank payload or an empty clipboard: nothing happens.
    Put(cftTopic, QStringLiteral(" \r\n "));
    doc.PasteFromClipboard();
    clipboard.Clear();
    doc.PasteFromClipboard();
    EXPECT_EQ(0, doc.Topics()->Count());
}

TEST_F(Clipboard, CarrierRoundTripKeepsFormatAndText)
{
    for (TQMClipboardFormatType format : {cftTopic, cftTopicInfo, cftTOC}) {
        TQMClipboardFormat out;
        out.SetFormat(format);
        out.SetText(QStringLiteral("1\r\n\u00e9\u20ac\r\n"));
        TQMClipboardFormat in;
        ASSERT_EQ(TQMClipboardFormat::TReadResult::Read,
                  TQMClipboardFormat::Deserialize(out.Serialize(), in));
        EXPECT_EQ(format, in.Format());
        EXPECT_EQ(out.Text(), in.Text());
    }
}

// ---------------------------------------------------------------- undo stack

std::unique_ptr<TQuillmarkDoc> Snapshot(const char16_t *title)
{
    auto doc = std::make_unique<TQuillmarkDoc>();
    doc->Options()->SetTitle(QString::fromUtf16(title));
    return doc;
}

TEST(UndoStack, DropsTheOldestBeyondMaxSize)
{
    TQuillmarkDocStack stack;
    EXPECT_EQ(32, stack.MaxSize());
    stack.SetMaxSize(2);
    stack.Push(Snapshot(u"A"));
    stack.Push(Snapshot(u"B"));
    stack.Push(Snapshot(u"C"));
    EXPECT_EQ(2, stack.Count());
    EXPECT_EQ(QStringLiteral("C"), stack.Pop()->Options()->Title());
    EXPECT_EQ(QStringLiteral("B"), stack.Pop()->Options()->Title());
    EXPECT_EQ(nullptr, stack.Pop());
}

TEST(UndoStack, ResizingKeepsTheNewest)
{
    TQuillmarkDocStack stack;
    for (const char16_t *title : {u"A", u"B", u"C"})
        stack.Push(Snapshot(title));
    stack.SetMaxSize(-1);
    EXPECT_EQ(3, stack.Count());
    stack.SetMaxSize(1);
    EXPECT_EQ(1, stack.Count());
    EXPECT_EQ(QStringLiteral("C"), stack.Peek()->Options()->Title());
    stack.SetMaxSize(0);
    EXPECT_EQ(0, stack.Count());
    stack.Push(Snapshot(u"D"));
    EXPECT_EQ(0, stack.Count());
}

} // namespace
