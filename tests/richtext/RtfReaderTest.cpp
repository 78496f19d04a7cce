#include "richtext/RtfReader.h"
#include "richtext/RichTextBuffer.h"
#include "richtext/RichTextStrings.h"
#include "richtext/RtfFormat.h"
#include "richtext/RtfWriter.h"

#include "QtPrinters.h"
#include "RtfTestSupport.h"

#include <QTextDocument>
#include <QTextList>

#include <gtest/gtest.h>

#include <functional>

using namespace RtfTest;

namespace {

QString ReadText(const QByteArray &rtf, QStringList *messages = nullptr)
{
    TRichTextBuffer buffer;
    const QStringList m = buffer.LoadRtf(QByteArrayView(rtf));
    if (messages)
        *messages = m;
    return buffer.Text();
}

TEST(RtfReader, DefaultTopicTextReadsAsTitleAndEmptyLine)
{
    // The two lines a new topic starts with.
    const QStringList lines{
        QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil "
                       "Arial;}{\\f1\\fnil\\fcharset0 "
                       "Arial;}}"),
        QStringLiteral("{\\colortbl ;\\red0\\green0\\blue255;}\\viewkind4\\uc1\\pard\\cf1\\b\\f0\\fs32 <new "
                       "topic>\\cf0\\b0\\fs20\\par\\par }")};
    TRichTextBuffer buffer;
    EXPECT_EQ(buffer.LoadLines(lines), QStringList());
    EXPECT_EQ(buffer.Text(), QStringLiteral("<new topic>\r"));
    EXPECT_EQ(buffer.LineCount(), 2);
    EXPECT_FALSE(buffer.Modified());

    const TTextAttributes title = AttributesAt(buffer, 0);
    EXPECT_EQ(title.fontName, QStringLiteral("Arial"));
    EXPECT_EQ(title.size, 16.0);
    EXPECT_EQ(title.color, QColor(0, 0, 255));
    EXPECT_EQ(title.style, TFontStyles(fsBold));

    // The empty line after the title has the body format of \cf0\b0\fs20.
    buffer.SetSelection(buffer.LineStart(1), 0);
    const TTextAttributes body = buffer.SelAttributes();
    EXPECT_EQ(body.size, 10.0);
    EXPECT_FALSE(body.color.isValid());
    EXPECT_EQ(body.style, TFontStyles());

    EXPECT_EQ(
        buffer.RtfLines(),
        (QStringList{
            QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil Arial;}}"),
            QStringLiteral("{\\colortbl ;\\red0\\green0\\blue255;}\\viewkind4\\uc1\\pard\\cf1\\b\\f0\\fs32 "
                           "<new topic>\\cf0\\b0\\fs20\\par"),
            QStringLiteral("\\par"), QStringLiteral("}")}));
}

struct TTextCase
{
    const char *name;
    const char *body;
    const char16_t *text;
};

const TTextCase g_textCases[] = {
    {"escapes", "a\\\\b \\{linkID=12\\}c", u"a\\b {linkID=12}c"},
    {"paragraphs and line breaks", "one\\par two\\line three\\tab four", u"one\rtwo\u2028three\tfour"},
    {"backslash newline is a paragraph", "one\\\ntwo", u"one\rtwo"},
    {"source line ends are not text", "one\r\ntwo\n three", u"onetwo three"},
    {"ANSI escape", "caf\\'e9 \\'80", u"caf\u00e9 \u20ac"},
    {"undefined ANSI bytes survive", "\\'81\\'8d\\'8f\\'90\\'9d", u"\u0081\u008d\u008f\u0090\u009d"},
    {"the font's character set decides the code page", "\\f1\\'c8\\'ec\\'ff \\f0\\'c8",
     u"\u0418\u043c\u044f \u00c8"},
    {"double-byte code page", "\\f3\\'82\\'a0\\'82\\'a2 x", u"\u3042\u3044 x"},
    {"unicode with fallback", "\\u268?x \\u8364\\'80y", u"\u010cx \u20acy"},
    {"negative unicode", "\\u-3913?", u"\uf0b7"},
    {"uc2 skips two fallback characters", "{\\uc2\\u228\\'E8a}b", u"\u00e4b"},
    {"uc0 has no fallback", "{\\uc0\\u8226 x}", u"\u2022x"},
    {"a fallback brace escape is skipped, not a group", "\\u381\\'7d", u"\u017d"},
    {"fallback control word counts as one", "\\u269\\'0dek", u"\u010dek"},
    {"fallback ends at a group end", "{\\uc3\\u233 a}bc", u"\u00e9bc"},
    {"surrogate pair", "\\u-10179?\\u-9047?", u"\U0001F4A9"},
    {"special characters", "\\~\\-\\_\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote",
     u"\u00a0\u00ad\u2011\u2014\u2013\u2022\u2018\u2019\u201c\u201d"},
    {"ignorable destination", "{\\*\\unknowndest hidden text}shown", u"shown"},
    {"unknown word", "\\foo12 \\bar text", u"text"},
    {"document destinations",
     "{\\info{\\title T}{\\author A}}{\\stylesheet{\\s1 Normal;}}{\\*\\generator G;}x", u"x"},
    {"header and footer", "{\\header H}{\\footerr F}body", u"body"},
    {"bullet text is not content", "{\\pntext\\f2\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf2{\\pntxtb\\'B7}}Item",
     u"Item"},
    {"list text is not content", "{\\listtext\\f2\\'b7\\tab}\\ls1 Item", u"Item"},
    {"field result is the text", "{\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt link}} after",
     u"link after"},
    {"binary data is skipped", "{\\*\\shprslt\\bin9 }{\\par x}}y", u"y"},
    {"bookmarks", "{\\*\\bkmkstart b}mark{\\*\\bkmkend b}", u"mark"},
    {"parameter directly followed by text", "\\highlight0Normal", u"Normal"},
    {"literal tab", "a\tb", u"a\tb"},
    {"raw bytes decode like escapes", "\xe9t\xe9", u"\u00e9t\u00e9"},
};

TEST(RtfReader, ReadsTheTextOfEachConstruct)
{
    for (const TTextCase &c : g_textCases) {
        SCOPED_TRACE(c.name);
        QStringList messages;
        EXPECT_EQ(ReadText(Wrap(c.body), &messages), QString::fromUtf16(c.text));
        EXPECT_EQ(messages, QStringList());
    }
}

TEST(RtfReader, DocumentCodePageAppliesToFontsWithoutCharacterSet)
{
    EXPECT_EQ(ReadText("{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0 Arial;}}\\f0 \\'c8\\'ec\\'ff}"),
              QStringLiteral("\u0418\u043c\u044f"));
    EXPECT_EQ(ReadText("{\\rtf1\\pc \\'f1\\'f2\\'f3}"), QStringLiteral("\u00b1\u2265\u2264"));
    // An unknown code page, and none at all, read as Windows-1252.
    EXPECT_EQ(ReadText("{\\rtf1\\ansi\\ansicpg0 \\'e9}"), QStringLiteral("\u00e9"));
    EXPECT_EQ(ReadText("{\\rtf1\\ansi\\ansicpg77777 \\'e9}"), QStringLiteral("\u00e9"));
}

struct TFormatCase
{
    const char *name;
    const char *body; // the character at offset 1 is checked
    std::function<void(const TTextAttributes &, const QTextCharFormat &)> check;
};

const TFormatCase g_formatCases[] = {
    {"bold", "a\\b b\\b0 c", [](auto &a, auto &) { EXPECT_EQ(a.style, TFontStyles(fsBold)); }},
    {"italic", "a\\i b", [](auto &a, auto &) { EXPECT_EQ(a.style, TFontStyles(fsItalic)); }},
    {"underline", "a\\ul b", [](auto &a, auto &) { EXPECT_EQ(a.style, TFontStyles(fsUnderline)); }},
    {"ulnone ends underline", "\\ul a\\ulnone b", [](auto &a, auto &) { EXPECT_EQ(a.style, TFontStyles()); }},
    {"strike", "a\\strike b", [](auto &a, auto &) { EXPECT_EQ(a.style, TFontStyles(fsStrikeOut)); }},
    {"group restores", "{\\b a}b", [](auto &a, auto &) { EXPECT_EQ(a.style, TFontStyles()); }},
    {"plain resets", "\\b\\i\\cf1\\fs40 a\\plain b",
     [](auto &a, auto &) {
         EXPECT_EQ(a.style, TFontStyles());
         EXPECT_FALSE(a.color.isValid());
         EXPECT_EQ(a.size, 12.0);
         EXPECT_EQ(a.fontName, QStringLiteral("Arial"));
     }},
    {"colour", "a\\cf1 b", [](auto &a, auto &) { EXPECT_EQ(a.color, QColor(255, 0, 0)); }},
    {"cf0 is automatic", "\\cf2 a\\cf0 b", [](auto &a, auto &) { EXPECT_FALSE(a.color.isValid()); }},
    {"highlight", "a\\highlight2 b", [](auto &a, auto &) { EXPECT_EQ(a.background, QColor(0, 0, 255)); }},
    {"cb", "a\\cb1 b", [](auto &a, auto &) { EXPECT_EQ(a.background, QColor(255, 0, 0)); }},
    {"colour out of range is automatic", "a\\cf99 b",
     [](auto &a, auto &) { EXPECT_FALSE(a.color.isValid()); }},
    {"font", "a\\f1 b", [](auto &a, auto &) { EXPECT_EQ(a.fontName, QStringLiteral("Times")); }},
    {"size", "a\\fs17 b", [](auto &a, auto &) { EXPECT_EQ(a.size, 8.5); }},
    {"superscript", "a\\super b",
     [](auto &, auto &f) { EXPECT_EQ(f.verticalAlignment(), QTextCharFormat::AlignSuperScript); }},
    {"subscript", "a\\sub b",
     [](auto &, auto &f) { EXPECT_EQ(f.verticalAlignment(), QTextCharFormat::AlignSubScript); }},
    {"nosupersub", "\\super a\\nosupersub b",
     [](auto &, auto &f) { EXPECT_EQ(f.verticalAlignment(), QTextCharFormat::AlignNormal); }},
    {"hidden", "a\\v b", [](auto &a, auto &) { EXPECT_TRUE(a.hidden); }},
    {"protected", "a\\protect b", [](auto &a, auto &) { EXPECT_TRUE(a.protectedText); }},
    {"protect0", "\\protect a\\protect0 b", [](auto &a, auto &) { EXPECT_FALSE(a.protectedText); }},
    {"double underline", "a\\uldb b",
     [](auto &a, auto &f) {
         EXPECT_EQ(a.style, TFontStyles(fsUnderline));
         EXPECT_TRUE(f.boolProperty(RtfFormat::PropDoubleUnderline));
     }},
    {"a later font table does not redefine the fonts", "a{\\*{\\fonttbl{\\f0 Other;}}}b",
     [](auto &a, auto &) { EXPECT_EQ(a.fontName, QStringLiteral("Arial")); }},
    {"font character set is kept", "a\\f1 b",
     [](auto &, auto &f) {
         EXPECT_EQ(f.intProperty(RtfFormat::PropFontCharset), 204);
         EXPECT_EQ(f.stringProperty(RtfFormat::PropFontKind), QStringLiteral("roman"));
     }},
};

TEST(RtfReader, ReadsCharacterFormats)
{
    for (const TFormatCase &c : g_formatCases) {
        SCOPED_TRACE(c.name);
        TRichTextBuffer buffer;
        buffer.LoadRtf(QByteArrayView(Wrap(c.body)));
        ASSERT_GE(buffer.Length(), 2);
        c.check(AttributesAt(buffer, 1), FormatAt(*buffer.Document(), 1));
    }
}

struct TParaCase
{
    const char *name;
    const char *body; // the first paragraph is checked
    TParaAttributes expected;
};

TParaAttributes Para(TParaAlignment align, int first, int left, int right, int before, int after,
                     TParaNumbering numbering, QList<int> tabs)
{
    return TParaAttributes{align, first, left, right, before, after, numbering, tabs};
}

const TParaCase g_paraCases[] = {
    {"defaults", "a\\par", Para(TParaAlignment::Left, 0, 0, 0, 0, 0, TParaNumbering::None, {})},
    {"centred", "\\qc a\\par", Para(TParaAlignment::Center, 0, 0, 0, 0, 0, TParaNumbering::None, {})},
    {"right", "\\qr a\\par", Para(TParaAlignment::Right, 0, 0, 0, 0, 0, TParaNumbering::None, {})},
    {"justified", "\\qj a\\par", Para(TParaAlignment::Justify, 0, 0, 0, 0, 0, TParaNumbering::None, {})},
    {"indents and spacing", "\\fi-360\\li720\\ri100\\sb60\\sa200 a\\par",
     Para(TParaAlignment::Left, -360, 720, 100, 60, 200, TParaNumbering::None, {})},
    {"tabs", "\\tx720\\tqr\\tx2880 a\\par",
     Para(TParaAlignment::Left, 0, 0, 0, 0, 0, TParaNumbering::None, {720, 2880})},
    {"paragraph format is the one in force at \\par", "a\\qc\\par",
     Para(TParaAlignment::Center, 0, 0, 0, 0, 0, TParaNumbering::None, {})},
    {"pard resets", "\\qc\\li100\\pard a\\par",
     Para(TParaAlignment::Left, 0, 0, 0, 0, 0, TParaNumbering::None, {})},
    {"bullet",
     "{\\pntext\\f2\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf2\\pnindent0{\\pntxtb\\'B7}}\\fi-360\\li720 a\\par",
     Para(TParaAlignment::Left, -360, 720, 0, 0, 0, TParaNumbering::Bullet, {})},
    {"numbered", "{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pnstart1\\pndec{\\pntxta .}}a\\par",
     Para(TParaAlignment::Left, 0, 0, 0, 0, 0, TParaNumbering::Decimal, {})},
    {"Word list", "{\\listtext\\'b7\\tab}\\ls1\\ilvl0 a\\par",
     Para(TParaAlignment::Left, 0, 0, 0, 0, 0, TParaNumbering::Bullet, {})},
};

TEST(RtfReader, ReadsParagraphFormats)
{
    for (const TParaCase &c : g_paraCases) {
        SCOPED_TRACE(c.name);
        TRichTextBuffer buffer;
        buffer.LoadRtf(QByteArrayView(Wrap(c.body)));
        EXPECT_EQ(buffer.Line(0), QStringLiteral("a"));
        const TParaAttributes p = ParaAt(buffer, 0);
        EXPECT_EQ(p.alignment, c.expected.alignment);
        EXPECT_EQ(p.firstIndent, c.expected.firstIndent);
        EXPECT_EQ(p.leftIndent, c.expected.leftIndent);
        EXPECT_EQ(p.rightIndent, c.expected.rightIndent);
        EXPECT_EQ(p.spaceBefore, c.expected.spaceBefore);
        EXPECT_EQ(p.spaceAfter, c.expected.spaceAfter);
        EXPECT_EQ(p.numbering, c.expected.numbering);
        EXPECT_EQ(p.tabs, c.expected.tabs);
    }
}

TEST(RtfReader, ConsecutiveBulletParagraphsFormOneList)
{
    TRichTextBuffer buffer;
    buffer.LoadRtf(
        QByteArrayView(Wrap("{\\pntext\\f2\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf2{\\pntxtb\\'B7}}one\\par"
                            "{\\pntext\\f2\\'B7\\tab}two\\par\\pard three\\par")));
    ASSERT_EQ(buffer.LineCount(), 3);
    const QTextDocument &doc = *buffer.Document();
    ASSERT_NE(doc.findBlockByNumber(0).textList(), nullptr);
    EXPECT_EQ(doc.findBlockByNumber(0).textList(), doc.findBlockByNumber(1).textList());
    EXPECT_EQ(doc.findBlockByNumber(2).textList(), nullptr);
}

TEST(RtfReader, FinalParagraphMarkEndsTheLastParagraph)
{
    EXPECT_EQ(ReadText("{\\rtf1 Hello world!\\par}"), QStringLiteral("Hello world!"));
    EXPECT_EQ(ReadText("{\\rtf1 a\\par\r\n}\r\n"), QStringLiteral("a"));
    EXPECT_EQ(ReadText("{\\rtf1 a\\par\\par}"), QStringLiteral("a\r"));
    EXPECT_EQ(ReadText("{\\rtf1 a\\par dania!}"), QStringLiteral("a\rdania!"));
}

TEST(RtfReader, PngPictureBecomesAnImage)
{
    // A 1x1 PNG.
    const QByteArray png = QByteArray::fromBase64(
        "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8DwHwAFBQIAX8jx0gAAAABJRU5ErkJggg==");
    const QByteArray rtf =
        Wrap("a{\\pict\\pngblip\\picw1\\pich1\\picwgoal300\\pichgoal150 " + png.toHex() + "}b");
    TRichTextBuffer buffer;
    EXPECT_EQ(buffer.LoadRtf(QByteArrayView(rtf)), QStringList());
    EXPECT_EQ(buffer.Text(), QStringLiteral("a\ufffcb"));
    const QTextCharFormat format = FormatAt(*buffer.Document(), 1);
    ASSERT_TRUE(format.isImageFormat());
    EXPECT_EQ(format.toImageFormat().width(), 20.0);
    EXPECT_EQ(format.toImageFormat().height(), 10.0);
    const QVariant image =
        buffer.Document()->resource(QTextDocument::ImageResource, QUrl(format.toImageFormat().name()));
    EXPECT_EQ(image.value<QImage>().size(), QSize(1, 1));
}

struct TVerbatimCase
{
    const char *name;
    const char *group; // kept byte for byte
    const char16_t *text;
};

const TVerbatimCase g_verbatimCases[] = {
    {"metafile picture", "{\\pict\\wmetafile8\\picw100\\pich100 0100090000}", u"a\ufffcb"},
    {"embedded object",
     "{\\object\\objemb{\\*\\objclass Paint}{\\*\\objdata 0102}{\\result{\\pict\\emfblip 01}}}", u"a\ufffcb"},
    {"footnote", "{\\footnote\\pard\\plain note text\\par}", u"a\ufffcb"},
    {"field without result", "{\\field{\\*\\fldinst PAGE}}", u"a\ufffcb"},
    {"field whose result is a field without result",
     "{\\field{\\*\\fldinst HYPERLINK \"#t\"}{\\fldrslt{\\field{\\*\\fldinst PAGEREF t}}}}", u"a\ufffcb"},
    {"picture that does not decode", "{\\pict\\pngblip 0102030405}", u"a\ufffcb"},
};

TEST(RtfReader, GroupsItCannotShowAreKeptVerbatim)
{
    for (const TVerbatimCase &c : g_verbatimCases) {
        SCOPED_TRACE(c.name);
        TRichTextBuffer buffer;
        buffer.LoadRtf(QByteArrayView(Wrap(QByteArray("a") + c.group + "b")));
        EXPECT_EQ(buffer.Text(), QString::fromUtf16(c.text));
        // Editing elsewhere and writing back keeps the group.
        buffer.SetSelection(buffer.Length(), 0);
        buffer.SetSelText(QStringLiteral(" more"));
        const QByteArray written = buffer.Rtf();
        EXPECT_TRUE(written.contains(c.group)) << written.constData();
        TRichTextBuffer again;
        again.LoadRtf(QByteArrayView(written));
        EXPECT_EQ(again.Rtf(), written);
    }
}

TEST(RtfReader, FieldInstructionIsWrittenBackAroundItsResult)
{
    const QByteArray field =
        "{\\field{\\*\\fldinst{HYPERLINK \"http://example.invalid/\"}}{\\fldrslt{\\ul\\cf2 "
        "link}}}";
    TRichTextBuffer buffer;
    buffer.LoadRtf(QByteArrayView(Wrap("see " + field + " here")));
    EXPECT_EQ(buffer.Text(), QStringLiteral("see link here"));
    const QByteArray written = buffer.Rtf();
    EXPECT_TRUE(written.contains("{\\field{\\*\\fldinst{HYPERLINK \"http://example.invalid/\"}}{\\fldrslt"))
        << written.constData();
    TRichTextBuffer again;
    again.LoadRtf(QByteArrayView(written));
    EXPECT_EQ(again.Text(), QStringLiteral("see link here"));
    EXPECT_EQ(again.Rtf(), written);
    EXPECT_TRUE(AttributesAt(again, 5).style.testFlag(fsUnderline));
    EXPECT_FALSE(AttributesAt(again, 10).style.testFlag(fsUnderline));
}

struct TBadCase
{
    const char *name;
    QByteArray input;
    QString text;    // expected text, or null to only require a clean read
    QString message; // a message the reader must report, or empty for none
};

QByteArray Nested(int depth, const char *inner)
{
    return "{\\rtf1 " + QByteArray(depth, '{') + inner + QByteArray(depth, '}') + "}";
}

TEST(RtfReader, MalformedInputReadsAsFarAsItCan)
{
    const TBadCase cases[] = {
        {"groups left open", "{\\rtf1 a{\\b b", QStringLiteral("ab"),
         RichTextStrings::MissingCloseBraces().arg(2)},
        {"extra closing brace", "{\\rtf1 a}}b}", QStringLiteral("ab"),
         RichTextStrings::ExtraCloseBraces().arg(2)},
        {"no rtf header", "{\\b bold}", QStringLiteral("bold"), RichTextStrings::MissingRtfHeader()},
        {"rtf without version", "{\\rtf\\ansi x}", QStringLiteral("x"), QString()},
        {"junk before the header", "junk{\\rtf1 x}", QStringLiteral("x"), RichTextStrings::TextBeforeRtf()},
        {"huge parameters", "{\\rtf1\\fs99999999999999\\li-2147483649\\uc999999999\\u99999999 x\\f-5 y}",
         QString(), QString()},
        {"negative font size keeps the size", "{\\rtf1\\fs-20 x}", QStringLiteral("x"), QString()},
        {"bin runs past the end", "{\\rtf1 a\\bin999999 xyz", QStringLiteral("a"),
         RichTextStrings::TruncatedBinary()},
        {"escape at the end", "{\\rtf1 a\\'", QStringLiteral("a"), RichTextStrings::TruncatedEscape().arg(8)},
        {"backslash at the end", "{\\rtf1 a\\", QStringLiteral("a"),
         RichTextStrings::TruncatedEscape().arg(8)},
        {"invalid hex digit", "{\\rtf1 x\\u345\\'3?x}", QStringLiteral("x\u0159x"),
         RichTextStrings::InvalidHexEscape().arg(13)},
        {"invalid hex digit in a field kept whole", "{\\rtf1 a{\\field\\'}b}", QStringLiteral("a\ufffcb"),
         RichTextStrings::InvalidHexEscape().arg(15)},
        {"invalid hex digits in a group before its object word", "{\\rtf1 a{{\\'\\'4}\\object x}b}",
         QStringLiteral("a\ufffcb"), RichTextStrings::InvalidHexEscape().arg(10)},
        {"numbering texts with a tab and a line break",
         "{\\rtf1{\\pn\\pnlvl0{\\pntxtb\t}{\\pntxta\\u8232?}}x}", QStringLiteral("x"), QString()},
        {"invalid code page", "{\\rtf1\\ansi\\ansicpg-5{\\fonttbl{\\f0\\cpg999999 A;}}\\f0 \\'e9}",
         QStringLiteral("\u00e9"), QString()},
        {"deep nesting within the limit", Nested(3000, "deep"), QStringLiteral("deep"), QString()},
        {"nesting beyond the limit", Nested(200000, "lost"), QStringLiteral(""),
         RichTextStrings::NestedTooDeep().arg(TRtfReader::MaxDepth)},
        {"kept group ends inside its binary data", "{\\rtf1 a{\\object x\\bin3 }}}",
         QStringLiteral("a\ufffc"), RichTextStrings::MissingCloseBraces().arg(2)},
        {"kept group ends inside binary data that runs past the end", "{\\rtf1 a{\\object x\\bin30 }}",
         QStringLiteral("a\ufffc"), RichTextStrings::TruncatedBinary()},
        {"paragraph break inside a field without result", "{\\rtf1 a{\\field{\\*\\fldinst X}\\par b}c}",
         QStringLiteral("a\rbc"), QString()},
        {"field word after text in its group", "{\\rtf1 {\\plain a\\field{\\*\\fldinst X}}b}",
         QStringLiteral("ab"), QString()},
        {"picture left open around a table", "{\\rtf1 x{\\pict\\wmetafile8{\\fonttbl{\\f0 A;}} 0102\\'",
         QStringLiteral("x\ufffc"), RichTextStrings::MissingCloseBraces().arg(2)},
        {"font table never closed", "{\\rtf1{\\fonttbl{\\f0 Arial;}\\pard body\\par}", QStringLiteral("body"),
         QString()},
        {"unpaired surrogates", "{\\rtf1 a\\u-10179?b\\u-9047?c}", QStringLiteral("a\ufffdb\ufffdc"),
         RichTextStrings::InvalidSurrogate()},
        {"not RTF", "hello\r\nworld", QStringLiteral("hello\rworld"), RichTextStrings::NotRtf()},
        {"not RTF, UTF-8", "gr\xc3\xbc\xc3\x9f", QStringLiteral("gr\u00fc\u00df"), RichTextStrings::NotRtf()},
        {"empty", "", QStringLiteral(""), QString()},
        {"only a brace", "{", QStringLiteral(""), RichTextStrings::MissingCloseBraces().arg(1)},
        {"NUL bytes", QByteArray("{\\rtf1 a\0b}", 11), QStringLiteral("ab"), QString()},
    };
    for (const TBadCase &c : cases) {
        SCOPED_TRACE(c.name);
        QStringList messages;
        const QString text = ReadText(c.input, &messages);
        if (!c.text.isNull()) {
            EXPECT_EQ(text, c.text);
        }
        if (!c.message.isEmpty()) {
            EXPECT_TRUE(messages.contains(c.message)) << messages.join(u'|').toStdString();
        }
        // Whatever was read can be written and read again to the same text.
        TRichTextBuffer first;
        first.LoadRtf(QByteArrayView(c.input));
        TRichTextBuffer second;
        EXPECT_EQ(second.LoadRtf(QByteArrayView(first.Rtf())), QStringList());
        EXPECT_EQ(second.Text(), first.Text());
        EXPECT_EQ(second.Rtf(), first.Rtf());
    }
}

TEST(RtfReader, QStringInputKeepsCharactersOutsideTheCodePage)
{
    // A project file read as Unicode can hand over RTF with literal characters.
    QTextDocument doc;
    TRtfReader::Read(doc, QStringView(u"{\\rtf1 caf\u00e9 \u0416\\'e9}"));
    EXPECT_EQ(doc.toRawText(), QStringLiteral("caf\u00e9 \u0416\u00e9"));
}

TEST(RtfReader, ReadingLeavesTheDocumentUnmodifiedWithUndoAsBefore)
{
    QTextDocument doc;
    doc.setUndoRedoEnabled(true);
    TRtfReader::Read(doc, QByteArrayView("{\\rtf1 a\\par b}"));
    EXPECT_FALSE(doc.isModified());
    EXPECT_TRUE(doc.isUndoRedoEnabled());
    EXPECT_FALSE(doc.isUndoAvailable());
}

} // namespace
