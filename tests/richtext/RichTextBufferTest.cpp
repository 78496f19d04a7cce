#include "richtext/RichTextBuffer.h"
#include "richtext/RtfWriter.h"

#include "QtPrinters.h"
#include "RtfTestSupport.h"

#include <QTextDocument>

#include <gtest/gtest.h>

using namespace RtfTest;

namespace {

// A document with every attribute the buffer offers, built through the buffer.
void BuildRichDocument(TRichTextBuffer &b)
{
    b.SetPlainText(QStringLiteral("Title {linkID=12} \\path\r"
                                  "caf\u00e9 \u20ac \u0416\u4e2d \U0001F600 tab\there\r"
                                  "first bullet\rsecond bullet\r"
                                  "centred\r"
                                  "numbered\r"
                                  "last"));
    const QString text = b.Text();
    auto select = [&](const QString &word) { b.SetSelection(int(text.indexOf(word)), int(word.size())); };
    select(QStringLiteral("Title"));
    b.SetSelStyle(fsBold | fsUnderline);
    b.SetSelSize(16);
    b.SetSelColor(QColor(0, 0, 255));
    select(QStringLiteral("{linkID=12}"));
    b.SetSelBackground(QColor(255, 255, 0));
    b.SetSelProtected(true);
    select(QStringLiteral("\\path"));
    b.SetSelFontName(QStringLiteral("Courier New"));
    b.SetSelStyle(fsItalic | fsStrikeOut);
    select(QStringLiteral("\u0416\u4e2d"));
    b.SetSelFontName(QStringLiteral("Times New Roman"));
    TTextAttributes hidden;
    hidden.hidden = true;
    select(QStringLiteral("tab"));
    b.SetSelAttributes(hidden, TTextAttribute::Hidden);

    TParaAttributes bullet;
    bullet.numbering = TParaNumbering::Bullet;
    bullet.firstIndent = -360;
    bullet.leftIndent = 720;
    b.SetSelection(b.LineStart(2), b.LineStart(3) + 1 - b.LineStart(2));
    b.SetParaAttributes(bullet,
                        TParaAttribute::Numbering | TParaAttribute::FirstIndent | TParaAttribute::LeftIndent);
    TParaAttributes centred;
    centred.alignment = TParaAlignment::Center;
    centred.spaceBefore = 120;
    centred.spaceAfter = 240;
    centred.rightIndent = 300;
    centred.tabs = {720, 1440};
    b.SetSelection(b.LineStart(4), 0);
    b.SetParaAttributes(centred, TParaAttribute::All & ~TParaAttributeSet(TParaAttribute::Numbering));
    TParaAttributes numbered;
    numbered.numbering = TParaNumbering::Decimal;
    b.SetSelection(b.LineStart(5), 0);
    b.SetParaAttributes(numbered, TParaAttribute::Numbering);
}

void ExpectSameContent(TRichTextBuffer &a, TRichTextBuffer &b)
{
    ASSERT_EQ(a.Text(), b.Text());
    for (int i = 0; i < a.Length(); ++i) {
        if (a.Text().at(i) == u'\r')
            continue;
        SCOPED_TRACE(i);
        EXPECT_EQ(AttributesAt(a, i), AttributesAt(b, i));
    }
    ASSERT_EQ(a.LineCount(), b.LineCount());
    for (int line = 0; line < a.LineCount(); ++line) {
        SCOPED_TRACE(line);
        EXPECT_EQ(ParaAt(a, line), ParaAt(b, line));
    }
}

TEST(RichTextRoundTrip, BuiltDocumentSurvivesWriteAndRead)
{
    TRichTextBuffer built;
    BuildRichDocument(built);
    // The build really applied what is compared below.
    EXPECT_TRUE(AttributesAt(built, 0).style.testFlag(fsBold));
    EXPECT_EQ(ParaAt(built, 2).numbering, TParaNumbering::Bullet);
    EXPECT_EQ(ParaAt(built, 5).numbering, TParaNumbering::Decimal);

    const QByteArray rtf = built.Rtf();
    TRichTextBuffer read;
    EXPECT_EQ(read.LoadRtf(QByteArrayView(rtf)), QStringList());
    ExpectSameContent(built, read);
    EXPECT_EQ(read.Rtf(), rtf);

    // Through the lines a topic keeps, and as one string, too.
    TRichTextBuffer fromLines;
    fromLines.LoadLines(built.RtfLines());
    EXPECT_EQ(fromLines.Rtf(), rtf);
    TRichTextBuffer fromString;
    fromString.LoadRtf(QStringView(built.RtfString()));
    EXPECT_EQ(fromString.Rtf(), rtf);
}

TEST(RichTextRoundTrip, WriterOutputHasTheControlsShape)
{
    TRichTextBuffer built;
    BuildRichDocument(built);
    const QStringList lines = built.RtfLines();
    ASSERT_GE(lines.size(), 3);
    EXPECT_TRUE(
        lines[0].startsWith(QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0")));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("{\\colortbl ;")));
    EXPECT_TRUE(lines[1].contains(QStringLiteral("\\viewkind4\\uc1\\pard")));
    // One line per paragraph, each ending in \par, and the closing brace alone.
    EXPECT_EQ(lines.size(), built.LineCount() + 2);
    for (int i = 1; i + 1 < lines.size(); ++i)
        EXPECT_TRUE(lines[i].endsWith(QStringLiteral("\\par"))) << lines[i].toStdString();
    EXPECT_EQ(lines.last(), QStringLiteral("}"));
    const QByteArray rtf = built.Rtf();
    EXPECT_TRUE(rtf.contains("\\{linkID=12\\}"));
    EXPECT_TRUE(rtf.contains("\\\\path"));
    EXPECT_TRUE(rtf.contains("caf\\'e9 \\'80"));
    EXPECT_TRUE(rtf.contains("\\u1046?\\u20013?"));
    EXPECT_TRUE(rtf.contains("\\u-10179?\\u-8704?"));
    EXPECT_TRUE(rtf.contains("\\tab"));
    for (char c : rtf)
        EXPECT_LT(static_cast<unsigned char>(c), 0x80);
}

TEST(RichTextRoundTrip, WritingWhatWasReadIsAFixedPointAfterOnePass)
{
    const QByteArray inputs[] = {
        Wrap(
            "\\b bold {\\i nested} \\f1\\'c8\\f3\\'82\\'a0 \\plain\\fs15 x\\par\\qc\\li200 c\\par\\pard end"),
        Wrap("{\\pntext\\f2\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf2{\\pntxtb\\'B7}}a\\par "
             "b\\par\\pard\\tqr\\tx500 c"),
        Wrap("\\ul u\\uld d\\ulwave w\\ulnone\\super s\\sub b\\nosupersub\\v h\\v0\\protect p\\par"),
        "{\\rtf1 plain}",
        "{\\rtf1{\\fonttbl{\\f0 Ar\til;}}\\f0 control characters in a font name}",
        "not rtf at all",
    };
    for (const QByteArray &input : inputs) {
        SCOPED_TRACE(input.constData());
        TRichTextBuffer first;
        first.LoadRtf(QByteArrayView(input));
        const QByteArray once = first.Rtf();
        TRichTextBuffer second;
        second.LoadRtf(QByteArrayView(once));
        EXPECT_EQ(second.Rtf(), once);
        ExpectSameContent(first, second);
    }
}

TEST(RichTextBuffer, OffsetsCountAParagraphBreakAsOneCharacter)
{
    TRichTextBuffer b;
    b.SetPlainText(QStringLiteral("ab\r\ncd\nef\rg"));
    EXPECT_EQ(b.Text(), QStringLiteral("ab\rcd\ref\rg"));
    EXPECT_EQ(b.TextCrLf(), QStringLiteral("ab\r\ncd\r\nef\r\ng"));
    EXPECT_EQ(b.Length(), 10);
    EXPECT_EQ(b.LineCount(), 4);
    EXPECT_EQ(b.Line(2), QStringLiteral("ef"));
    EXPECT_EQ(b.LineStart(0), 0);
    EXPECT_EQ(b.LineStart(1), 3);
    EXPECT_EQ(b.LineStart(3), 9);
    EXPECT_EQ(b.LineStart(4), -1);
    EXPECT_EQ(b.LineOfOffset(2), 0); // the break belongs to its line
    EXPECT_EQ(b.LineOfOffset(3), 1);
    EXPECT_EQ(b.LineOfOffset(99), 3);
    b.SetSelection(1, 4);
    EXPECT_EQ(b.SelText(), QStringLiteral("b\rcd"));
    b.SetSelection(8, 100);
    EXPECT_EQ(b.SelStart(), 8);
    EXPECT_EQ(b.SelLength(), 2);
    b.SetSelection(-5, 2);
    EXPECT_EQ(b.SelStart(), 0);
    EXPECT_EQ(b.SelLength(), 2);
}

struct TFindCase
{
    const char *name;
    const char16_t *what;
    int start, end;
    TFindOptions options;
    int expected;
};

TEST(RichTextBuffer, FindsOverARange)
{
    TRichTextBuffer b;
    b.SetPlainText(QStringLiteral("Description: the describe method\rDESCRIPTION again_description"));
    const TFindOptions none;
    const TFindCase cases[] = {
        {"first match", u"descri", 0, -1, none, 0},
        {"match case", u"descri", 0, -1, TFindOption::MatchCase, 17},
        {"whole word skips longer words", u"description", 1, -1, TFindOption::WholeWord, 33},
        {"whole word and case", u"description", 0, -1, TFindOption::WholeWord | TFindOption::MatchCase, -1},
        {"underscore joins words", u"again", 0, -1, TFindOption::WholeWord, -1},
        {"match must end inside the range", u"method", 0, 30, none, -1},
        {"range start", u"the", 14, -1, none, -1},
        {"across a paragraph break", u"method\rDESC", 0, -1, none, 26},
        {"empty text", u"", 0, -1, none, -1},
    };
    for (const TFindCase &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(b.Find(QString::fromUtf16(c.what), c.start, c.end, c.options), c.expected);
    }
}

TEST(RichTextBuffer, SelectionAsRtfCarriesItsFormatting)
{
    TRichTextBuffer source;
    source.LoadRtf(
        QByteArrayView(Wrap("plain \\b\\cf1 bold\\b0\\cf0  tail\\par\\qc centred\\par\\pard last")));
    TRichTextBuffer target;
    target.LoadRtf(QByteArrayView(Wrap("AB\\par CD")));

    // Part of a paragraph goes into the middle of another.
    source.SetSelection(6, 4);
    target.SetSelection(1, 0);
    target.SetSelRtf(QByteArrayView(source.SelRtf()));
    EXPECT_EQ(target.Text(), QStringLiteral("AboldB\rCD"));
    EXPECT_EQ(target.SelStart(), 5); // the caret stands after the inserted range
    EXPECT_EQ(target.SelLength(), 0);
    EXPECT_EQ(AttributesAt(target, 1).style, TFontStyles(fsBold));
    EXPECT_EQ(AttributesAt(target, 1).color, QColor(255, 0, 0));
    EXPECT_EQ(AttributesAt(target, 5).style, TFontStyles());

    // A whole paragraph with its break brings its paragraph format.
    source.SetSelection(source.LineStart(1), source.Line(1).size() + 1);
    target.SetSelection(target.LineStart(1), 0);
    target.SetSelRtf(QByteArrayView(source.SelRtf()));
    EXPECT_EQ(target.Text(), QStringLiteral("AboldB\rcentred\rCD"));
    EXPECT_EQ(ParaAt(target, 1).alignment, TParaAlignment::Center);
    EXPECT_EQ(ParaAt(target, 2).alignment, TParaAlignment::Left);

    // Replacing a selection removes it first.
    target.SetSelection(0, 6);
    target.SetSelRtf(QByteArrayView("{\\rtf1 \\i new}"));
    EXPECT_EQ(target.Text(), QStringLiteral("new\rcentred\rCD"));
    EXPECT_TRUE(AttributesAt(target, 0).style.testFlag(fsItalic));
}

TEST(RichTextBuffer, AttributesOfAnEmptySelectionApplyToTyping)
{
    TRichTextBuffer b;
    b.SetPlainText(QStringLiteral("ab"));
    b.SetSelection(1, 0);
    b.SetSelStyle(fsBold);
    b.SetSelText(QStringLiteral("X"));
    EXPECT_EQ(b.Text(), QStringLiteral("aXb"));
    EXPECT_TRUE(AttributesAt(b, 1).style.testFlag(fsBold));
    EXPECT_FALSE(AttributesAt(b, 2).style.testFlag(fsBold));
}

TEST(RichTextBuffer, ChangingTheFontDropsTheOldCharacterSet)
{
    TRichTextBuffer b;
    b.LoadRtf(QByteArrayView(Wrap("\\f1 \\'c8")));
    b.SelectAll();
    b.SetSelFontName(QStringLiteral("Arial"));
    const QByteArray rtf = b.Rtf();
    EXPECT_FALSE(rtf.contains("fcharset204")) << rtf.constData();
    TRichTextBuffer again;
    again.LoadRtf(QByteArrayView(rtf));
    EXPECT_EQ(again.Text(), QStringLiteral("\u0418"));
}

TEST(RichTextBuffer, ModifiedAndReadOnlyFlags)
{
    TRichTextBuffer b;
    b.LoadRtf(QByteArrayView("{\\rtf1 text}"));
    EXPECT_FALSE(b.Modified());
    b.SetSelection(0, 1);
    b.SelAttributes();
    b.SelRtf();
    EXPECT_FALSE(b.Modified());
    int notified = 0;
    b.OnReadOnlyChange = [&] { ++notified; };
    b.SetReadOnly(true);
    b.SetReadOnly(true);
    EXPECT_EQ(notified, 1);
    // Read-only blocks the user, not the buffer's operations.
    b.SetSelText(QStringLiteral("T"));
    EXPECT_EQ(b.Text(), QStringLiteral("Text"));
    EXPECT_TRUE(b.Modified());
    b.SetModified(false);
    b.SetSelection(0, 1);
    b.SetSelColor(QColor(1, 2, 3));
    EXPECT_TRUE(b.Modified());
    b.LoadRtf(QByteArrayView("{\\rtf1 again}"));
    EXPECT_FALSE(b.Modified());
}

TEST(RichTextBuffer, ClearingAParagraphAttributeRemovesTheBullet)
{
    TRichTextBuffer b;
    b.LoadRtf(QByteArrayView(
        Wrap("{\\pntext\\f2\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf2{\\pntxtb\\'B7}}\\li720 a\\par\\pard b")));
    b.SetSelection(0, 0);
    TParaAttributes none;
    b.SetParaAttributes(none, TParaAttribute::Numbering);
    const TParaAttributes p = ParaAt(b, 0);
    EXPECT_EQ(p.numbering, TParaNumbering::None);
    EXPECT_EQ(p.leftIndent, 720);
    EXPECT_FALSE(b.Rtf().contains("pntext"));
}

} // namespace
