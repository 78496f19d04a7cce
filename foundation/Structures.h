#pragma once

// The bases of the document's collections, with references between items
// that never dangle, and the bounded string lists behind the recent files.

#include "foundation/Collection.h"
#include "foundation/StringList.h"

#include <memory>
#include <vector>

// An item that other items can point to, or that points to others. A
// reference is a mutual link: B is in A's link list exactly when A is in
// B's, and whichever of the two goes first tells the other through
// Notification, so neither keeps a dangling pointer.
//
// A reference-holding item follows this pattern in its setter:
//   if (target == m_target) return;
//   if (m_target) m_target->RemoveFreeNotification(this);
//   m_target = target;
//   if (m_target) m_target->FreeNotification(this);
//   Changed(false);
// and overrides Notification to clear the field (through the setter) when
// the departing item is its target, then calls TGCollectionItem's version.
class TGCollectionItem : public TCollectionItem
{
    Q_GADGET

public:
    QM_METAOBJECT

    explicit TGCollectionItem(TCollection *collection = nullptr);
    ~TGCollectionItem() override;

    // Null while the item is linked to nothing.
    const std::vector<TGCollectionItem *> *Links() const { return m_links.get(); }
    int LinkCount() const { return m_links ? static_cast<int>(m_links->size()) : 0; }
    bool IsLinkedTo(const TGCollectionItem *other) const;

    // Called on this item when the other is being destroyed. Default: remove
    // the link in both directions.
    virtual void Notification(TGCollectionItem *other);
    // Creates the mutual link (once, however often it is called).
    virtual void FreeNotification(TGCollectionItem *other);
    // Removes the mutual link; lists that become empty are freed.
    virtual void RemoveFreeNotification(TGCollectionItem *other);

    // Tells every linked item that this one goes, while it still stands in
    // its collection.
    void BeforeDestruction() override;

private:
    void RemoveLink(TGCollectionItem *other);
    void NotifyLinkedItems();

    std::unique_ptr<std::vector<TGCollectionItem *>> m_links;
};

class TGCollection : public TCollection
{
    Q_GADGET

public:
    QM_METAOBJECT

    using TCollection::TCollection;
    ~TGCollection() override;

    // Into a string list: one line per item, the display name with the item
    // as the line's object, inside one update bracket. Other destinations:
    // EAssignError.
    void AssignTo(TPersistent *destination) const override;

    // First item whose display name equals the name exactly
    // (case-sensitive); -1 if none.
    int IndexOfDisplayName(const QString &name) const;
};

// A string list that refuses to grow beyond MaxCount strings (-1: no limit).
// The limit acts on the growth of the capacity, so capacity that already
// exceeds a lowered MaxCount is not taken back, and lowering MaxCount below
// Count removes nothing.
class TMaxCountStrings : public TStringList
{
    Q_GADGET
    Q_PROPERTY(int MaxCount READ MaxCount WRITE SetMaxCount)

public:
    QM_METAOBJECT

    TMaxCountStrings() = default;
    ~TMaxCountStrings() override;

    int MaxCount() const { return m_maxCount; }
    // Ignored when unchanged or below -1; raises the capacity up to the new
    // maximum.
    void SetMaxCount(int value);

    // A growth that the maximum does not allow fails with EStringListError
    // "String List Max Count exceeded: %d" and leaves the list unchanged.
    void SetCapacity(int newCapacity) override;

    // Also takes over MaxCount from another TMaxCountStrings, so a copy holds
    // what the source holds.
    void Assign(const TPersistent *source) override;

private:
    int m_maxCount = -1;
};

// Most-recently-used file names: MaxCount 4, compared case-insensitively.
// Newest first, or with PushAtEnd newest last.
class TRecentFiles : public TMaxCountStrings
{
    Q_GADGET
    Q_PROPERTY(bool PushAtEnd READ PushAtEnd WRITE SetPushAtEnd)

public:
    QM_METAOBJECT

    TRecentFiles();
    ~TRecentFiles() override;

    bool PushAtEnd() const { return m_pushAtEnd; }
    void SetPushAtEnd(bool value) { m_pushAtEnd = value; }

    // Puts the name at the newest position and returns its index. A name
    // already present (case-insensitively) moves there and keeps its stored
    // spelling; a new one first pushes out the oldest entries so the list
    // stays within MaxCount. With MaxCount 0 nothing is added and -1 is
    // returned.
    virtual int AddFile(const QString &fileName);
    // Nothing when empty.
    virtual void RemoveOldest();

    // Also takes over PushAtEnd from another TRecentFiles.
    void Assign(const TPersistent *source) override;

private:
    bool m_pushAtEnd = false;
};
