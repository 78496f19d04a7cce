#include "foundation/KvDeltaFont.h"
#include "foundation/Exceptions.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <QMetaProperty>

#include <climits>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

TEST(FontTest, SizeAndHeightAtNinetySixPixelsPerInch)
{
    struct Case
    {
        int size;
        int height;
    };
    const Case cases[] = {{8, -11}, {9, -12}, {10, -13}, {11, -15}, {12, -16}, {16, -21}, {72, -96}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.size);
        TFont font;
        font.SetSize(c.size);
        EXPECT_EQ(font.Height(), c.height);
        EXPECT_EQ(font.Size(), c.size);
    }
    TFont font;
    font.SetHeight(-14); // 10.5 points
    EXPECT_EQ(font.Size(), 11);
    font.SetHeight(INT_MIN);
    EXPECT_EQ(font.Height(), INT_MIN);
}

TEST(FontTest, MulDivRoundsHalfAwayFromZero)
{
    EXPECT_EQ(MulDiv(10, 96, 72), 13);
    EXPECT_EQ(MulDiv(-14, 72, 96), -11);
    EXPECT_EQ(MulDiv(3, 1, 2), 2);
    EXPECT_EQ(MulDiv(-3, 1, 2), -2);
    EXPECT_EQ(MulDiv(3, 1, -2), -2);
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
    EXPECT_EQ(MulDiv(INT_MAX, INT_MAX, 1), -1);
    EXPECT_EQ(MulDiv(INT_MAX, INT_MAX, INT_MAX), INT_MAX);
}

TEST(FontTest, SettersNotifyOnlyRealChangesAndAssignOnce)
{
    TFont font;
    int changes = 0;
    font.OnChange = [&](TObject *sender) {
        EXPECT_EQ(sender, &font);
        ++changes;
    };
    font.SetName(font.Name());
    font.SetColor(font.Color());
    font.SetSize(font.Size());
    EXPECT_EQ(changes, 0);
    font.SetStyle(fsBold | fsUnderline);
    font.SetCharset(ANSI_CHARSET);
    font.SetPitch(fpFixed);
    EXPECT_EQ(changes, 3);

    TFont other;
    other.SetName(u"Arial"_s);
    other.SetSize(10);
    other.SetColor(clRed);
    changes = 0;
    font.Assign(&other);
    EXPECT_EQ(font, other);
    EXPECT_EQ(changes, 1);
    font.Assign(&other);
    EXPECT_EQ(changes, 1);
}

TEST(FontTest, PublishedPropertiesAreReadableThroughTheMetaObject)
{
    TFont font;
    font.SetStyle(fsItalic);
    const TPersistent &base = font;
    const QMetaObject *meta = base.MetaObject();
    QStringList names;
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i)
        names << QString::fromLatin1(meta->property(i).name());
    EXPECT_EQ(names, (QStringList{u"Charset"_s, u"Color"_s, u"Height"_s, u"Name"_s, u"Pitch"_s, u"Size"_s,
                                  u"Style"_s}));
    const QMetaProperty style = meta->property(meta->indexOfProperty("Style"));
    EXPECT_EQ(style.readOnGadget(&font).value<TFontStyles>(), TFontStyles(fsItalic));
    EXPECT_TRUE(meta->property(meta->indexOfProperty("Name")).writeOnGadget(&font, u"Courier New"_s));
    EXPECT_EQ(font.Name(), u"Courier New"_s);
}

// The document's editor font and one status font that follows it.
class DeltaFontTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        editor.SetName(u"Arial"_s);
        editor.SetSize(10);
        editor.SetColor(clBlack);
        status.Assign(&editor);
        status.OnGetBaseFont = [this](TObject *, const TFont *&base) { base = &editor; };
        status.OnChange = [this](TObject *) { ++statusChanges; };
    }

    TFont editor;
    TKvCustomDeltaFont status;
    int statusChanges = 0;
};

TEST_F(DeltaFontTest, ADifferentColourKeepsFollowingNameAndSize)
{
    status.SetColor(clRed);
    EXPECT_EQ(status.DeltaFlags(), TKvCustomDeltaFont::TDeltaFlags(TKvCustomDeltaFont::dfColor));

    editor.SetName(u"Tahoma"_s);
    editor.SetSize(12);
    editor.SetColor(clBlue);
    status.ApplyBase(&editor);
    EXPECT_EQ(status.Name(), u"Tahoma"_s);
    EXPECT_EQ(status.Size(), 12);
    EXPECT_EQ(status.Color(), clRed);
    EXPECT_FALSE(status.Busy());
}

TEST_F(DeltaFontTest, AnAttributeSetBackToTheBaseFollowsItAgain)
{
    status.SetColor(clRed);
    status.SetColor(editor.Color());
    EXPECT_EQ(status.DeltaFlags(), TKvCustomDeltaFont::TDeltaFlags());

    editor.SetColor(clBlue);
    status.ApplyBase(&editor);
    EXPECT_EQ(status.Color(), clBlue);
}

TEST_F(DeltaFontTest, ApplyBaseRaisesChangesWithoutRecomputingTheFlags)
{
    status.SetStyle(fsBold);
    statusChanges = 0;
    editor.SetName(u"Tahoma"_s);
    editor.SetStyle(fsItalic);
    status.ApplyBase(&editor);
    // Bold is the status font's own; italic comes from the base.
    EXPECT_EQ(status.Style(), fsBold | fsItalic);
    EXPECT_EQ(status.DeltaFlags(), TKvCustomDeltaFont::TDeltaFlags(TKvCustomDeltaFont::dfBold));
    EXPECT_EQ(statusChanges, 2); // style and name
}

TEST_F(DeltaFontTest, ComputeDeltasMarksEachDifferingAttribute)
{
    using F = TKvCustomDeltaFont;
    struct Case
    {
        const char *what;
        std::function<void(TFont &)> change;
        F::TDeltaFlags expected;
    };
    const Case cases[] = {
        {"nothing", [](TFont &) {}, {}},
        {"bold", [](TFont &f) { f.SetStyle(fsBold); }, F::dfBold},
        {"italic and strike-out", [](TFont &f) { f.SetStyle(fsItalic | fsStrikeOut); },
         F::dfItalic | F::dfStrikeOut},
        {"underline", [](TFont &f) { f.SetStyle(fsUnderline); }, F::dfUnderline},
        {"colour", [](TFont &f) { f.SetColor(clWindowText); }, F::dfColor},
        {"name by case only", [](TFont &f) { f.SetName(u"ARIAL"_s); }, F::dfName},
        {"size", [](TFont &f) { f.SetSize(11); }, F::dfSize},
        {"charset and pitch are not tracked",
         [](TFont &f) {
             f.SetCharset(ANSI_CHARSET);
             f.SetPitch(fpFixed);
         },
         {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TKvCustomDeltaFont font;
        font.Assign(&editor);
        font.SetDeltaFlags(F::dfName | F::dfSize);
        c.change(font);
        font.ComputeDeltas(&editor);
        EXPECT_EQ(font.DeltaFlags(), c.expected);
    }
}

TEST_F(DeltaFontTest, WithoutABaseNothingIsComputedOrApplied)
{
    TKvCustomDeltaFont loose;
    loose.SetDeltaFlags(TKvCustomDeltaFont::dfName);
    loose.SetColor(clRed);
    loose.ComputeDeltas(nullptr);
    loose.ApplyBase(nullptr);
    EXPECT_EQ(loose.DeltaFlags(), TKvCustomDeltaFont::TDeltaFlags(TKvCustomDeltaFont::dfName));
    EXPECT_EQ(loose.Color(), clRed);
}

TEST_F(DeltaFontTest, AssignCarriesTheFlagsOfAnotherDeltaFont)
{
    TKvCustomDeltaFont source;
    source.Assign(&editor);
    source.SetName(u"Courier New"_s);
    source.SetDeltaFlags(TKvCustomDeltaFont::dfName);
    TKvCustomDeltaFont copy;
    copy.Assign(&source);
    EXPECT_EQ(copy.DeltaFlags(), source.DeltaFlags());
    EXPECT_EQ(copy, source);

    // A copy with a base recomputes against its own base.
    status.Assign(&source);
    EXPECT_EQ(status.DeltaFlags(), TKvCustomDeltaFont::TDeltaFlags(TKvCustomDeltaFont::dfName));
    EXPECT_THROW(status.Assign(nullptr), EAssignError);
}

} // namespace
