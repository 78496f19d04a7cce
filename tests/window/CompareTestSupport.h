#pragma once

// Two small projects built in memory for the comparison tests, and a way to
// put them on disk for the tests that go through the files.

#include "quillmarkdoc/QuillmarkDoc.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <utility>

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

// Builds the two projects with fill(original, history) and saves them into
// dir; gives back their paths, the original's first. The projects live only
// while they are saved, so what reads the files meets nothing held in memory.
template<typename Fill> std::pair<QString, QString> SaveProjects(const QTemporaryDir &dir, Fill &&fill)
{
    TQuillmarkDoc original;
    TQuillmarkDoc history;
    fill(original, history);
    std::pair<QString, QString> paths{dir.filePath(QStringLiteral("original.qmp")),
                                      dir.filePath(QStringLiteral("history.qmp"))};
    original.SaveToFile(paths.first);
    history.SaveToFile(paths.second);
    return paths;
}
