#include "foundation/Exceptions.h"
#include "foundation/GHashTable.h"

#include "QtPrinters.h"
#include "TestHelpers.h"

#include <QMetaProperty>

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

TEST(HashTable, PutReturnsThePreviousValue)
{
    TGHashIntTable table;
    EXPECT_EQ(table.Capacity(), 101);
    EXPECT_EQ(table.HashType(), htDivision);
    EXPECT_EQ(table.Put(5, 7), 0);
    EXPECT_EQ(table.Put(5, 9), 7);
    EXPECT_EQ(table.Count(), 1);
    EXPECT_EQ(table.Get(5), 9);
    EXPECT_TRUE(table.ContainsKey(5));
    EXPECT_TRUE(table.ContainsValue(9));
    EXPECT_FALSE(table.ContainsValue(7));
    EXPECT_EQ(table.Remove(5), 9);
    EXPECT_TRUE(table.IsEmpty());
    EXPECT_FALSE(table.ContainsKey(5));
}

TEST(HashTable, Errors)
{
    TGHashIntTable table;
    EXPECT_EQ(ErrorOf([&] { table.Get(1); }), u"Table is empty"_qs);
    EXPECT_EQ(ErrorOf([&] { table.Remove(1); }), u"Table is empty"_qs);
    EXPECT_EQ(ErrorOf([&] { table.Put(0, 1); }), u"Argument is null"_qs);
    table.Put(1, 1);
    EXPECT_EQ(ErrorOf([&] { table.Get(2); }), u"No such element"_qs);
    EXPECT_EQ(ErrorOf([&] { table.Remove(2); }), u"No such element"_qs);
    EXPECT_EQ(ErrorOf([&] { table.Get(0); }), u"Argument is null"_qs);
    EXPECT_EQ(ErrorOf([&] { table.Remove(0); }), u"Argument is null"_qs);
    EXPECT_EQ(ErrorOf([&] { table.KeyAt(1); }), u"List index out of bounds (1)"_qs);
    EXPECT_EQ(ErrorOf([&] { table.ValueAt(-1); }), u"List index out of bounds (-1)"_qs);
    EXPECT_THROW(table.EntryAt(1), EListError);
    EXPECT_EQ(ErrorOf([&] { table.SetHashType(htFolding); }),
              u"Cannot perform this operation with non-empty table"_qs);
    table.SetHashType(htDivision); // unchanged: allowed
    EXPECT_EQ(ErrorOf([&] { table.Hash(1, 0); }), u"Subscript out of range"_qs);
    EXPECT_EQ(ErrorOf([&] { table.SetCapacity(-1); }), u"Subscript out of range"_qs);
    EXPECT_EQ(ErrorOf([&] { table.NextElement(); }), u"No such element"_qs);
}

TEST(HashTable, LoadFactorMustKeepGrowthFinite)
{
    TGHashIntTable table;
    for (const float bad : {0.0f, -0.5f, 0.001f, 1.5f, std::numeric_limits<float>::quiet_NaN()}) {
        EXPECT_EQ(ErrorOf([&] { table.SetLoadFactor(bad); }), u"Load factor must be between 0.0 and 0.1"_qs)
            << bad;
    }
    EXPECT_FLOAT_EQ(table.LoadFactor(), 0.75f);
    table.SetLoadFactor(1.0f);
    table.SetLoadFactor(0.01f);
    EXPECT_THROW(TGHashIntTable(101, 0.0f), EHashtableError);
    // The smallest factor grows a first insertion to a few buckets, not to millions.
    table.Put(1, 1);
    EXPECT_EQ(table.Capacity(), 101);
    TGHashIntTable tiny(1, 0.01f);
    tiny.Put(1, 1);
    EXPECT_EQ(tiny.Capacity(), 63);
}

TEST(HashTable, GrowsWhenANewKeyArrivesAtTheThreshold)
{
    TGHashIntTable table(101, 0.75f);
    EXPECT_EQ(table.Threshold(), 76);
    for (int key = 1; key <= 76; ++key)
        table.Put(key * 7, key);
    EXPECT_EQ(table.Capacity(), 101) << "the 76th key goes in without growth";
    table.Put(7, -1); // an existing key never grows the table
    EXPECT_EQ(table.Capacity(), 101);
    table.Put(77 * 7, 77);
    EXPECT_EQ(table.Capacity(), 203);
    EXPECT_EQ(table.Threshold(), 152);
    EXPECT_EQ(table.Count(), 77);
    EXPECT_EQ(table.Get(7), -1);
    for (int key = 2; key <= 77; ++key)
        EXPECT_EQ(table.Get(key * 7), key);
}

TEST(HashTable, ThresholdRoundsHalfToEven)
{
    struct Case
    {
        int capacity;
        float loadFactor;
        int threshold;
    };
    const Case cases[] = {{101, 0.75f, 76}, {2, 0.25f, 0}, {6, 0.25f, 2}, {10, 0.25f, 2}, {14, 0.25f, 4},
                          {3, 0.5f, 2},     {5, 0.5f, 2},  {1, 0.75f, 1}, {0, 0.75f, 0}};
    for (const Case &c : cases) {
        TGHashIntTable table(c.capacity, c.loadFactor);
        EXPECT_EQ(table.Threshold(), c.threshold) << c.capacity << " x " << c.loadFactor;
    }
}

TEST(HashTable, CollisionsCountChainedEntries)
{
    TGHashIntTable table(10);
    table.Put(3, 0);
    table.Put(13, 0);
    table.Put(23, 0);
    table.Put(4, 0);
    EXPECT_EQ(table.Collisions(), 2);
    table.Remove(13);
    EXPECT_EQ(table.Collisions(), 1);
    table.Remove(4);
    EXPECT_EQ(table.Collisions(), 1);
    table.SetCapacity(7); // 3 and 23 now fall apart
    EXPECT_EQ(table.Collisions(), 0);
    EXPECT_EQ(table.Get(23), 0);
}

struct HashCase
{
    TGHashType type;
    int32_t key;
    int modulus;
    int bucket;
};

TEST(HashTable, HashFunctions)
{
    const HashCase cases[] = {
        {htDivision, 12345, 101, 23},    {htDivision, -5, 101, 29}, // sign bit cleared: 2147483643
        {htTruncation, 123456, 101, 52},                            // last three digits: 456
        {htTruncation, 42, 101, 42},     {htTruncation, 987, 7, 0}, // last digit 7
        {htMidSquare, 1234, 97, 75},                                // 1522756: two digits from the fifth
        {htMidSquare, 1234, 101, 80},    // three digits are not fewer than 7 div 2: all
        {htMidSquare, 46341, 7, 3},      // square wraps to 2147488281, sign cleared 4633
        {htMidSquare, 65536, 101, 0},    // square wraps to 0
        {htFolding, 123456789, 101, 65}, // 1 2 3 4 6 8 9
        {htFolding, 7, 101, 7},          {htFolding, 1234, 1000, 234},
    };
    for (const HashCase &c : cases) {
        TGHashIntTable table;
        table.SetHashType(c.type);
        EXPECT_EQ(table.Hash(c.key, c.modulus), c.bucket)
            << int(c.type) << " " << c.key << " mod " << c.modulus;
    }
}

TEST(HashTable, EveryHashTypeKeepsEveryKeyReachable)
{
    for (const TGHashType type : {htTruncation, htDivision, htMidSquare, htFolding}) {
        TGHashIntTable table(11);
        table.SetHashType(type);
        for (int32_t key :
             {1, -1, 99, 1000001, std::numeric_limits<int32_t>::min(), 2147483647, 46341, 65536})
            table.Put(key, key / 2);
        for (int i = 2; i < 300; ++i)
            table.Put(i * 37, i);
        EXPECT_EQ(table.Count(), 8 + 298);
        EXPECT_EQ(table.Get(std::numeric_limits<int32_t>::min()), std::numeric_limits<int32_t>::min() / 2);
        for (int i = 2; i < 300; ++i)
            ASSERT_EQ(table.Get(i * 37), i) << int(type);
    }
}

// Keys 1, 102 and 2 in 101 buckets: bucket 1 holds 102 then 1 (newest first), bucket 2 holds 2.
class SmallTable : public ::testing::Test
{
protected:
    void SetUp() override
    {
        table.Put(1, 10);
        table.Put(102, 1020);
        table.Put(2, 20);
    }
    TGHashIntTable table;
};

TEST_F(SmallTable, IndexedAccessRunsOverBucketsAndChainsInBothDirections)
{
    EXPECT_EQ(table.KeyAt(0), 102);
    EXPECT_EQ(table.KeyAt(1), 1);
    EXPECT_EQ(table.KeyAt(2), 2);
    EXPECT_EQ(table.KeyAt(2), 2);
    EXPECT_EQ(table.ValueAt(1), 10);
    EXPECT_EQ(table.KeyAt(0), 102);
    EXPECT_EQ(table.KeyAt(2), 2);
    EXPECT_EQ(table.EntryAt(1).BucketIndex, 1);
    EXPECT_EQ(table.KeyAt(0), 102);
    EXPECT_EQ(ErrorOf([&] { table.KeyAt(3); }), u"List index out of bounds (3)"_qs);
}

TEST_F(SmallTable, ChangesKeepTheCursorRight)
{
    EXPECT_EQ(table.KeyAt(2), 2);
    table.Remove(2); // the cursor entry: the cursor steps back
    EXPECT_EQ(table.KeyAt(1), 1);
    table.Put(203, 0); // a new head in bucket 1, in front of the cursor
    EXPECT_EQ(table.KeyAt(1), 102);
    EXPECT_EQ(table.KeyAt(0), 203);
    table.Put(100, 0); // a later bucket: behind the cursor
    EXPECT_EQ(table.KeyAt(3), 100);
    table.Remove(203);
    EXPECT_EQ(table.KeyAt(0), 102);
    table.SetCapacity(7);
    std::set<int32_t> keys;
    for (int i = 0; i < table.Count(); ++i)
        keys.insert(table.KeyAt(i));
    EXPECT_EQ(keys, (std::set<int32_t>{1, 102, 100}));
}

TEST_F(SmallTable, EnumerationRunsFromTheLastBucket)
{
    std::vector<int32_t> keys;
    table.ResetEnumeration();
    for (int i = 0; i < table.Count(); ++i)
        keys.push_back(table.NextElement());
    EXPECT_EQ(keys, (std::vector<int32_t>{2, 102, 1}));
    EXPECT_EQ(ErrorOf([&] { table.NextElement(); }), u"No such element"_qs);

    auto values = table.Values();
    std::vector<int32_t> seen;
    while (values->HasMoreElements())
        seen.push_back(values->NextElement());
    EXPECT_EQ(seen, (std::vector<int32_t>{20, 1020, 10}));
    values->Reset();
    EXPECT_EQ(values->NextElement(), 20);

    // A changed set of keys ends a walk instead of leading it into freed entries.
    auto keysWalk = table.Keys();
    EXPECT_EQ(keysWalk->NextElement(), 2);
    table.Remove(102);
    EXPECT_FALSE(keysWalk->HasMoreElements());
    keysWalk->Reset();
    EXPECT_EQ(keysWalk->NextElement(), 2);
    EXPECT_EQ(keysWalk->NextElement(), 1);
}

TEST(HashTable, AnEnumeratorOutlivingItsTableEnds)
{
    std::unique_ptr<TGHashtableEnumerator> keys;
    {
        TGHashIntTable table;
        table.Put(1, 1);
        keys = table.Keys();
    }
    EXPECT_FALSE(keys->HasMoreElements());
    EXPECT_THROW(keys->NextElement(), EHashtableError);
}

TEST(HashTable, ChangeNotification)
{
    TGHashIntTable table;
    int changes = 0;
    table.OnChange = [&](TGCustomHashtable &) { ++changes; };
    table.Clear();
    EXPECT_EQ(changes, 0) << "clearing an empty table";
    table.BeginUpdate();
    for (int key = 1; key <= 10; ++key)
        table.Put(key, key);
    EXPECT_EQ(changes, 0);
    table.EndUpdate();
    EXPECT_EQ(changes, 1);
    table.Put(1, 5);
    table.Remove(1);
    table.Clear();
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(table.Count(), 0);
}

TEST(HashTable, AssignCopiesSettingsAndEntries)
{
    TGHashIntTable source(7, 0.5f);
    source.SetHashType(htFolding);
    for (int key = 1; key <= 20; ++key)
        source.Put(key * 11, -key);
    TGHashIntTable copy;
    copy.Put(3, 3);
    int changes = 0;
    copy.OnChange = [&](TGCustomHashtable &) { ++changes; };
    copy.Assign(source);
    EXPECT_EQ(changes, 2) << "the clear and the one bracket";
    EXPECT_EQ(copy.HashType(), htFolding);
    EXPECT_FLOAT_EQ(copy.LoadFactor(), 0.5f);
    EXPECT_EQ(copy.Capacity(), source.Capacity());
    EXPECT_EQ(copy.Count(), 20);
    EXPECT_FALSE(copy.ContainsKey(3));
    for (int key = 1; key <= 20; ++key)
        EXPECT_EQ(copy.Get(key * 11), -key);
    copy.Assign(copy);
    EXPECT_EQ(copy.Count(), 20);
}

TEST(HashTable, PublishesItsSettings)
{
    const QMetaObject &meta = TGHashtable::staticMetaObject;
    ASSERT_EQ(meta.propertyCount(), 3);
    EXPECT_STREQ(meta.property(0).name(), "Capacity");
    EXPECT_STREQ(meta.property(1).name(), "HashType");
    EXPECT_STREQ(meta.property(2).name(), "LoadFactor");
    EXPECT_TRUE(meta.property(1).isEnumType());
    EXPECT_STREQ(meta.property(1).enumerator().valueToKey(htMidSquare), "htMidSquare");
    TGHashIntTable table;
    EXPECT_TRUE(meta.property(0).writeOnGadget(&table, 31));
    EXPECT_EQ(table.Capacity(), 31);
    EXPECT_EQ(meta.property(1).readOnGadget(&table).toInt(), int(htDivision));
}

} // namespace
