#include "foundation/GHashTable.h"

#include "foundation/Exceptions.h"
#include "foundation/FoundationStrings.h"

#include <QByteArray>

#include <cmath>
#include <limits>

namespace {

[[noreturn]] void Fail(const QString &message)
{
    throw EHashtableError(message);
}

void CheckKey(int32_t key)
{
    if (key == 0)
        Fail(FoundationStrings::HashArgumentIsNull());
}

int32_t SignCleared(int32_t value)
{
    return int32_t(uint32_t(value) & 0x7FFFFFFFu);
}

int DecimalDigits(int value)
{
    return int(QByteArray::number(value).size());
}

void CheckModulus(int modulus)
{
    if (modulus <= 0)
        Fail(FoundationStrings::HashSubscriptOutOfRange());
}

int CheckedBucket(int64_t bucket, int modulus)
{
    if (bucket < 0 || bucket >= modulus)
        Fail(FoundationStrings::HashSubscriptOutOfRange());
    return int(bucket);
}

} // namespace

// ---------------------------------------------------------------------------
// TGHashtableEnumerator

TGHashtableEnumerator::TGHashtableEnumerator(const TGCustomHashtable &table, bool keys)
    : m_table(&table)
    , m_tableStamp(table.m_stamp)
    , m_keys(keys)
{
    Reset();
}

bool TGHashtableEnumerator::Stale() const
{
    const std::shared_ptr<const uint64_t> stamp = m_tableStamp.lock();
    return !stamp || *stamp != m_stamp;
}

void TGHashtableEnumerator::Reset()
{
    const std::shared_ptr<const uint64_t> stamp = m_tableStamp.lock();
    m_entry = nullptr;
    if (!stamp) {
        m_remaining = 0;
        m_bucket = 0;
        return;
    }
    m_stamp = *stamp;
    m_bucket = m_table->m_capacity;
    m_entry = nullptr;
    m_remaining = m_table->m_count;
}

bool TGHashtableEnumerator::HasMoreElements()
{
    if (Stale())
        return false;
    if (m_entry)
        return true;
    while (m_bucket > 0) {
        --m_bucket;
        if (const TGHashtableEntry *head = m_table->m_buckets[m_bucket].get()) {
            m_entry = head;
            return true;
        }
    }
    return false;
}

int32_t TGHashtableEnumerator::NextElement()
{
    if (!HasMoreElements())
        Fail(FoundationStrings::HashNoSuchElement());
    m_last = m_keys ? m_entry->Key : m_entry->Value;
    m_entry = m_entry->Next.get();
    --m_remaining;
    return m_last;
}

// ---------------------------------------------------------------------------
// TGCustomHashtable

TGCustomHashtable::TGCustomHashtable(int capacity, float loadFactor)
    : m_stamp(std::make_shared<uint64_t>(0))
{
    SetLoadFactor(loadFactor);
    m_enumerator = std::make_unique<TGHashtableEnumerator>(*this, true);
    SetCapacity(capacity);
    InvalidateCursor();
}

TGCustomHashtable::~TGCustomHashtable()
{
    OnChange = nullptr;
    Clear();
    SetCapacity(0);
    m_enumerator.reset();
}

void TGCustomHashtable::FreeChain(std::unique_ptr<TGHashtableEntry> head)
{
    // Unlinked one by one: a long chain must not recurse through its destructors.
    while (head)
        head = std::move(head->Next);
}

std::unique_ptr<TGHashtableEntry> TGCustomHashtable::NewEntry()
{
    return std::make_unique<TGHashtableEntry>();
}

void TGCustomHashtable::Changed()
{
    if (m_updateCount == 0 && OnChange)
        OnChange(*this);
}

void TGCustomHashtable::BeginUpdate()
{
    ++m_updateCount;
}

void TGCustomHashtable::EndUpdate()
{
    if (m_updateCount == 0)
        return;
    if (--m_updateCount == 0)
        Changed();
}

int TGCustomHashtable::Threshold() const
{
    const double product = double(m_capacity) * double(m_loadFactor);
    double rounded = std::floor(product);
    const double fraction = product - rounded;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(rounded, 2.0) != 0.0))
        rounded += 1.0;
    return int(rounded);
}

void TGCustomHashtable::SetLoadFactor(float loadFactor)
{
    if (!(loadFactor >= MinLoadFactor && loadFactor <= MaxLoadFactor))
        Fail(FoundationStrings::HashLoadFactorRange());
    m_loadFactor = loadFactor;
}

void TGCustomHashtable::SetHashType(TGHashType type)
{
    if (type == m_hashType)
        return;
    if (m_count > 0)
        Fail(FoundationStrings::HashTableNotEmpty());
    m_hashType = type;
}

int TGCustomHashtable::DivisionHash(int32_t key, int modulus) const
{
    CheckModulus(modulus);
    return CheckedBucket(SignCleared(key) % modulus, modulus);
}

int TGCustomHashtable::TruncationHash(int32_t key, int modulus) const
{
    CheckModulus(modulus);
    QByteArray digits = QByteArray::number(SignCleared(key));
    const int keep = DecimalDigits(modulus);
    if (digits.size() > keep)
        digits = digits.right(keep);
    return CheckedBucket(digits.toLongLong() % modulus, modulus);
}

int TGCustomHashtable::MidSquareHash(int32_t key, int modulus) const
{
    CheckModulus(modulus);
    const int32_t square = SignCleared(int32_t(uint32_t(key) * uint32_t(key)));
    QByteArray digits = QByteArray::number(square);
    const qsizetype d = digits.size();
    const int keep = DecimalDigits(modulus);
    if (keep < d / 2)
        digits = digits.mid(d - d / 2, keep); // 1-based digit d - d div 2 + 1
    return CheckedBucket(digits.toLongLong() % modulus, modulus);
}

int TGCustomHashtable::FoldingHash(int32_t key, int modulus) const
{
    CheckModulus(modulus);
    const QByteArray digits = QByteArray::number(SignCleared(key));
    QByteArray folded(1, digits[0]);
    for (qsizetype position = 2; position <= digits.size(); ++position) {
        if (position % 2 == 0 || position % 3 == 0)
            folded.append(digits[position - 1]);
    }
    return CheckedBucket(folded.toLongLong() % modulus, modulus);
}

int TGCustomHashtable::Hash(int32_t key, int modulus) const
{
    CheckModulus(modulus);
    switch (m_hashType) {
    case htDivision:
        return DivisionHash(key, modulus);
    case htTruncation:
        return TruncationHash(key, modulus);
    case htMidSquare:
        return MidSquareHash(key, modulus);
    case htFolding:
        return FoldingHash(key, modulus);
    }
    Fail(FoundationStrings::HashSubscriptOutOfRange());
}

bool TGCustomHashtable::Find(int32_t key, TGHashtableEntry *&entry) const
{
    entry = nullptr;
    if (m_count == 0)
        return false;
    CheckKey(key);
    for (TGHashtableEntry *e = m_buckets[Hash(key, m_capacity)].get(); e; e = e->Next.get()) {
        if (e->Key == key) {
            entry = e;
            return true;
        }
    }
    return false;
}

const TGHashtableEntry *TGCustomHashtable::FindEntry(int32_t key) const
{
    TGHashtableEntry *entry;
    return Find(key, entry) ? entry : nullptr;
}

bool TGCustomHashtable::ContainsKey(int32_t key) const
{
    TGHashtableEntry *entry;
    return Find(key, entry);
}

int32_t TGCustomHashtable::Get(int32_t key) const
{
    if (m_count == 0)
        Fail(FoundationStrings::HashTableIsEmpty());
    TGHashtableEntry *entry;
    if (!Find(key, entry))
        Fail(FoundationStrings::HashNoSuchElement());
    return entry->Value;
}

bool TGCustomHashtable::ContainsValue(int32_t value) const
{
    for (const auto &head : m_buckets) {
        for (const TGHashtableEntry *e = head.get(); e; e = e->Next.get()) {
            if (e->Value == value)
                return true;
        }
    }
    return false;
}

void TGCustomHashtable::Grow()
{
    if (m_capacity > (std::numeric_limits<int>::max() - 1) / 2)
        Fail(FoundationStrings::HashSubscriptOutOfRange());
    SetCapacity(2 * m_capacity + 1);
}

int32_t TGCustomHashtable::Put(int32_t key, int32_t value)
{
    CheckKey(key);
    // A table without buckets has nowhere to hash to.
    if (m_capacity == 0)
        Grow();
    const int bucket = Hash(key, m_capacity);
    for (TGHashtableEntry *e = m_buckets[bucket].get(); e; e = e->Next.get()) {
        if (e->Key == key) {
            const int32_t old = e->Value;
            e->Value = value;
            Changed();
            return old;
        }
    }
    if (m_count < Threshold()) {
        std::unique_ptr<TGHashtableEntry> entry = NewEntry();
        entry->BucketIndex = bucket;
        entry->Key = key;
        entry->Value = value;
        if (m_buckets[bucket])
            ++m_collisions;
        entry->Next = std::move(m_buckets[bucket]);
        m_buckets[bucket] = std::move(entry);
        ++m_count;
        Touch();
        if (m_cursorIndex >= 0 && m_cursorBucket >= bucket)
            InvalidateCursor();
        Changed();
        return 0;
    }
    Grow();
    const int32_t result = Put(key, value);
    Changed();
    return result;
}

int32_t TGCustomHashtable::Remove(int32_t key)
{
    if (m_count == 0)
        Fail(FoundationStrings::HashTableIsEmpty());
    CheckKey(key);
    const int bucket = Hash(key, m_capacity);
    std::unique_ptr<TGHashtableEntry> *link = &m_buckets[bucket];
    while (*link && (*link)->Key != key)
        link = &(*link)->Next;
    if (!*link)
        Fail(FoundationStrings::HashNoSuchElement());
    TGHashtableEntry *entry = link->get();
    if (m_cursorIndex > 0 && entry == m_cursorEntry && m_count > 1) {
        m_cursorEntry = Predecessor(entry);
        --m_cursorIndex;
        m_cursorBucket = m_cursorEntry->BucketIndex;
    } else {
        InvalidateCursor();
    }
    if (m_buckets[bucket]->Next || m_buckets[bucket].get() != entry)
        --m_collisions;
    std::unique_ptr<TGHashtableEntry> removed = std::move(*link);
    *link = std::move(removed->Next);
    --m_count;
    Touch();
    const int32_t value = removed->Value;
    removed.reset();
    Changed();
    return value;
}

void TGCustomHashtable::Clear()
{
    if (m_count == 0)
        return;
    InvalidateCursor();
    for (auto &head : m_buckets)
        FreeChain(std::move(head));
    m_count = 0;
    m_collisions = 0;
    Touch();
    Changed();
}

void TGCustomHashtable::SetCapacity(int capacity)
{
    InvalidateCursor();
    if (capacity < 0)
        Fail(FoundationStrings::HashSubscriptOutOfRange());
    if (capacity == m_capacity)
        return;
    std::vector<std::unique_ptr<TGHashtableEntry>> old = std::move(m_buckets);
    m_buckets.clear();
    m_collisions = 0;
    Touch();
    if (capacity == 0) {
        for (auto &head : old)
            FreeChain(std::move(head));
        m_capacity = 0;
        m_count = 0;
        return;
    }
    m_buckets.resize(capacity);
    const int previous = m_capacity;
    m_capacity = capacity;
    for (int b = previous - 1; b >= 0; --b) {
        std::unique_ptr<TGHashtableEntry> chain = std::move(old[b]);
        while (chain) {
            std::unique_ptr<TGHashtableEntry> entry = std::move(chain);
            chain = std::move(entry->Next);
            const int target = Hash(entry->Key, capacity);
            entry->BucketIndex = target;
            if (m_buckets[target])
                ++m_collisions;
            entry->Next = std::move(m_buckets[target]);
            m_buckets[target] = std::move(entry);
        }
    }
}

const TGHashtableEntry *TGCustomHashtable::FirstFrom(int bucket) const
{
    for (int b = bucket; b < m_capacity; ++b) {
        if (m_buckets[b])
            return m_buckets[b].get();
    }
    return nullptr;
}

const TGHashtableEntry *TGCustomHashtable::Predecessor(const TGHashtableEntry *entry) const
{
    const TGHashtableEntry *e = m_buckets[entry->BucketIndex].get();
    if (e != entry) {
        while (e->Next.get() != entry)
            e = e->Next.get();
        return e;
    }
    for (int b = entry->BucketIndex - 1; b >= 0; --b) {
        if (const TGHashtableEntry *last = m_buckets[b].get()) {
            while (last->Next)
                last = last->Next.get();
            return last;
        }
    }
    return nullptr;
}

const TGHashtableEntry &TGCustomHashtable::EntryAt(int index)
{
    if (index < 0 || index >= m_count)
        ThrowListIndexError(index);
    if (m_cursorIndex >= 0 && index == m_cursorIndex)
        return *m_cursorEntry;
    if (m_cursorIndex >= 0 && index == m_cursorIndex - 1) {
        m_cursorEntry = Predecessor(m_cursorEntry);
    } else {
        if (m_cursorIndex < 0 || index < m_cursorIndex) {
            m_cursorEntry = FirstFrom(0);
            m_cursorIndex = 0;
        }
        while (m_cursorIndex < index) {
            m_cursorEntry =
                m_cursorEntry->Next ? m_cursorEntry->Next.get() : FirstFrom(m_cursorEntry->BucketIndex + 1);
            ++m_cursorIndex;
        }
    }
    m_cursorIndex = index;
    m_cursorBucket = m_cursorEntry->BucketIndex;
    return *m_cursorEntry;
}

void TGCustomHashtable::Assign(const TGCustomHashtable &source)
{
    if (&source == this)
        return;
    Clear();
    m_loadFactor = source.m_loadFactor;
    SetCapacity(source.m_capacity);
    m_hashType = source.m_hashType;
    BeginUpdate();
    try {
        TGHashtableEnumerator keys(source, true);
        while (keys.HasMoreElements()) {
            const int32_t key = keys.NextElement();
            Put(key, source.Get(key));
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

std::unique_ptr<TGHashtableEnumerator> TGCustomHashtable::Keys() const
{
    return std::make_unique<TGHashtableEnumerator>(*this, true);
}

std::unique_ptr<TGHashtableEnumerator> TGCustomHashtable::Values() const
{
    return std::make_unique<TGHashtableEnumerator>(*this, false);
}

int32_t TGCustomHashtable::NextElement()
{
    return m_enumerator->NextElement();
}

void TGCustomHashtable::ResetEnumeration()
{
    m_enumerator->Reset();
}
