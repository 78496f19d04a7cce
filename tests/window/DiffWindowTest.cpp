#include "CompareTestSupport.h"
#include "QtPrinters.h"

#include "diff/window/QuillmarkDiffMain.h"
#include "richtext/RichTextView.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

#include <ctime>
#include <iostream>
#include <tuple>

using namespace Qt::StringLiterals;

namespace {

// The pane's text with its marked runs written as [K:...], K being A, R or
// C for the added, removed and changed backgrounds; "|" is a paragraph break.
QString Marked(const TRichTextView *pane)
{
    const QTextDocument *doc = pane->document();
    QString out;
    QChar open;
    for (int position = 0; position < doc->characterCount() - 1; ++position) {
        QTextCursor cursor(const_cast<QTextDocument *>(doc));
        cursor.setPosition(position + 1);
        const QChar ch = doc->characterAt(position);
        QChar kind;
        const QBrush background = cursor.charFormat().background();
        if (ch != QChar::ParagraphSeparator && background.style() != Qt::NoBrush) {
            const QColor color = background.color();
            if (color == TfrmMain::DifferenceColor(ekAdded))
                kind = u'A';
            else if (color == TfrmMain::DifferenceColor(ekRemoved))
                kind = u'R';
            else if (color == TfrmMain::DifferenceColor(ekChanged))
                kind = u'C';
            else
                kind = u'?';
        }
        if (kind != open) {
            if (!open.isNull())
                out += u']';
            if (!kind.isNull())
                out += u'[' + QString(kind) + u':';
            open = kind;
        }
        out += ch == QChar::ParagraphSeparator ? QChar(u'|') : ch;
    }
    if (!open.isNull())
        out += u']';
    return out;
}

QString PlainText(const TRichTextView *pane)
{
    return pane->document()->toPlainText().replace(u'\n', u'|');
}

class DiffWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        std::tie(originalPath,
                 historyPath) = SaveProjects(dir, [](TQuillmarkDoc &original, TQuillmarkDoc &history) {
            AddTopic(original, 10, u"Same"_s, {u"alpha"_s});
            AddTopic(history, 10, u"Same"_s, {u"alpha"_s});
            AddTopic(original, 20, u"Changed"_s, {u"The gauge shows a value."_s, u"It moves smoothly."_s});
            AddTopic(history, 20, u"Changed"_s, {u"The gauge shows a valve."_s, u"It moves."_s});
            AddTopic(original, 25, u"both"_s, {u"text one"_s})->SetKeywords(u"k1"_s);
            AddTopic(history, 25, u"both"_s, {u"text two"_s})->SetKeywords(u"k2"_s);
            AddTopic(original, 30, u"Keywords"_s, {u"beta"_s})->SetKeywords(u"more;words"_s);
            AddTopic(history, 30, u"Keywords"_s, {u"beta"_s});
            AddTopic(original, 40, u"Prefix"_s, {u"abc"_s});
            AddTopic(history, 40, u"Prefix"_s, {u"XYabc"_s});
            AddTopic(original, 50, u"New"_s, {u"only here"_s});
            AddTopic(history, 60, u"Gone"_s, {u"only there"_s});
        });

        window.OnShowError = [this](const QString &message) { errors.append(message); };
        window.OnAskFileName = [this](const TFileNameRequest &request) {
            requests.push_back(request);
            return answers.isEmpty() ? QString() : answers.takeFirst();
        };
        window.resize(889, 691);
        window.show();
    }

    void Open()
    {
        ASSERT_TRUE(window.OpenFiles(originalPath, historyPath)) << errors.join(u'\n').toStdString();
    }

    int RowOf(int topicID) const
    {
        for (int row = 0; row < window.sgTopics()->rowCount(); ++row)
            if (window.RowTopic(row)->TopicID() == topicID)
                return row;
        return -1;
    }

    void Choose(int topicID)
    {
        const int row = RowOf(topicID);
        ASSERT_GE(row, 0) << topicID;
        window.sgTopics()->setCurrentCell(row, 1);
        QCoreApplication::processEvents();
    }

    QStringList GridRows() const
    {
        QStringList rows;
        const QTableWidget *grid = window.sgTopics();
        for (int row = 0; row < grid->rowCount(); ++row)
            rows.append(grid->item(row, 0)->text() + u' ' + grid->item(row, 1)->text() + u' ' +
                        grid->item(row, 2)->text());
        return rows;
    }

    QStringList Panels() const
    {
        QStringList texts;
        for (int panel = 0; panel < 6; ++panel)
            texts.append(window.StatusPanel(panel)->text());
        return texts;
    }

    bool CopyEnabled() const
    {
        const bool enabled = window.CopyToOrig()->isEnabled();
        EXPECT_EQ(window.CopyTextToOrig()->isEnabled(), enabled);
        EXPECT_EQ(window.CopyToHist()->isEnabled(), enabled);
        EXPECT_EQ(window.CopyTextToHist()->isEnabled(), enabled);
        return enabled;
    }

    QTemporaryDir dir;
    QString originalPath;
    QString historyPath;
    TfrmMain window;
    QStringList errors;
    QStringList answers;
    std::vector<TFileNameRequest> requests;
};

TEST_F(DiffWindow, StartsEmptyWithTheDesignTexts)
{
    EXPECT_TRUE(window.windowTitle().startsWith(u"Quillmark Tandem Diff v"_s))
        << window.windowTitle().toStdString();
    EXPECT_TRUE(window.windowTitle().contains(u"Copyright"_s));
    EXPECT_EQ(window.cbMatch()->currentText(), u"Match Topics By ID"_s);
    EXPECT_EQ(window.cbMatch()->count(), 3);
    EXPECT_TRUE(window.cbHideSame()->isChecked());
    EXPECT_EQ(window.sgTopics()->rowCount(), 0);
    EXPECT_EQ(window.OriginalFrame()->title(), u"File"_s);
    EXPECT_EQ(window.HistoryFrame()->title(), u"File"_s);
    EXPECT_EQ(Panels(),
              (QStringList{u"Different Topics:"_s, u"Identical Topics:"_s, u"Identical Text Topics:"_s,
                           u"New Topics:"_s, u"Deleted Topics:"_s, u"Different"_s}));
    const QHeaderView *header = window.sgTopics()->horizontalHeader();
    // The design's total width, and every column follows its section.
    EXPECT_GE(header->sectionSize(0), 50);
    EXPECT_EQ(header->sectionSize(0) + header->sectionSize(1) + header->sectionSize(2), 200);
    EXPECT_GE(header->sectionSize(2), 50);
    for (int column = 0; column < 3; ++column)
        EXPECT_EQ(window.sgTopics()->columnWidth(column), header->sectionSize(column));
    const QFontMetrics metrics(window.sgTopics()->font());
    EXPECT_GE(header->sectionSize(0), metrics.horizontalAdvance(u"000000"_s));
    EXPECT_FALSE(CopyEnabled());
}

TEST_F(DiffWindow, ActionsCarryTheirHintsAndShortcuts)
{
    struct Case
    {
        QAction *action;
        QString hint;
        QKeySequence shortcut;
    };
    const Case cases[] = {
        {window.CopyToOrig(), u"Copy ENTIRE Topic from History to Original"_s, QKeySequence(u"Ctrl+E"_s)},
        {window.CopyTextToOrig(), u"Copy Topic TEXT ONLY from History to Original"_s,
         QKeySequence(u"Ctrl+T"_s)},
        {window.CopyToHist(), u"Copy ENTIRE Topic from Original To History"_s, QKeySequence(u"Ctrl+Alt+E"_s)},
        {window.CopyTextToHist(), u"Copy Topic TEXT ONLY from Original to History"_s,
         QKeySequence(u"Ctrl+Alt+T"_s)},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(c.action->toolTip(), c.hint);
        EXPECT_EQ(c.action->statusTip(), c.hint);
        EXPECT_EQ(c.action->shortcut(), c.shortcut);
    }
}

TEST_F(DiffWindow, OpeningFillsTheGridAndTheStatusBar)
{
    Open();
    EXPECT_EQ(window.OriginalFrame()->title(), originalPath);
    EXPECT_EQ(window.HistoryFrame()->title(), historyPath);
    // The identical topic 10 is hidden; the History's own topic comes last.
    EXPECT_EQ(GridRows(), (QStringList{u"000020 Changed Different"_s, u"000025 both Different"_s,
                                       u"000030 Keywords SameText"_s, u"000040 Prefix Different"_s,
                                       u"000050 New New"_s, u"000060 Gone Deleted"_s}));
    EXPECT_EQ(Panels(),
              (QStringList{u"Different Topics: 3"_s, u"Identical Topics: 1"_s, u"Identical Text Topics: 1"_s,
                           u"New Topics: 1"_s, u"Deleted Topics: 1"_s, u"Identical"_s}));
    for (int status = 0; status < 5; ++status)
        EXPECT_EQ(window.StatusPanel(status)->palette().color(QPalette::WindowText),
                  TfrmMain::StatusColor(TTopicCompareStatus(status)));

    const QColor expected[] = {QColor(255, 0, 0), QColor(255, 0, 0), QColor(128, 128, 128),
                               QColor(255, 0, 0), QColor(0, 0, 255), QColor(128, 128, 0)};
    for (int row = 0; row < 6; ++row)
        EXPECT_EQ(window.RowTextColor(row), expected[row]) << row;
    EXPECT_EQ(window.QuillmarkDoc1()->Topics()->FindTopic(30)->Tag(), csSameText);

    // Unhiding lists the identical topic; counts stay those of all topics.
    window.cbHideSame()->click();
    EXPECT_EQ(window.sgTopics()->rowCount(), 7);
    EXPECT_EQ(window.sgTopics()->item(0, 2)->text(), u"Same"_s);
    EXPECT_EQ(window.StatusPanel(1)->text(), u"Identical Topics: 1"_s);
}

TEST_F(DiffWindow, GridCellsAreDrawnInTheirStatusColour)
{
    Open();
    window.cbHideSame()->click();
    QCoreApplication::processEvents();
    const QTableWidget *grid = window.sgTopics();
    const auto redPixels = [grid](int row) {
        const QRect cell = grid->visualItemRect(grid->item(row, 1));
        const QImage image = grid->viewport()->grab(cell).toImage();
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                count += c.red() > 200 && c.green() < 90 && c.blue() < 90;
            }
        return count;
    };
    EXPECT_EQ(redPixels(RowOf(10)), 0);
    EXPECT_GT(redPixels(RowOf(20)), 0);
}

TEST_F(DiffWindow, ChoosingARowMarksTheDifferencesInBothPanes)
{
    Open();
    struct Case
    {
        int topicID;
        QString original;
        QString history;
    };
    const Case cases[] = {
        // The second paragraph lies behind a CR LF in the compared text but
        // behind a single break in the pane.
        {20, u"The gauge shows a val[C:u]e.|It move[R:s ]s[R:moothly]."_s,
         u"The gauge shows a val[C:v]e.|It move[R:  ]s[R:       ]."_s},
        // Characters gained at the very start put the placeholders there.
        {40, u"[A:  ]abc"_s, u"[A:XY]abc"_s},
        {25, u"text [A:  ]o[R:ne]"_s, u"text [A:tw]o[R:  ]"_s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.topicID);
        Choose(c.topicID);
        EXPECT_EQ(Marked(window.reOrigDiff()), c.original);
        EXPECT_EQ(Marked(window.reHistoryDiff()), c.history);
        EXPECT_EQ(window.CurrentOriginal(), window.QuillmarkDoc1()->Topics()->FindTopic(c.topicID));
        EXPECT_EQ(window.CurrentHistory(), window.QuillmarkDoc2()->Topics()->FindTopic(c.topicID));
        EXPECT_EQ(window.StatusPanel(5)->text(), u"Different"_s);
        EXPECT_TRUE(CopyEnabled());
    }
    // The upper panes show the topics as they are, unmarked.
    EXPECT_EQ(PlainText(window.RichEdit1()), u"text one"_s);
    EXPECT_EQ(PlainText(window.RichEdit2()), u"text two"_s);
}

TEST_F(DiffWindow, PairsWithoutACounterpartShowOneSideOnly)
{
    Open();
    Choose(50);
    EXPECT_EQ(window.CurrentHistory(), nullptr);
    EXPECT_EQ(Marked(window.reOrigDiff()), u"only here"_s);
    EXPECT_EQ(PlainText(window.reHistoryDiff()), QString());
    EXPECT_EQ(PlainText(window.RichEdit2()), QString());
    EXPECT_FALSE(CopyEnabled());
    EXPECT_EQ(window.StatusPanel(5)->text(), u"Different"_s);

    Choose(60);
    EXPECT_EQ(window.CurrentOriginal(), nullptr);
    EXPECT_EQ(window.CurrentHistory(), window.QuillmarkDoc2()->Topics()->FindTopic(60));
    EXPECT_EQ(PlainText(window.RichEdit1()), QString());
    EXPECT_EQ(PlainText(window.reOrigDiff()), QString());
    EXPECT_EQ(Marked(window.RichEdit2()), u"only there"_s);
    EXPECT_EQ(Marked(window.reHistoryDiff()), u"only there"_s);
    EXPECT_FALSE(CopyEnabled());

    // An identical pair cannot be copied either.
    window.cbHideSame()->click();
    Choose(10);
    EXPECT_FALSE(CopyEnabled());
    EXPECT_EQ(window.StatusPanel(5)->text(), u"Identical"_s);
}

TEST_F(DiffWindow, CopyingATopicReloadsThePanesAndRecounts)
{
    Open();
    Choose(20);
    ASSERT_TRUE(CopyEnabled());
    window.CopyToOrig()->trigger();
    QCoreApplication::processEvents();

    const TQMTopic *original = window.QuillmarkDoc1()->Topics()->FindTopic(20);
    EXPECT_TRUE(original->IsEqual(window.QuillmarkDoc2()->Topics()->FindTopic(20)));
    EXPECT_EQ(PlainText(window.RichEdit1()), u"The gauge shows a valve.|It moves."_s);
    EXPECT_EQ(Marked(window.reOrigDiff()), u"The gauge shows a valve.|It moves."_s);
    EXPECT_EQ(Marked(window.reHistoryDiff()), u"The gauge shows a valve.|It moves."_s);
    EXPECT_FALSE(CopyEnabled());
    EXPECT_EQ(Panels(),
              (QStringList{u"Different Topics: 2"_s, u"Identical Topics: 2"_s, u"Identical Text Topics: 1"_s,
                           u"New Topics: 1"_s, u"Deleted Topics: 1"_s, u"Identical"_s}));
    // The colour follows at once; the "Diff" text waits for the next fill.
    const int row = RowOf(20);
    EXPECT_EQ(window.RowTextColor(row), QColor(0, 0, 0));
    EXPECT_EQ(window.sgTopics()->item(row, 2)->text(), u"Different"_s);
    EXPECT_TRUE(window.QuillmarkDoc1()->Modified());
}

TEST_F(DiffWindow, CopyingTheTextOnlyCountsWhatThePairHasBecome)
{
    Open();
    // Topic 25 differs in its keywords as well: after the text copy it is a
    // pair with the same text, not an identical one.
    Choose(25);
    window.CopyTextToOrig()->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(PlainText(window.RichEdit1()), u"text two"_s);
    EXPECT_EQ(window.QuillmarkDoc1()->Topics()->FindTopic(25)->Keywords(), u"k1"_s);
    EXPECT_EQ(Panels().mid(0, 3), (QStringList{u"Different Topics: 2"_s, u"Identical Topics: 1"_s,
                                               u"Identical Text Topics: 2"_s}));
    EXPECT_TRUE(CopyEnabled());

    // The other way round the History takes the Original's whole topic.
    Choose(40);
    window.CopyToHist()->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(PlainText(window.RichEdit2()), u"abc"_s);
    EXPECT_EQ(Marked(window.reHistoryDiff()), u"abc"_s);
    EXPECT_EQ(window.StatusPanel(1)->text(), u"Identical Topics: 2"_s);
    EXPECT_FALSE(window.QuillmarkDoc2()->Topics()->FindTopic(40)->Text()->Text().contains(u"XY"_s));
}

TEST_F(DiffWindow, ARowChosenDuringAComparisonIsShownWhenItEnds)
{
    Open();
    const int later = RowOf(40);
    // Runs from the comparison's yield hook, while topic 20 is compared.
    QMetaObject::invokeMethod(
        &window, [this, later] { window.sgTopics()->setCurrentCell(later, 0); }, Qt::QueuedConnection);
    window.sgTopics()->setCurrentCell(RowOf(20), 0);
    QCoreApplication::processEvents();

    EXPECT_EQ(window.CurrentOriginal(), window.QuillmarkDoc1()->Topics()->FindTopic(40));
    EXPECT_EQ(Marked(window.reOrigDiff()), u"[A:  ]abc"_s);
    EXPECT_EQ(Marked(window.reHistoryDiff()), u"[A:XY]abc"_s);
}

TEST_F(DiffWindow, MatchingByTitleReclassifiesButKeepsThePanes)
{
    Open();
    Choose(20);
    const QString before = Marked(window.reOrigDiff());
    window.cbMatch()->setCurrentIndex(1);
    EXPECT_EQ(window.Comparison().MatchBy(), TTopicMatchBy::Title);
    EXPECT_EQ(window.sgTopics()->rowCount(), 6);
    EXPECT_EQ(Marked(window.reOrigDiff()), before);
    EXPECT_EQ(window.CurrentOriginal(), window.QuillmarkDoc1()->Topics()->FindTopic(20));
}

TEST_F(DiffWindow, SortsByAColumnIgnoringCase)
{
    Open();
    QHeaderView *header = window.sgTopics()->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(1) + 10, header->height() / 2));
    QStringList titles;
    for (int row = 0; row < window.sgTopics()->rowCount(); ++row)
        titles.append(window.sgTopics()->item(row, 1)->text());
    EXPECT_EQ(titles,
              (QStringList{u"both"_s, u"Changed"_s, u"Gone"_s, u"Keywords"_s, u"New"_s, u"Prefix"_s}));
    // Every cell moved with its row and still knows its topic.
    Choose(40);
    EXPECT_EQ(window.sgTopics()->item(RowOf(40), 1)->text(), u"Prefix"_s);
    EXPECT_EQ(Marked(window.reHistoryDiff()), u"[A:XY]abc"_s);
}

TEST_F(DiffWindow, TheSharedScrollBarCoversTheLongerPane)
{
    Open();
    Choose(20);
    EXPECT_EQ(window.ScrollBar1()->maximum(), 2);
    EXPECT_EQ(window.ScrollBar1()->value(), 0);
    window.ScrollBar1()->setValue(1);
    EXPECT_EQ(window.reOrigDiff()->textCursor().blockNumber(), 1);
    EXPECT_EQ(window.reHistoryDiff()->textCursor().blockNumber(), 1);
    EXPECT_EQ(window.reHistoryDiff()->textCursor().positionInBlock(), 0);
}

TEST_F(DiffWindow, OpenAsksForBothFilesAndCancellingTheHistoryComparesWithNothing)
{
    answers = {originalPath};
    window.btnOpenFiles()->click();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].Title, u"Open Latest Quillmark File"_s);
    EXPECT_EQ(requests[1].Title, u"Open Quillmark History File"_s);
    for (const TFileNameRequest &request : requests) {
        EXPECT_EQ(request.Kind, TFileNameRequest::Open);
        EXPECT_EQ(request.Filter, u"Quillmark File (*.qmp)"_s);
        EXPECT_EQ(request.DefaultSuffix, u"qmp"_s);
    }
    EXPECT_EQ(window.HistoryFrame()->title(), u"File"_s);
    EXPECT_EQ(window.sgTopics()->rowCount(), 6);
    EXPECT_EQ(window.StatusPanel(3)->text(), u"New Topics: 6"_s);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
}

TEST_F(DiffWindow, AFileThatCannotBeReadLeavesTheWindowUsable)
{
    Open();
    Choose(20);
    const QString unreadable[] = {
        QStringLiteral(QM_TEST_DATA_DIR "/compare/not-a-project.qmp"),
        QStringLiteral(QM_TEST_DATA_DIR "/compare/truncated.qmp"),
        dir.filePath(u"missing.qmp"_s),
    };
    for (const QString &path : unreadable) {
        SCOPED_TRACE(path.toStdString());
        errors.clear();
        requests.clear();
        answers = {path, historyPath};
        window.btnOpenFiles()->click();
        ASSERT_EQ(errors.size(), 1);
        EXPECT_FALSE(errors[0].isEmpty());
        // The History is not asked for, the grid is empty, no pair is
        // current, and the Original shown until now is still there.
        EXPECT_EQ(requests.size(), 1u);
        EXPECT_EQ(window.sgTopics()->rowCount(), 0);
        EXPECT_EQ(window.CurrentOriginal(), nullptr);
        EXPECT_EQ(window.OriginalFrame()->title(), originalPath);
        EXPECT_EQ(window.QuillmarkDoc1()->Topics()->Count(), 6);
    }
    // Changing the match choice fills the grid again from what is loaded.
    window.cbMatch()->setCurrentIndex(2);
    EXPECT_EQ(window.sgTopics()->rowCount(), 6);
}

TEST_F(DiffWindow, SaveAsWritesTheOriginalAndAFailedSaveLosesNothing)
{
    Open();
    Choose(20);
    window.CopyTextToOrig()->trigger();

    const QString target = dir.filePath(u"saved.qmp"_s);
    answers = {target};
    window.btnSaveFile()->click();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].Kind, TFileNameRequest::Save);
    EXPECT_EQ(requests[0].Title, u"Save Latest File As..."_s);
    EXPECT_EQ(requests[0].InitialName, originalPath);
    EXPECT_EQ(requests[0].Filter, u"Quillmark File (*.qmp)"_s);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();

    TQuillmarkDoc saved;
    saved.LoadFromFile(target);
    EXPECT_EQ(saved.Topics()->Count(), 6);
    EXPECT_EQ(saved.Topics()->FindTopic(20)->Text()->Text(),
              window.QuillmarkDoc2()->Topics()->FindTopic(20)->Text()->Text());
    EXPECT_EQ(window.OriginalFrame()->title(), originalPath);

    // A folder that does not exist: the error is shown and both the
    // documents and the file saved before stay as they were.
    const QByteArray savedBytes = [&] {
        QFile file(target);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    answers = {dir.filePath(u"no/such/folder/saved.qmp"_s)};
    window.btnSaveFile()->click();
    EXPECT_EQ(errors.size(), 1);
    EXPECT_EQ(window.QuillmarkDoc1()->Topics()->Count(), 6);
    EXPECT_EQ(window.QuillmarkDoc1()->Topics()->FindTopic(20)->Text()->Text(),
              window.QuillmarkDoc2()->Topics()->FindTopic(20)->Text()->Text());
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), savedBytes);
}

// ---------------------------------------------------------------- timing

// A paragraph of about 100 characters, different for every seed.
QString Paragraph(int seed)
{
    static const char16_t *const words[] = {u"gauge", u"needle", u"value", u"range", u"minimum", u"maximum",
                                            u"dial",  u"draws",  u"moves", u"when",  u"the",     u"a"};
    QString text;
    unsigned state = unsigned(seed) * 2654435761u + 1;
    while (text.size() < 100) {
        state = state * 1103515245u + 12345u;
        text += QString::fromUtf16(words[(state >> 16) % 12]) + u' ';
    }
    return text;
}

// CPU time of this thread: on a shared machine the wall clock mostly
// measures the other processes.
double ThreadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Reports the times of the two operations the comparison window must keep
// quick; the figures go to the performance page.
TEST(DiffWindowTiming, LargeProjectsAndLongTopics)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "timings mean nothing under the sanitizers";
#endif
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    constexpr int TopicCount = 20000;
    // The projects are gone from memory before the window opens their files.
    const auto [originalPath, historyPath] =
        SaveProjects(dir, [](TQuillmarkDoc &original, TQuillmarkDoc &history) {
            QStringList longText;
            for (int i = 0; i < 200; ++i)
                longText.append(Paragraph(i));
            QStringList editedText = longText;
            for (int i : {20, 90, 170})
                editedText[i].replace(u"the"_s, u"THE"_s);
            editedText[120].insert(10, u"inserted words "_s);
            for (int i = 1; i <= TopicCount; ++i) {
                const QStringList text = i == 1 ? longText : QStringList{Paragraph(i)};
                AddTopic(original, i, u"Topic %1"_s.arg(i), i == 1 ? editedText : text);
                AddTopic(history, i, u"Topic %1"_s.arg(i), i % 10 == 0 ? QStringList{Paragraph(-i)} : text);
            }
        });

    TfrmMain window;
    window.show();
    QElapsedTimer timer;
    timer.start();
    double cpu = ThreadCpuMs();
    ASSERT_TRUE(window.OpenFiles(originalPath, historyPath));
    const double openMs = double(timer.nsecsElapsed()) / 1e6;
    const double openCpuMs = ThreadCpuMs() - cpu;
    ASSERT_EQ(window.sgTopics()->rowCount(), TopicCount / 10 + 1);

    std::vector<double> chooseMs;
    std::vector<double> chooseCpuMs;
    for (int run = 0; run < 5; ++run) {
        window.sgTopics()->setCurrentCell(1, 0); // a short topic between the runs
        timer.restart();
        cpu = ThreadCpuMs();
        window.sgTopics()->setCurrentCell(0, 0);
        chooseMs.push_back(double(timer.nsecsElapsed()) / 1e6);
        chooseCpuMs.push_back(ThreadCpuMs() - cpu);
    }
    std::sort(chooseMs.begin(), chooseMs.end());
    std::sort(chooseCpuMs.begin(), chooseCpuMs.end());
    EXPECT_GT(window.reOrigDiff()->document()->characterCount(), 20000);
    EXPECT_NE(Marked(window.reOrigDiff()).indexOf(u"[C:"_s), -1);

    std::cout << "open two projects of " << TopicCount << " topics and fill the grid: " << openMs
              << " ms wall, " << openCpuMs << " ms CPU\n"
              << "choose a row of two " << window.reOrigDiff()->document()->characterCount() - 1
              << "-character topics: median " << chooseMs[2] << " ms wall, " << chooseCpuMs[2] << " ms CPU\n";
    RecordProperty("open_ms", std::to_string(openMs));
    RecordProperty("choose_ms", std::to_string(chooseMs[2]));
}

} // namespace
