// qmtool compare ORIGINAL HISTORY [--match id|title|id-or-title]: every topic
// of the Original with its comparison status, the History's unpaired topics,
// and the counts, as the comparison window classes them.

#include "CommandLine.h"

#include "diff/TopicCompare.h"
#include "quillmarkdoc/QuillmarkDoc.h"

namespace {

TTopicMatchBy TakeMatch(QStringList &args)
{
    const QString match = qmtool::TakeOption(args, QStringLiteral("--match"), QStringLiteral("id"));
    if (match == u"id")
        return TTopicMatchBy::ID;
    if (match == u"title")
        return TTopicMatchBy::Title;
    if (match == u"id-or-title")
        return TTopicMatchBy::IDOrTitle;
    throw qmtool::UsageError(QStringLiteral("--match takes id, title or id-or-title, not '%1'").arg(match));
}

int RunCompare(const QStringList &arguments)
{
    QStringList args = arguments;
    const TTopicMatchBy matchBy = TakeMatch(args);
    qmtool::ExpectArgumentCount(args, 2);

    TQuillmarkDoc original;
    original.LoadFromFile(args.at(0));
    TQuillmarkDoc history;
    history.LoadFromFile(args.at(1));

    TTopicComparison comparison(original, history);
    comparison.SetMatchBy(matchBy);
    const std::vector<TTopicCompareRow> rows = comparison.Classify();

    QByteArray out;
    out.reserve(qsizetype(rows.size()) * 48);
    const QChar tab = u'\t';
    for (const TTopicCompareRow &row : rows) {
        out.append((TTopicComparison::FormatTopicID(row.Topic->TopicID()) + tab +
                    TTopicComparison::StatusName(row.Status) + tab + row.Topic->Title())
                       .toUtf8());
        out.append('\n');
    }
    const TTopicCompareCounts counts = TTopicComparison::Count(rows);
    QStringList totals;
    for (int status = 0; status < TopicCompareStatusCount; ++status)
        totals.append(TTopicComparison::StatusBarText(TTopicCompareStatus(status)) +
                      QString::number(counts[std::size_t(status)]));
    out.append(totals.join(tab).toUtf8());
    out.append('\n');
    qmtool::WriteOut(out);
    return 0;
}

const qmtool::CommandRegistration registration({
    QStringLiteral("compare"),
    QStringLiteral("compare ORIGINAL HISTORY [--match id|title|id-or-title]"),
    false,
    RunCompare,
});

} // namespace
