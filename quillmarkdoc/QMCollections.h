#pragma once

// The bases of the document's selectable collections: items with a
// selection flag, and a collection that keeps count of its selected items.

#include "foundation/Structures.h"

class TQMCollection;

class TQMCollectionItem : public TGCollectionItem
{
    Q_GADGET

public:
    QM_METAOBJECT

    explicit TQMCollectionItem(TCollection *collection = nullptr);
    ~TQMCollectionItem() override;

    bool Selected() const { return m_selected; }
    // Keeps the collection's SelectedCount and reports the item as changed.
    void SetSelected(bool value);

    // From another selectable item: the selection flag, then one change
    // notification.
    void Assign(const TPersistent *source) override;

protected:
    // Stores the flag without a change notification; the count follows.
    void StoreSelected(bool value);

private:
    bool m_selected = false;
};

class TQMCollection : public TGCollection
{
    Q_GADGET

public:
    QM_METAOBJECT

    using TGCollection::TGCollection;
    ~TQMCollection() override;

    // The number of items whose Selected flag is set. It follows every way a
    // flag changes (the setter, copying an item, an item joining or leaving
    // the collection), so it always agrees with the flags and a clipboard
    // payload that writes it as a record count stays consistent.
    int SelectedCount() const { return m_selectedCount; }
    // Clears every flag through the setter.
    void ClearSelection();

protected:
    void Notify(TCollectionItem *item, TCollectionNotification action) override;

private:
    friend class TQMCollectionItem;

    int m_selectedCount = 0;
};
