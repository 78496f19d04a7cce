#include "foundation/Collection.h"

#include "foundation/Exceptions.h"

#include <algorithm>

// ---------------------------------------------------------------- item

TCollectionItem::TCollectionItem(TCollection *collection)
    : m_collection(collection)
{}

TCollectionItem::~TCollectionItem()
{
    // Items are normally destroyed by their collection after it took them
    // out. One destroyed behind the collection's back must not leave a slot
    // that would be freed a second time.
    if (m_collection && m_index >= 0)
        m_collection->ForgetDestroyedItem(this);
}

void TCollectionItem::SetCollection(TCollection *value)
{
    if (!value || value == m_collection)
        return;
    if (m_collection && m_index >= 0) {
        std::unique_ptr<TCollectionItem> self = m_collection->Extract(m_index);
        value->AddItem(std::move(self));
    } else {
        // Not adopted yet: only the remembered collection changes.
        m_collection = value;
    }
}

void TCollectionItem::SetIndex(int value)
{
    if (!m_collection || m_index < 0 || value == m_index)
        return;
    m_collection->Move(m_index, value);
}

QString TCollectionItem::GetDisplayName() const
{
    return ClassName();
}

void TCollectionItem::SetDisplayName(const QString &)
{
    Changed(false);
}

void TCollectionItem::Changed(bool allItems)
{
    if (m_collection && m_index >= 0 && m_collection->m_updateCount == 0)
        m_collection->Update(allItems ? nullptr : this);
}

// ---------------------------------------------------------------- collection

TCollection::TCollection(TPersistent *owner, ItemFactory factory)
    : m_owner(owner)
    , m_factory(std::move(factory))
{}

TCollection::~TCollection()
{
    // The derived collection is already gone, so no Notify or Update may
    // run; linked items are still told (BeforeDestruction).
    m_updateCount = 1;
    while (!m_items.empty()) {
        m_items.back()->BeforeDestruction();
        std::unique_ptr<TCollectionItem> item = std::move(m_items.back());
        m_items.pop_back();
        item->m_collection = nullptr;
        item->m_index = -1;
    }
}

TCollectionItem *TCollection::Items(int index) const
{
    if (index < 0 || index >= Count())
        ThrowListIndexError(index);
    return m_items[static_cast<size_t>(index)].get();
}

TCollectionItem *TCollection::Add()
{
    return Insert(Count());
}

TCollectionItem *TCollection::Insert(int index)
{
    if (index < 0 || index > Count())
        ThrowListIndexError(index);
    return InsertItem(index, m_factory(this));
}

TCollectionItem *TCollection::AddItem(std::unique_ptr<TCollectionItem> item)
{
    return InsertItem(Count(), std::move(item));
}

TCollectionItem *TCollection::InsertItem(int index, std::unique_ptr<TCollectionItem> item)
{
    if (index < 0 || index > Count())
        ThrowListIndexError(index);
    if (!item)
        return nullptr;
    TCollectionItem *raw = item.get();
    raw->m_collection = this;
    raw->m_id = m_nextID++;
    m_items.insert(m_items.begin() + index, std::move(item));
    Renumber(index, Count());
    Notify(raw, cnAdded);
    Changed();
    return raw;
}

std::unique_ptr<TCollectionItem> TCollection::Extract(int index)
{
    TCollectionItem *item = Items(index);
    Notify(item, cnExtracting);
    std::unique_ptr<TCollectionItem> owned = TakeOut(item->m_index);
    Changed();
    return owned;
}

void TCollection::Delete(int index)
{
    TCollectionItem *item = Items(index);
    Notify(item, cnDeleting);
    item->BeforeDestruction();
    // The handlers above may have reordered the list; the cached index is
    // always current.
    if (item->m_index >= 0)
        Extract(item->m_index);
}

void TCollection::Clear()
{
    if (m_items.empty())
        return;
    TUpdateScope<TCollection> bracket(*this);
    while (!m_items.empty()) {
        TCollectionItem *item = m_items.back().get();
        item->BeforeDestruction();
        if (item->m_index < 0)
            continue; // taken out by a handler
        Notify(item, cnExtracting);
        if (item->m_index >= 0)
            TakeOut(item->m_index);
    }
}

void TCollection::EndUpdate()
{
    if (m_updateCount <= 0)
        return;
    --m_updateCount;
    Changed();
}

void TCollection::Changed()
{
    if (m_updateCount == 0)
        Update(nullptr);
}

TCollectionItem *TCollection::FindItemID(int id) const
{
    for (const auto &item : m_items) {
        if (item->m_id == id)
            return item.get();
    }
    return nullptr;
}

void TCollection::Exchange(int index1, int index2)
{
    Items(index1);
    Items(index2);
    if (index1 == index2)
        return;
    std::swap(m_items[static_cast<size_t>(index1)], m_items[static_cast<size_t>(index2)]);
    m_items[static_cast<size_t>(index1)]->m_index = index1;
    m_items[static_cast<size_t>(index2)]->m_index = index2;
    Changed();
}

void TCollection::Move(int curIndex, int newIndex)
{
    Items(curIndex);
    if (newIndex < 0 || newIndex >= Count())
        ThrowListIndexError(newIndex);
    if (curIndex == newIndex)
        return;
    auto begin = m_items.begin();
    if (curIndex < newIndex)
        std::rotate(begin + curIndex, begin + curIndex + 1, begin + newIndex + 1);
    else
        std::rotate(begin + newIndex, begin + curIndex, begin + curIndex + 1);
    Renumber(std::min(curIndex, newIndex), std::max(curIndex, newIndex) + 1);
    Changed();
}

void TCollection::Sort(const ItemLess &less)
{
    if (m_items.size() < 2)
        return;
    std::stable_sort(m_items.begin(), m_items.end(),
                     [&less](const std::unique_ptr<TCollectionItem> &a,
                             const std::unique_ptr<TCollectionItem> &b) { return less(a.get(), b.get()); });
    Renumber(0, Count());
    Changed();
}

void TCollection::Assign(const TPersistent *source)
{
    const auto *other = dynamic_cast<const TCollection *>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    if (other == this)
        return;
    TUpdateScope<TCollection> bracket(*this);
    Clear();
    for (int i = 0; i < other->Count(); ++i)
        Add()->Assign(other->Items(i));
}

void TCollection::Update(TCollectionItem *) {}

void TCollection::Notify(TCollectionItem *, TCollectionNotification) {}

void TCollection::Renumber(int from, int to)
{
    for (int i = from; i < to; ++i)
        m_items[static_cast<size_t>(i)]->m_index = i;
}

std::unique_ptr<TCollectionItem> TCollection::TakeOut(int index)
{
    auto position = m_items.begin() + index;
    std::unique_ptr<TCollectionItem> owned = std::move(*position);
    m_items.erase(position);
    Renumber(index, Count());
    owned->m_collection = nullptr;
    owned->m_index = -1;
    return owned;
}

void TCollection::ForgetDestroyedItem(TCollectionItem *item)
{
    const int index = item->m_index;
    if (index < 0 || index >= Count() || m_items[static_cast<size_t>(index)].get() != item)
        return;
    m_items[static_cast<size_t>(index)].release();
    m_items.erase(m_items.begin() + index);
    Renumber(index, Count());
    item->m_collection = nullptr;
    item->m_index = -1;
}
