#pragma once

// Helpers shared by the document model tests: a document with numbered
// topics and a recorder for the document's events.

#include "quillmarkdoc/QuillmarkDoc.h"

#include <QString>
#include <QStringList>

#include <initializer_list>

// Adds topics with these numbers, in order, titled "T<number>".
inline void AddTopics(TQuillmarkDoc &doc, std::initializer_list<int> numbers)
{
    for (int number : numbers) {
        TQMTopic *topic = doc.Topics()->Add();
        topic->SetTopicID(number);
        topic->SetTitle(QStringLiteral("T%1").arg(number));
    }
}

inline QList<int> TopicNumbers(const TQuillmarkDoc &doc)
{
    QList<int> numbers;
    for (int i = 0; i < doc.Topics()->Count(); ++i)
        numbers.append(doc.Topics()->Items(i)->TopicID());
    return numbers;
}

// Records every event of a document as one short line: the event's name,
// and for item events the item's display name or "*" for the whole list.
class EventRecorder
{
public:
    explicit EventRecorder(TQuillmarkDoc &doc)
        : m_doc(doc)
    {
        auto plain = [this](const char *name) {
            return [this, name](TObject *) { events.append(QString::fromLatin1(name)); };
        };
        auto item = [this](const char *name) {
            return [this, name](TObject *, auto *changed) {
                events.append(QStringLiteral("%1(%2)").arg(
                    QString::fromLatin1(name), changed ? changed->DisplayName() : QStringLiteral("*")));
            };
        };
        doc.OnChange = plain("Change");
        doc.OnContentChange = plain("ContentChange");
        doc.OnUndoSizeChange = plain("UndoSizeChange");
        doc.OnRecentFilesChange = plain("RecentFilesChange");
        doc.OnFontChange = plain("FontChange");
        doc.OnWindowDefChange = plain("WindowDefChange");
        doc.OnAddContents = item("AddContents");
        doc.OnDeleteContents = item("DeleteContents");
        doc.OnContentsChange = item("ContentsChange");
        doc.OnAddTopic = item("AddTopic");
        doc.OnDeleteTopic = item("DeleteTopic");
        doc.OnTopicChange = item("TopicChange");
        doc.OnAddMacro = item("AddMacro");
        doc.OnDeleteMacro = item("DeleteMacro");
        doc.OnMacroChange = item("MacroChange");
    }

    EventRecorder(const EventRecorder &) = delete;
    EventRecorder &operator=(const EventRecorder &) = delete;

    // The document may outlive the recorder.
    ~EventRecorder()
    {
        m_doc.OnChange = nullptr;
        m_doc.OnContentChange = nullptr;
        m_doc.OnUndoSizeChange = nullptr;
        m_doc.OnRecentFilesChange = nullptr;
        m_doc.OnFontChange = nullptr;
        m_doc.OnWindowDefChange = nullptr;
        m_doc.OnAddContents = nullptr;
        m_doc.OnDeleteContents = nullptr;
        m_doc.OnContentsChange = nullptr;
        m_doc.OnAddTopic = nullptr;
        m_doc.OnDeleteTopic = nullptr;
        m_doc.OnTopicChange = nullptr;
        m_doc.OnAddMacro = nullptr;
        m_doc.OnDeleteMacro = nullptr;
        m_doc.OnMacroChange = nullptr;
    }

    QString Joined() const { return events.join(QLatin1Char(' ')); }

    QStringList events;

private:
    TQuillmarkDoc &m_doc;
};
