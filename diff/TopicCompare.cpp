#include "diff/TopicCompare.h"

#include "diff/DiffStrings.h"
#include "quillmarkdoc/QuillmarkDoc.h"

#include <QSet>

TTopicComparison::TTopicComparison(const TQuillmarkDoc &original, const TQuillmarkDoc &history)
    : m_original(original)
    , m_history(history)
{}

TQMTopic *TTopicComparison::FindByTitle(const TQMTopic &originalTopic) const
{
    const TQMTopics &topics = *m_history.Topics();
    if (!m_titleIndexValid) {
        // The first topic with a name wins (filled from the back, so earlier
        // topics overwrite later ones), as a search from the front would find it; a linear search per topic
        // would make large projects quadratic.
        m_titleIndex.clear();
        m_titleIndex.reserve(topics.Count());
        for (int i = topics.Count() - 1; i >= 0; --i)
            m_titleIndex.insert(topics.Items(i)->GetDisplayName(), i);
        m_titleIndexValid = true;
    }
    const auto found = m_titleIndex.constFind(originalTopic.GetDisplayName());
    if (found == m_titleIndex.cend() || found.value() >= topics.Count())
        return nullptr;
    return topics.Items(found.value());
}

TQMTopic *TTopicComparison::FindMatch(const TQMTopic *originalTopic) const
{
    if (!originalTopic)
        return nullptr;
    switch (m_matchBy) {
    case TTopicMatchBy::Title:
        return FindByTitle(*originalTopic);
    case TTopicMatchBy::IDOrTitle:
        if (TQMTopic *byID = m_history.Topics()->FindTopic(originalTopic->TopicID()))
            return byID;
        return FindByTitle(*originalTopic);
    case TTopicMatchBy::ID:
        break;
    }
    return m_history.Topics()->FindTopic(originalTopic->TopicID());
}

TTopicCompareStatus TTopicComparison::CompareStatus(const TQMTopic *originalTopic) const
{
    const TQMTopic *match = FindMatch(originalTopic);
    if (!match)
        return csNew;
    if (originalTopic->IsEqual(match))
        return csSame;
    if (originalTopic->Text()->Text() == match->Text()->Text())
        return csSameText;
    return csDifferent;
}

std::vector<TTopicCompareRow> TTopicComparison::Classify() const
{
    const TQMTopics &original = *m_original.Topics();
    const TQMTopics &history = *m_history.Topics();
    std::vector<TTopicCompareRow> rows;
    rows.reserve(std::size_t(original.Count()));
    QSet<const TQMTopic *> paired;
    paired.reserve(original.Count());
    for (int i = 0; i < original.Count(); ++i) {
        TQMTopic *topic = original.Items(i);
        const TQMTopic *match = FindMatch(topic);
        TTopicCompareStatus status = csNew;
        if (match) {
            paired.insert(match);
            if (topic->IsEqual(match))
                status = csSame;
            else if (topic->Text()->Text() == match->Text()->Text())
                status = csSameText;
            else
                status = csDifferent;
        }
        rows.push_back({topic, status});
    }
    for (int i = 0; i < history.Count(); ++i) {
        TQMTopic *topic = history.Items(i);
        if (!paired.contains(topic))
            rows.push_back({topic, csDeleted});
    }
    return rows;
}

TTopicCompareCounts TTopicComparison::Count(const std::vector<TTopicCompareRow> &rows)
{
    TTopicCompareCounts counts{};
    for (const TTopicCompareRow &row : rows)
        ++counts[row.Status];
    return counts;
}

QString TTopicComparison::StatusName(TTopicCompareStatus status)
{
    return DiffStrings::StatusName(status);
}

QString TTopicComparison::StatusBarText(TTopicCompareStatus status)
{
    return DiffStrings::StatusBarText(status);
}

QString TTopicComparison::FormatTopicID(int topicID)
{
    // Zero-padded to six digits so that sorting the texts sorts the numbers;
    // a negative number keeps its sign in front of the digits.
    if (topicID < 0)
        return QLatin1Char('-') + QString::number(-qint64(topicID)).rightJustified(6, QLatin1Char('0'));
    return QString::number(topicID).rightJustified(6, QLatin1Char('0'));
}
