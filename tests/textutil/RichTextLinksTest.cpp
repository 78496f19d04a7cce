#include "QtPrinters.h"

#include "richtext/RichTextBuffer.h"
#include "textutil/RichTextLinks.h"

#include <gtest/gtest.h>

namespace {

TEST(LinkInControl, FindsTheMarkupAfterTheAnchor)
{
    struct Case
    {
        const char16_t *text;
        const char16_t *anchor;
        int start;
        const char16_t *target; // empty: nothing found
        TLinkType type;
        TLinkedTextStyle style;
        int position;
        int length;
    };
    const Case cases[] = {
        {u"Gauge {linkID=10}", u"gauge", 0, u"10", ltNormal, ltsGreenUnderline, 0, 17},
        {u"x Gauge \n {linkID=%10>main}", u"Gauge", 0, u"10>main", ltNormal, ltsNone, 2, 25},
        {u"Range {linkDelphi=*TFoo_Object}", u"Range", 0, u"TFoo", ltDelphiObject, ltsUnderline, 0, 31},
        // The first type whose opening and closing fit wins; no keyword step.
        {u"Web {link=*! ExecFile(\"a\")}", u"Web", 0, u"! ExecFile(\"a\")", ltQuillmarkFile, ltsUnderline, 0,
         27},
        {u"Map {linkTarget=t1}", u"Map", 0, u"t1", ltTarget, ltsGreenUnderline, 0, 19},
        // The first occurrence has no markup; the second does.
        {u"Gauge text Gauge {linkID=3}", u"Gauge", 0, u"3", ltNormal, ltsGreenUnderline, 11, 16},
        {u"Gauge {linkID=3}", u"Gauge", 1, u"", ltNormal, ltsGreenUnderline, 0, 0},
        {u"Gauge {linkID=3", u"Gauge", 0, u"", ltNormal, ltsGreenUnderline, 0, 0},
        {u"Gauge {short}", u"Gauge", 0, u"", ltNormal, ltsGreenUnderline, 0, 0},
        {u"Gauge {unknown=1}", u"Gauge", 0, u"", ltNormal, ltsGreenUnderline, 0, 0},
        {u"Gauge {", u"Gauge", 0, u"", ltNormal, ltsGreenUnderline, 0, 0},
        {u"Gauge {linkID=1}", u"", 0, u"", ltNormal, ltsGreenUnderline, 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.text).toStdString());
        TRichTextBuffer buffer;
        buffer.SetPlainText(QString::fromUtf16(c.text));
        int position = c.start;
        const TLinkInfo link = FindLinkInControl(buffer, QString::fromUtf16(c.anchor), position);
        EXPECT_EQ(QString::fromUtf16(c.target), link.target);
        if (!link.Found())
            continue;
        EXPECT_EQ(c.type, link.type);
        EXPECT_EQ(c.style, link.style);
        EXPECT_EQ(c.position, position);
        EXPECT_EQ(c.length, link.length);
    }
}

struct MakeCase
{
    const char *name;
    TLinkType type;
    TLinkedTextStyle style;
    const char16_t *target;
    const char16_t *window;
    const char16_t *file;
    const char16_t *member;
    bool useDelphiLinks;
    const char16_t *markup;
};

TEST(MakeLink, WritesTheMarkupOfEachType)
{
    const MakeCase cases[] = {
        {"topic", ltNormal, ltsGreenUnderline, u"10  ", u"main", u"", u"", false, u"{linkID=10>main}"},
        {"topic, no colour", ltNormal, ltsNone, u"10", u"", u"", u"", false, u"{linkID=%10}"},
        {"other project", ltQuillmarkFile, ltsUnderline, u"5", u"", u"C:\\help\\other.hlp ", u"", false,
         u"{link=*Quill5@other.hlp}"},
        {"help file", ltHelpFile, ltsGreenUnderline, u"ctx", u"w", u"/x/a.hlp", u"", false,
         u"{link=ctx@a.hlp>w}"},
        {"macro", ltMacro, ltsGreenUnderline, u"Go()", u"w", u"", u"", false, u"{link=! Go()}"},
        {"web", ltInternet, ltsNone, u"http://a.example/", u"", u"", u"", false,
         u"{link=*! ExecFile(\"http://a.example/\")}"},
        {"target", ltTarget, ltsGreenUnderline, u"t", u"", u"", u"", false, u"{linkTarget=t}"},
        {"class member, own form", ltDelphiMethod, ltsUnderline, u"TFoo.Run", u"", u"", u"Method ", true,
         u"{linkDelphi=*TFoo.Run_Method}"},
        {"class member as a web search", ltDelphiProperty, ltsGreenUnderline, u"TFoo.Size", u"", u"",
         u"Property", false,
         u"{link=*! "
         u"ExecFile(\"http://search.example.com/search?q=TFoo.Size+site%3Alibrary-docs.example.org\")}"},
        {"class link without a name", ltDelphiObject, ltsGreenUnderline, u"", u"", u"", u"TFoo", true,
         u"{linkDelphi=TFoo_Object}"},
    };
    for (const MakeCase &c : cases) {
        SCOPED_TRACE(c.name);
        TRichTextBuffer buffer;
        buffer.SetPlainText(QStringLiteral("a hot spot b"));
        buffer.SetSelection(2, 8);
        const QString markup =
            MakeLink(buffer, QString::fromUtf16(c.target), QString::fromUtf16(c.window), false, c.type,
                     c.style, QString::fromUtf16(c.file), QString::fromUtf16(c.member), c.useDelphiLinks);
        EXPECT_EQ(QString::fromUtf16(c.markup), markup);
        EXPECT_EQ(QStringLiteral("a hot spot") + markup + QStringLiteral(" b"), buffer.Text());
        EXPECT_EQ(10, buffer.SelStart());
        EXPECT_EQ(markup.size(), buffer.SelLength());
    }
}

TEST(MakeLink, FormatsHotSpotAndMarkup)
{
    struct Case
    {
        TLinkedTextStyle style;
        bool popup;
        QColor hotColor;
        TFontStyles hotStyle;
    };
    const Case cases[] = {
        {ltsGreenUnderline, false, QColor(0, 128, 0), fsStrikeOut},
        {ltsUnderline, true, QColor(0, 128, 0), fsUnderline},
        {ltsNone, true, QColor(), TFontStyles()},
    };
    for (const Case &c : cases) {
        TRichTextBuffer buffer;
        buffer.SetPlainText(QStringLiteral("hot"));
        buffer.SetSelection(0, 3);
        const QString markup =
            MakeLink(buffer, QStringLiteral("1"), {}, c.popup, ltNormal, c.style, {}, {}, false);

        const TTextAttributes link = buffer.SelAttributes();
        EXPECT_EQ(QColor(128, 0, 0), link.color);
        EXPECT_FALSE(link.style.testAnyFlags(fsUnderline | fsStrikeOut));

        buffer.SetSelection(0, 3);
        const TTextAttributes hot = buffer.SelAttributes();
        EXPECT_EQ(c.hotColor, hot.color) << int(c.style);
        EXPECT_EQ(c.hotStyle, hot.style) << int(c.style);
    }
}

} // namespace
