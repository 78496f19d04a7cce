// qmtool rtf FILE TOPICID: the RTF the editor would store for a topic once
// the rich-text engine has read it.

#include "CommandLine.h"
#include "TopicArgument.h"

#include "richtext/RichTextBuffer.h"

namespace {

int RunRtf(const QStringList &arguments)
{
    TRichTextBuffer buffer;
    buffer.LoadLines(qmtool::LoadTopicText(arguments));
    QByteArray out;
    for (const QString &line : buffer.RtfLines()) {
        out.append(line.toUtf8());
        out.append("\r\n");
    }
    qmtool::WriteOut(out);
    return 0;
}

const qmtool::CommandRegistration registration({
    QStringLiteral("rtf"),
    QStringLiteral("rtf FILE TOPICID"),
    true,
    RunRtf,
});

} // namespace
