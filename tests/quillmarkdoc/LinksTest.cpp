#include "ModelTestSupport.h"
#include "QtPrinters.h"

#include "quillmarkdoc/QMLinks.h"

#include <gtest/gtest.h>

namespace {

struct MarkupCase
{
    const char16_t *text;
    const char16_t *target; // empty: nothing found
    TLinkedTextStyle style;
    TLinkType type;
    int position;
    int length;
};

TEST(LinkScanner, RecognisesEveryTypeAndStyle)
{
    const MarkupCase cases[] = {
        {u"\\{linkID=10\\}", u"10", ltsGreenUnderline, ltNormal, 0, 13},
        {u"\\{linkID=%10>main\\}", u"10>main", ltsNone, ltNormal, 0, 19},
        {u"\\{linkID=*10\\}", u"10", ltsUnderline, ltNormal, 0, 14},
        {u"\\{LINKID=10\\}", u"10", ltsGreenUnderline, ltNormal, 0, 13},
        {u"see \\{linkID=5\\} more", u"5", ltsGreenUnderline, ltNormal, 4, 12},
        // Control words inside the markup are not part of it; the length
        // still covers them.
        {u"\\{linkID=\\cf1 10\\}", u"10", ltsGreenUnderline, ltNormal, 0, 18},
        {u"\\{link=*Quill10@other.hlp\\}", u"Quill10@other.hlp", ltsUnderline, ltQuillmarkFile, 0, 27},
        // Every "link=" form is read as another project's file until a
        // keyword says otherwise.
        {u"\\{link=ctx@other.hlp\\}", u"ctx@other.hlp", ltsGreenUnderline, ltQuillmarkFile, 0, 22},
        {u"\\{link=! Macro()\\}", u"! Macro()", ltsGreenUnderline, ltQuillmarkFile, 0, 18},
        {u"\\{link=*! ExecFile(\"http://a\")\\}", u"! ExecFile(\"http://a\")", ltsUnderline, ltInternet, 0,
         32},
        {u"\\{linkTarget=%anchor\\}", u"anchor", ltsNone, ltTarget, 0, 22},
        {u"\\{linkDelphi=TFoo_Object\\}", u"TFoo", ltsGreenUnderline, ltDelphiObject, 0, 26},
        {u"\\{linkDelphi=TFoo.Bar_Property\\}", u"TFoo.Bar", ltsGreenUnderline, ltDelphiProperty, 0, 32},
        {u"\\{linkDelphi=*TFoo.Run_Method\\}", u"TFoo.Run", ltsUnderline, ltDelphiMethod, 0, 31},
        {u"\\{linkDelphi=TFoo.OnGo_Event\\}", u"TFoo.OnGo", ltsGreenUnderline, ltDelphiEvent, 0, 30},
        {u"\\{linkDelphi=Integer\\}", u"Integer", ltsGreenUnderline, ltDelphiType, 0, 22},
        // A window after the member kind: the plain closing, then typed by
        // its keyword, the member kind kept in the target.
        {u"\\{linkDelphi=TFoo_Object>main\\}", u"TFoo_Object>main", ltsGreenUnderline, ltDelphiObject, 0, 31},
        // A keyword anywhere decides the type.
        {u"\\{linkID=10>Quillwin\\}", u"10>Quillwin", ltsGreenUnderline, ltQuillmarkFile, 0, 22},
        // Not links at all: the scan goes on behind them.
        {u"\\{abc\\} \\{linkID=7\\}", u"7", ltsGreenUnderline, ltNormal, 8, 12},
        // Control words and spaces are left out before the markup is read,
        // inside "link" too; letters in any case.
        {u"\\{\\b linkID=5\\b0 \\}", u"5", ltsGreenUnderline, ltNormal, 0, 19},
        {u"\\{li\\i nkID=7\\}", u"7", ltsGreenUnderline, ltNormal, 0, 15},
        {u"\\{LinkID=6\\}", u"6", ltsGreenUnderline, ltNormal, 0, 12},
        // A control word runs to the next blank and takes the rest with it.
        {u"\\{\\xlinkID=9\\} \\{linkID=4\\}", u"4", ltsGreenUnderline, ltNormal, 15, 12},
        // "\{link" alone passes the first test and matches no form.
        {u"\\{link\\} \\{linkID=8\\}", u"", ltsGreenUnderline, ltNormal, 0, 0},
        // An escaped backslash in front: no brace starts there.
        {u"\\\\{linkID=10\\}", u"", ltsGreenUnderline, ltNormal, 0, 0},
        // Passes the "\{link" test with its blank, matches no form: the scan
        // stops.
        {u"\\{ linkID=10\\} \\{linkID=3\\}", u"", ltsGreenUnderline, ltNormal, 0, 0},
        {u"\\{linkID=10", u"", ltsGreenUnderline, ltNormal, 0, 0},
        {u"\\{linkID=\\}", u"", ltsGreenUnderline, ltNormal, 0, 0},
        {u"\\{linkID=10\\b\\}", u"", ltsGreenUnderline, ltNormal, 0, 0},
        {u"", u"", ltsGreenUnderline, ltNormal, 0, 0},
        {u"\\", u"", ltsGreenUnderline, ltNormal, 0, 0},
        {u"\\{", u"", ltsGreenUnderline, ltNormal, 0, 0},
    };
    for (const MarkupCase &c : cases) {
        const QString text = QString::fromUtf16(c.text);
        SCOPED_TRACE(text.toStdString());
        int position = 0;
        const TLinkInfo link = FindLink(text, LinkAnchor, position);
        EXPECT_EQ(QString::fromUtf16(c.target), link.target);
        if (!link.Found())
            continue;
        EXPECT_EQ(c.style, link.style);
        EXPECT_EQ(c.type, link.type);
        EXPECT_EQ(c.position, position);
        EXPECT_EQ(c.length, link.length);
    }
}

TEST(LinkScanner, SectionAnchorNeedsOnlyBlanksAndControlWordsBeforeTheLink)
{
    struct Case
    {
        const char16_t *text;
        const char16_t *target;
        int position;
    };
    const Case cases[] = {
        {u"See Also\\par \\{linkID=20\\}", u"20", 0},
        {u"x see also\r\n\\b \\{linkID=21\\}", u"21", 2},
        {u"See Also: \\{linkID=22\\}", u"", 0},
        // The first heading has text in between; the second is followed.
        {u"See Also x \\{linkID=1\\} See Also \\{linkID=2\\}", u"2", 24},
        {u"See Also\\\\ \\{linkID=1\\}", u"", 0},
        {u"See Also\\", u"", 0},
    };
    for (const Case &c : cases) {
        const QString text = QString::fromUtf16(c.text);
        SCOPED_TRACE(text.toStdString());
        int position = 0;
        const TLinkInfo link = FindLink(text, u"See Also", position);
        EXPECT_EQ(QString::fromUtf16(c.target), link.target);
        if (link.Found()) {
            EXPECT_EQ(c.position, position);
        }
    }
}

TEST(LinkScanner, FindLinkOfTypeSkipsOtherKinds)
{
    const QString text = QStringLiteral(
        "\\{link=x@y.hlp\\} \\{linkDelphi=A_Object\\} \\{linkID=3\\} \\{linkTarget=t\\} \\{linkID=4\\}");
    QStringList found;
    int position = 0;
    for (TLinkInfo link = FindLinkOfType(text, {ltNormal}, position, LinkAnchor); link.Found();
         position += link.length, link = FindLinkOfType(text, {ltNormal}, position, LinkAnchor))
        found.append(link.target);
    EXPECT_EQ(QStringList({QStringLiteral("3"), QStringLiteral("4")}), found);

    position = 0;
    EXPECT_EQ(QStringLiteral("t"), FindLinkOfType(text, {ltTarget}, position, LinkAnchor).target);
    position = 0;
    EXPECT_FALSE(FindLinkOfType(text, {ltInternet}, position, LinkAnchor).Found());
}

TEST(LinkScanner, HostileTextNeverRaisesNorReadsPastTheEnd)
{
    const QString texts[] = {
        QStringLiteral("\\{link"),         QStringLiteral("\\{linkID=99999999999999999999\\}"),
        QStringLiteral("\\{\\{\\{\\{\\}"), QStringLiteral("\\{linkDelphi=_Object\\}"),
        QStringLiteral("\\{linkID=\\"),    QString(100000, u'\\') + QStringLiteral("{linkID=1\\}"),
    };
    for (const QString &text : texts) {
        for (int start = -1; start <= int(text.size()) + 1; start += std::max<int>(1, int(text.size()) / 7)) {
            int position = start;
            const TLinkInfo link = FindLink(text, LinkAnchor, position);
            if (link.Found()) {
                EXPECT_GE(position, 0);
                EXPECT_LE(position + link.length, text.size());
            }
            position = start;
            FindLink(text, u"linkID", position);
        }
    }
}

// ---------------------------------------------------------------- renumbering

class Renumbering : public testing::Test
{
protected:
    Renumbering()
    {
        AddTopics(doc, {7});
        map.Put(105, 505);
    }

    TQMTopic *Topic() { return doc.Topics()->Items(0); }
    void SetText(const QStringList &lines)
    {
        Topic()->Text()->AssignStrings(lines);
        doc.SetModified(false);
    }

    TQuillmarkDoc doc;
    TGHashIntTable map;
};

TEST_F(Renumbering, RewritesTopicLinksThroughTheMap)
{
    struct Case
    {
        const char16_t *before;
        const char16_t *after;
    };
    const Case cases[] = {
        {u"a \\{linkID=105\\} b", u"a \\{linkID=505\\} b"},
        {u"\\{linkID=%105\\}", u"\\{linkID=%505\\}"},
        {u"\\{linkID=*105>main\\}", u"\\{linkID=*505>main\\}"},
        // Every occurrence of the number in the target changes, and the
        // markup is written anew.
        {u"\\{LinkID=105>w105\\}", u"\\{linkID=505>w505\\}"},
        {u"\\{linkID=105\\}\\{linkID=106\\}\\{linkID=105\\}",
         u"\\{linkID=505\\}\\{linkID=106\\}\\{linkID=505\\}"},
        // Other kinds stay.
        {u"\\{link=Quill105@x.hlp\\} \\{linkTarget=105\\}",
         u"\\{link=Quill105@x.hlp\\} \\{linkTarget=105\\}"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.before).toStdString());
        SetText({QStringLiteral("{\\rtf1"), QString::fromUtf16(c.before), QStringLiteral("}")});
        doc.RenumberLinks(Topic(), map);
        EXPECT_EQ(QStringList({QStringLiteral("{\\rtf1"), QString::fromUtf16(c.after), QStringLiteral("}")}),
                  Topic()->Text()->ToQStringList());
    }
}

TEST_F(Renumbering, LeavesTextWithoutChangedLinksUntouched)
{
    SetText({QStringLiteral("\\{linkID=106\\}"), QString()});
    doc.RenumberLinks(Topic(), map);
    EXPECT_FALSE(doc.Modified());
    EXPECT_EQ(2, Topic()->Text()->Count());
}

TEST_F(Renumbering, DamagedTargetsFailNamingTheTopic)
{
    struct Case
    {
        const char16_t *text;
        const char16_t *message;
    };
    const Case cases[] = {
        {u"\\{linkID=105\\} \\{linkID=abc>main\\}",
         u"\"'abc' is not a valid integer value\" error detected in topic #7: T7"},
        {u"\\{linkID=105\\} \\{linkID=abc\\}", u"\"Argument is null\" error detected in topic #7: T7"},
        {u"\\{linkID=99999999999\\}", u"\"Argument is null\" error detected in topic #7: T7"},
    };
    for (const Case &c : cases) {
        const QStringList before = {QString::fromUtf16(c.text)};
        SetText(before);
        try {
            doc.RenumberLinks(Topic(), map);
            ADD_FAILURE() << "no error for " << before.first().toStdString();
        } catch (const EQMException &error) {
            EXPECT_EQ(QString::fromUtf16(c.message), error.Message());
        }
        EXPECT_EQ(before, Topic()->Text()->ToQStringList());
    }
}

TEST_F(Renumbering, AllLinksStopAtTheFirstDamagedTopicKeepingEarlierOnes)
{
    AddTopics(doc, {8, 9});
    doc.Topics()->Items(0)->Text()->AssignStrings({QStringLiteral("\\{linkID=105\\}")});
    doc.Topics()->Items(1)->Text()->AssignStrings({QStringLiteral("\\{linkID=x\\}")});
    doc.Topics()->Items(2)->Text()->AssignStrings({QStringLiteral("\\{linkID=105\\}")});
    EXPECT_THROW(doc.RenumberAllLinks(map), EQMException);
    EXPECT_EQ(QStringLiteral("\\{linkID=505\\}"), doc.Topics()->Items(0)->Text()->Strings(0));
    EXPECT_EQ(QStringLiteral("\\{linkID=105\\}"), doc.Topics()->Items(2)->Text()->Strings(0));
}

TEST(TopicLinks, EnumeratesOverLineBreaks)
{
    TQMTopic topic;
    topic.Text()->AssignStrings({QStringLiteral("\\{linkID=1\\}"), QStringLiteral("x \\{linkID=2\\}")});
    int position = 0;
    TLinkInfo link = FindTopicLink(topic, LinkAnchor, position);
    EXPECT_EQ(QStringLiteral("1"), link.target);
    position += link.length;
    link = FindTopicLink(topic, LinkAnchor, position);
    EXPECT_EQ(QStringLiteral("2"), link.target);
    EXPECT_EQ(16, position); // after the first line and its CR LF
}

// ---------------------------------------------------------------- definitions

TEST(LinkDefinitions, CompletenessFollowsTheLinkType)
{
    struct Case
    {
        TLinkType type;
        const char16_t *topic;
        const char16_t *file;
        bool complete;
    };
    const Case cases[] = {
        {ltNormal, u"12", u"", true},
        {ltNormal, u"12a", u"", false},
        {ltNormal, u"", u"", false},
        {ltQuillmarkFile, u"12", u"a.hlp", true},
        {ltHelpFile, u"ctx", u" ", false},
        {ltHelpFile, u" ", u"a.hlp", false},
        {ltMacro, u"Go()", u"", true},
        {ltTarget, u"  ", u"", false},
        {ltInternet, u"http://a", u"", true},
        {ltInternet, u" ", u"", false},
        {ltDelphiEvent, u"TFoo.OnGo", u"", true},
    };
    for (const Case &c : cases) {
        TQMLink link;
        link.SetLinkType(c.type);
        link.SetTopic(QString::fromUtf16(c.topic));
        link.SetFilename(QString::fromUtf16(c.file));
        EXPECT_EQ(c.complete, link.IsComplete()) << int(c.type) << " " << link.Topic().toStdString();
    }
}

TEST(LinkDefinitions, DisplayNameShowsThePlainMarkup)
{
    struct Case
    {
        TLinkType type;
        TLinkedTextStyle style;
        const char16_t *topic;
        const char16_t *sub;
        const char16_t *file;
        const char16_t *window;
        const char16_t *name;
    };
    const Case cases[] = {
        {ltNormal, ltsNone, u"10", u"", u"", u"main", u"hot{linkID=%10>main}"},
        {ltHelpFile, ltsGreenUnderline, u"ctx", u"", u"a.hlp", u"", u"hot{link=ctx@a.hlp}"},
        {ltQuillmarkFile, ltsUnderline, u"5", u"", u"a.hlp", u"w", u"hot{link=*Quill5@a.hlp>w}"},
        {ltInternet, ltsNone, u"http://a", u"", u"", u"", u"hot{link=*! ExecFile(\"http://a\")}"},
        {ltMacro, ltsGreenUnderline, u"Go()", u"", u"", u"w", u"hot{link=! Go()}"},
        {ltDelphiMethod, ltsGreenUnderline, u"TFoo.Run", u"Method", u"", u"",
         u"hot{linkDelphi=TFoo.Run_Method}"},
        {ltDelphiObject, ltsGreenUnderline, u"", u"", u"", u"", u"hot{linkDelphi=_Object}"},
    };
    for (const Case &c : cases) {
        TQMLink link;
        link.SetText(QStringLiteral("hot"));
        link.SetLinkType(c.type);
        link.SetStyle(c.style);
        link.SetTopic(QString::fromUtf16(c.topic));
        link.SetSubTopic(QString::fromUtf16(c.sub));
        link.SetFilename(QString::fromUtf16(c.file));
        link.SetWindowName(QString::fromUtf16(c.window));
        EXPECT_EQ(QString::fromUtf16(c.name), link.DisplayName());
    }
}

TEST(LinkDefinitions, AssignCopiesEveryFieldAndIndexOfTextIgnoresCase)
{
    TQMLinks links;
    TQMLink *first = links.Add();
    first->SetText(QStringLiteral("Alpha"));
    first->SetLinkType(ltHelpFile);
    first->SetStyle(ltsUnderline);
    first->SetPopup(true);
    first->SetTopic(QStringLiteral("t"));
    first->SetSubTopic(QStringLiteral("s"));
    first->SetFilename(QStringLiteral("f"));
    first->SetWindowName(QStringLiteral("w"));
    TQMLink *second = links.Add();
    second->Assign(first);
    EXPECT_EQ(first->DisplayName(), second->DisplayName());
    EXPECT_EQ(first->Popup(), second->Popup());
    EXPECT_EQ(first->SubTopic(), second->SubTopic());
    second->SetText(QStringLiteral("Beta"));
    EXPECT_EQ(1, links.IndexOfText(QStringLiteral("bETA")));
    EXPECT_EQ(-1, links.IndexOfText(QStringLiteral("Gamma")));
}

} // namespace
