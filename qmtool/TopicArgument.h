#pragma once

// The FILE TOPICID arguments of the commands that show one topic's text.

#include "CommandLine.h"

#include "foundation/Convert.h"
#include "quillmarkdoc/QMException.h"
#include "quillmarkdoc/QMTopics.h"
#include "quillmarkdoc/QuillmarkDoc.h"

#include <QString>
#include <QStringList>

namespace qmtool {

// Loads FILE and returns the RTF lines of the topic numbered TOPICID. A
// number that is not an integer is a usage error; a project without such a
// topic is refused.
inline QStringList LoadTopicText(const QStringList &args)
{
    ExpectArgumentCount(args, 2);
    const std::optional<int32_t> number = TryStrToInt(args.at(1));
    if (!number)
        throw UsageError(QStringLiteral("TOPICID is not a number: %1").arg(args.at(1)));

    TQuillmarkDoc doc;
    doc.LoadFromFile(args.at(0));
    const TQMTopic *topic = doc.Topics()->FindTopic(*number);
    if (!topic)
        throw EQMException(QStringLiteral("no topic with number %1").arg(*number));
    return topic->Text()->ToQStringList();
}

} // namespace qmtool
