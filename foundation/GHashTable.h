#pragma once

// A chained hash table from 32-bit integer keys to 32-bit integer values,
// with a choice of hash function, growth at a load factor, change
// notification, access by position and enumeration. Key 0 is never stored.

#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace GHashTable {
Q_NAMESPACE
enum TGHashType { htTruncation, htDivision, htMidSquare, htFolding };
Q_ENUM_NS(TGHashType)
} // namespace GHashTable

using GHashTable::htDivision;
using GHashTable::htFolding;
using GHashTable::htMidSquare;
using GHashTable::htTruncation;
using GHashTable::TGHashType;

struct TGHashtableEntry
{
    int BucketIndex = 0;
    int32_t Key = 0;
    int32_t Value = 0;
    std::unique_ptr<TGHashtableEntry> Next;
};

class TGCustomHashtable;

// Walks a table's keys (or values), buckets from the last to the first and
// each chain from its head. A change to the table's set of keys ends the
// walk, as does the table's destruction.
class TGHashtableEnumerator
{
public:
    TGHashtableEnumerator(const TGCustomHashtable &table, bool keys);

    void Reset();
    bool HasMoreElements();
    // "No such element" when the walk is over.
    int32_t NextElement();

private:
    bool Stale() const;

    const TGCustomHashtable *m_table;
    std::weak_ptr<const uint64_t> m_tableStamp;
    uint64_t m_stamp = 0;
    bool m_keys;
    int m_bucket = 0;
    const TGHashtableEntry *m_entry = nullptr;
    int32_t m_last = 0;
    int m_remaining = 0;
};

class TGCustomHashtable
{
public:
    // The load factor must lie in [0.01, 1]: below that a first insertion
    // would grow the table to millions of buckets, and 0 or less would grow
    // it without end. The error keeps its historical text.
    static constexpr float MinLoadFactor = 0.01f;
    static constexpr float MaxLoadFactor = 1.0f;

    explicit TGCustomHashtable(int capacity = 101, float loadFactor = 0.75f);
    TGCustomHashtable(const TGCustomHashtable &) = delete;
    TGCustomHashtable &operator=(const TGCustomHashtable &) = delete;
    virtual ~TGCustomHashtable();

    virtual int32_t Get(int32_t key) const;
    virtual bool Find(int32_t key, TGHashtableEntry *&entry) const;
    virtual int Hash(int32_t key, int modulus) const;
    virtual void Grow();
    virtual int32_t Remove(int32_t key);
    virtual int32_t Put(int32_t key, int32_t value);

    virtual int DivisionHash(int32_t key, int modulus) const;
    virtual int TruncationHash(int32_t key, int modulus) const;
    virtual int MidSquareHash(int32_t key, int modulus) const;
    virtual int FoldingHash(int32_t key, int modulus) const;

    virtual bool ContainsValue(int32_t value) const;
    virtual void BeginUpdate();
    virtual void Clear();
    virtual void EndUpdate();
    // The table's own walk over its keys.
    virtual int32_t NextElement();
    virtual void ResetEnumeration();

    bool ContainsKey(int32_t key) const;
    const TGHashtableEntry *FindEntry(int32_t key) const;
    // Position i runs over the buckets from the first and along each chain;
    // the list error "List index out of bounds (%d)" outside 0 .. Count - 1.
    const TGHashtableEntry &EntryAt(int index);
    int32_t KeyAt(int index) { return EntryAt(index).Key; }
    int32_t ValueAt(int index) { return EntryAt(index).Value; }
    bool IsEmpty() const { return m_count == 0; }
    // Capacity x LoadFactor, rounded to the nearest integer, ties to even.
    int Threshold() const;

    // Copies load factor, capacity, hash type and every entry of source.
    void Assign(const TGCustomHashtable &source);

    std::unique_ptr<TGHashtableEnumerator> Keys() const;
    std::unique_ptr<TGHashtableEnumerator> Values() const;

    int Capacity() const { return m_capacity; }
    virtual void SetCapacity(int capacity);
    int Collisions() const { return m_collisions; }
    int Count() const { return m_count; }
    TGHashType HashType() const { return m_hashType; }
    // Refused ("Cannot perform this operation with non-empty table") while
    // the table holds entries, unless the type stays the same.
    void SetHashType(TGHashType type);
    float LoadFactor() const { return m_loadFactor; }
    void SetLoadFactor(float loadFactor);

    std::function<void(TGCustomHashtable &sender)> OnChange;

protected:
    virtual std::unique_ptr<TGHashtableEntry> NewEntry();
    void Changed();

private:
    friend class TGHashtableEnumerator;

    void InvalidateCursor() { m_cursorIndex = -1; }
    void Touch() { ++*m_stamp; }
    const TGHashtableEntry *FirstFrom(int bucket) const;
    const TGHashtableEntry *Predecessor(const TGHashtableEntry *entry) const;
    static void FreeChain(std::unique_ptr<TGHashtableEntry> head);

    int m_capacity = 0;
    int m_collisions = 0;
    int m_count = 0;
    TGHashType m_hashType = htDivision;
    std::unique_ptr<TGHashtableEnumerator> m_enumerator;
    std::vector<std::unique_ptr<TGHashtableEntry>> m_buckets;
    int m_updateCount = 0;
    float m_loadFactor = 0.75f;
    int m_cursorIndex = -1;
    const TGHashtableEntry *m_cursorEntry = nullptr;
    int m_cursorBucket = 0;
    // Counts changes to the set of keys, so enumerators notice them; they
    // hold it weakly, so one outliving the table notices that too.
    std::shared_ptr<uint64_t> m_stamp;
};

class TGHashtable : public TGCustomHashtable
{
    Q_GADGET
    Q_PROPERTY(int Capacity READ Capacity WRITE SetCapacity)
    Q_PROPERTY(GHashTable::TGHashType HashType READ HashType WRITE SetHashType)
    Q_PROPERTY(float LoadFactor READ LoadFactor WRITE SetLoadFactor)

public:
    using TGCustomHashtable::TGCustomHashtable;
};

// The number map of pasting and renumbering topics.
class TGHashIntTable : public TGHashtable
{
public:
    using TGHashtable::TGHashtable;
};
