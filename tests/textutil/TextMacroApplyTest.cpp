// Applying a text macro to the selection of a rich-text buffer.

#include "QtPrinters.h"

#include "foundation/Exceptions.h"
#include "quillmarkdoc/QMException.h"
#include "quillmarkdoc/QMTextMacros.h"
#include "richtext/RichTextBuffer.h"
#include "textutil/QMTextMacroApply.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

// Three paragraphs; the selection runs from inside the first into the
// second, so the macro reaches two paragraphs and leaves the third alone.
class TextMacroApply : public ::testing::Test
{
protected:
    TextMacroApply()
    {
        buffer.SetPlainText(QStringLiteral("Alpha beta\rGamma delta\rEpsilon"));
        // The paragraphs start out with a bullet, indents and a tab stop,
        // so that a macro that switches them off is seen to do so.
        buffer.SelectAll();
        TParaAttributes start;
        start.numbering = TParaNumbering::Bullet;
        start.alignment = TParaAlignment::Right;
        start.leftIndent = 100;
        start.rightIndent = 200;
        start.firstIndent = 300;
        start.tabs = {1440};
        buffer.SetParaAttributes(start, TParaAttribute::All);
        original = buffer.ParaAttributes();
        buffer.SetSelection(6, 10); // "beta\rGamma"
    }

    TParaAttributes ParagraphAt(int offset)
    {
        buffer.SetSelection(offset, 0);
        return buffer.ParaAttributes();
    }

    TRichTextBuffer buffer;
    TParaAttributes original;
};

struct MacroCase
{
    const char *name;
    TColor color;
    const char *typeFace;
    int size;
    TFontStyles style;
    TAlignment alignment;
    bool bullet;
    int left, right, indent;
    QStringList tabs;
    // What the selection shows afterwards.
    QColor expectedColor;
    TParaAlignment expectedAlignment;
    QList<int> expectedTabs;
};

void PrintTo(const MacroCase &c, std::ostream *os)
{
    *os << c.name;
}

class TextMacroApplyCases : public TextMacroApply, public ::testing::WithParamInterface<MacroCase>
{
};

TEST_P(TextMacroApplyCases, SetsEveryCharacterAndParagraphAttribute)
{
    const MacroCase &c = GetParam();
    TQMTextMacro macro;
    macro.SetName(QString::fromLatin1(c.name));
    macro.SetColor(c.color);
    macro.SetTypeFace(QString::fromLatin1(c.typeFace));
    macro.SetSize(c.size);
    macro.SetStyle(c.style);
    macro.SetAlignment(c.alignment);
    macro.SetBullet(c.bullet);
    macro.SetLeftMargin(c.left);
    macro.SetRightMargin(c.right);
    macro.SetIndent(c.indent);
    macro.Tabs()->AssignStrings(c.tabs);
    // Stored but never applied.
    macro.SetUnknown1(77);
    macro.SetUnknown2(88);

    ApplyTextMacro(macro, buffer);

    EXPECT_EQ(6, buffer.SelStart());
    EXPECT_EQ(10, buffer.SelLength());
    const TTextAttributes chars = buffer.SelAttributes();
    EXPECT_EQ(c.expectedColor, chars.color);
    EXPECT_EQ(QString::fromLatin1(c.typeFace), chars.fontName);
    EXPECT_EQ(double(c.size), chars.size);
    EXPECT_EQ(c.style, chars.style);

    TParaAttributes expected = original;
    expected.numbering = c.bullet ? TParaNumbering::Bullet : TParaNumbering::None;
    expected.alignment = c.expectedAlignment;
    expected.leftIndent = c.left;
    expected.rightIndent = c.right;
    expected.firstIndent = c.indent;
    expected.tabs = c.expectedTabs;
    for (int offset : {0, 12}) {
        SCOPED_TRACE(offset);
        const TParaAttributes para = ParagraphAt(offset);
        EXPECT_EQ(expected.numbering, para.numbering);
        EXPECT_EQ(expected.alignment, para.alignment);
        EXPECT_EQ(expected.leftIndent, para.leftIndent);
        EXPECT_EQ(expected.rightIndent, para.rightIndent);
        EXPECT_EQ(expected.firstIndent, para.firstIndent);
        EXPECT_EQ(expected.tabs, para.tabs);
        EXPECT_EQ(expected.spaceBefore, para.spaceBefore);
        EXPECT_EQ(expected.spaceAfter, para.spaceAfter);
    }
    // The paragraph outside the selection keeps what it had.
    EXPECT_EQ(original, ParagraphAt(25));
}

INSTANTIATE_TEST_SUITE_P(Macros, TextMacroApplyCases,
                         ::testing::Values(MacroCase{"Note",
                                                     0x0000FF,
                                                     "Arial",
                                                     12,
                                                     TFontStyles(fsBold),
                                                     taLeftJustify,
                                                     true,
                                                     360,
                                                     720,
                                                     -180,
                                                     {QStringLiteral("720"), QStringLiteral("2880")},
                                                     QColor(255, 0, 0),
                                                     TParaAlignment::Left,
                                                     {720, 2880}},
                                           MacroCase{"Centred",
                                                     0x804020,
                                                     "Times New Roman",
                                                     9,
                                                     TFontStyles(fsItalic) | fsUnderline,
                                                     taCenter,
                                                     false,
                                                     0,
                                                     0,
                                                     0,
                                                     {},
                                                     QColor(0x20, 0x40, 0x80),
                                                     TParaAlignment::Center,
                                                     {}},
                                           MacroCase{"Right",
                                                     clWindowText,
                                                     "Courier New",
                                                     20,
                                                     TFontStyles(fsStrikeOut),
                                                     taRightJustify,
                                                     false,
                                                     1440,
                                                     0,
                                                     240,
                                                     {QStringLiteral("100")},
                                                     QColor(),
                                                     TParaAlignment::Right,
                                                     {100}}),
                         [](const ::testing::TestParamInfo<MacroCase> &info) {
                             return std::string(info.param.name);
                         });

TEST_F(TextMacroApply, SyntaxMacroIsRefusedAndChangesNothing)
{
    const QByteArray before = buffer.Rtf();
    TQMTextMacro macro;
    macro.SetName(QStringLiteral("__SQLCode"));
    macro.SetTypeFace(QStringLiteral("Courier New"));
    macro.SetSize(10);
    try {
        ApplyTextMacro(macro, buffer);
        ADD_FAILURE() << "a syntax macro was applied";
    } catch (const EQMException &e) {
        EXPECT_EQ(QStringLiteral("Feature disabled"), e.Message());
    }
    EXPECT_EQ(before, buffer.Rtf());
}

TEST_F(TextMacroApply, BadTabEntryRaisesAfterTheOtherAttributes)
{
    TQMTextMacro macro;
    macro.SetName(QStringLiteral("Broken tabs"));
    macro.SetTypeFace(QStringLiteral("Arial"));
    macro.SetSize(14);
    macro.SetLeftMargin(500);
    macro.SetAlignment(taCenter);
    macro.Tabs()->AssignStrings({QStringLiteral("360"), QStringLiteral("1.5")});
    try {
        ApplyTextMacro(macro, buffer);
        ADD_FAILURE() << "the bad tab entry was accepted";
    } catch (const EConvertError &e) {
        EXPECT_EQ(QStringLiteral("'1.5' is not a valid integer value"), e.Message());
    }
    const TTextAttributes chars = buffer.SelAttributes();
    EXPECT_EQ(QStringLiteral("Arial"), chars.fontName);
    EXPECT_EQ(14.0, chars.size);
    const TParaAttributes para = buffer.ParaAttributes();
    EXPECT_EQ(500, para.leftIndent);
    EXPECT_EQ(TParaAlignment::Center, para.alignment);
    EXPECT_EQ(TParaNumbering::None, para.numbering);
    // No half-applied set of tab stops.
    EXPECT_EQ(original.tabs, para.tabs);
}

} // namespace
