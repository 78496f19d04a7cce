#include "ModelTestSupport.h"
#include "QtPrinters.h"

#include <functional>
#include <limits>

#include <gtest/gtest.h>

namespace {

struct NumberingCase
{
    const char *what;
    bool gridEnabled;
    int grid;
    int increment;
    int afterIndex;
    int ownNumber;
    int expected;
};

TEST(TopicNumbering, NextFreeTopicID)
{
    const NumberingCase cases[] = {
        {"after 20 in steps of 1", false, 10, 1, 1, -1, 21},
        {"after 20 on the grid skips the taken 30", true, 10, 1, 1, -1, 40},
        {"no index: after the last topic", false, 10, 1, -1, -1, 31},
        {"index out of range: after the last topic", true, 10, 1, 99, -1, 40},
        {"steps of 10 skip every taken number", false, 10, 10, 0, -1, 40},
        {"the own number counts as free", false, 10, 10, 0, 10, 10},
        {"the own number counts only where the walk meets it", false, 10, 10, 0, 30, 30},
        {"a wider grid", true, 25, 1, 0, -1, 25},
    };
    for (const NumberingCase &c : cases) {
        SCOPED_TRACE(c.what);
        TQuillmarkDoc doc;
        AddTopics(doc, {10, 20, 30});
        doc.SetTopicGridEnabled(c.gridEnabled);
        doc.SetTopicGrid(c.grid);
        doc.SetTopicIncrement(c.increment);
        EXPECT_EQ(doc.NextFreeTopicID(c.afterIndex, c.ownNumber), c.expected);
    }
    TQuillmarkDoc empty;
    EXPECT_EQ(empty.NextFreeTopicID(-1, -1), 0);
}

TEST(TopicNumbering, NextTopicIDStep)
{
    const struct
    {
        bool gridEnabled;
        int grid;
        int increment;
        int number;
        int expected;
    } cases[] = {
        {true, 10, 1, 20, 30},
        {true, 10, 1, 25, 30},
        {true, 10, 1, 0, 10},
        // Division truncates toward zero: the step from -15 is 0, not -10.
        {true, 10, 1, -15, 0},
        {false, 10, 3, 5, 8},
        {false, 10, 1, std::numeric_limits<int>::max(), std::numeric_limits<int>::min()},
    };
    for (const auto &c : cases) {
        TQuillmarkDoc doc;
        doc.SetTopicGridEnabled(c.gridEnabled);
        doc.SetTopicGrid(c.grid);
        doc.SetTopicIncrement(c.increment);
        EXPECT_EQ(doc.NextTopicID(c.number), c.expected) << c.number;
    }
}

// An increment that wraps around through taken numbers only must not hang.
TEST(TopicNumbering, CyclingStepEnds)
{
    TQuillmarkDoc doc;
    doc.SetTopicIncrement(1 << 30);
    for (int number : {0, 1 << 30, std::numeric_limits<int>::min(), -(1 << 30)}) {
        TQMTopic *topic = doc.Topics()->Add();
        topic->StoreTopicID(number);
    }
    const int next = doc.NextFreeTopicID(0, -1);
    EXPECT_TRUE(doc.Topics()->HasTopicID(next));
    // A new topic still gets created (with a number it cannot have alone).
    EXPECT_NE(doc.Topics()->Add(), nullptr);
}

TEST(Topic, NewTopicDefaults)
{
    TQuillmarkDoc doc;
    TQMTopic *first = doc.Topics()->Add();
    EXPECT_EQ(first->TopicID(), 0);
    EXPECT_EQ(first->ContextString(), QStringLiteral("Quill0"));
    EXPECT_EQ(first->Title(), QStringLiteral("<new topic>"));
    EXPECT_EQ(first->Status(), QStringLiteral("Writing"));
    EXPECT_EQ(first->BrowseSequenceNum(), 0);
    EXPECT_FALSE(first->Bookmark());
    EXPECT_FALSE(first->Selected());
    EXPECT_EQ(first->Document(), &doc);
    EXPECT_EQ(
        first->Text()->ToQStringList(),
        (QStringList{
            QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil Arial;}"
                           "{\\f1\\fnil\\fcharset0 Arial;}}"),
            QStringLiteral("{\\colortbl ;\\red0\\green0\\blue255;}\\viewkind4\\uc1\\pard\\cf1\\b\\f0\\fs32 "
                           "<new topic>\\cf0\\b0\\fs20\\par\\par }"),
        }));

    first->SetTopicID(41);
    TQMTopic *second = doc.Topics()->Add();
    EXPECT_EQ(second->TopicID(), 42);
    EXPECT_EQ(second->ContextString(), QStringLiteral("Quill42"));
    EXPECT_EQ(second->Index(), 1);

    TQMTopic loose;
    EXPECT_EQ(loose.Document(), nullptr);
    EXPECT_EQ(loose.ContextString(), QStringLiteral("Quill0"));
}

struct RenumberCase
{
    const char *what;
    int from;
    int to;
    const char *contextBefore; // null: the default one
    QList<int> order;
    const char *contextAfter;
    int currentNumberAfter; // the number of the current topic afterwards
};

// Topics 10, 20, 30; the current topic is the one renumbered unless said.
TEST(TopicNumbering, RenumberingKeepsOrderContextAndCurrentTopic)
{
    const RenumberCase cases[] = {
        {"moves between 20 and 30", 10, 25, nullptr, {20, 25, 30}, "Quill25", 25},
        {"a taken number is refused", 10, 20, nullptr, {10, 20, 30}, "Quill10", 10},
        {"the same number changes nothing", 10, 10, nullptr, {10, 20, 30}, "Quill10", 10},
        {"stays in place", 10, 5, nullptr, {5, 20, 30}, "Quill5", 5},
        {"moves to the front", 30, 15, nullptr, {10, 15, 20}, "Quill15", 15},
        {"moves to the end", 10, 99, nullptr, {20, 30, 99}, "Quill99", 99},
        {"a default context string in another case follows", 10, 25, "QUILL10", {20, 25, 30}, "Quill25", 25},
        {"a context string of its own stays", 10, 25, "Intro", {20, 25, 30}, "Intro", 25},
        {"a context string naming another number stays", 10, 25, "Quill11", {20, 25, 30}, "Quill11", 25},
    };
    for (const RenumberCase &c : cases) {
        SCOPED_TRACE(c.what);
        TQuillmarkDoc doc;
        AddTopics(doc, {10, 20, 30});
        TQMTopic *topic = doc.Topics()->FindTopic(c.from);
        if (c.contextBefore)
            topic->SetContextString(QString::fromLatin1(c.contextBefore));
        doc.SetTopicIndex(topic->Index());
        topic->SetTopicID(c.to);
        EXPECT_EQ(TopicNumbers(doc), c.order);
        EXPECT_EQ(topic->ContextString(), QString::fromLatin1(c.contextAfter));
        ASSERT_GE(doc.TopicIndex(), 0);
        EXPECT_EQ(doc.Topics()->Items(doc.TopicIndex())->TopicID(), c.currentNumberAfter);
        EXPECT_EQ(doc.Topics()->IndexOfTopicID(topic->TopicID()), topic->Index());
        EXPECT_EQ(doc.Topics()->IndexOfContextString(topic->ContextString()), topic->Index());
    }
}

// The current topic stays current also when another topic moves past it.
TEST(TopicNumbering, MovingAnotherTopicKeepsTheCurrentOne)
{
    TQuillmarkDoc doc;
    AddTopics(doc, {10, 20, 30});
    doc.SetTopicIndex(1);
    doc.Topics()->Items(0)->SetTopicID(25);
    EXPECT_EQ(doc.Topics()->Items(doc.TopicIndex())->TopicID(), 20);
    doc.Topics()->Items(2)->SetTopicID(5);
    EXPECT_EQ(doc.Topics()->Items(doc.TopicIndex())->TopicID(), 20);
}

// Renumbering by index while the topics move under the loop: nothing breaks,
// the order and the lookups stay true.
TEST(TopicNumbering, RenumberingWhileIterating)
{
    TQuillmarkDoc doc;
    AddTopics(doc, {1, 2, 3, 4, 5, 6});
    doc.SetTopicIndex(2);
    for (int i = 0; i < doc.Topics()->Count(); ++i)
        doc.Topics()->Items(i)->SetTopicID(doc.Topics()->Items(i)->TopicID() + 3);
    const QList<int> numbers = TopicNumbers(doc);
    for (int i = 1; i < numbers.size(); ++i)
        EXPECT_LT(numbers[i - 1], numbers[i]);
    for (int i = 0; i < doc.Topics()->Count(); ++i) {
        const TQMTopic *topic = doc.Topics()->Items(i);
        EXPECT_EQ(doc.Topics()->IndexOfTopicID(topic->TopicID()), i);
        EXPECT_EQ(topic->ContextString(), TQMTopic::DefaultContextString(topic->TopicID()));
    }
    EXPECT_EQ(doc.Topics()->Items(doc.TopicIndex())->Title(), QStringLiteral("T3"));
}

TEST(Topics, FindTopicIDPosition)
{
    TQuillmarkDoc doc;
    EXPECT_EQ(doc.Topics()->FindTopicIDPosition(5), -1);
    AddTopics(doc, {10, 20, 30});
    const std::pair<int, int> cases[] = {{5, 0}, {10, 0}, {15, 1}, {20, 1}, {30, 2}, {35, 3}};
    for (const auto &[number, position] : cases)
        EXPECT_EQ(doc.Topics()->FindTopicIDPosition(number), position) << number;
}

TEST(Topics, LookupsFollowEveryChange)
{
    TQuillmarkDoc doc;
    AddTopics(doc, {10, 20, 30});
    TQMTopics *topics = doc.Topics();
    TQMTopic *twenty = topics->Items(1);
    EXPECT_EQ(topics->IndexOfContextString(QStringLiteral("quill20")), 1);

    twenty->SetContextString(QStringLiteral("Twenty"));
    EXPECT_EQ(topics->IndexOfContextString(QStringLiteral("Quill20")), -1);
    EXPECT_EQ(topics->IndexOfContextString(QStringLiteral("TWENTY")), 1);
    twenty->SetContextString(QString());
    EXPECT_EQ(twenty->ContextString(), QStringLiteral("Twenty"));

    // The reader stores numbers as they come: duplicates are found first by
    // position.
    topics->Items(2)->StoreTopicID(20);
    EXPECT_EQ(topics->IndexOfTopicID(20), 1);
    EXPECT_EQ(topics->IndexOfTopicID(30), -1);
    topics->Delete(1);
    EXPECT_EQ(topics->IndexOfTopicID(20), 1);
    EXPECT_EQ(topics->IndexOfContextString(QStringLiteral("Twenty")), -1);
    topics->Clear();
    EXPECT_FALSE(topics->HasTopicID(10));
    EXPECT_EQ(topics->FindContextString(QStringLiteral("Quill10")), nullptr);
}

struct TitleCase
{
    const char *what;
    QStringList text;
    const char *oldTitle;
    const char *newTitle;
    QStringList expected;
};

TEST(Topic, TitleChangeRewritesTheFirstOccurrenceOnly)
{
    const TitleCase cases[] = {
        {"first of two",
         {QStringLiteral("a Old b"), QStringLiteral("Old")},
         "Old",
         "New",
         {QStringLiteral("a New b"), QStringLiteral("Old")}},
        {"later line",
         {QStringLiteral("x"), QStringLiteral("y Old Old")},
         "Old",
         "New",
         {QStringLiteral("x"), QStringLiteral("y New Old")}},
        {"absent", {QStringLiteral("nothing here")}, "Old", "New", {QStringLiteral("nothing here")}},
        {"case-sensitive", {QStringLiteral("old")}, "Old", "New", {QStringLiteral("old")}},
        {"empty old title names nothing", {QStringLiteral("text")}, "", "New", {QStringLiteral("text")}},
        {"to an empty title", {QStringLiteral("a Old b")}, "Old", "", {QStringLiteral("a  b")}},
    };
    for (const TitleCase &c : cases) {
        SCOPED_TRACE(c.what);
        TQuillmarkDoc doc;
        TQMTopic *topic = doc.Topics()->Add();
        topic->SetTitle(QString::fromLatin1(c.oldTitle));
        topic->Text()->AssignStrings(c.text);
        topic->SetTitle(QString::fromLatin1(c.newTitle));
        EXPECT_EQ(topic->Title(), QString::fromLatin1(c.newTitle));
        EXPECT_EQ(topic->Text()->ToQStringList(), c.expected);
    }

    TQuillmarkDoc doc;
    TQMTopic *topic = doc.Topics()->Add();
    topic->SetTitle(QStringLiteral("Intro"));
    EXPECT_TRUE(topic->Text()->Strings(1).contains(QStringLiteral("\\fs32 Intro\\cf0")));
}

TEST(Topic, AssignKeepsIdentity)
{
    TQuillmarkDoc doc;
    AddTopics(doc, {10, 20});
    TQMTopic *source = doc.Topics()->Items(0);
    source->SetContextString(QStringLiteral("Source"));
    source->SetKeywords(QStringLiteral("k"));
    source->SetDelphiKeywords(QStringLiteral("d"));
    source->SetBuildTag(QStringLiteral("b"));
    source->SetBrowseSequence(QStringLiteral("main"));
    source->SetBrowseSequenceNum(7);
    source->SetStatus(QStringLiteral("Done"));
    source->SetWindow(QStringLiteral("w"));
    source->SetEntryMacro(QStringLiteral("m"));
    source->SetAKeywords(QStringLiteral("a"));
    source->SetBookmark(true);
    source->SetTag(5);
    source->SetSelected(true);

    TQMTopic *target = doc.Topics()->Items(1);
    int changes = 0;
    doc.OnTopicChange = [&changes](TObject *, TQMTopic *) { ++changes; };
    target->Assign(source);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(target->TopicID(), 20);
    EXPECT_EQ(target->ContextString(), QStringLiteral("Quill20"));
    EXPECT_EQ(target->Tag(), 0);
    EXPECT_EQ(target->Title(), QStringLiteral("T10"));
    EXPECT_EQ(target->Keywords(), QStringLiteral("k"));
    EXPECT_EQ(target->DelphiKeywords(), QStringLiteral("d"));
    EXPECT_EQ(target->BuildTag(), QStringLiteral("b"));
    EXPECT_EQ(target->BrowseSequence(), QStringLiteral("main"));
    EXPECT_EQ(target->BrowseSequenceNum(), 7);
    EXPECT_EQ(target->Status(), QStringLiteral("Done"));
    EXPECT_EQ(target->Window(), QStringLiteral("w"));
    EXPECT_EQ(target->EntryMacro(), QStringLiteral("m"));
    EXPECT_EQ(target->AKeywords(), QStringLiteral("a"));
    EXPECT_TRUE(target->Bookmark());
    EXPECT_EQ(target->Text()->ToQStringList(), source->Text()->ToQStringList());
    EXPECT_TRUE(target->Selected());
    EXPECT_EQ(doc.Topics()->SelectedCount(), 2);

    EXPECT_THROW(target->Assign(doc.Options()), EAssignError);
}

TEST(Topic, IsEqualComparesContentNotPresentation)
{
    TQMTopic base;
    base.SetTitle(QStringLiteral("Title"));
    const struct
    {
        const char *what;
        std::function<void(TQMTopic &)> change;
        bool equal;
    } cases[] = {
        {"nothing", [](TQMTopic &) {}, true},
        {"selection", [](TQMTopic &t) { t.SetSelected(true); }, true},
        {"tag", [](TQMTopic &t) { t.SetTag(9); }, true},
        {"number", [](TQMTopic &t) { t.SetTopicID(3); }, false},
        {"title case", [](TQMTopic &t) { t.SetTitle(QStringLiteral("title")); }, false},
        {"context", [](TQMTopic &t) { t.SetContextString(QStringLiteral("X")); }, false},
        {"browse number", [](TQMTopic &t) { t.SetBrowseSequenceNum(1); }, false},
        {"bookmark", [](TQMTopic &t) { t.SetBookmark(true); }, false},
        {"status", [](TQMTopic &t) { t.SetStatus(QStringLiteral("Done")); }, false},
        {"a text line", [](TQMTopic &t) { t.Text()->Add(QString()); }, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        TQMTopic other;
        other.Assign(&base);
        c.change(other);
        EXPECT_EQ(base.IsEqual(&other), c.equal);
    }
    EXPECT_FALSE(base.IsEqual(nullptr));
    TQMTextMacro macro;
    EXPECT_FALSE(base.IsEqual(&macro));
}

TEST(Topics, AssignCopiesNumbersAndDefaultContextStrings)
{
    TQuillmarkDoc source;
    AddTopics(source, {10, 20, 30});
    source.Topics()->Items(1)->SetContextString(QStringLiteral("Custom"));
    // A duplicate, as a file may carry.
    source.Topics()->Items(2)->StoreTopicID(20);
    source.Topics()->Items(2)->SetSelected(true);

    TQuillmarkDoc copy;
    AddTopics(copy, {1});
    copy.Topics()->Assign(source.Topics());
    // The second 20 cannot have its number and keeps the one it was created with.
    EXPECT_EQ(TopicNumbers(copy), (QList<int>{10, 20, 21}));
    EXPECT_EQ(copy.Topics()->Items(1)->ContextString(), QStringLiteral("Quill20"));
    EXPECT_EQ(copy.Topics()->Items(1)->Title(), QStringLiteral("T20"));
    EXPECT_EQ(copy.Topics()->Items(2)->Title(), QStringLiteral("T30"));
    EXPECT_TRUE(copy.Topics()->Items(2)->Selected());
    EXPECT_EQ(copy.Topics()->SelectedCount(), 1);
}

TEST(Topics, AssignToStringList)
{
    TQuillmarkDoc doc;
    AddTopics(doc, {10, 20});
    doc.Topics()->Items(1)->SetTitle(QString());
    TStringList list;
    list.Add(QStringLiteral("old"));
    int changes = 0;
    list.OnChange = [&changes](TObject *) { ++changes; };
    doc.Topics()->AssignTo(&list);
    EXPECT_EQ(list.ToQStringList(),
              (QStringList{QStringLiteral("T10 (10)"), QStringLiteral("TQMTopic (20)")}));
    EXPECT_EQ(list.Objects(1), doc.Topics()->Items(1));
    EXPECT_EQ(changes, 1);
    EXPECT_THROW(doc.Topics()->AssignTo(doc.Options()), EAssignError);
}

// Deleting topics keeps the current topic valid: the one before a deleted
// current topic becomes current, and a deletion in front of it shifts it.
TEST(Topics, DeletionKeepsTheCurrentTopicValid)
{
    const struct
    {
        const char *what;
        int current;
        int deleted;
        int currentAfter;
    } cases[] = {
        {"the current topic", 2, 2, 1}, {"the first, current topic", 0, 0, -1}, {"a topic in front", 2, 0, 1},
        {"a topic behind", 1, 3, 1},    {"no current topic", -1, 1, -1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        TQuillmarkDoc doc;
        AddTopics(doc, {10, 20, 30, 40});
        doc.SetTopicIndex(c.current);
        const QString currentTitle =
            c.current >= 0 && c.current != c.deleted ? doc.Topics()->Items(c.current)->Title() : QString();
        doc.Topics()->Delete(c.deleted);
        EXPECT_EQ(doc.TopicIndex(), c.currentAfter);
        if (!currentTitle.isEmpty()) {
            EXPECT_EQ(doc.Topics()->Items(doc.TopicIndex())->Title(), currentTitle);
        }
    }

    TQuillmarkDoc doc;
    AddTopics(doc, {10, 20, 30});
    doc.SetTopicIndex(2);
    doc.Topics()->Clear();
    EXPECT_EQ(doc.TopicIndex(), -1);
}

TEST(Topics, SelectedCountAgreesWithTheFlags)
{
    TQuillmarkDoc doc;
    AddTopics(doc, {10, 20, 30, 40});
    TQMTopics *topics = doc.Topics();
    topics->Items(0)->SetSelected(true);
    topics->Items(1)->SetSelected(true);
    topics->Items(1)->SetSelected(true);
    EXPECT_EQ(topics->SelectedCount(), 2);

    topics->Items(2)->Assign(topics->Items(0)); // copies the flag
    EXPECT_EQ(topics->SelectedCount(), 3);
    topics->Items(0)->Assign(topics->Items(3)); // and clears it
    EXPECT_EQ(topics->SelectedCount(), 2);

    topics->Delete(1);
    EXPECT_EQ(topics->SelectedCount(), 1);

    // Moving a selected topic to another collection takes its count along.
    TQMTopics other;
    topics->Items(1)->SetCollection(&other);
    EXPECT_EQ(topics->SelectedCount(), 0);
    EXPECT_EQ(other.SelectedCount(), 1);
    other.Items(0)->SetSelected(false);
    EXPECT_EQ(other.SelectedCount(), 0);

    topics->Items(0)->SetSelected(true);
    topics->ClearSelection();
    EXPECT_EQ(topics->SelectedCount(), 0);
    EXPECT_FALSE(topics->Items(0)->Selected());
}

} // namespace
