#include "CompareTestSupport.h"
#include "QtPrinters.h"

#include "diff/TopicCompare.h"

#include <gtest/gtest.h>

#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

QStringList Describe(const std::vector<TTopicCompareRow> &rows)
{
    QStringList lines;
    for (const TTopicCompareRow &row : rows)
        lines.append(QStringLiteral("%1 %2 %3")
                         .arg(TTopicComparison::FormatTopicID(row.Topic->TopicID()), row.Topic->Title(),
                              TTopicComparison::StatusName(row.Status)));
    return lines;
}

class TopicComparison : public ::testing::Test
{
protected:
    TopicComparison()
    {
        // 10 equal, 20 only keywords differ, 30 text differs, 40 only in the
        // Original, 50 only in the History; 60 is 61 in the History.
        AddTopic(original, 10, QStringLiteral("Same"), {QStringLiteral("alpha")});
        AddTopic(history, 10, QStringLiteral("Same"), {QStringLiteral("alpha")});
        AddTopic(original, 20, QStringLiteral("Keywords"), {QStringLiteral("beta")})
            ->SetKeywords(QStringLiteral("new;words"));
        AddTopic(history, 20, QStringLiteral("Keywords"), {QStringLiteral("beta")});
        AddTopic(original, 30, QStringLiteral("Text"), {QStringLiteral("gamma two")});
        AddTopic(history, 30, QStringLiteral("Text"), {QStringLiteral("gamma one")});
        AddTopic(original, 40, QStringLiteral("Added later"), {QStringLiteral("delta")});
        AddTopic(history, 50, QStringLiteral("Removed since"), {QStringLiteral("epsilon")});
        AddTopic(original, 60, QStringLiteral("Renumbered"), {QStringLiteral("zeta")});
        AddTopic(history, 61, QStringLiteral("Renumbered"), {QStringLiteral("zeta")});
    }

    TQuillmarkDoc original;
    TQuillmarkDoc history;
};

TEST_F(TopicComparison, ClassesEveryPairAndListsHistoryOnlyTopicsLast)
{
    struct Case
    {
        TTopicMatchBy matchBy;
        QStringList rows;
        TTopicCompareCounts counts; // Different, Same, SameText, New, Deleted
    };
    const Case cases[] = {
        {TTopicMatchBy::ID,
         {u"000010 Same Same"_s, u"000020 Keywords SameText"_s, u"000030 Text Different"_s,
          u"000040 Added later New"_s, u"000060 Renumbered New"_s, u"000050 Removed since Deleted"_s,
          u"000061 Renumbered Deleted"_s},
         {1, 1, 1, 2, 2}},
        // By title the renumbered topic finds its counterpart, but a changed
        // number makes the pair differ in more than its text.
        {TTopicMatchBy::Title,
         {u"000010 Same Same"_s, u"000020 Keywords SameText"_s, u"000030 Text Different"_s,
          u"000040 Added later New"_s, u"000060 Renumbered SameText"_s, u"000050 Removed since Deleted"_s},
         {1, 1, 2, 1, 1}},
        {TTopicMatchBy::IDOrTitle,
         {u"000010 Same Same"_s, u"000020 Keywords SameText"_s, u"000030 Text Different"_s,
          u"000040 Added later New"_s, u"000060 Renumbered SameText"_s, u"000050 Removed since Deleted"_s},
         {1, 1, 2, 1, 1}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(int(c.matchBy));
        TTopicComparison comparison(original, history);
        comparison.SetMatchBy(c.matchBy);
        const std::vector<TTopicCompareRow> rows = comparison.Classify();
        EXPECT_EQ(Describe(rows), c.rows);
        EXPECT_EQ(TTopicComparison::Count(rows), c.counts);
    }
}

TEST_F(TopicComparison, TitleMatchingIsExactAndTakesTheFirstTopicWithTheName)
{
    TQMTopic *lower = AddTopic(original, 70, QStringLiteral("case"), {QStringLiteral("x")});
    AddTopic(history, 71, QStringLiteral("Case"), {QStringLiteral("x")});
    TQMTopic *twice = AddTopic(original, 80, QStringLiteral("Twice"), {QStringLiteral("y")});
    TQMTopic *first = AddTopic(history, 81, QStringLiteral("Twice"), {QStringLiteral("first")});
    AddTopic(history, 82, QStringLiteral("Twice"), {QStringLiteral("second")});
    // Empty titles show the class name, so they pair with each other.
    TQMTopic *untitled = AddTopic(original, 90, QString(), {QStringLiteral("z")});
    TQMTopic *untitledHistory = AddTopic(history, 91, QString(), {QStringLiteral("z")});

    TTopicComparison comparison(original, history);
    comparison.SetMatchBy(TTopicMatchBy::Title);
    EXPECT_EQ(comparison.FindMatch(lower), nullptr);
    EXPECT_EQ(comparison.FindMatch(twice), first);
    EXPECT_EQ(comparison.FindMatch(untitled), untitledHistory);

    // A History title that changes must be seen by the next lookup.
    first->SetTitle(QStringLiteral("Once"));
    comparison.HistoryChanged();
    EXPECT_EQ(comparison.FindMatch(twice), history.Topics()->Items(history.Topics()->IndexOfTopicID(82)));
}

TEST_F(TopicComparison, IDOrTitlePrefersTheNumber)
{
    // The History's topic 30 has another title than the Original's; a topic
    // with the Original's title exists elsewhere in the History.
    AddTopic(history, 95, QStringLiteral("Text"), {QStringLiteral("gamma two")});
    TTopicComparison comparison(original, history);
    comparison.SetMatchBy(TTopicMatchBy::IDOrTitle);
    const TQMTopic *topic30 = original.Topics()->FindTopic(30);
    EXPECT_EQ(comparison.FindMatch(topic30), history.Topics()->FindTopic(30));
    EXPECT_EQ(comparison.CompareStatus(topic30), csDifferent);
}

TEST_F(TopicComparison, StatusOfNoTopicIsNew)
{
    TTopicComparison comparison(original, history);
    EXPECT_EQ(comparison.FindMatch(nullptr), nullptr);
    EXPECT_EQ(comparison.CompareStatus(nullptr), csNew);
}

TEST(TopicCompareTexts, NumbersArePaddedToSixDigits)
{
    EXPECT_EQ(TTopicComparison::FormatTopicID(42), u"000042"_s);
    EXPECT_EQ(TTopicComparison::FormatTopicID(0), u"000000"_s);
    EXPECT_EQ(TTopicComparison::FormatTopicID(1234567), u"1234567"_s);
    EXPECT_EQ(TTopicComparison::FormatTopicID(-42), u"-000042"_s);
    EXPECT_EQ(TTopicComparison::StatusBarText(csSameText), u"Identical Text Topics: "_s);
    EXPECT_EQ(TTopicComparison::StatusName(csDeleted), u"Deleted"_s);
}

} // namespace
