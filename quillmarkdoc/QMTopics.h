#pragma once

// Topics: the numbered pages of a help project. The topic collection keeps
// its topics in ascending order of number and answers "which topic has this
// number / context string" without walking the list, so building, loading,
// pasting and cloning large documents stay linear.

#include "foundation/StringList.h"
#include "quillmarkdoc/QMCollections.h"

#include <QMultiHash>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <functional>
#include <memory>

class TQMTopics;
class TQuillmarkDoc;

class TQMTopic : public TQMCollectionItem
{
    Q_GADGET
    Q_PROPERTY(int TopicID READ TopicID WRITE SetTopicID)
    Q_PROPERTY(QString ContextString READ ContextString WRITE SetContextString)
    Q_PROPERTY(QString Title READ Title WRITE SetTitle)
    Q_PROPERTY(QString Keywords READ Keywords WRITE SetKeywords)
    Q_PROPERTY(QString DelphiKeywords READ DelphiKeywords WRITE SetDelphiKeywords)
    Q_PROPERTY(QString BuildTag READ BuildTag WRITE SetBuildTag)
    Q_PROPERTY(QString BrowseSequence READ BrowseSequence WRITE SetBrowseSequence)
    Q_PROPERTY(int BrowseSequenceNum READ BrowseSequenceNum WRITE SetBrowseSequenceNum)
    Q_PROPERTY(QString Status READ Status WRITE SetStatus)
    Q_PROPERTY(QString Window READ Window WRITE SetWindow)
    Q_PROPERTY(QString EntryMacro READ EntryMacro WRITE SetEntryMacro)
    Q_PROPERTY(QString AKeywords READ AKeywords WRITE SetAKeywords)
    Q_PROPERTY(bool Bookmark READ Bookmark WRITE SetBookmark)
    Q_PROPERTY(QStringList Text READ TextLines WRITE SetTextLines)
    // For the user interface only: never written to a file, never copied.
    Q_PROPERTY(qintptr Tag READ Tag WRITE SetTag STORED false)

public:
    QM_METAOBJECT

    // Created for a document's topic collection, the topic takes the first
    // free number after the highest one; elsewhere it is numbered 0. It
    // starts with the default context string, title, status and text.
    explicit TQMTopic(TCollection *collection = nullptr);
    ~TQMTopic() override;

    // "Quill" followed by the number.
    static QString DefaultContextString(int topicID);
    // The two lines of a new topic's RTF body.
    static QStringList DefaultText();

    int TopicID() const { return m_topicID; }
    // Refused silently when another topic of the collection has the number.
    // Otherwise the topic moves to keep the collection ascending, a default
    // context string follows the number, and the current topic stays current.
    void SetTopicID(int value);
    // Stores the number as it is: no check for duplicates, no move, the
    // context string untouched, no change notification. For readers that
    // restore the order themselves.
    void StoreTopicID(int value);

    const QString &ContextString() const { return m_contextString; }
    // An empty value is ignored.
    void SetContextString(const QString &value);
    const QString &Title() const { return m_title; }
    // Also replaces the first occurrence of the old title in the text, which
    // keeps the heading of the topic body in step.
    void SetTitle(const QString &value);
    const QString &Keywords() const { return m_keywords; }
    void SetKeywords(const QString &value);
    const QString &DelphiKeywords() const { return m_delphiKeywords; }
    void SetDelphiKeywords(const QString &value);
    const QString &BuildTag() const { return m_buildTag; }
    void SetBuildTag(const QString &value);
    const QString &BrowseSequence() const { return m_browseSequence; }
    void SetBrowseSequence(const QString &value);
    int BrowseSequenceNum() const { return m_browseSequenceNum; }
    void SetBrowseSequenceNum(int value);
    const QString &Status() const { return m_status; }
    void SetStatus(const QString &value);
    const QString &Window() const { return m_window; }
    void SetWindow(const QString &value);
    const QString &EntryMacro() const { return m_entryMacro; }
    void SetEntryMacro(const QString &value);
    const QString &AKeywords() const { return m_aKeywords; }
    void SetAKeywords(const QString &value);
    bool Bookmark() const { return m_bookmark; }
    void SetBookmark(bool value);
    // The RTF body, one line per entry. Any change of the list is a change of
    // the topic.
    TStringList *Text() const { return m_text.get(); }
    void SetText(const TStringList *value);
    qintptr Tag() const { return m_tag; }
    void SetTag(qintptr value) { m_tag = value; }

    // The owning document, or null outside a document's topic collection.
    TQuillmarkDoc *Document() const;
    // The owning topic collection, or null.
    TQMTopics *Topics() const;

    // Every field but the number, the context string and Tag, then the
    // selection flag; one change notification.
    void Assign(const TPersistent *source) override;
    // Same number, context string, fields and text (case-sensitive);
    // selection and Tag are not compared.
    bool IsEqual(const TPersistent *other) const;

    // Title, or the class name while the title is empty.
    QString GetDisplayName() const override;

private:
    friend class TQMTopics;

    QStringList TextLines() const { return m_text->ToQStringList(); }
    void SetTextLines(const QStringList &value);

    void StoreString(QString &field, const QString &value);
    void StoreContextString(const QString &value);
    void NotifyChange();

    int m_topicID = 0;
    QString m_contextString;
    QString m_title;
    QString m_keywords;
    QString m_delphiKeywords;
    QString m_buildTag;
    QString m_browseSequence;
    int m_browseSequenceNum = 0;
    QString m_status;
    QString m_window;
    QString m_entryMacro;
    QString m_aKeywords;
    bool m_bookmark = false;
    std::unique_ptr<TStringList> m_text;
    qintptr m_tag = 0;
    // While Assign copies, the field changes are reported once at the end.
    int m_silent = 0;
};

class TQMTopics : public TQMCollection
{
    Q_GADGET

public:
    QM_METAOBJECT

    explicit TQMTopics(TPersistent *owner = nullptr);
    ~TQMTopics() override;

    // The owner when it is a document.
    TQuillmarkDoc *Document() const { return m_document; }

    TQMTopic *Add() { return static_cast<TQMTopic *>(TCollection::Add()); }
    TQMTopic *Items(int index) const { return static_cast<TQMTopic *>(TCollection::Items(index)); }

    // First topic (in collection order) with that number; -1 if none.
    int IndexOfTopicID(int topicID) const;
    // The topic IndexOfTopicID finds, or null.
    TQMTopic *FindTopic(int topicID) const;
    bool HasTopicID(int topicID) const { return m_byNumber.contains(topicID); }
    // Binary search over the ascending numbers: -1 when empty, the index of a
    // topic with that number when one is met, else the insertion index.
    int FindTopicIDPosition(int topicID) const;
    // First topic whose context string equals the text case-insensitively;
    // -1 if none.
    int IndexOfContextString(const QString &contextString) const;
    TQMTopic *FindContextString(const QString &contextString) const;

    // The first free number after the topic at afterIndex (after the last
    // topic when out of range; from 0 when empty), stepping as the document
    // numbers (by 1 without a document). A topic being renumbered passes its
    // own number, which counts as free; others pass -1.
    int NextFreeTopicID(int afterIndex, int ownNumber) const;

    // From other topics: inside one bracket, clear, then per source topic add
    // one, copy it and give it the source's number through the setter.
    void Assign(const TPersistent *source) override;
    // Into a string list: "title (number)" per topic with the topic as the
    // object, inside one bracket. Other destinations as TGCollection.
    void AssignTo(TPersistent *destination) const override;

    // The owner's view of the collection: adds and removals as they happen,
    // changes as the collection reports them (null for the whole list).
    std::function<void(TQMTopic *topic, TCollectionNotification action)> OnItemNotify;
    std::function<void(TQMTopic *topic)> OnItemUpdate;

protected:
    void Update(TCollectionItem *item) override;
    void Notify(TCollectionItem *item, TCollectionNotification action) override;

private:
    friend class TQMTopic;

    static QString ContextKey(const QString &contextString) { return contextString.toCaseFolded(); }
    // The lowest-index topic among several candidates.
    template<class Range> static TQMTopic *First(const Range &candidates);
    void Forget(TQMTopic *topic);
    void Remember(TQMTopic *topic);

    TQuillmarkDoc *m_document;
    QMultiHash<int, TQMTopic *> m_byNumber;
    QMultiHash<QString, TQMTopic *> m_byContext;
};
