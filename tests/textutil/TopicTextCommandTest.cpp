// Drives the built qmtool's text and rtf commands over the example project.

#include "QmtoolProcess.h"
#include "QtPrinters.h"

#include "quillmarkdoc/QMTopics.h"
#include "quillmarkdoc/QuillmarkDoc.h"
#include "richtext/RichTextBuffer.h"

#include <gtest/gtest.h>

namespace {

QString Example()
{
    return QStringLiteral(QM_EXAMPLES_DIR "/ClassLibrary.qmp");
}

TEST(TopicTextCommand, TextPrintsParagraphsAsLines)
{
    const QmtoolResult outcome = RunQmtool({QStringLiteral("text"), Example(), QStringLiteral("10")});
    EXPECT_EQ(0, outcome.exitCode) << outcome.err.constData();
    EXPECT_EQ(QByteArray("Gauges Library\n"
                         "The Gauges library draws round and linear gauges on any form.\n"
                         "Start with TGauge component{linkID=100}and give it a TGaugeScale "
                         "class{linkID=200}for its divisions.\n"
                         "Topics marked To Do in the project still need a description."),
              outcome.out);
    EXPECT_EQ(QByteArray(), outcome.err);
}

TEST(TopicTextCommand, RtfPrintsWhatTheEngineWritesAsCrLfLines)
{
    const QmtoolResult outcome = RunQmtool({QStringLiteral("rtf"), Example(), QStringLiteral("20")});
    EXPECT_EQ(0, outcome.exitCode) << outcome.err.constData();

    TQuillmarkDoc doc;
    doc.LoadFromFile(Example());
    TRichTextBuffer buffer;
    buffer.LoadLines(doc.Topics()->FindTopic(20)->Text()->ToQStringList());
    QByteArray expected;
    for (const QString &line : buffer.RtfLines())
        expected += line.toUtf8() + "\r\n";
    EXPECT_EQ(expected, outcome.out);

    // What the command prints reads back to the topic's text.
    TRichTextBuffer reread;
    reread.LoadRtf(QByteArrayView(outcome.out));
    EXPECT_EQ(QStringList(), reread.Messages());
    EXPECT_TRUE(reread.Text().startsWith(QStringLiteral("Getting Started\rDrop a TGauge on a form")))
        << reread.Text().toStdString();
    EXPECT_TRUE(reread.Text().contains(QStringLiteral("\rGauge1.Value := 42;\r")));
}

TEST(TopicTextCommand, MissingTopicOrBadNumberIsRefused)
{
    struct Case
    {
        const char *command;
        const char *number;
        int exitCode;
        QByteArray error;
    };
    const Case cases[] = {
        {"text", "11", 1, "qmtool: no topic with number 11\n"},
        {"rtf", "-5", 1, "qmtool: no topic with number -5\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.command);
        const QmtoolResult outcome =
            RunQmtool({QString::fromLatin1(c.command), Example(), QString::fromLatin1(c.number)});
        EXPECT_EQ(c.exitCode, outcome.exitCode);
        EXPECT_EQ(QByteArray(), outcome.out);
        EXPECT_EQ(c.error, outcome.err);
    }
    // A number that is not one does not fit the synopsis.
    const QmtoolResult usage = RunQmtool({QStringLiteral("text"), Example(), QStringLiteral("ten")});
    EXPECT_EQ(2, usage.exitCode);
    EXPECT_EQ(QByteArray(), usage.out);
}

} // namespace
