#include "richtext/RichTextView.h"

#include "QtPrinters.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QByteArray g_rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl ;\\red255\\green0\\blue0;}"
                         "\\pard\\f0\\fs20 plain \\b\\cf1 bold\\b0\\cf0  text\\par second\\par}";

TEST(RichTextView, LoadsAndStoresRtfThroughTheEngine)
{
    TRichTextView view;
    EXPECT_EQ(view.LoadRtf(QByteArrayView(g_rtf)), QStringList());
    EXPECT_EQ(view.Buffer().Text(), QStringLiteral("plain bold text\rsecond"));
    EXPECT_EQ(view.toPlainText(), QStringLiteral("plain bold text\nsecond"));
    EXPECT_FALSE(view.Modified());
    TRichTextBuffer copy;
    copy.LoadRtf(QByteArrayView(view.Rtf()));
    EXPECT_EQ(copy.Rtf(), view.Rtf());
}

TEST(RichTextView, TypingEditsTheBufferAndSetsModified)
{
    TRichTextView view;
    view.LoadRtf(QByteArrayView(g_rtf));
    view.show();
    view.setFocus();
    view.Buffer().SetSelection(0, 0);
    EXPECT_EQ(view.textCursor().position(), 0);
    QTest::keyClicks(&view, QStringLiteral("new "));
    EXPECT_EQ(view.Buffer().Text(), QStringLiteral("new plain bold text\rsecond"));
    EXPECT_TRUE(view.Modified());
    EXPECT_EQ(view.Buffer().SelStart(), 4);
}

TEST(RichTextView, SelectionFollowsBothWays)
{
    TRichTextView view;
    view.LoadRtf(QByteArrayView(g_rtf));
    QTextCursor cursor = view.textCursor();
    cursor.setPosition(6);
    cursor.setPosition(10, QTextCursor::KeepAnchor);
    view.setTextCursor(cursor);
    EXPECT_EQ(view.Buffer().SelStart(), 6);
    EXPECT_EQ(view.Buffer().SelLength(), 4);
    EXPECT_TRUE(view.Buffer().SelAttributes().style.testFlag(fsBold));
    view.Buffer().SetSelection(16, 6);
    EXPECT_EQ(view.textCursor().selectedText(), QStringLiteral("second"));
}

TEST(RichTextView, ReadOnlyBlocksTheUserButNotTheProgram)
{
    TRichTextView view;
    view.LoadRtf(QByteArrayView(g_rtf));
    view.SetReadOnly(true);
    EXPECT_TRUE(view.isReadOnly());
    view.show();
    view.setFocus();
    QTest::keyClicks(&view, QStringLiteral("xyz"));
    EXPECT_EQ(view.Buffer().Text(), QStringLiteral("plain bold text\rsecond"));
    // The comparison window marks differences in its read-only panes.
    view.Buffer().SetSelection(0, 0);
    view.Buffer().SetSelText(QStringLiteral(" "));
    view.Buffer().SetSelection(0, 1);
    view.Buffer().SetSelBackground(QColor(255, 165, 0));
    EXPECT_EQ(view.Buffer().Text(), QStringLiteral(" plain bold text\rsecond"));
    EXPECT_EQ(view.Buffer().SelAttributes().background, QColor(255, 165, 0));
    // The user can still select.
    QTest::keyClick(&view, Qt::Key_End, Qt::ShiftModifier);
    EXPECT_GT(view.Buffer().SelLength(), 0);
    view.SetReadOnly(false);
    EXPECT_FALSE(view.isReadOnly());
}

TEST(RichTextView, SelectionStaysVisibleWithoutTheFocus)
{
    TRichTextView view;
    const QPalette p = view.palette();
    EXPECT_EQ(p.color(QPalette::Inactive, QPalette::Highlight),
              p.color(QPalette::Active, QPalette::Highlight));
    EXPECT_EQ(p.color(QPalette::Inactive, QPalette::HighlightedText),
              p.color(QPalette::Active, QPalette::HighlightedText));
}

TEST(RichTextView, CopyAndPasteKeepFormatting)
{
    TRichTextView source;
    source.LoadRtf(QByteArrayView(g_rtf));
    source.Buffer().SetSelection(6, 4);
    source.copy();
    const QMimeData *data = QApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    if (!data->hasFormat(QString::fromLatin1(TRichTextView::RtfMimeType)))
        GTEST_SKIP() << "this platform's clipboard keeps no private formats";
    EXPECT_EQ(data->text(), QStringLiteral("bold"));
    TRichTextView target;
    target.LoadRtf(QByteArrayView("{\\rtf1 AB}"));
    target.Buffer().SetSelection(1, 0);
    target.paste();
    EXPECT_EQ(target.Buffer().Text(), QStringLiteral("AboldB"));
    target.Buffer().SetSelection(1, 1);
    EXPECT_TRUE(target.Buffer().SelAttributes().style.testFlag(fsBold));
    EXPECT_EQ(target.Buffer().SelAttributes().color, QColor(255, 0, 0));
    EXPECT_TRUE(target.Modified());
}

TEST(RichTextView, ScrollToLinePutsTheCaretAtTheLineStart)
{
    TRichTextView view;
    view.LoadRtf(QByteArrayView(g_rtf));
    view.ScrollToLine(1);
    EXPECT_EQ(view.textCursor().position(), 16);
    view.ScrollToLine(99);
    EXPECT_EQ(view.Buffer().SelStart(), 16);
}

} // namespace
