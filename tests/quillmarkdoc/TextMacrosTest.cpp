#include "ModelTestSupport.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {

// What nothing sets stays empty, zero or False: the reader relies on it for
// the syntax macros it appends and for new macros.
TEST(TextMacro, NewMacroIsBlank)
{
    TQMTextMacros macros;
    TQMTextMacro *macro = macros.Add();
    EXPECT_EQ(macro->Name(), QString());
    EXPECT_EQ(macro->Color(), 0);
    EXPECT_EQ(macro->TypeFace(), QString());
    EXPECT_EQ(macro->Unknown1(), 0);
    EXPECT_EQ(macro->Size(), 0);
    EXPECT_EQ(macro->Unknown2(), 0);
    EXPECT_EQ(macro->Style(), TFontStyles());
    EXPECT_EQ(macro->Alignment(), taLeftJustify);
    EXPECT_FALSE(macro->Bullet());
    EXPECT_EQ(macro->LeftMargin(), 0);
    EXPECT_EQ(macro->RightMargin(), 0);
    EXPECT_EQ(macro->Indent(), 0);
    EXPECT_EQ(macro->Tabs()->Count(), 0);
    EXPECT_EQ(macro->SyntaxType(), stDelphi);
    EXPECT_FALSE(macro->IsSyntaxMacro());
    EXPECT_EQ(macro->DisplayName(), QStringLiteral("TQMTextMacro"));
}

TEST(TextMacro, ReservedNamesMakeSyntaxMacros)
{
    const struct
    {
        const char *name;
        TSyntaxType type;
    } cases[] = {
        {"__C++SourceCode", stCPlusPlus},
        {"__DFMCode", stDFM},
        {"__JScriptCode", stJScript},
        {"__SQLCode", stSQL},
        {"__VBCode", stVB},
        {"__VBScriptCode", stVBScript},
        {"__XMLCode", stXML},
        {"*SourceCode", stDelphi},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TQMTextMacro macro;
        macro.SetSyntaxType(stXML == c.type ? stSQL : stXML);
        macro.SetName(QString::fromLatin1(c.name));
        EXPECT_TRUE(macro.IsSyntaxMacro());
        EXPECT_EQ(macro.SyntaxType(), c.type);
        EXPECT_EQ(TQMTextMacro::SyntaxMacroName(c.type), QString::fromLatin1(c.name));
    }

    // A later ordinary name ends the syntax macro but keeps its type; the
    // match is case-sensitive.
    TQMTextMacro macro;
    macro.SetName(QStringLiteral("__SQLCode"));
    macro.SetName(QStringLiteral("__sqlcode"));
    EXPECT_FALSE(macro.IsSyntaxMacro());
    EXPECT_EQ(macro.SyntaxType(), stSQL);
}

TEST(TextMacro, AssignCopiesEveryFieldWithOneNotification)
{
    TQMTextMacros macros;
    int changes = 0;
    macros.OnItemUpdate = [&changes](TQMTextMacro *) { ++changes; };
    TQMTextMacro *source = macros.Add();
    source->SetName(QStringLiteral("__VBCode"));
    source->SetName(QStringLiteral("Custom")); // keeps stVB, no longer a syntax macro
    source->SetName(QStringLiteral("__XMLCode"));
    source->SetColor(0x123456);
    source->SetTypeFace(QStringLiteral("Tahoma"));
    source->SetUnknown1(5);
    source->SetSize(12);
    source->SetUnknown2(6);
    source->SetStyle(fsBold | fsUnderline);
    source->SetAlignment(taCenter);
    source->SetBullet(true);
    source->SetLeftMargin(1);
    source->SetRightMargin(2);
    source->SetIndent(-3);
    source->Tabs()->Add(QStringLiteral("720"));

    TQMTextMacro *copy = macros.Add();
    changes = 0;
    copy->Assign(source);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(copy->Name(), QStringLiteral("__XMLCode"));
    EXPECT_TRUE(copy->IsSyntaxMacro());
    EXPECT_EQ(copy->SyntaxType(), stXML);
    EXPECT_EQ(copy->Color(), 0x123456);
    EXPECT_EQ(copy->TypeFace(), QStringLiteral("Tahoma"));
    EXPECT_EQ(copy->Unknown1(), 5);
    EXPECT_EQ(copy->Size(), 12);
    EXPECT_EQ(copy->Unknown2(), 6);
    EXPECT_EQ(copy->Style(), fsBold | fsUnderline);
    EXPECT_EQ(copy->Alignment(), taCenter);
    EXPECT_TRUE(copy->Bullet());
    EXPECT_EQ(copy->LeftMargin(), 1);
    EXPECT_EQ(copy->RightMargin(), 2);
    EXPECT_EQ(copy->Indent(), -3);
    EXPECT_EQ(copy->Tabs()->ToQStringList(), QStringList{QStringLiteral("720")});

    // The copied tab list is the copy's own: editing it is the copy's change.
    changes = 0;
    copy->Tabs()->Add(QStringLiteral("1440"));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(source->Tabs()->Count(), 1);

    TQMStatus status;
    EXPECT_THROW(copy->Assign(&status), EAssignError);
}

QStringList MacroNames(const TQuillmarkDoc &doc)
{
    QStringList names;
    for (int i = 0; i < doc.TextMacros()->Count(); ++i)
        names.append(doc.TextMacros()->Items(i)->Name());
    return names;
}

const QStringList StandardNames = {
    QStringLiteral("*PopupLink"), QStringLiteral("*PopupTopicTitle"), QStringLiteral("*SourceCode"),
    QStringLiteral("*TopicText"), QStringLiteral("*TopicTitle"),      QStringLiteral("__C++SourceCode"),
    QStringLiteral("__DFMCode"),  QStringLiteral("__JScriptCode"),    QStringLiteral("__SQLCode"),
    QStringLiteral("__VBCode"),   QStringLiteral("__VBScriptCode"),   QStringLiteral("__XMLCode"),
};

TEST(StandardMacros, NewDocumentHasTheTwelveStandardMacros)
{
    TQuillmarkDoc doc;
    EXPECT_EQ(MacroNames(doc), StandardNames);
    EXPECT_FALSE(doc.Modified());

    const struct
    {
        int index;
        TColor color;
        const char *typeFace;
        int size;
        TFontStyles style;
    } expected[] = {
        {0, clWindowText, "Arial", 8, {}},       {1, 0xFF0000, "Arial", 10, fsBold},
        {2, clWindowText, "Courier New", 8, {}}, {3, clWindowText, "Arial", 10, {}},
        {4, 0xFF0000, "Arial", 16, fsBold},
    };
    for (const auto &e : expected) {
        const TQMTextMacro *macro = doc.TextMacros()->Items(e.index);
        SCOPED_TRACE(macro->Name().toStdString());
        EXPECT_EQ(macro->Color(), e.color);
        EXPECT_EQ(macro->TypeFace(), QString::fromLatin1(e.typeFace));
        EXPECT_EQ(macro->Size(), e.size);
        EXPECT_EQ(macro->Style(), e.style);
        EXPECT_EQ(macro->Unknown1(), 0);
        EXPECT_EQ(macro->Unknown2(), 1);
        EXPECT_EQ(macro->Alignment(), taLeftJustify);
    }
    EXPECT_EQ(static_cast<unsigned>(clWindowText), 0x80000008u);

    // "*SourceCode" is also the reserved name of the Delphi syntax.
    EXPECT_TRUE(doc.TextMacros()->Items(2)->IsSyntaxMacro());
    EXPECT_FALSE(doc.TextMacros()->Items(3)->IsSyntaxMacro());

    for (int i = 5; i < 12; ++i) {
        const TQMTextMacro *macro = doc.TextMacros()->Items(i);
        SCOPED_TRACE(macro->Name().toStdString());
        EXPECT_TRUE(macro->IsSyntaxMacro());
        EXPECT_EQ(macro->TypeFace(), QStringLiteral("Courier New"));
        EXPECT_EQ(macro->Size(), 10);
        EXPECT_EQ(macro->Color(), 0);
        EXPECT_EQ(macro->Unknown2(), 0);
    }
}

TEST(StandardMacros, EnsureAddsOnlyWhatIsMissingAndKeepsModified)
{
    TQuillmarkDoc doc;
    doc.TextMacros()->Clear();
    TQMTextMacro *own = doc.TextMacros()->Add();
    own->SetName(QStringLiteral("*topictext")); // differs only in case: not the standard one
    own->SetSize(99);
    TQMTextMacro *sql = doc.TextMacros()->Add();
    sql->SetName(QStringLiteral("__SQLCode"));
    sql->SetSize(77);

    for (const bool modified : {false, true}) {
        doc.SetModified(modified);
        doc.EnsureDefaultMacros();
        EXPECT_EQ(doc.Modified(), modified);
    }
    QStringList expected = {QStringLiteral("*topictext"), QStringLiteral("__SQLCode")};
    for (const QString &name : StandardNames) {
        if (name != QStringLiteral("__SQLCode"))
            expected.append(name);
    }
    EXPECT_EQ(MacroNames(doc), expected);
    EXPECT_EQ(sql->Size(), 77);
}

TEST(StandardMacros, EnsureIsOneBracketWithOneAddEventPerMacro)
{
    TQuillmarkDoc doc;
    doc.TextMacros()->Delete(11);
    doc.TextMacros()->Delete(0);
    EventRecorder recorder(doc);
    doc.EnsureDefaultMacros();
    EXPECT_EQ(recorder.Joined(),
              QStringLiteral("AddMacro(TQMTextMacro) AddMacro(TQMTextMacro) MacroChange(*)"));
}

} // namespace
