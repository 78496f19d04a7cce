#include "ModelTestSupport.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {

TEST(Statuses, NewDocumentHasTheStandardStatuses)
{
    TQuillmarkDoc doc;
    const struct
    {
        const char *text;
        TColor color;
        TFontStyles style;
    } expected[] = {
        {"To Do", 0xFFFF00, {}},
        {"Done", 0x000000, {}},
        {"Writing", 0x0000FF, {}},
        {"Merged", static_cast<TColor>(0xFF00001Au), fsItalic},
    };
    ASSERT_EQ(doc.Statuses()->Count(), 4);
    for (int i = 0; i < 4; ++i) {
        const TQMStatus *status = doc.Statuses()->Items(i);
        SCOPED_TRACE(expected[i].text);
        EXPECT_EQ(status->Text(), QString::fromLatin1(expected[i].text));
        EXPECT_EQ(status->Font()->Color(), expected[i].color);
        EXPECT_EQ(status->Font()->Style(), expected[i].style);
        // Everything else is the editor font's.
        EXPECT_EQ(status->Font()->Name(), doc.Font()->Name());
        EXPECT_EQ(status->Font()->Size(), doc.Font()->Size());
    }
    EXPECT_FALSE(doc.Modified());
}

TEST(Statuses, EnsureLooksTextsUpWithoutCase)
{
    TQuillmarkDoc doc;
    doc.Statuses()->Clear();
    doc.Statuses()->Add()->SetText(QStringLiteral("done"));
    doc.SetModified(true);
    doc.EnsureDefaultStatuses();
    EXPECT_TRUE(doc.Modified());
    QStringList texts;
    for (int i = 0; i < doc.Statuses()->Count(); ++i)
        texts.append(doc.Statuses()->Items(i)->Text());
    EXPECT_EQ(texts, (QStringList{QStringLiteral("done"), QStringLiteral("To Do"), QStringLiteral("Writing"),
                                  QStringLiteral("Merged")}));
    EXPECT_EQ(doc.Statuses()->IndexOfText(QStringLiteral("MERGED")), 3);
    EXPECT_EQ(doc.Statuses()->IndexOfText(QStringLiteral("Merge")), -1);
}

// A status that differs from the editor font only in colour follows the
// editor font's name and size; rebasing is presentation, not an edit.
TEST(Statuses, FontsFollowTheDocumentFont)
{
    TQuillmarkDoc doc;
    TFont arial;
    arial.SetName(QStringLiteral("Arial"));
    arial.SetSize(10);
    doc.SetFont(&arial);

    TQMStatus *status = doc.Statuses()->Add();
    EXPECT_EQ(status->Font()->Name(), QStringLiteral("Arial"));
    EXPECT_EQ(status->Font()->Size(), 10);
    status->Font()->SetColor(clRed);
    doc.SetModified(false);

    int fontChanges = 0;
    doc.OnFontChange = [&](TObject *) {
        ++fontChanges;
        // The statuses are rebased before the event.
        EXPECT_EQ(status->Font()->Name(), QStringLiteral("Tahoma"));
    };
    TFont tahoma;
    tahoma.SetName(QStringLiteral("Tahoma"));
    tahoma.SetSize(12);
    tahoma.SetColor(clBlue);
    doc.SetFont(&tahoma);
    EXPECT_EQ(fontChanges, 1);
    EXPECT_EQ(status->Font()->Name(), QStringLiteral("Tahoma"));
    EXPECT_EQ(status->Font()->Size(), 12);
    EXPECT_EQ(status->Font()->Color(), clRed);
    EXPECT_FALSE(doc.Modified());

    // Set back to the editor font's colour, the colour follows again.
    status->Font()->SetColor(clBlue);
    EXPECT_TRUE(doc.Modified());
    doc.Font()->SetColor(clAqua);
    EXPECT_EQ(status->Font()->Color(), clAqua);
}

TEST(Statuses, StatusChangesMarkTheDocumentEdited)
{
    TQuillmarkDoc doc;
    TQMStatus *status = doc.Statuses()->Items(0);
    status->SetText(QStringLiteral("To Do"));
    EXPECT_FALSE(doc.Modified());
    status->SetText(QStringLiteral("Later"));
    EXPECT_TRUE(doc.Modified());
    EXPECT_EQ(status->DisplayName(), QStringLiteral("Later"));
    status->SetText(QString());
    EXPECT_EQ(status->DisplayName(), QStringLiteral("TQMStatus"));
}

TEST(Statuses, AssignCopiesTextAndFontWithOneNotification)
{
    TQuillmarkDoc doc;
    int changes = 0;
    doc.Statuses()->OnItemUpdate = [&changes](TQMStatus *) { ++changes; };
    TQMStatus *merged = doc.Statuses()->Items(3);
    TQMStatus *copy = doc.Statuses()->Add();
    changes = 0;
    copy->Assign(merged);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(copy->Text(), QStringLiteral("Merged"));
    EXPECT_EQ(copy->Font()->Style(), fsItalic);
    EXPECT_EQ(copy->Font()->Color(), clHotLight);
    EXPECT_NE(copy->Font(), merged->Font());
}

} // namespace
