// qmtool check FILE: what an author would want fixed before a build, one
// problem per line as KIND, WHERE and DETAIL separated by tabs.

#include "CommandLine.h"

#include "foundation/Convert.h"
#include "quillmarkdoc/QMLinks.h"
#include "quillmarkdoc/QuillmarkDoc.h"
#include "richtext/RtfReader.h"
#include "todo/QMTToDo.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QTextDocument>

#include <optional>

namespace {

// "%6.6d": at least six digits, the sign in front of them.
QString Number(int number)
{
    const QString digits = QStringLiteral("%1").arg(qAbs(qint64(number)), 6, 10, QLatin1Char('0'));
    return number < 0 ? u'-' + digits : digits;
}

QString TopicPlace(const TQMTopic &topic)
{
    return Number(topic.TopicID()) + u' ' + topic.Title();
}

class Report
{
public:
    void Add(const char *kind, const QString &where, const QString &detail)
    {
        m_out.append(kind);
        m_out.append('\t');
        m_out.append(where.toUtf8());
        m_out.append('\t');
        m_out.append(detail.toUtf8());
        m_out.append('\n');
        ++m_count;
    }

    int Finish()
    {
        m_out.append(m_count == 1 ? QByteArray("1 problem\n") : QByteArray::number(m_count) + " problems\n");
        qmtool::WriteOut(m_out);
        return m_count == 0 ? 0 : 1;
    }

private:
    QByteArray m_out;
    int m_count = 0;
};

// The number part of a topic link as written: the whole target, or what
// stands before a window name.
QString WrittenNumber(const QString &target)
{
    const qsizetype window = target.indexOf(u'>');
    return window < 0 ? target : target.left(window);
}

int RunCheck(const QStringList &arguments)
{
    qmtool::ExpectArgumentCount(arguments, 1);
    const QString fileName = arguments.at(0);

    TQuillmarkDoc doc;
    doc.LoadFromFile(fileName);
    const QString toDoName = ToDoFileName(fileName);
    std::optional<TXMLToDoListType> toDos;
    if (QFileInfo::exists(toDoName))
        toDos = ReadToDoFile(toDoName);

    const TQMTopics &topics = *doc.Topics();
    Report report;

    // Which topics link to each number, for broken links and orphans.
    QHash<int, QSet<const TQMTopic *>> linkedFrom;
    for (int i = 0; i < topics.Count(); ++i) {
        const TQMTopic *topic = topics.Items(i);
        const QString text = topic->Text()->ToQStringList().join(QStringLiteral("\r\n"));
        int position = 0;
        for (TLinkInfo link = FindLinkOfType(text, {ltNormal}, position, LinkAnchor); link.Found();
             position += link.length, link = FindLinkOfType(text, {ltNormal}, position, LinkAnchor)) {
            const QString written = WrittenNumber(link.target);
            const std::optional<int32_t> number = TryStrToInt(written);
            if (number && topics.HasTopicID(*number))
                linkedFrom[*number].insert(topic);
            else
                report.Add("broken-link", TopicPlace(*topic), written);
        }
    }

    const TQMContentsItems &contents = *doc.Contents();
    QSet<const TQMTopic *> inContents;
    for (int i = 0; i < contents.Count(); ++i) {
        const TQMContentsItem *item = contents.Items(i);
        if (item->Topic())
            inContents.insert(item->Topic());
        if (!item->LinkResolved())
            report.Add("unresolved-contents", QString::number(i + 1) + u' ' + item->Title(), item->Link());
    }

    {
        QHash<int, int> counts;
        for (int i = 0; i < topics.Count(); ++i)
            ++counts[topics.Items(i)->TopicID()];
        QSet<int> reported;
        for (int i = 0; i < topics.Count(); ++i) {
            const int number = topics.Items(i)->TopicID();
            if (counts.value(number) > 1 && !reported.contains(number)) {
                reported.insert(number);
                report.Add("duplicate-number", Number(number),
                           QStringLiteral("%1 topics").arg(counts.value(number)));
            }
        }
    }

    {
        // Keys in order of first appearance.
        QHash<QString, QStringList> holders;
        QList<QString> order;
        QHash<QString, QString> spelling;
        for (int i = 0; i < topics.Count(); ++i) {
            const TQMTopic *topic = topics.Items(i);
            const QString key = topic->ContextString().toCaseFolded();
            if (!holders.contains(key)) {
                order.append(key);
                spelling.insert(key, topic->ContextString());
            }
            holders[key].append(Number(topic->TopicID()));
        }
        for (const QString &key : order) {
            const QStringList &numbers = holders.value(key);
            if (numbers.size() > 1)
                report.Add("duplicate-context", spelling.value(key), numbers.join(QStringLiteral(", ")));
        }
    }

    if (contents.Count() > 0) {
        for (int i = 0; i < topics.Count(); ++i) {
            const TQMTopic *topic = topics.Items(i);
            if (inContents.contains(topic))
                continue;
            const QSet<const TQMTopic *> linking = linkedFrom.value(topic->TopicID());
            const bool namedByAnother =
                linking.size() > 1 || (linking.size() == 1 && !linking.contains(topic));
            if (!namedByAnother)
                report.Add("orphan", TopicPlace(*topic), QString());
        }
    }

    if (toDos) {
        for (int i = 0; i < toDos->Count(); ++i) {
            const TXMLToDoType toDo = toDos->Item(i);
            if (!toDo.HasTopic())
                continue;
            const std::optional<int32_t> number = TryStrToInt(toDo.TopicText());
            if (!number || !topics.HasTopicID(*number))
                report.Add("todo-missing-topic", QString::number(i + 1), toDo.TopicText());
        }
    }

    for (int i = 0; i < topics.Count(); ++i) {
        const TQMTopic *topic = topics.Items(i);
        QTextDocument scratch;
        const QStringList messages = TRtfReader::Read(scratch, topic->Text()->ToQStringList());
        for (const QString &message : messages)
            report.Add("bad-rtf", TopicPlace(*topic), message);
    }

    return report.Finish();
}

const qmtool::CommandRegistration registration({
    QStringLiteral("check"),
    QStringLiteral("check FILE"),
    true,
    RunCheck,
});

} // namespace
