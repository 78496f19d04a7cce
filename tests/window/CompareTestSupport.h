#pragma once

// Two small projects built in memory for the comparison tests, and a way to
// put them on disk for the tests that go through the files.

#include "quillmarkdoc/QuillmarkDoc.h"

#include <QString>
#include <QStringList>

// A topic body in the form the editor writes, one paragraph per entry. The
// texts of these tests carry no RTF specials.
inline QStringList TopicRtf(const QStringList &paragraphs)
{
    QStringList lines{QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil Arial;}}")};
    QString body = QStringLiteral("\\viewkind4\\uc1\\pard\\f0\\fs20 ");
    body += paragraphs.join(QStringLiteral("\\par\r\n"));
    lines.append(body.split(QStringLiteral("\r\n")));
    lines.append(QStringLiteral("}"));
    return lines;
}

inline TQMTopic *AddTopic(TQuillmarkDoc &doc, int number, const QString &title, const QStringList &paragraphs)
{
    TQMTopic *topic = doc.Topics()->Add();
    topic->SetTopicID(number);
    topic->SetTitle(title);
    topic->Text()->AssignStrings(TopicRtf(paragraphs));
    return topic;
}
