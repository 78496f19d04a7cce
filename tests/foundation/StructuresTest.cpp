#include "foundation/Structures.h"
#include "foundation/Exceptions.h"
#include "foundation/Font.h"

#include "QtPrinters.h"
#include "TestHelpers.h"

#include <gtest/gtest.h>

#include <cctype>
#include <ostream>

using namespace Qt::StringLiterals;

namespace {

class Target : public TGCollectionItem
{
public:
    using TGCollectionItem::TGCollectionItem;
    QString GetDisplayName() const override { return name; }
    QString name;
};

// A reference-holding item written the way the document's items are: the
// setter unlinks and links, Notification clears the field through it.
class Referrer : public TGCollectionItem
{
public:
    using TGCollectionItem::TGCollectionItem;
    ~Referrer() override { SetTarget(nullptr); }

    Target *GetTarget() const { return m_target; }
    void SetTarget(Target *target)
    {
        if (target == m_target)
            return;
        if (m_target)
            m_target->RemoveFreeNotification(this);
        m_target = target;
        if (m_target)
            m_target->FreeNotification(this);
        Changed(false);
    }

    void Notification(TGCollectionItem *other) override
    {
        if (other == m_target) {
            // The departing target still stands in its collection here.
            targetIndexWhenNotified = m_target->Index();
            SetTarget(nullptr);
        }
        TGCollectionItem::Notification(other);
    }

    int targetIndexWhenNotified = -2;

private:
    Target *m_target = nullptr;
};

class Collections : public ::testing::Test
{
protected:
    TGCollection targets{nullptr, TCollection::FactoryFor<Target>()};
    TGCollection referrers{nullptr, TCollection::FactoryFor<Referrer>()};

    Target *AddTarget(const QString &name)
    {
        auto *target = static_cast<Target *>(targets.Add());
        target->name = name;
        return target;
    }
    Referrer *AddReferrer(Target *target)
    {
        auto *referrer = static_cast<Referrer *>(referrers.Add());
        referrer->SetTarget(target);
        return referrer;
    }
};

TEST_F(Collections, LinkingTwiceLeavesOneEntryAndUnlinkingFreesBothLists)
{
    auto *a = static_cast<TGCollectionItem *>(referrers.Add());
    TGCollectionItem *b = AddTarget(u"b"_s);
    EXPECT_EQ(a->Links(), nullptr);
    a->FreeNotification(b);
    a->FreeNotification(b);
    b->FreeNotification(a);
    ASSERT_NE(a->Links(), nullptr);
    ASSERT_NE(b->Links(), nullptr);
    EXPECT_EQ(*a->Links(), std::vector<TGCollectionItem *>{b});
    EXPECT_EQ(*b->Links(), std::vector<TGCollectionItem *>{a});

    b->RemoveFreeNotification(a);
    EXPECT_EQ(a->Links(), nullptr);
    EXPECT_EQ(b->Links(), nullptr);

    // Removing a link that is not there, or linking to itself, changes
    // nothing.
    a->RemoveFreeNotification(b);
    a->FreeNotification(a);
    EXPECT_EQ(a->Links(), nullptr);
}

TEST_F(Collections, DestroyingATargetClearsEveryReferenceToIt)
{
    AddTarget(u"first"_s);
    Target *topic = AddTarget(u"topic"_s);
    Target *other = AddTarget(u"other"_s);
    Referrer *r1 = AddReferrer(topic);
    Referrer *r2 = AddReferrer(topic);
    Referrer *r3 = AddReferrer(topic);
    Referrer *r4 = AddReferrer(other);
    EXPECT_EQ(topic->LinkCount(), 3);

    targets.Delete(1);
    for (Referrer *r : {r1, r2, r3}) {
        EXPECT_EQ(r->GetTarget(), nullptr);
        EXPECT_EQ(r->Links(), nullptr);
        EXPECT_EQ(r->targetIndexWhenNotified, 1);
    }
    EXPECT_EQ(referrers.Count(), 4);
    EXPECT_EQ(r4->GetTarget(), other);
    EXPECT_TRUE(other->IsLinkedTo(r4));
}

TEST_F(Collections, DestroyingAReferrerUnlinksItFromItsTarget)
{
    Target *topic = AddTarget(u"topic"_s);
    AddReferrer(topic);
    Referrer *last = AddReferrer(topic);
    referrers.Delete(0);
    EXPECT_EQ(*topic->Links(), std::vector<TGCollectionItem *>{last});
    referrers.Clear();
    EXPECT_EQ(topic->Links(), nullptr);
}

TEST_F(Collections, TearingDownACollectionClearsReferencesFromOutside)
{
    Referrer *outside = nullptr;
    {
        TGCollection doomed(nullptr, TCollection::FactoryFor<Target>());
        auto *target = static_cast<Target *>(doomed.Add());
        outside = AddReferrer(target);
        // A second link in the other direction, from an item that is not in
        // any collection.
        Referrer loose;
        loose.SetTarget(target);
    }
    EXPECT_EQ(outside->GetTarget(), nullptr);
    EXPECT_EQ(outside->Links(), nullptr);
}

// An override that forgets to call the default must not stall the walk or
// leave a dangling entry behind.
class ForgetfulReferrer : public TGCollectionItem
{
public:
    using TGCollectionItem::TGCollectionItem;
    void Notification(TGCollectionItem *) override { ++notified; }
    int notified = 0;
};

TEST_F(Collections, ANotificationOverrideThatSkipsTheDefaultStillUnlinks)
{
    ForgetfulReferrer forgetful;
    {
        TGCollection doomed(nullptr, TCollection::FactoryFor<Target>());
        auto *target = static_cast<Target *>(doomed.Add());
        forgetful.FreeNotification(target);
    }
    EXPECT_EQ(forgetful.notified, 1);
    EXPECT_EQ(forgetful.Links(), nullptr);
}

TEST_F(Collections, AssignToAStringListListsDisplayNamesWithTheItems)
{
    Target *a = AddTarget(u"alpha"_s);
    Target *b = AddTarget(u"beta"_s);
    TStringList list;
    list.Add(u"stale"_s);
    int changes = 0;
    list.OnChange = [&](TObject *) { ++changes; };
    list.Assign(&targets);
    EXPECT_EQ(list.ToQStringList(), Lines({u"alpha", u"beta"}));
    EXPECT_EQ(list.Objects(0), a);
    EXPECT_EQ(list.Objects(1), b);
    EXPECT_EQ(changes, 1);

    TFont font;
    EXPECT_EQ(ErrorOf([&] { font.Assign(&targets); }), u"Cannot assign a TGCollection to a TFont"_s);
}

TEST_F(Collections, IndexOfDisplayNameIsCaseSensitive)
{
    AddTarget(u"*TopicText"_s);
    AddTarget(u"*TopicTitle"_s);
    AddTarget(u"*TopicTitle"_s);
    EXPECT_EQ(targets.IndexOfDisplayName(u"*TopicTitle"_s), 1);
    EXPECT_EQ(targets.IndexOfDisplayName(u"*topictitle"_s), -1);
    EXPECT_EQ(targets.IndexOfDisplayName(u""_s), -1);
}

// ---------------------------------------------------------------- bounded lists

TEST(MaxCountStringsTest, RefusesToGrowBeyondTheMaximum)
{
    TMaxCountStrings list;
    EXPECT_EQ(list.MaxCount(), -1);
    list.SetMaxCount(-2);
    EXPECT_EQ(list.MaxCount(), -1);

    list.SetMaxCount(3);
    EXPECT_EQ(list.Capacity(), 3);
    list.AddStrings(Lines({u"a", u"b", u"c"}));
    int changes = 0;
    list.OnChange = [&](TObject *) { ++changes; };
    EXPECT_EQ(ErrorOf([&] { list.Add(u"d"_s); }), u"String List Max Count exceeded: 3"_s);
    EXPECT_EQ(list.ToQStringList(), Lines({u"a", u"b", u"c"}));
    EXPECT_EQ(changes, 0);

    // Lowering the maximum takes nothing away, and the capacity already
    // there stays usable.
    list.SetMaxCount(1);
    EXPECT_EQ(list.Count(), 3);
    list.Delete(0);
    list.Add(u"e"_s);
    EXPECT_EQ(list.ToQStringList(), Lines({u"b", u"c", u"e"}));
}

TEST(MaxCountStringsTest, GrowsFreelyUpToALargeMaximum)
{
    TMaxCountStrings list;
    list.SetMaxCount(10);
    list.SetCapacity(2);
    for (int i = 0; i < 10; ++i)
        list.Add(QString::number(i));
    EXPECT_EQ(list.Count(), 10);
    EXPECT_THROW(list.Add(u"10"_s), EStringListError);
}

TEST(MaxCountStringsTest, ClearAndShrinkingNeverCountAsOverrunningTheMaximum)
{
    TMaxCountStrings list;
    list.AddStrings(Lines({u"a", u"b"}));
    list.SetMaxCount(0);
    EXPECT_EQ(ErrorOf([&] { list.Clear(); }), QString());
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(ErrorOf([&] { list.SetCapacity(list.Capacity()); }), QString());
    EXPECT_EQ(ErrorOf([&] { list.Add(u"x"_s); }), u"String List Max Count exceeded: 0"_s);
}

struct RecentCase
{
    const char *what;
    bool pushAtEnd;
    QStringList before;
    const char16_t *added;
    QStringList after;
    int index;
};

void PrintTo(const RecentCase &c, std::ostream *os)
{
    *os << c.what;
}

class RecentFilesTest : public ::testing::TestWithParam<RecentCase>
{
};

TEST_P(RecentFilesTest, PutsTheFileAtTheNewestPosition)
{
    const RecentCase &c = GetParam();
    TRecentFiles files;
    files.SetPushAtEnd(c.pushAtEnd);
    files.AssignStrings(c.before);
    int changes = 0;
    files.OnChange = [&](TObject *) { ++changes; };
    EXPECT_EQ(files.AddFile(QString::fromUtf16(c.added)), c.index);
    EXPECT_EQ(files.ToQStringList(), c.after);
    EXPECT_EQ(changes, files.ToQStringList() == c.before ? 0 : 1);
}

const RecentCase kRecentCases[] = {
    {"new file pushes out the oldest", false, Lines({u"a", u"b", u"c", u"d"}), u"e",
     Lines({u"e", u"a", u"b", u"c"}), 0},
    {"known file keeps its spelling", false, Lines({u"e", u"a", u"b", u"c"}), u"C",
     Lines({u"c", u"e", u"a", u"b"}), 0},
    {"newest already first", false, Lines({u"a", u"b"}), u"A", Lines({u"a", u"b"}), 0},
    {"into an empty list", false, {}, u"x", Lines({u"x"}), 0},
    {"push at end moves to the end", true, Lines({u"a", u"b"}), u"a", Lines({u"b", u"a"}), 1},
    {"push at end drops the first", true, Lines({u"a", u"b", u"c", u"d"}), u"e",
     Lines({u"b", u"c", u"d", u"e"}), 3},
    {"push at end appends", true, Lines({u"a"}), u"b", Lines({u"a", u"b"}), 1},
};

INSTANTIATE_TEST_SUITE_P(Cases, RecentFilesTest, ::testing::ValuesIn(kRecentCases), [](const auto &info) {
    std::string name = info.param.what;
    for (char &ch : name)
        ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
    return name;
});

TEST(RecentFilesTest, StaysWithinALoweredMaximum)
{
    TRecentFiles files;
    files.AssignStrings(Lines({u"a", u"b", u"c", u"d"}));
    files.SetMaxCount(2);
    EXPECT_EQ(files.AddFile(u"e"_s), 0);
    EXPECT_EQ(files.ToQStringList(), Lines({u"e", u"a"}));

    files.SetMaxCount(0);
    EXPECT_EQ(files.AddFile(u"f"_s), -1);
    EXPECT_EQ(files.ToQStringList(), Lines({u"e", u"a"}));
}

TEST(RecentFilesTest, RemoveOldestTakesTheEndThatIsOldest)
{
    TRecentFiles files;
    files.RemoveOldest();
    files.AssignStrings(Lines({u"a", u"b", u"c"}));
    files.RemoveOldest();
    EXPECT_EQ(files.ToQStringList(), Lines({u"a", u"b"}));
    files.SetPushAtEnd(true);
    files.RemoveOldest();
    EXPECT_EQ(files.ToQStringList(), Lines({u"b"}));
}

TEST(RecentFilesTest, ACopyHoldsEverythingTheSourceHolds)
{
    TRecentFiles source;
    source.SetMaxCount(8);
    source.SetPushAtEnd(true);
    for (const char16_t *name : {u"1", u"2", u"3", u"4", u"5", u"6"})
        source.AddFile(QString::fromUtf16(name));
    TRecentFiles copy;
    copy.Assign(&source);
    EXPECT_EQ(copy.ToQStringList(), source.ToQStringList());
    EXPECT_EQ(copy.MaxCount(), 8);
    EXPECT_TRUE(copy.PushAtEnd());

    source.SetMaxCount(2);
    TRecentFiles trimmed;
    trimmed.Assign(&source);
    EXPECT_EQ(trimmed.Count(), 6);
    EXPECT_EQ(trimmed.MaxCount(), 2);
}

} // namespace
