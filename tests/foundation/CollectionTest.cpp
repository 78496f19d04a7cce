#include "foundation/Collection.h"
#include "foundation/Exceptions.h"
#include "foundation/StringList.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <ostream>

using namespace Qt::StringLiterals;

namespace {

class NamedItem : public TCollectionItem
{
public:
    using TCollectionItem::TCollectionItem;
    ~NamedItem() override
    {
        if (destroyedDetached)
            *destroyedDetached = Collection() == nullptr;
    }

    QString ClassName() const override { return QStringLiteral("NamedItem"); }
    QString GetDisplayName() const override { return name.isEmpty() ? ClassName() : name; }

    void Assign(const TPersistent *source) override
    {
        if (const auto *other = dynamic_cast<const NamedItem *>(source)) {
            name = other->name;
            Changed(false);
            return;
        }
        TCollectionItem::Assign(source);
    }

    QString name;
    bool *destroyedDetached = nullptr;
};

// Writes every hook call as text, with the item's index at the time, so a
// test reads the exact sequence the document would see.
class LoggingCollection : public TCollection
{
public:
    LoggingCollection()
        : TCollection(nullptr, FactoryFor<NamedItem>())
    {}

    QString ClassName() const override { return QStringLiteral("LoggingCollection"); }

    NamedItem *Item(int index) const { return static_cast<NamedItem *>(Items(index)); }
    NamedItem *AddNamed(const QString &name)
    {
        auto *item = static_cast<NamedItem *>(Add());
        item->name = name;
        return item;
    }

    QStringList Names() const
    {
        QStringList names;
        for (int i = 0; i < Count(); ++i)
            names << Item(i)->name;
        return names;
    }

    // Every item's cached index agrees with its position.
    bool IndicesConsistent() const
    {
        for (int i = 0; i < Count(); ++i) {
            if (Items(i)->Index() != i)
                return false;
        }
        return true;
    }

    QStringList log;

protected:
    void Update(TCollectionItem *item) override
    {
        log << (item ? QStringLiteral("update ") + static_cast<NamedItem *>(item)->name
                     : QStringLiteral("update all"));
    }
    void Notify(TCollectionItem *item, TCollectionNotification action) override
    {
        static const char16_t *const names[] = {u"added", u"extracting", u"deleting"};
        log << QStringLiteral("%1 %2@%3")
                   .arg(QString::fromUtf16(names[action]), static_cast<NamedItem *>(item)->name)
                   .arg(item->Index());
    }
};

class CollectionTest : public ::testing::Test
{
protected:
    void Fill(std::initializer_list<const char16_t *> names)
    {
        for (const char16_t *name : names)
            items.AddNamed(QString::fromUtf16(name));
        items.log.clear();
    }

    LoggingCollection items;
};

TEST_F(CollectionTest, AddReportsAtOnceAndTheWholeListOutsideABracket)
{
    // The factory's item is announced with an empty name: the name is set
    // after Add returns.
    items.Add();
    EXPECT_EQ(items.log, (QStringList{u"added @0"_s, u"update all"_s}));

    items.log.clear();
    items.BeginUpdate();
    items.BeginUpdate();
    items.Add();
    items.Add();
    items.EndUpdate();
    EXPECT_EQ(items.log, (QStringList{u"added @1"_s, u"added @2"_s}));
    items.EndUpdate();
    EXPECT_EQ(items.log, (QStringList{u"added @1"_s, u"added @2"_s, u"update all"_s}));
    EXPECT_EQ(items.UpdateCount(), 0);

    // An unbalanced EndUpdate must not leave the collection thinking it is
    // in a bracket forever.
    items.EndUpdate();
    items.log.clear();
    items.Item(0)->Changed(false);
    EXPECT_EQ(items.log, (QStringList{u"update "_s}));
}

TEST_F(CollectionTest, DeleteIsReportedTwiceAndClearOncePerItem)
{
    Fill({u"a", u"b", u"c"});
    items.Delete(1);
    EXPECT_EQ(items.log, (QStringList{u"deleting b@1"_s, u"extracting b@1"_s, u"update all"_s}));
    EXPECT_EQ(items.Names(), (QStringList{u"a"_s, u"c"_s}));
    EXPECT_TRUE(items.IndicesConsistent());

    items.AddNamed(QStringLiteral("d"));
    items.log.clear();
    items.Clear();
    EXPECT_EQ(items.log,
              (QStringList{u"extracting d@2"_s, u"extracting c@1"_s, u"extracting a@0"_s, u"update all"_s}));
    EXPECT_EQ(items.Count(), 0);

    items.log.clear();
    items.Clear();
    EXPECT_TRUE(items.log.isEmpty());
}

TEST_F(CollectionTest, ItemChangeIsReportedOnlyOutsideABracket)
{
    Fill({u"a", u"b"});
    items.Item(1)->Changed(false);
    items.Item(1)->Changed(true);
    EXPECT_EQ(items.log, (QStringList{u"update b"_s, u"update all"_s}));

    items.log.clear();
    items.BeginUpdate();
    items.Item(0)->Changed(false);
    items.Item(0)->SetDisplayName(QStringLiteral("ignored"));
    EXPECT_TRUE(items.log.isEmpty());
    items.EndUpdate();
    EXPECT_EQ(items.log, (QStringList{u"update all"_s}));
}

TEST_F(CollectionTest, ABracketClosesWhenTheWorkThrows)
{
    Fill({u"a"});
    EXPECT_THROW(
        {
            TUpdateScope<TCollection> bracket(items);
            items.Items(5);
        },
        EListError);
    EXPECT_EQ(items.UpdateCount(), 0);
    EXPECT_EQ(items.log, (QStringList{u"update all"_s}));
}

struct ReorderCase
{
    const char *what;
    std::function<void(LoggingCollection &)> operation;
    QStringList expected;
};

void PrintTo(const ReorderCase &c, std::ostream *os)
{
    *os << c.what;
}

class CollectionReorderTest : public ::testing::TestWithParam<ReorderCase>
{
};

TEST_P(CollectionReorderTest, KeepsCachedIndicesInStep)
{
    LoggingCollection items;
    for (const char16_t *name : {u"a", u"b", u"c", u"d", u"e"})
        items.AddNamed(QString::fromUtf16(name));
    items.log.clear();

    GetParam().operation(items);
    EXPECT_EQ(items.Names(), GetParam().expected);
    EXPECT_TRUE(items.IndicesConsistent());
}

const ReorderCase kReorderCases[] = {
    {"insert at front",
     [](LoggingCollection &c) { static_cast<NamedItem *>(c.Insert(0))->name = u"x"_s; },
     {u"x"_s, u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s}},
    {"insert in the middle",
     [](LoggingCollection &c) { static_cast<NamedItem *>(c.Insert(2))->name = u"x"_s; },
     {u"a"_s, u"b"_s, u"x"_s, u"c"_s, u"d"_s, u"e"_s}},
    {"insert at the end",
     [](LoggingCollection &c) { static_cast<NamedItem *>(c.Insert(5))->name = u"x"_s; },
     {u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s, u"x"_s}},
    {"delete the first", [](LoggingCollection &c) { c.Delete(0); }, {u"b"_s, u"c"_s, u"d"_s, u"e"_s}},
    {"move forward",
     [](LoggingCollection &c) { c.Item(1)->SetIndex(3); },
     {u"a"_s, u"c"_s, u"d"_s, u"b"_s, u"e"_s}},
    {"move backward", [](LoggingCollection &c) { c.Move(4, 0); }, {u"e"_s, u"a"_s, u"b"_s, u"c"_s, u"d"_s}},
    {"exchange", [](LoggingCollection &c) { c.Exchange(0, 4); }, {u"e"_s, u"b"_s, u"c"_s, u"d"_s, u"a"_s}},
    {"sort descending",
     [](LoggingCollection &c) {
         c.Sort([](const TCollectionItem *a, const TCollectionItem *b) {
             return static_cast<const NamedItem *>(a)->name > static_cast<const NamedItem *>(b)->name;
         });
     },
     {u"e"_s, u"d"_s, u"c"_s, u"b"_s, u"a"_s}},
    {"extract", [](LoggingCollection &c) { c.Extract(2); }, {u"a"_s, u"b"_s, u"d"_s, u"e"_s}},
};

INSTANTIATE_TEST_SUITE_P(Operations, CollectionReorderTest, ::testing::ValuesIn(kReorderCases),
                         [](const auto &info) {
                             std::string name = info.param.what;
                             for (char &c : name)
                                 c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return name;
                         });

TEST_F(CollectionTest, ReorderingReportsOneChangeOfTheWholeList)
{
    Fill({u"a", u"b", u"c"});
    items.Item(0)->SetIndex(2);
    items.Exchange(0, 1);
    items.Item(1)->SetIndex(1);
    EXPECT_EQ(items.log, (QStringList{u"update all"_s, u"update all"_s}));
}

struct RangeCase
{
    const char *what;
    std::function<void(LoggingCollection &)> operation;
    const char16_t *message;
};

TEST_F(CollectionTest, OutOfRangeIndicesFailWithoutChangingAnything)
{
    const RangeCase cases[] = {
        {"Items(-1)", [](LoggingCollection &c) { c.Items(-1); }, u"List index out of bounds (-1)"},
        {"Items(Count)", [](LoggingCollection &c) { c.Items(3); }, u"List index out of bounds (3)"},
        {"Insert(Count + 1)", [](LoggingCollection &c) { c.Insert(4); }, u"List index out of bounds (4)"},
        {"Delete(3)", [](LoggingCollection &c) { c.Delete(3); }, u"List index out of bounds (3)"},
        {"SetIndex(3)", [](LoggingCollection &c) { c.Item(0)->SetIndex(3); },
         u"List index out of bounds (3)"},
        {"Exchange(0, -1)", [](LoggingCollection &c) { c.Exchange(0, -1); },
         u"List index out of bounds (-1)"},
    };
    Fill({u"a", u"b", u"c"});
    for (const RangeCase &c : cases) {
        SCOPED_TRACE(c.what);
        try {
            c.operation(items);
            ADD_FAILURE() << "no error";
        } catch (const EListError &error) {
            EXPECT_EQ(error.Message(), QString::fromUtf16(c.message));
        }
        EXPECT_EQ(items.Names(), (QStringList{u"a"_s, u"b"_s, u"c"_s}));
        EXPECT_TRUE(items.log.isEmpty());
    }
}

TEST_F(CollectionTest, IdsAreUniqueAndNeverReused)
{
    Fill({u"a", u"b", u"c"});
    const int idOfB = items.Item(1)->ID();
    items.Delete(1);
    NamedItem *d = items.AddNamed(QStringLiteral("d"));
    EXPECT_NE(d->ID(), idOfB);
    EXPECT_EQ(items.FindItemID(idOfB), nullptr);
    EXPECT_EQ(items.FindItemID(d->ID()), d);
    EXPECT_EQ(items.NextID(), d->ID() + 1);
}

TEST_F(CollectionTest, ItemDestructorsRunDetached)
{
    bool deletedDetached = false;
    bool clearedDetached = false;
    bool tornDownDetached = false;
    Fill({u"a", u"b"});
    items.Item(0)->destroyedDetached = &deletedDetached;
    items.Item(1)->destroyedDetached = &clearedDetached;
    items.Delete(0);
    items.Clear();
    EXPECT_TRUE(deletedDetached);
    EXPECT_TRUE(clearedDetached);
    {
        LoggingCollection doomed;
        doomed.AddNamed(QStringLiteral("x"))->destroyedDetached = &tornDownDetached;
    }
    EXPECT_TRUE(tornDownDetached);
}

TEST_F(CollectionTest, AnItemDestroyedBehindTheCollectionsBackLeavesIt)
{
    Fill({u"a", u"b", u"c"});
    delete items.Item(1);
    EXPECT_EQ(items.Names(), (QStringList{u"a"_s, u"c"_s}));
    EXPECT_TRUE(items.IndicesConsistent());
}

TEST_F(CollectionTest, SetCollectionMovesTheItemAndItsOwnership)
{
    Fill({u"a", u"b"});
    LoggingCollection other;
    NamedItem *a = items.Item(0);
    a->SetCollection(&other);
    EXPECT_EQ(a->Collection(), &other);
    EXPECT_EQ(a->Index(), 0);
    EXPECT_EQ(items.Names(), (QStringList{u"b"_s}));
    EXPECT_EQ(other.Names(), (QStringList{u"a"_s}));
    EXPECT_EQ(items.log, (QStringList{u"extracting a@0"_s, u"update all"_s}));
    EXPECT_EQ(other.log, (QStringList{u"added a@0"_s, u"update all"_s}));
}

TEST_F(CollectionTest, AssignCopiesItemByItemInOneBracket)
{
    Fill({u"old"});
    LoggingCollection source;
    source.AddNamed(QStringLiteral("a"));
    source.AddNamed(QStringLiteral("b"));
    items.Assign(&source);
    EXPECT_EQ(items.Names(), (QStringList{u"a"_s, u"b"_s}));
    EXPECT_EQ(items.log.count(u"update all"_s), 1);
    EXPECT_EQ(items.log.last(), u"update all"_s);

    items.Assign(&items);
    EXPECT_EQ(items.Names(), (QStringList{u"a"_s, u"b"_s}));
}

TEST_F(CollectionTest, AssignFromAnUnrelatedClassFails)
{
    Fill({u"a"});
    TStringList strings;
    try {
        items.Assign(&strings);
        ADD_FAILURE() << "no error";
    } catch (const EAssignError &error) {
        EXPECT_EQ(error.Message(), u"Cannot assign a TStringList to a LoggingCollection"_s);
    }
    try {
        items.Item(0)->Assign(nullptr);
        ADD_FAILURE() << "no error";
    } catch (const EAssignError &error) {
        EXPECT_EQ(error.Message(), u"Cannot assign a nil to a NamedItem"_s);
    }
    EXPECT_EQ(items.Names(), (QStringList{u"a"_s}));
}

TEST(PersistentTest, ClassNameFollowsTheDynamicType)
{
    TStringList strings;
    const TPersistent &asPersistent = strings;
    EXPECT_EQ(asPersistent.ClassName(), u"TStringList"_s);
    EXPECT_STREQ(asPersistent.MetaObject()->className(), "TStringList");
}

} // namespace
