// Writes a large project file for timing the reader and writer:
//   generate_project OUT [TOPICS [RTF_BYTES_PER_TOPIC]]
// 20,000 topics of about 2,500 bytes of RTF each by default (about 50 MB),
// Windows-1252 as the editor saves it. The text is made of pseudo-random
// words from a fixed seed, so every run writes the same file.

#include "foundation/Exceptions.h"
#include "quillmarkdoc/QuillmarkDoc.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <random>

namespace {

const char *const Words[] = {"gauge",     "scale", "needle",  "value",    "property", "method",
                             "event",     "range", "minimum", "maximum",  "colour",   "draws",
                             "returns",   "the",   "a",       "of",       "when",     "changes",
                             "component", "form",  "caf\xe9", "se\xf1or", "index",    "position",
                             "divisions", "label", "font",    "width"};

QString Paragraph(std::mt19937 &random, int length)
{
    std::uniform_int_distribution<int> pick(0, int(std::size(Words)) - 1);
    std::uniform_int_distribution<int> markup(0, 9);
    QString line;
    while (line.size() < length) {
        const int kind = markup(random);
        const QString word = QString::fromLatin1(Words[pick(random)]);
        if (kind == 0)
            line += QStringLiteral("\\b ") + word + QStringLiteral("\\b0 ");
        else if (kind == 1)
            line += QStringLiteral("\\cf2\\strike ") + word +
                    QStringLiteral("\\strike0\\cf3\\{linkID=%1\\}\\cf0 ").arg(pick(random) * 10 + 10);
        else
            line += word + QLatin1Char(' ');
    }
    return line + QStringLiteral("\\par");
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: generate_project OUT [TOPICS [RTF_BYTES_PER_TOPIC]]\n");
        return 2;
    }
    const int topicCount = args.size() > 1 ? args.at(1).toInt() : 20000;
    const int rtfBytes = args.size() > 2 ? args.at(2).toInt() : 2500;

    std::mt19937 random(20261211);
    TQuillmarkDoc doc;
    doc.Options()->SetTitle(QStringLiteral("Generated Help"));
    TQMTopics &topics = *doc.Topics();
    {
        TUpdateScope<TCollection> bracket(topics);
        for (int i = 0; i < topicCount; ++i) {
            TQMTopic *topic = topics.Add();
            topic->SetTopicID(10 * (i + 1));
            const QString title = QStringLiteral("Topic %1 property").arg(i + 1);
            topic->SetTitle(title);
            topic->SetKeywords(QStringLiteral("topic;%1").arg(i + 1));
            topic->SetBrowseSequence(QStringLiteral("main"));
            topic->SetBrowseSequenceNum(i + 1);
            topic->SetStatus(i % 3 == 0 ? QStringLiteral("Done") : QStringLiteral("Writing"));
            QStringList text = {
                QStringLiteral(
                    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil Arial;}}"),
                QStringLiteral(
                    "{\\colortbl ;\\red0\\green0\\blue255;\\red0\\green128\\blue0;\\red128\\green0\\blue0;}"),
                QStringLiteral("\\viewkind4\\uc1\\pard\\cf1\\b\\f0\\fs32 ") + title +
                    QStringLiteral("\\cf0\\b0\\fs20\\par")};
            qsizetype size = 0;
            for (const QString &line : text)
                size += line.size() + 2;
            while (size < rtfBytes) {
                text << Paragraph(random, 70);
                size += text.last().size() + 2;
            }
            text << QStringLiteral("}");
            topic->Text()->AssignStrings(text);
        }
    }
    TQMContentsItems &contents = *doc.Contents();
    for (int i = 0; i < topicCount; i += 10) {
        TQMContentsItem *item = contents.Add();
        item->SetLevel(i % 100 == 0 ? 1 : 2);
        item->SetTitle(topics.Items(i)->Title());
        item->SetLink(topics.Items(i)->ContextString());
    }
    try {
        doc.SaveToFile(args.at(0));
    } catch (const Exception &e) {
        std::fprintf(stderr, "generate_project: %s\n", e.what());
        return 1;
    }
    return 0;
}
