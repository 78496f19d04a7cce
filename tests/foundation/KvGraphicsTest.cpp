#include "foundation/KvGraphics.h"
#include "foundation/Exceptions.h"
#include "foundation/StringList.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>

using namespace Qt::StringLiterals;

namespace {

using Edges = std::array<int32_t, 4>;

Edges EdgesOf(const TKvCustomRect &r)
{
    return {r.Left(), r.Top(), r.Right(), r.Bottom()};
}

class KvGraphicsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        rect.OnChange = [this](TObject *sender) {
            EXPECT_EQ(sender, &rect);
            ++changes;
        };
        // The help window's default position.
        rect.SetValue(TKvCustomRect::rvLeft, 150);
        rect.SetValue(TKvCustomRect::rvTop, 50);
        rect.SetValue(TKvCustomRect::rvHeight, 500);
        rect.SetValue(TKvCustomRect::rvWidth, 600);
        changes = 0;
    }

    TKvCustomRect rect;
    int changes = 0;
};

TEST_F(KvGraphicsTest, HeightAndWidthPlaceTheFarEdges)
{
    EXPECT_EQ(EdgesOf(rect), (Edges{150, 50, 750, 550}));
    EXPECT_EQ(rect.GetValue(4), 500);
    EXPECT_EQ(rect.GetValue(5), 600);
    EXPECT_EQ(rect.GetValue(9), 600); // anything above 4 means width
}

TEST_F(KvGraphicsTest, SettingAnEdgeChangesTheExtentNotThePosition)
{
    rect.SetValue(0, 200);
    EXPECT_EQ(EdgesOf(rect), (Edges{200, 50, 750, 550}));
    EXPECT_EQ(rect.Width(), 550);
    EXPECT_EQ(changes, 1);

    rect.SetValue(0, 200);
    rect.SetValue(5, 550);
    EXPECT_EQ(changes, 1);
}

TEST_F(KvGraphicsTest, MoveToKeepsTheExtents)
{
    rect.MoveTo(0, 0);
    EXPECT_EQ(EdgesOf(rect), (Edges{0, 0, 600, 500}));
    EXPECT_EQ(changes, 1);
    rect.MoveTo(0, 0);
    EXPECT_EQ(changes, 1);
}

TEST_F(KvGraphicsTest, OffsetByAndSetRect)
{
    rect.OffsetBy(-10, 0);
    EXPECT_EQ(EdgesOf(rect), (Edges{140, 50, 740, 550}));
    rect.OffsetBy(0, 0);
    EXPECT_EQ(changes, 1);
    rect.SetRect(140, 50, 740, 550);
    EXPECT_EQ(changes, 2);
}

TEST_F(KvGraphicsTest, InflateByMovesEachEdgeByHalfTruncatedTowardZero)
{
    struct Case
    {
        int32_t dx, dy;
        Edges expected;
    };
    const Case cases[] = {
        {3, -3, {149, 51, 751, 549}},
        {-1, 1, {150, 50, 750, 550}},
        {10, 20, {145, 40, 755, 560}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.dx << ", " << c.dy);
        TKvCustomRect r;
        r.SetRect(150, 50, 750, 550);
        r.InflateBy(c.dx, c.dy);
        EXPECT_EQ(EdgesOf(r), c.expected);
    }
}

TEST_F(KvGraphicsTest, InflateByOverflowFailsAndChangesNothing)
{
    struct Case
    {
        Edges start;
        int32_t dx, dy;
    };
    const Case cases[] = {
        {{0, 0, INT32_MAX - 1, 10}, 4, 0},
        {{INT32_MIN + 1, 0, 10, 10}, 4, 0},
        {{0, INT32_MIN, 10, 10}, 0, 2},
        {{0, 0, 10, INT32_MIN}, 0, -2},
        {{1500000000, 0, 1500000010, 10}, INT32_MIN, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.dx << ", " << c.dy);
        TKvCustomRect r;
        r.SetRect(c.start[0], c.start[1], c.start[2], c.start[3]);
        int rectChanges = 0;
        r.OnChange = [&](TObject *) { ++rectChanges; };
        try {
            r.InflateBy(c.dx, c.dy);
            ADD_FAILURE() << "no error";
        } catch (const EIntOverflow &error) {
            EXPECT_EQ(error.Message(), u"Integer overflow"_s);
        }
        EXPECT_EQ(EdgesOf(r), c.start);
        EXPECT_EQ(rectChanges, 0);
    }
}

TEST_F(KvGraphicsTest, ExtentsFromOutsideInputReadBackUnchanged)
{
    // A file may carry any 32-bit top and height; what is read must be
    // written back the same.
    rect.SetValue(TKvCustomRect::rvTop, 2000000000);
    rect.SetValue(TKvCustomRect::rvHeight, 2000000000);
    EXPECT_EQ(rect.Top(), 2000000000);
    EXPECT_EQ(rect.Height(), 2000000000);
    rect.MoveTo(INT32_MIN, INT32_MAX);
    EXPECT_EQ(rect.Height(), 2000000000);
    EXPECT_EQ(rect.Width(), 600);
}

TEST_F(KvGraphicsTest, AssignCopiesRectanglesOnly)
{
    TKvCustomRect copy;
    int copyChanges = 0;
    copy.OnChange = [&](TObject *) { ++copyChanges; };
    copy.Assign(&rect);
    EXPECT_EQ(EdgesOf(copy), EdgesOf(rect));
    EXPECT_EQ(copyChanges, 1);

    TStringList strings;
    EXPECT_THROW(copy.Assign(&strings), EAssignError);
    EXPECT_THROW(strings.Assign(&copy), EAssignError);
}

} // namespace
