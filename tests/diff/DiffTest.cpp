#include "diff/Diff.h"

#include "DiffReference.h"
#include "QtPrinters.h"
#include "foundation/Exceptions.h"

#include <gtest/gtest.h>

#include <QString>

#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

QString KindName(TDiffEditKind kind)
{
    switch (kind) {
    case ekSame:
        return QStringLiteral("Same");
    case ekAdded:
        return QStringLiteral("Added");
    case ekRemoved:
        return QStringLiteral("Removed");
    case ekChanged:
        return QStringLiteral("Changed");
    }
    return QStringLiteral("?");
}

// The script in the notation "Same(0,0), Added(0,1)", so a failing case shows
// the whole script at a glance.
QString Notation(const std::vector<TDiffEntry> &entries)
{
    QStringList parts;
    for (const TDiffEntry &e : entries)
        parts << QStringLiteral("%1(%2,%3)").arg(KindName(e.Kind)).arg(e.Index1).arg(e.Index2);
    return parts.join(QStringLiteral(", "));
}

std::vector<TDiffEntry> Script(const TDiff &diff)
{
    std::vector<TDiffEntry> entries;
    for (std::int32_t i = 0; i < diff.EntryCount(); ++i)
        entries.push_back(diff.GetEntry(i));
    return entries;
}

std::vector<TDiffEntry> Compared(TDiff &diff, const std::u16string &first, const std::u16string &second)
{
    EXPECT_TRUE(diff.CompareChars(first, second));
    return Script(diff);
}

// What every finished script must satisfy, whatever the input.
void ExpectSoundScript(const std::u16string &first, const std::u16string &second,
                       const std::vector<TDiffEntry> &entries)
{
    std::int32_t next1 = 0;
    std::int32_t next2 = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const TDiffEntry &e = entries[i];
        SCOPED_TRACE(testing::Message() << "entry " << i);
        const bool uses1 = e.Kind != ekAdded;
        const bool uses2 = e.Kind != ekRemoved;
        if (uses1) {
            ASSERT_EQ(e.Index1, next1);
            EXPECT_EQ(e.Char1, first[std::size_t(next1)]);
            ++next1;
        } else {
            EXPECT_EQ(e.Index1, next1 - 1);
            EXPECT_EQ(e.Char1, u'\0');
        }
        if (uses2) {
            ASSERT_EQ(e.Index2, next2);
            EXPECT_EQ(e.Char2, second[std::size_t(next2)]);
            ++next2;
        } else {
            EXPECT_EQ(e.Index2, next2 - 1);
            EXPECT_EQ(e.Char2, u'\0');
        }
        if (e.Kind == ekSame) {
            EXPECT_EQ(e.Char1, e.Char2);
        }
    }
    EXPECT_EQ(next1, std::int32_t(first.size()));
    EXPECT_EQ(next2, std::int32_t(second.size()));
}

struct ExampleCase
{
    std::u16string first;
    std::u16string second;
    QString script;
};

void PrintTo(const ExampleCase &c, std::ostream *os)
{
    *os << '"' << QString::fromStdU16String(c.first).toStdString() << "\" / \""
        << QString::fromStdU16String(c.second).toStdString() << '"';
}

class DiffExamples : public testing::TestWithParam<ExampleCase>
{
};

TEST_P(DiffExamples, GivesTheExactScript)
{
    const ExampleCase &c = GetParam();
    TDiff diff;
    EXPECT_EQ(Notation(Compared(diff, c.first, c.second)), c.script);
    EXPECT_EQ(Notation(DiffReference::Compare(c.first, c.second).entries), c.script);
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, DiffExamples,
    testing::Values(
        ExampleCase{u"abc", u"abc", QStringLiteral("Same(0,0), Same(1,1), Same(2,2)")},
        ExampleCase{u"", u"", QString()}, ExampleCase{u"", u"xy", QStringLiteral("Added(-1,0), Added(-1,1)")},
        ExampleCase{u"xy", u"", QStringLiteral("Removed(0,-1), Removed(1,-1)")},
        ExampleCase{u"a", u"b", QStringLiteral("Changed(0,0)")},
        ExampleCase{u"abc", u"xabc", QStringLiteral("Added(-1,0), Same(0,1), Same(1,2), Same(2,3)")},
        ExampleCase{u"ab", u"axb", QStringLiteral("Same(0,0), Added(0,1), Same(1,2)")},
        ExampleCase{u"aa", u"a", QStringLiteral("Removed(0,-1), Same(1,0)")},
        ExampleCase{u"ab", u"ba", QStringLiteral("Removed(0,-1), Same(1,0), Added(1,1)")},
        ExampleCase{u"abcdef", u"abXYef",
                    QStringLiteral("Same(0,0), Same(1,1), Changed(2,2), Changed(3,3), Same(4,4), Same(5,5)")},
        ExampleCase{u"kitten", u"knitting",
                    QStringLiteral("Same(0,0), Added(0,1), Same(1,2), Same(2,3), Same(3,4), Changed(4,5), "
                                   "Same(5,6), Added(5,7)")},
        ExampleCase{u"abcabba", u"cbabac",
                    QStringLiteral("Removed(0,-1), Removed(1,-1), Same(2,0), Removed(3,0), Same(4,1), "
                                   "Added(4,2), Same(5,3), Same(6,4), Added(6,5)")},
        ExampleCase{u"a\r\nb", u"a\r\nc", QStringLiteral("Same(0,0), Same(1,1), Same(2,2), Changed(3,3)")},
        // Removals left over after a pairing come after the changes, so
        // their Index2 is the last changed element's.
        ExampleCase{u"ah", u"e", QStringLiteral("Changed(0,0), Removed(1,0)")},
        ExampleCase{u"bbbd", u"a", QStringLiteral("Changed(0,0), Removed(1,0), Removed(2,0), Removed(3,0)")},
        ExampleCase{
            u"bdcaaccddd", u"dbddaccca",
            QStringLiteral("Added(-1,0), Same(0,1), Same(1,2), Changed(2,3), Removed(3,3), Same(4,4), "
                           "Same(5,5), Same(6,6), Changed(7,7), Changed(8,8), Removed(9,8)")}));

// Inputs meant to reach the corners of the search: tiny alphabets (long
// chance matches), long runs of one element, empty and identical sides, and
// texts derived from each other by a few edits.
class PairGenerator
{
public:
    explicit PairGenerator(unsigned seed)
        : m_random(seed)
    {}

    std::u16string Text(int maxLength, int alphabet)
    {
        std::u16string text(std::size_t(Uniform(0, maxLength)), u'a');
        for (char16_t &c : text)
            c = char16_t(u'a' + Uniform(0, alphabet - 1));
        if (Uniform(0, 3) == 0 && !text.empty()) {
            const int at = Uniform(0, int(text.size()) - 1);
            text.insert(std::size_t(at), std::size_t(Uniform(1, 20)), text[std::size_t(at)]);
        }
        return text;
    }

    std::u16string Edited(std::u16string text, int edits, int alphabet)
    {
        for (int i = 0; i < edits; ++i) {
            const char16_t c = char16_t(u'a' + Uniform(0, alphabet - 1));
            const int at = Uniform(0, int(text.size()));
            switch (Uniform(0, 2)) {
            case 0:
                text.insert(std::size_t(at), 1, c);
                break;
            case 1:
                if (at < int(text.size()))
                    text.erase(std::size_t(at), 1);
                break;
            default:
                if (at < int(text.size()))
                    text[std::size_t(at)] = c;
                break;
            }
        }
        return text;
    }

    int Uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }

private:
    std::mt19937 m_random;
};

void ExpectSameAsReference(TDiff &diff, const std::u16string &first, const std::u16string &second)
{
    int yields = 0;
    diff.OnYield = [&] { ++yields; };
    const std::vector<TDiffEntry> entries = Compared(diff, first, second);
    const DiffReference::Result expected = DiffReference::Compare(first, second);
    ASSERT_EQ(Notation(entries), Notation(expected.entries))
        << QString::fromStdU16String(first).toStdString() << " / "
        << QString::fromStdU16String(second).toStdString();
    ASSERT_EQ(entries, expected.entries); // characters too
    ASSERT_EQ(yields, expected.yields);
    ExpectSoundScript(first, second, entries);
}

// One instance for every pair: a comparison must leave nothing behind that
// the next one could trip over.
TEST(DiffGenerated, SmallPairsMatchTheStepsAndKeepTheInvariants)
{
    PairGenerator gen(20261211);
    TDiff diff;
    for (int round = 0; round < 20000; ++round) {
        const int alphabet = std::vector<int>{1, 2, 3, 4, 26}[std::size_t(gen.Uniform(0, 4))];
        std::u16string first = gen.Text(24, alphabet);
        std::u16string second;
        switch (gen.Uniform(0, 5)) {
        case 0:
            second = first;
            break;
        case 1:
            second = gen.Edited(first, gen.Uniform(1, 6), alphabet);
            break;
        case 2:
            second = std::u16string();
            if (gen.Uniform(0, 1))
                std::swap(first, second);
            break;
        default:
            second = gen.Text(24, alphabet);
            break;
        }
        ExpectSameAsReference(diff, first, second);
        if (testing::Test::HasFatalFailure())
            return;
    }
}

TEST(DiffGenerated, LongerPairsMatchTheSteps)
{
    PairGenerator gen(7);
    TDiff diff;
    for (int round = 0; round < 300; ++round) {
        const int alphabet = std::vector<int>{2, 4, 26}[std::size_t(gen.Uniform(0, 2))];
        const std::u16string first = gen.Text(1500, alphabet);
        const std::u16string second = gen.Uniform(0, 3) == 0
                                          ? gen.Text(1500, alphabet)
                                          : gen.Edited(first, gen.Uniform(1, 300), alphabet);
        ExpectSameAsReference(diff, first, second);
        if (testing::Test::HasFatalFailure())
            return;
    }
}

TEST(DiffYield, NestedComparisonIsRefusedAndLeavesTheRunningOneAlone)
{
    PairGenerator gen(99);
    const std::u16string first = gen.Text(3000, 4);
    const std::u16string second = gen.Edited(first, 800, 4);
    const std::u16string other = u"something else entirely";

    TDiff diff;
    int refused = 0;
    diff.OnYield = [&] {
        const std::int32_t before = diff.EntryCount();
        EXPECT_TRUE(diff.IsRunning());
        if (!diff.CompareChars(other, other))
            ++refused;
        diff.Reset();
        EXPECT_EQ(diff.EntryCount(), before);
    };
    ASSERT_TRUE(diff.CompareChars(first, second));
    EXPECT_FALSE(diff.IsRunning());
    EXPECT_GT(refused, 1);
    EXPECT_EQ(Script(diff), DiffReference::Compare(first, second).entries);
}

TEST(DiffYield, FailureInsideClearsTheRunningFlag)
{
    TDiff diff;
    int calls = 0;
    diff.OnYield = [&] {
        if (++calls == 3)
            throw std::runtime_error("stop");
    };
    const std::u16string first = u"the quick brown fox jumps";
    const std::u16string second = u"a quick brown cat jumped";
    EXPECT_THROW(diff.CompareChars(first, second), std::runtime_error);
    EXPECT_FALSE(diff.IsRunning());

    diff.OnYield = nullptr;
    EXPECT_TRUE(diff.CompareChars(first, second));
    EXPECT_EQ(Script(diff), DiffReference::Compare(first, second).entries);
}

TEST(DiffEntries, IndexOutsideTheScriptRaisesAListError)
{
    TDiff diff;
    ASSERT_TRUE(diff.CompareChars(u"ab", u"ax"));
    ASSERT_EQ(diff.EntryCount(), 2);
    for (const std::int32_t index : {-1, 2}) {
        try {
            diff.GetEntry(index);
            ADD_FAILURE() << "no error for " << index;
        } catch (const EListError &e) {
            EXPECT_EQ(e.Message(), QStringLiteral("List index out of bounds (%1)").arg(index));
        }
    }
    diff.Reset();
    EXPECT_EQ(diff.EntryCount(), 0);
}

TEST(DiffEntries, NegativeLengthCountsAsEmpty)
{
    TDiff diff;
    const char16_t text[] = u"xy";
    ASSERT_TRUE(diff.CompareChars(text, text, -5, 2));
    EXPECT_EQ(Notation(Script(diff)), QStringLiteral("Added(-1,0), Added(-1,1)"));
}

} // namespace
