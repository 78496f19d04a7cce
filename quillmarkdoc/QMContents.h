#pragma once

// The table of contents: a flat list of entries with a level each, which a
// tree view shows as a tree. An entry's link names a topic by number
// ("Quill" and the number) or by context string; the entry keeps a mutual
// link to the topic it resolves to, so the reference clears itself when the
// topic goes.

#include "quillmarkdoc/QMCollections.h"

#include <QString>

#include <functional>

class TQMContentsItem;
class TQMTopic;
class TQuillmarkDoc;

// Receives the table of contents as a tree: the editor's tree view, or a
// plain recorder in tests. Node handles belong to the sink; the builder only
// hands them back.
class TQMContentsTreeSink
{
public:
    using NodeHandle = void *;

    virtual ~TQMContentsTreeSink();

    virtual void BeginUpdate() {}
    virtual void EndUpdate() {}
    // Removes every node.
    virtual void Clear() = 0;
    // Appends a node as the last child of parent, or as the last top-level
    // node when parent is null. A filler node has empty text and no item.
    virtual NodeHandle AddChild(NodeHandle parent, const QString &text, TQMContentsItem *item) = 0;
    // Null for a top-level node.
    virtual NodeHandle Parent(NodeHandle node) const = 0;
};

class TQMContentsItem : public TQMCollectionItem
{
    Q_GADGET
    Q_PROPERTY(int Level READ Level WRITE SetLevel)
    Q_PROPERTY(QString Title READ Title WRITE SetTitle)
    Q_PROPERTY(QString Link READ Link WRITE SetLink)
    Q_PROPERTY(QString WindowName READ WindowName WRITE SetWindowName)

public:
    QM_METAOBJECT

    explicit TQMContentsItem(TCollection *collection = nullptr);
    ~TQMContentsItem() override;

    // 1 is the top level; values of 1 or less are shown at the top.
    int Level() const { return m_level; }
    void SetLevel(int value);
    const QString &Title() const { return m_title; }
    void SetTitle(const QString &value);
    const QString &Link() const { return m_link; }
    // Resolves the link against the document's topics: "Quill" and a number
    // names a topic by number, anything else by context string; a window
    // name may follow after ">". An unresolved link stays as text.
    void SetLink(const QString &value);
    const QString &WindowName() const { return m_windowName; }
    // Rewrites the part of Link after ">".
    void SetWindowName(const QString &value);

    // The topic the link resolves to, or null.
    TQMTopic *Topic() const { return m_topic; }
    // Points the entry at a topic (or none) and rebuilds Link from the
    // topic's context string and the window name.
    void SetTopic(TQMTopic *topic);
    // True when the entry points to a topic or has no link.
    bool LinkResolved() const { return m_topic != nullptr || m_link.isEmpty(); }

    // The document whose table of contents holds the entry, or null.
    TQuillmarkDoc *Document() const;

    void Notification(TGCollectionItem *other) override;
    void BeforeDestruction() override;

    // Level and title, then the link through its setter (resolved again in
    // this entry's document), then the selection flag.
    void Assign(const TPersistent *source) override;

    // Title, or the class name while the title is empty.
    QString GetDisplayName() const override;

private:
    // Changes the reference without touching Link or reporting anything.
    void LinkTopic(TQMTopic *topic);

    int m_level = 0;
    QString m_title;
    QString m_link;
    QString m_windowName;
    TQMTopic *m_topic = nullptr;
};

class TQMContentsItems : public TQMCollection
{
    Q_GADGET

public:
    QM_METAOBJECT

    explicit TQMContentsItems(TPersistent *owner = nullptr);
    ~TQMContentsItems() override;

    // The owner when it is a document.
    TQuillmarkDoc *Document() const { return m_document; }

    TQMContentsItem *Add() { return static_cast<TQMContentsItem *>(TCollection::Add()); }
    TQMContentsItem *Insert(int index) { return static_cast<TQMContentsItem *>(TCollection::Insert(index)); }
    TQMContentsItem *Items(int index) const
    {
        return static_cast<TQMContentsItem *>(TCollection::Items(index));
    }

    // First entry pointing to the topic; -1 if none.
    int IndexOfTopic(const TQMTopic *topic) const;

    // Sets the level of the entry at index and shifts its sub-entries by the
    // same amount, stopping at the first entry that is not deeper than the
    // entry's old level, or at stopItem. Returns the index of the last entry
    // changed (index itself when no sub-entry was), or Count - 1 when the end
    // was reached. Levels saturate at the 32-bit range.
    int SetLevelWithChildren(int index, int newLevel, const TQMContentsItem *stopItem);

    // Builds the tree: inside one bracket of the sink, clear it, then add
    // one node per entry under the entry before it that is one level up;
    // a jump of more than one level down is bridged by filler nodes.
    void AssignTo(TQMContentsTreeSink &nodes) const;
    using TQMCollection::AssignTo;

    // The deepest run of filler nodes one entry may ask for; a level jump
    // beyond it (a damaged file) is bridged by this many only.
    static constexpr int MaxFillerDepth = 256;

    // The owner's view of the collection: adds and removals as they happen,
    // changes as the collection reports them (null for the whole list).
    std::function<void(TQMContentsItem *item, TCollectionNotification action)> OnItemNotify;
    std::function<void(TQMContentsItem *item)> OnItemUpdate;

protected:
    void Update(TCollectionItem *item) override;
    void Notify(TCollectionItem *item, TCollectionNotification action) override;

private:
    TQuillmarkDoc *m_document;
};
