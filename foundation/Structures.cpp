#include "foundation/Structures.h"

#include "foundation/Exceptions.h"
#include "foundation/FoundationStrings.h"

#include <algorithm>

// ---------------------------------------------------------------- linked items

TGCollectionItem::TGCollectionItem(TCollection *collection)
    : TCollectionItem(collection)
{}

TGCollectionItem::~TGCollectionItem()
{
    // Normally done already, while the item stood in its collection; an
    // item that never joined one (or was extracted) does it here.
    NotifyLinkedItems();
}

bool TGCollectionItem::IsLinkedTo(const TGCollectionItem *other) const
{
    return m_links && std::find(m_links->begin(), m_links->end(), other) != m_links->end();
}

void TGCollectionItem::Notification(TGCollectionItem *other)
{
    if (!m_links)
        return;
    RemoveFreeNotification(other);
    other->RemoveFreeNotification(this);
}

void TGCollectionItem::FreeNotification(TGCollectionItem *other)
{
    if (!other || other == this)
        return;
    if (!m_links)
        m_links = std::make_unique<std::vector<TGCollectionItem *>>();
    else if (IsLinkedTo(other))
        return;
    m_links->push_back(other);
    // The other side finds us already present when it calls back.
    other->FreeNotification(this);
}

void TGCollectionItem::RemoveFreeNotification(TGCollectionItem *other)
{
    if (!other)
        return;
    RemoveLink(other);
    other->RemoveLink(this);
}

void TGCollectionItem::RemoveLink(TGCollectionItem *other)
{
    if (!m_links)
        return;
    // Links are mostly undone newest first (the destruction walk), so search
    // from the end.
    auto found = std::find(m_links->rbegin(), m_links->rend(), other);
    if (found != m_links->rend())
        m_links->erase(std::next(found).base());
    if (m_links->empty())
        m_links.reset();
}

void TGCollectionItem::BeforeDestruction()
{
    NotifyLinkedItems();
    TCollectionItem::BeforeDestruction();
}

void TGCollectionItem::NotifyLinkedItems()
{
    while (m_links && !m_links->empty()) {
        TGCollectionItem *other = m_links->back();
        other->Notification(this);
        // An override that forgot to call the default must not keep this
        // item alive in the other's list, nor stall the walk.
        if (m_links && !m_links->empty() && m_links->back() == other)
            RemoveFreeNotification(other);
    }
    m_links.reset();
}

// ---------------------------------------------------------------- collection

TGCollection::~TGCollection() = default;

void TGCollection::AssignTo(TPersistent *destination) const
{
    auto *strings = dynamic_cast<TStringList *>(destination);
    if (!strings) {
        TCollection::AssignTo(destination);
        return;
    }
    TUpdateScope<TStringList> bracket(*strings);
    strings->Clear();
    for (int i = 0; i < Count(); ++i) {
        TCollectionItem *item = Items(i);
        strings->AddObject(item->DisplayName(), item);
    }
}

int TGCollection::IndexOfDisplayName(const QString &name) const
{
    for (int i = 0; i < Count(); ++i) {
        if (Items(i)->DisplayName() == name)
            return i;
    }
    return -1;
}

// ---------------------------------------------------------------- bounded list

TMaxCountStrings::~TMaxCountStrings() = default;

void TMaxCountStrings::SetMaxCount(int value)
{
    if (value == m_maxCount || value < -1)
        return;
    m_maxCount = value;
    if (Capacity() < value)
        SetCapacity(value);
}

void TMaxCountStrings::SetCapacity(int newCapacity)
{
    if (m_maxCount >= 0) {
        // Only growth can overrun the maximum; a request that does not grow
        // (Clear, an explicit shrink) is never "full".
        const bool growing = newCapacity > Capacity();
        newCapacity = std::min(newCapacity, m_maxCount);
        if (growing && newCapacity <= Capacity())
            throw EStringListError(FoundationStrings::MaxCountExceeded().arg(m_maxCount));
    }
    TStringList::SetCapacity(newCapacity);
}

void TMaxCountStrings::Assign(const TPersistent *source)
{
    if (const auto *other = dynamic_cast<const TMaxCountStrings *>(source); other && other != this) {
        // Room for everything the source holds, even when its maximum was
        // lowered below its count.
        if (other->m_maxCount >= 0 && other->Count() > other->m_maxCount) {
            m_maxCount = -1;
            SetCapacity(std::max(Capacity(), other->Count()));
        }
        SetMaxCount(other->m_maxCount);
    }
    TStringList::Assign(source);
}

// ---------------------------------------------------------------- recent files

TRecentFiles::TRecentFiles()
{
    SetCaseSensitive(false);
    SetMaxCount(4);
}

TRecentFiles::~TRecentFiles() = default;

int TRecentFiles::AddFile(const QString &fileName)
{
    const int existing = IndexOf(fileName);
    if (existing >= 0) {
        const int newest = m_pushAtEnd ? Count() - 1 : 0;
        Move(existing, newest);
        return newest;
    }
    if (MaxCount() == 0)
        return -1;
    TUpdateScope<TStringList> bracket(*this);
    // A maximum lowered below the count would otherwise make the list grow
    // into its limit and fail.
    while (MaxCount() > 0 && Count() >= MaxCount())
        RemoveOldest();
    if (m_pushAtEnd)
        return Add(fileName);
    Insert(0, fileName);
    return 0;
}

void TRecentFiles::RemoveOldest()
{
    if (IsEmpty())
        return;
    Delete(m_pushAtEnd ? 0 : Count() - 1);
}

void TRecentFiles::Assign(const TPersistent *source)
{
    if (const auto *other = dynamic_cast<const TRecentFiles *>(source))
        m_pushAtEnd = other->m_pushAtEnd;
    TMaxCountStrings::Assign(source);
}
