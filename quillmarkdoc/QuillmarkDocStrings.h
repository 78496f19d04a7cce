#pragma once

// The fixed texts of the document model: messages, the names of the standard
// statuses and the defaults a new topic starts with. Placeholders are filled
// with QString::arg in order ("%1" stands where the message shows a value).

#include <QString>

namespace QuillmarkDocStrings {

// Messages.
inline QString FeatureDisabled()
{
    return QStringLiteral("Feature disabled");
}

// Standard statuses, in the order they are ensured.
inline QString StatusToDo()
{
    return QStringLiteral("To Do");
}
inline QString StatusDone()
{
    return QStringLiteral("Done");
}
inline QString StatusWriting()
{
    return QStringLiteral("Writing");
}
inline QString StatusMerged()
{
    return QStringLiteral("Merged");
}

// A new topic.
inline QString NewTopicTitle()
{
    return QStringLiteral("<new topic>");
}
inline QString ContextStringPrefix()
{
    return QStringLiteral("Quill");
}
inline QString NewTopicRtfHeader()
{
    return QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033"
                          "{\\fonttbl{\\f0\\fnil Arial;}{\\f1\\fnil\\fcharset0 Arial;}}");
}
// The title inside this line is the one the title setter keeps in step.
inline QString NewTopicRtfBody()
{
    return QStringLiteral("{\\colortbl ;\\red0\\green0\\blue255;}"
                          "\\viewkind4\\uc1\\pard\\cf1\\b\\f0\\fs32 <new topic>\\cf0\\b0\\fs20"
                          "\\par"
                          "\\par }");
}

// One line of a topic list: display name and number.
inline QString TopicListLine()
{
    return QStringLiteral("%1 (%2)");
}

} // namespace QuillmarkDocStrings
