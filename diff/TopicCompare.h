#pragma once

// Pairs the topics of two versions of a project and classes each pair. The
// comparison window and the command line both read their rows and counts
// from here, so what the grid shows and what a script prints never drift
// apart.

#include <QHash>
#include <QString>

#include <array>
#include <vector>

class TQMTopic;
class TQMTopics;
class TQuillmarkDoc;

enum TTopicCompareStatus : int {
    csDifferent = 0,
    csSame = 1,
    csSameText = 2,
    csNew = 3,
    // Only a topic of the History that no topic of the Original pairs with.
    csDeleted = 4,
};
inline constexpr int TopicCompareStatusCount = 5;

// In the order the window's match selector lists them.
enum class TTopicMatchBy : int { ID = 0, Title = 1, IDOrTitle = 2 };

struct TTopicCompareRow
{
    // A topic of the Original, or of the History for a csDeleted row.
    TQMTopic *Topic = nullptr;
    TTopicCompareStatus Status = csDifferent;
};

using TTopicCompareCounts = std::array<int, TopicCompareStatusCount>;

class TTopicComparison
{
public:
    // Both documents must outlive the comparison.
    TTopicComparison(const TQuillmarkDoc &original, const TQuillmarkDoc &history);

    TTopicMatchBy MatchBy() const { return m_matchBy; }
    void SetMatchBy(TTopicMatchBy value) { m_matchBy = value; }

    // The History topic paired with a topic of the Original, or null.
    TQMTopic *FindMatch(const TQMTopic *originalTopic) const;
    // Never csDeleted; csNew for a null topic.
    TTopicCompareStatus CompareStatus(const TQMTopic *originalTopic) const;

    // Every topic of the Original in document order, then every topic of the
    // History in document order that no topic of the Original pairs with.
    std::vector<TTopicCompareRow> Classify() const;
    static TTopicCompareCounts Count(const std::vector<TTopicCompareRow> &rows);

    // Matching by title keeps an index of the History's display names; it
    // must be told when History topics are added, removed or changed.
    void HistoryChanged() { m_titleIndexValid = false; }

    static QString StatusName(TTopicCompareStatus status);
    // "Different Topics: " and its siblings, ready for the count.
    static QString StatusBarText(TTopicCompareStatus status);
    static QString FormatTopicID(int topicID);

private:
    TQMTopic *FindByTitle(const TQMTopic &originalTopic) const;

    const TQuillmarkDoc &m_original;
    const TQuillmarkDoc &m_history;
    TTopicMatchBy m_matchBy = TTopicMatchBy::ID;
    // Display name -> index of the first History topic showing it.
    mutable QHash<QString, int> m_titleIndex;
    mutable bool m_titleIndexValid = false;
};
