#include "foundation/StringList.h"
#include "foundation/Exceptions.h"

#include "QtPrinters.h"
#include "TestHelpers.h"

#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

struct SortedCase
{
    const char *what;
    bool caseSensitive;
    TDuplicates duplicates;
    QStringList added;
    QStringList expected;
    const char16_t *error; // for the last addition, or null
};

void PrintTo(const SortedCase &c, std::ostream *os)
{
    *os << c.what;
}

class SortedAddTest : public ::testing::TestWithParam<SortedCase>
{
};

TEST_P(SortedAddTest, InsertsInOrderAndHandlesDuplicates)
{
    const SortedCase &c = GetParam();
    TStringList list;
    list.SetSorted(true);
    list.SetCaseSensitive(c.caseSensitive);
    list.SetDuplicates(c.duplicates);
    QString error;
    for (const QString &s : c.added)
        error = ErrorOf([&] { list.Add(s); });
    EXPECT_EQ(list.ToQStringList(), c.expected);
    EXPECT_EQ(error, c.error ? QString::fromUtf16(c.error) : QString());
}

const SortedCase kSortedCases[] = {
    {"plain order", false, dupIgnore, Lines({u"pear", u"apple", u"fig"}), Lines({u"apple", u"fig", u"pear"}),
     nullptr},
    {"case insensitive order", false, dupAccept, Lines({u"b", u"A", u"a", u"B"}),
     Lines({u"a", u"A", u"B", u"b"}), nullptr},
    {"ignored duplicate across case", false, dupIgnore, Lines({u"Apple", u"apple"}), Lines({u"Apple"}),
     nullptr},
    {"case sensitive keeps both", true, dupIgnore, Lines({u"apple", u"Apple"}), Lines({u"Apple", u"apple"}),
     nullptr},
    {"refused duplicate", false, dupError, Lines({u"x", u"y", u"X"}), Lines({u"x", u"y"}),
     u"String list does not allow duplicates"},
    {"accepted duplicate", true, dupAccept, Lines({u"x", u"x", u"a"}), Lines({u"a", u"x", u"x"}), nullptr},
};

INSTANTIATE_TEST_SUITE_P(Cases, SortedAddTest, ::testing::ValuesIn(kSortedCases), [](const auto &info) {
    std::string name = info.param.what;
    for (char &ch : name)
        ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
    return name;
});

TEST(StringListTest, FindAndIndexOfOnSortedLists)
{
    TStringList list;
    list.SetSorted(true);
    list.SetDuplicates(dupAccept);
    list.AddStrings(Lines({u"d", u"b", u"B", u"f", u"b"}));
    int index = -1;
    EXPECT_TRUE(list.Find(u"B"_s, index));
    EXPECT_EQ(index, 0); // the first of the equal entries
    EXPECT_FALSE(list.Find(u"c"_s, index));
    EXPECT_EQ(index, 3);
    EXPECT_FALSE(list.Find(u"z"_s, index));
    EXPECT_EQ(index, 5);
    EXPECT_EQ(list.IndexOf(u"F"_s), 4);
    EXPECT_EQ(list.IndexOf(u"e"_s), -1);

    list.SetCaseSensitive(true);
    EXPECT_EQ(list.ToQStringList(), Lines({u"B", u"b", u"b", u"d", u"f"}));
    EXPECT_EQ(list.IndexOf(u"F"_s), -1);
}

TEST(StringListTest, UnsortedIndexOfHonoursCaseSensitivity)
{
    TStringList list;
    list.AddStrings(Lines({u"One", u"two", u"one"}));
    EXPECT_EQ(list.IndexOf(u"ONE"_s), 0);
    list.SetCaseSensitive(true);
    EXPECT_EQ(list.IndexOf(u"one"_s), 2);
    EXPECT_EQ(list.IndexOf(u"ONE"_s), -1);
}

TEST(StringListTest, SortedListsRefusePositionalChangesWithoutLosingEntries)
{
    TStringList list;
    list.AddStrings(Lines({u"c", u"a", u"b"}));
    list.SetSorted(true);
    EXPECT_EQ(list.ToQStringList(), Lines({u"a", u"b", u"c"}));
    const QString refused = u"Operation not allowed on sorted list"_s;
    EXPECT_EQ(ErrorOf([&] { list.Insert(0, u"z"_s); }), refused);
    EXPECT_EQ(ErrorOf([&] { list.Move(0, 2); }), refused);
    EXPECT_EQ(ErrorOf([&] { list.SetStrings(1, u"z"_s); }), refused);
    EXPECT_EQ(list.ToQStringList(), Lines({u"a", u"b", u"c"}));
}

TEST(StringListTest, PositionalOperationsKeepObjectsWithTheirStrings)
{
    TStringList a;
    TStringList b;
    TStringList c;
    TStringList list;
    list.AddObject(u"a"_s, &a);
    list.AddObject(u"b"_s, &b);
    list.InsertObject(0, u"c"_s, &c);
    list.Move(0, 2);
    EXPECT_EQ(list.ToQStringList(), Lines({u"a", u"b", u"c"}));
    list.Exchange(0, 1);
    EXPECT_EQ(list.ToQStringList(), Lines({u"b", u"a", u"c"}));
    EXPECT_EQ(list.Objects(0), &b);
    EXPECT_EQ(list.Objects(1), &a);
    EXPECT_EQ(list.Objects(2), &c);
    EXPECT_EQ(list.IndexOfObject(&c), 2);
    list.Delete(0);
    EXPECT_EQ(list.IndexOfObject(&b), -1);
    EXPECT_EQ(ErrorOf([&] { list.Strings(2); }), u"List index out of bounds (2)"_s);
    EXPECT_EQ(ErrorOf([&] { list.Insert(3, u"x"_s); }), u"List index out of bounds (3)"_s);
    EXPECT_THROW(list.Delete(-1), EStringListError);
}

struct TextCase
{
    const char16_t *text;
    QStringList lines;
    const char16_t *written;
};

TEST(StringListTest, TextSplitsAtEveryLineBreakAndWritesCrLf)
{
    const TextCase cases[] = {
        {u"", {}, u""},
        {u"a", Lines({u"a"}), u"a\r\n"},
        {u"a\r\nb\r\n", Lines({u"a", u"b"}), u"a\r\nb\r\n"},
        {u"a\rb\nc\r\nd", Lines({u"a", u"b", u"c", u"d"}), u"a\r\nb\r\nc\r\nd\r\n"},
        {u"a\r\n\r\nb", Lines({u"a", u"", u"b"}), u"a\r\n\r\nb\r\n"},
        {u"\r\n", Lines({u""}), u"\r\n"},
        {u"a\n\rb", Lines({u"a", u"", u"b"}), u"a\r\n\r\nb\r\n"},
        {u"{\\rtf1 x}\r\n\\par }", Lines({u"{\\rtf1 x}", u"\\par }"}), u"{\\rtf1 x}\r\n\\par }\r\n"},
    };
    for (const TextCase &c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.text).toStdString());
        TStringList list;
        list.Add(u"previous"_s);
        list.SetText(QString::fromUtf16(c.text));
        EXPECT_EQ(list.ToQStringList(), c.lines);
        EXPECT_EQ(list.Text(), QString::fromUtf16(c.written));

        TStringList again;
        again.SetText(list.Text());
        EXPECT_EQ(again.ToQStringList(), c.lines);
    }
}

TEST(StringListTest, TextKeepsCharactersOtherThanLineBreaks)
{
    TStringList list;
    const QString text = QString(u"nul\0inside\ttab \u00E9\U0001F600"_s) + u"\r\n"_s;
    list.SetText(text);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Text(), text);
}

class EventCounter
{
public:
    explicit EventCounter(TStringList &list)
    {
        list.OnChanging = [this](TObject *) { log.push_back('('); };
        list.OnChange = [this](TObject *) { log.push_back(')'); };
    }
    std::string log;
};

TEST(StringListTest, ChangeEventsPairUpAndBracketsRaiseOnePair)
{
    TStringList list;
    EventCounter events(list);
    list.Add(u"a"_s);
    list.Add(u"b"_s);
    EXPECT_EQ(events.log, "()()");

    events.log.clear();
    list.BeginUpdate();
    list.Add(u"c"_s);
    list.Delete(0);
    list.BeginUpdate();
    list.EndUpdate();
    EXPECT_EQ(events.log, "(");
    list.EndUpdate();
    EXPECT_EQ(events.log, "()");

    events.log.clear();
    list.SetText(u"x\r\ny"_s);
    EXPECT_EQ(events.log, "()");

    events.log.clear();
    TStringList source;
    source.AddStrings(Lines({u"1", u"2", u"3"}));
    list.Assign(&source);
    EXPECT_EQ(events.log, "()");
    EXPECT_EQ(list, source);

    // Nothing changes, nothing is raised.
    events.log.clear();
    TStringList empty;
    EventCounter emptyEvents(empty);
    empty.Clear();
    empty.Move(0, 0);
    EXPECT_EQ(emptyEvents.log, "");
}

TEST(StringListTest, AssignCopiesStringsAndObjectsButNotTheSettings)
{
    TStringList marker;
    TStringList source;
    source.AddObject(u"b"_s, &marker);
    source.Add(u"a"_s);
    TStringList destination;
    destination.SetSorted(true);
    destination.Add(u"old"_s);
    destination.Assign(&source);
    EXPECT_EQ(destination.ToQStringList(), Lines({u"a", u"b"}));
    EXPECT_EQ(destination.Objects(1), &marker);
    EXPECT_TRUE(destination.Sorted());

    destination.Assign(&destination);
    EXPECT_EQ(destination.ToQStringList(), Lines({u"a", u"b"}));

    TStringList doubled;
    doubled.AddStrings(Lines({u"x", u"y"}));
    doubled.AddStrings(doubled);
    EXPECT_EQ(doubled.ToQStringList(), Lines({u"x", u"y", u"x", u"y"}));

    EXPECT_NE(doubled, destination);
}

// Records every capacity request and can refuse to grow past a limit, as a
// bounded list does.
class CapacityProbe : public TStringList
{
public:
    void SetCapacity(int newCapacity) override
    {
        requests.push_back(newCapacity);
        if (limit >= 0 && newCapacity > limit)
            throw EStringListError(u"full"_s);
        TStringList::SetCapacity(newCapacity);
    }
    std::vector<int> requests;
    int limit = -1;
};

TEST(StringListTest, GrowthGoesThroughTheCapacityHook)
{
    CapacityProbe list;
    for (int i = 0; i < 100; ++i)
        list.Add(QString::number(i));
    EXPECT_EQ(list.requests, (std::vector<int>{4, 8, 12, 28, 44, 60, 76, 95, 118}));
    EXPECT_EQ(list.Capacity(), 118);
    EXPECT_EQ(list.Count(), 100);
}

TEST(StringListTest, ARefusedGrowthLeavesTheListAndItsListenersUntouched)
{
    CapacityProbe list;
    list.limit = 4;
    list.AddStrings(Lines({u"a", u"b", u"c", u"d"}));
    EventCounter events(list);
    EXPECT_EQ(ErrorOf([&] { list.Add(u"e"_s); }), u"full"_s);
    EXPECT_EQ(list.ToQStringList(), Lines({u"a", u"b", u"c", u"d"}));
    EXPECT_EQ(events.log, "");
}

TEST(StringListTest, CapacityCannotDropBelowTheCount)
{
    TStringList list;
    list.AddStrings(Lines({u"a", u"b", u"c"}));
    EXPECT_EQ(ErrorOf([&] { list.SetCapacity(2); }), u"List capacity out of bounds (2)"_s);
    list.SetCapacity(3);
    EXPECT_EQ(list.Capacity(), 3);
    list.SetCapacity(50);
    EXPECT_EQ(list.Capacity(), 50);
}

} // namespace
