#include "quillmarkdoc/QMCollections.h"

// ---------------------------------------------------------------- item

TQMCollectionItem::TQMCollectionItem(TCollection *collection)
    : TGCollectionItem(collection)
{}

TQMCollectionItem::~TQMCollectionItem() = default;

void TQMCollectionItem::StoreSelected(bool value)
{
    if (value == m_selected)
        return;
    m_selected = value;
    // Only an adopted item counts; one that is about to join is counted when
    // the collection adds it.
    if (auto *collection = dynamic_cast<TQMCollection *>(Collection()); collection && Index() >= 0)
        collection->m_selectedCount += value ? 1 : -1;
}

void TQMCollectionItem::SetSelected(bool value)
{
    if (value == m_selected)
        return;
    StoreSelected(value);
    Changed(false);
}

void TQMCollectionItem::Assign(const TPersistent *source)
{
    const auto *other = dynamic_cast<const TQMCollectionItem *>(source);
    if (!other) {
        TGCollectionItem::Assign(source);
        return;
    }
    StoreSelected(other->m_selected);
    Changed(false);
}

// ---------------------------------------------------------------- collection

TQMCollection::~TQMCollection() = default;

void TQMCollection::ClearSelection()
{
    for (int i = 0; i < Count(); ++i) {
        auto *item = dynamic_cast<TQMCollectionItem *>(Items(i));
        if (item)
            item->SetSelected(false);
    }
}

void TQMCollection::Notify(TCollectionItem *item, TCollectionNotification action)
{
    TGCollection::Notify(item, action);
    const auto *selectable = dynamic_cast<const TQMCollectionItem *>(item);
    if (!selectable || !selectable->Selected())
        return;
    if (action == cnAdded)
        ++m_selectedCount;
    else if (action == cnExtracting)
        --m_selectedCount;
}
