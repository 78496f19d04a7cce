#pragma once

// The comparison window: two versions of a project side by side, their
// topics paired and classed in a grid, the chosen pair's texts with every
// differing character marked, and commands that copy a topic or its text
// across before the Original is saved.

#include "diff/Diff.h"
#include "diff/TopicCompare.h"

#include <QColor>
#include <QMainWindow>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QScrollBar;
class QTableWidget;
class QTimer;
class TQMTopic;
class TQuillmarkDoc;
class TRichTextView;

// What the window asks of a file dialog; tests answer it themselves.
struct TFileNameRequest
{
    enum TKind { Open, Save } Kind = Open;
    QString Title;
    QString Filter;
    QString DefaultSuffix;
    QString InitialName;
};

class TfrmMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit TfrmMain(QWidget *parent = nullptr);
    ~TfrmMain() override;

    static QColor StatusColor(TTopicCompareStatus status);
    static QColor DifferenceColor(TDiffEditKind kind);
    // Product name, version and copyright, as the program was built.
    static QString BuildCaption();

    // Loads the Original and, unless history is null, the History, then
    // fills the grid: what Open... does once both files are chosen. Returns
    // false when a file could not be read (its message has been shown).
    bool OpenFiles(const QString &original, const QString &history);

    // Empty: cancelled. The default shows a file dialog.
    std::function<QString(const TFileNameRequest &)> OnAskFileName;
    // The default shows a message box.
    std::function<void(const QString &message)> OnShowError;

    TQuillmarkDoc *QuillmarkDoc1() const { return m_doc1.get(); }
    TQuillmarkDoc *QuillmarkDoc2() const { return m_doc2.get(); }
    TQMTopic *CurrentOriginal() const { return m_currentOriginal; }
    TQMTopic *CurrentHistory() const { return m_currentHistory; }
    const TTopicCompareCounts &Counts() const { return m_counts; }
    const TTopicComparison &Comparison() const { return *m_comparison; }

    QComboBox *cbMatch() const { return m_cbMatch; }
    QCheckBox *cbHideSame() const { return m_cbHideSame; }
    QTableWidget *sgTopics() const { return m_sgTopics; }
    TRichTextView *RichEdit1() const { return m_richEdit1; }
    TRichTextView *RichEdit2() const { return m_richEdit2; }
    TRichTextView *reOrigDiff() const { return m_reOrigDiff; }
    TRichTextView *reHistoryDiff() const { return m_reHistoryDiff; }
    QScrollBar *ScrollBar1() const { return m_scrollBar1; }
    QGroupBox *OriginalFrame() const { return m_gbOriginal; }
    QGroupBox *HistoryFrame() const { return m_gbHistory; }
    QLabel *StatusPanel(int index) const { return m_panels.at(std::size_t(index)); }
    QAction *CopyToOrig() const { return m_actCopyToOrig; }
    QAction *CopyTextToOrig() const { return m_actCopyTextToOrig; }
    QAction *CopyToHist() const { return m_actCopyToHist; }
    QAction *CopyTextToHist() const { return m_actCopyTextToHist; }
    QPushButton *btnOpenFiles() const { return m_btnOpenFiles; }
    QPushButton *btnSaveFile() const { return m_btnSaveFile; }

    // The grid row's topic, and whether it is a History topic (a csDeleted
    // row); null for a row out of range.
    TQMTopic *RowTopic(int row, bool *fromHistory = nullptr) const;
    // The colour the row's text is drawn in while it is not selected.
    QColor RowTextColor(int row) const;

    void FillTopicGrid();
    void ShowDifferences(TQMTopic *original, TQMTopic *history);
    void UpdateStatusBar();
    void SortStringGrid(int column);
    // The enable rule of the four copy commands, applied now.
    void UpdateActions();

    void btnOpenFilesClick();
    void btnSaveFileClick();
    void sgTopicsSelectCell(int row);
    void ScrollBar1Scroll(int position);

private:
    void CreateControls();
    void CreateActions();
    std::unique_ptr<TQuillmarkDoc> NewDocument() const;
    void AttachDocument(TQuillmarkDoc &doc, bool original);
    // Reads the file into a fresh document, so a file that fails half-way
    // leaves the document shown until then as it was.
    std::unique_ptr<TQuillmarkDoc> ReadDocument(const QString &fileName);
    bool LoadOriginal(const QString &fileName);
    bool LoadHistory(const QString &fileName);
    void ReplaceDocuments(std::unique_ptr<TQuillmarkDoc> original, std::unique_ptr<TQuillmarkDoc> history);
    void EmptyGrid();
    void ClearCurrentPair();
    void ScheduleUpdateActions();
    bool CanCopy() const;
    void Recount();
    void MarkDifferences(const QString &textO, const QString &textH);
    void ShowError(const QString &message);
    QString AskFileName(const TFileNameRequest &request);
    void QuillmarkDoc1TopicChange(TQMTopic *topic);
    void QuillmarkDoc2TopicChange(TQMTopic *topic);
    void CopyToOrigExecute();
    void CopyTextToOrigExecute();
    void CopyToHistExecute();
    void CopyTextToHistExecute();

    std::unique_ptr<TQuillmarkDoc> m_doc1;
    std::unique_ptr<TQuillmarkDoc> m_doc2;
    std::unique_ptr<TTopicComparison> m_comparison;
    std::unique_ptr<TDiff> m_diff;
    TQMTopic *m_currentOriginal = nullptr;
    TQMTopic *m_currentHistory = nullptr;
    TTopicCompareCounts m_counts{};
    QString m_saveFileName;
    // Raised by every ShowDifferences, so a comparison that ends after a
    // newer choice knows its script belongs to texts no longer shown.
    unsigned m_showGeneration = 0;
    bool m_filling = false;
    bool m_settingScroll = false;

    QComboBox *m_cbMatch = nullptr;
    QCheckBox *m_cbHideSame = nullptr;
    QTableWidget *m_sgTopics = nullptr;
    QPushButton *m_btnOpenFiles = nullptr;
    QPushButton *m_btnSaveFile = nullptr;
    QGroupBox *m_gbOriginal = nullptr;
    QGroupBox *m_gbHistory = nullptr;
    TRichTextView *m_richEdit1 = nullptr;
    TRichTextView *m_richEdit2 = nullptr;
    TRichTextView *m_reOrigDiff = nullptr;
    TRichTextView *m_reHistoryDiff = nullptr;
    QScrollBar *m_scrollBar1 = nullptr;
    std::vector<QLabel *> m_panels;
    QAction *m_actCopyToOrig = nullptr;
    QAction *m_actCopyTextToOrig = nullptr;
    QAction *m_actCopyToHist = nullptr;
    QAction *m_actCopyTextToHist = nullptr;
    QTimer *m_updateTimer = nullptr;
};
