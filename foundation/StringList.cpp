#include "foundation/StringList.h"

#include "foundation/Exceptions.h"
#include "foundation/FoundationStrings.h"

#include <algorithm>

TStringList::~TStringList()
{
    // Nobody listens to a list that is going away.
    OnChange = nullptr;
    OnChanging = nullptr;
}

void TStringList::CheckIndex(int index) const
{
    if (index < 0 || index >= Count())
        throw EStringListError(FoundationStrings::ListIndexError().arg(index));
}

void TStringList::CheckNotSorted() const
{
    if (m_sorted)
        throw EStringListError(FoundationStrings::SortedListError());
}

const QString &TStringList::Strings(int index) const
{
    CheckIndex(index);
    return m_items[index].string;
}

void TStringList::SetStrings(int index, const QString &value)
{
    CheckNotSorted();
    CheckIndex(index);
    Changing();
    m_items[index].string = value;
    Changed();
}

TObject *TStringList::Objects(int index) const
{
    CheckIndex(index);
    return m_items[index].object;
}

void TStringList::SetObjects(int index, TObject *object)
{
    CheckIndex(index);
    Changing();
    m_items[index].object = object;
    Changed();
}

int TStringList::Add(const QString &s)
{
    return AddObject(s, nullptr);
}

int TStringList::AddObject(const QString &s, TObject *object)
{
    int index = Count();
    if (m_sorted && Find(s, index)) {
        if (m_duplicates == dupIgnore)
            return index;
        if (m_duplicates == dupError)
            throw EStringListError(FoundationStrings::DuplicateString());
    }
    InsertItem(index, s, object);
    return index;
}

void TStringList::AddStrings(const TStringList &strings)
{
    // Adding a list to itself would read what it writes.
    QList<Item> copy;
    const QList<Item> *items = &strings.m_items;
    if (&strings == this) {
        copy = m_items;
        items = &copy;
    }
    TUpdateScope<TStringList> bracket(*this);
    for (const Item &item : *items)
        AddObject(item.string, item.object);
}

void TStringList::AddStrings(const QStringList &strings)
{
    TUpdateScope<TStringList> bracket(*this);
    for (const QString &s : strings)
        AddObject(s, nullptr);
}

void TStringList::Insert(int index, const QString &s)
{
    InsertObject(index, s, nullptr);
}

void TStringList::InsertObject(int index, const QString &s, TObject *object)
{
    CheckNotSorted();
    if (index < 0 || index > Count())
        throw EStringListError(FoundationStrings::ListIndexError().arg(index));
    InsertItem(index, s, object);
}

void TStringList::Grow()
{
    int delta = 4;
    if (m_capacity > 64)
        delta = m_capacity / 4;
    else if (m_capacity > 8)
        delta = 16;
    // The figure goes through the hook; the memory is left to the
    // container's own geometric growth, which is cheaper than reallocating
    // at every quarter step.
    m_growing = true;
    try {
        SetCapacity(m_capacity + delta);
    } catch (...) {
        m_growing = false;
        throw;
    }
    m_growing = false;
}

void TStringList::InsertItem(int index, const QString &s, TObject *object)
{
    // Grow before announcing the change: a list that refuses to grow stays
    // as it was and tells nobody it was about to change.
    if (Count() >= m_capacity)
        Grow();
    Changing();
    m_items.insert(index, Item{s, object});
    Changed();
}

void TStringList::Delete(int index)
{
    CheckIndex(index);
    Changing();
    m_items.removeAt(index);
    Changed();
}

void TStringList::Move(int curIndex, int newIndex)
{
    if (curIndex == newIndex)
        return;
    // Refuse before anything moves, so a sorted list never loses the entry.
    CheckNotSorted();
    CheckIndex(curIndex);
    CheckIndex(newIndex);
    Changing();
    auto begin = m_items.begin();
    if (curIndex < newIndex)
        std::rotate(begin + curIndex, begin + curIndex + 1, begin + newIndex + 1);
    else
        std::rotate(begin + newIndex, begin + curIndex, begin + curIndex + 1);
    Changed();
}

void TStringList::Exchange(int index1, int index2)
{
    CheckIndex(index1);
    CheckIndex(index2);
    Changing();
    std::swap(m_items[index1], m_items[index2]);
    Changed();
}

void TStringList::Clear()
{
    if (m_items.empty())
        return;
    Changing();
    // The capacity stays: shrinking it would go through SetCapacity, which a
    // bounded list may refuse.
    m_items.clear();
    Changed();
}

int TStringList::IndexOf(const QString &s) const
{
    if (m_sorted) {
        int index = 0;
        return Find(s, index) ? index : -1;
    }
    for (int i = 0; i < Count(); ++i) {
        if (CompareStrings(m_items[i].string, s) == 0)
            return i;
    }
    return -1;
}

int TStringList::IndexOfObject(const TObject *object) const
{
    for (int i = 0; i < Count(); ++i) {
        if (m_items[i].object == object)
            return i;
    }
    return -1;
}

bool TStringList::Find(const QString &s, int &index) const
{
    int low = 0;
    int high = Count() - 1;
    bool found = false;
    while (low <= high) {
        const int middle = low + (high - low) / 2;
        const int c = CompareStrings(m_items[middle].string, s);
        if (c < 0) {
            low = middle + 1;
        } else {
            high = middle - 1;
            if (c == 0)
                found = true;
        }
    }
    index = low;
    return found;
}

void TStringList::SetSorted(bool value)
{
    if (value == m_sorted)
        return;
    if (value) {
        m_sorted = false;
        Sort();
    }
    m_sorted = value;
}

void TStringList::SetCaseSensitive(bool value)
{
    if (value == m_caseSensitive)
        return;
    m_caseSensitive = value;
    if (m_sorted) {
        m_sorted = false;
        Sort();
        m_sorted = true;
    }
}

void TStringList::Sort()
{
    if (m_sorted || m_items.size() < 2)
        return;
    Changing();
    std::stable_sort(m_items.begin(), m_items.end(),
                     [this](const Item &a, const Item &b) { return CompareStrings(a.string, b.string) < 0; });
    Changed();
}

void TStringList::SetCapacity(int newCapacity)
{
    if (newCapacity < Count())
        throw EStringListError(FoundationStrings::ListCapacityError().arg(newCapacity));
    if (!m_growing && newCapacity > m_items.capacity())
        m_items.reserve(newCapacity);
    m_capacity = newCapacity;
}

QString TStringList::Text() const
{
    qsizetype size = 0;
    for (const Item &item : m_items)
        size += item.string.size() + 2;
    QString text;
    text.reserve(size);
    for (const Item &item : m_items) {
        text += item.string;
        text += u"\r\n";
    }
    return text;
}

void TStringList::SetText(const QString &text)
{
    TUpdateScope<TStringList> bracket(*this);
    Clear();
    const QChar *p = text.constData();
    const QChar *end = p + text.size();
    while (p < end) {
        const QChar *start = p;
        while (p < end && *p != u'\r' && *p != u'\n')
            ++p;
        Add(QString(start, p - start));
        if (p < end && *p == u'\r')
            ++p;
        if (p < end && *p == u'\n')
            ++p;
    }
}

void TStringList::BeginUpdate()
{
    if (m_updateCount == 0)
        Changing();
    ++m_updateCount;
}

void TStringList::EndUpdate()
{
    if (m_updateCount <= 0)
        return;
    --m_updateCount;
    if (m_updateCount == 0)
        Changed();
}

void TStringList::Assign(const TPersistent *source)
{
    const auto *other = dynamic_cast<const TStringList *>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    if (other == this)
        return;
    TUpdateScope<TStringList> bracket(*this);
    Clear();
    AddStrings(*other);
}

void TStringList::AssignStrings(const QStringList &strings)
{
    TUpdateScope<TStringList> bracket(*this);
    Clear();
    AddStrings(strings);
}

QStringList TStringList::ToQStringList() const
{
    QStringList list;
    list.reserve(Count());
    for (const Item &item : m_items)
        list.append(item.string);
    return list;
}

bool TStringList::Equals(const TStringList &other) const
{
    if (Count() != other.Count())
        return false;
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        if (m_items[i].string != other.m_items[i].string)
            return false;
    }
    return true;
}

void TStringList::Changed()
{
    if (m_updateCount == 0 && OnChange)
        OnChange(this);
}

void TStringList::Changing()
{
    if (m_updateCount == 0 && OnChanging)
        OnChanging(this);
}

int TStringList::CompareStrings(const QString &a, const QString &b) const
{
    return QString::compare(a, b, m_caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive);
}
