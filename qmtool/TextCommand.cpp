// qmtool text FILE TOPICID: a topic's text as the rich-text engine reads it.

#include "CommandLine.h"
#include "TopicArgument.h"

#include "richtext/RichTextBuffer.h"

namespace {

int RunText(const QStringList &arguments)
{
    TRichTextBuffer buffer;
    buffer.LoadLines(qmtool::LoadTopicText(arguments));
    QString text = buffer.Text();
    text.replace(u'\r', u'\n');
    qmtool::WriteOut(text.toUtf8());
    return 0;
}

const qmtool::CommandRegistration registration({
    QStringLiteral("text"),
    QStringLiteral("text FILE TOPICID"),
    true,
    RunText,
});

} // namespace
