// Searching the topics of a document one after another through a
// rich-text buffer.

#include "QtPrinters.h"

#include "quillmarkdoc/QMTopics.h"
#include "quillmarkdoc/QuillmarkDoc.h"
#include "richtext/RichTextBuffer.h"
#include "textutil/FindTextInTopics.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct FindCase
{
    const char *what;
    int startIndex;
    int direction;
    TFindOptions options;
    const char *text;
    int expectedPosition;
    int expectedIndex;
};

void PrintTo(const FindCase &c, std::ostream *os)
{
    *os << c.what;
}

class FindTextInTopicsTest : public ::testing::TestWithParam<FindCase>
{
protected:
    FindTextInTopicsTest()
    {
        const char *const bodies[] = {
            R"({\rtf1\ansi\deff0{\fonttbl{\f0 Arial;}}\f0\fs20 The Widget class\par})",
            R"({\rtf1\ansi\deff0{\fonttbl{\f0 Arial;}}\f0\fs20 widgets everywhere\par})",
            R"({\rtf1\ansi\deff0{\fonttbl{\f0 Arial;}}\f0\fs20 Nothing here\par})",
            R"({\rtf1\ansi\deff0{\fonttbl{\f0 Arial;}}\f0\fs20 A \b widget\b0\par second widget\par})",
        };
        for (const char *body : bodies)
            doc.Topics()->Add()->Text()->AssignStrings({QString::fromLatin1(body)});
    }

    TQuillmarkDoc doc;
};

TEST_P(FindTextInTopicsTest, StepsThroughTheTopics)
{
    const FindCase &c = GetParam();
    TRichTextBuffer buffer;
    buffer.SetPlainText(QStringLiteral("left over from before"));
    int index = c.startIndex;
    const QString text = QString::fromLatin1(c.text);

    const int position = FindTextInTopics(doc, buffer, index, c.direction, c.options, text);

    EXPECT_EQ(c.expectedPosition, position);
    EXPECT_EQ(c.expectedIndex, index);
    if (position >= 0) {
        // The buffer holds the topic that matched, so the caller can select
        // the match in it.
        EXPECT_EQ(0, buffer.Text().mid(position, text.size()).compare(text, Qt::CaseInsensitive))
            << buffer.Text().toStdString();
    }
}

constexpr TFindOptions None;
constexpr TFindOptions Case = TFindOption::MatchCase;
constexpr TFindOptions Word = TFindOption::WholeWord;
constexpr TFindOptions CaseWord = TFindOption::MatchCase | TFindOption::WholeWord;

INSTANTIATE_TEST_SUITE_P(
    Cases, FindTextInTopicsTest,
    ::testing::Values(FindCase{"FirstTopicIgnoringCase", 0, 1, None, "widget", 4, 0},
                      FindCase{"MatchCaseSkipsToNextTopic", 0, 1, Case, "widget", 0, 1},
                      FindCase{"WholeWordSkipsPlural", 1, 1, Word, "widget", 2, 3},
                      FindCase{"WholeWordMatchCase", 0, 1, CaseWord, "widget", 2, 3},
                      FindCase{"SecondParagraphCountsTheBreakAsOne", 0, 1, None, "second widget", 9, 3},
                      FindCase{"BackwardsMatchCase", 3, -1, Case, "Widget", 4, 0},
                      FindCase{"BackwardsWholeWord", 2, -1, Word, "widgets", 0, 1},
                      FindCase{"StartTopicMatchesFirst", 3, -1, None, "widget", 2, 3},
                      FindCase{"NotFoundForwardsEndsPastTheLast", 1, 1, None, "gadget", -1, 4},
                      FindCase{"NotFoundBackwardsEndsBeforeTheFirst", 2, -1, None, "gadget", -1, -1},
                      FindCase{"ZeroDirectionSearchesForwards", 2, 0, None, "second", 9, 3},
                      FindCase{"StartOutsideSearchesNothing", 4, -1, None, "widget", -1, 4},
                      FindCase{"NegativeStartSearchesNothing", -1, 1, None, "widget", -1, -1}),
    [](const ::testing::TestParamInfo<FindCase> &info) { return std::string(info.param.what); });

} // namespace
