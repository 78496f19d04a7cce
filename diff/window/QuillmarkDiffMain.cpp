#include "diff/window/QuillmarkDiffMain.h"

#include "diff/window/DiffWindowStrings.h"
#include "foundation/Exceptions.h"
#include "quillmarkdoc/QuillmarkDoc.h"
#include "richtext/RichTextView.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCollator>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <exception>

#ifndef QM_VERSION
#define QM_VERSION ""
#endif
#ifndef QM_COPYRIGHT
#define QM_COPYRIGHT ""
#endif

using namespace Qt::StringLiterals;

namespace {

constexpr int TopicRole = Qt::UserRole;
constexpr int FromHistoryRole = Qt::UserRole + 1;

constexpr int ColumnWidths[] = {50, 100, 50};
constexpr int StatusPanelWidth = 160;
constexpr int PairPanelWidth = 50;

// Shows the busy cursor for as long as it lives, so every way out of a long
// operation gives the normal cursor back.
class TBusyCursor
{
public:
    TBusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TBusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    TBusyCursor(const TBusyCursor &) = delete;
    TBusyCursor &operator=(const TBusyCursor &) = delete;
};

// Grid cells take the colour of their topic's status as it is now, so the
// colour follows a copy at once while the "Diff" text waits for the next
// fill; selected cells keep the selection colours.
class TTopicCellDelegate : public QStyledItemDelegate
{
public:
    TTopicCellDelegate(TfrmMain *window, QObject *parent)
        : QStyledItemDelegate(parent)
        , m_window(window)
    {}

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (!(option->state & QStyle::State_Selected))
            option->palette.setColor(QPalette::Text, m_window->RowTextColor(index.row()));
    }

private:
    TfrmMain *m_window;
};

} // namespace

// ---------------------------------------------------------------- creation

TfrmMain::TfrmMain(QWidget *parent)
    : QMainWindow(parent)
    , m_doc1(NewDocument())
    , m_doc2(NewDocument())
    , m_diff(std::make_unique<TDiff>())
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(BuildCaption());
    resize(889, 691);

    m_comparison = std::make_unique<TTopicComparison>(*m_doc1, *m_doc2);
    AttachDocument(*m_doc1, true);
    AttachDocument(*m_doc2, false);

    // A long comparison keeps the window alive; a choice made meanwhile
    // comes back through ShowDifferences, which knows what to do with it.
    m_diff->OnYield = [] { QCoreApplication::processEvents(); };

    m_updateTimer = new QTimer(this);
    m_updateTimer->setSingleShot(true);
    m_updateTimer->setInterval(0);
    connect(m_updateTimer, &QTimer::timeout, this, &TfrmMain::UpdateActions);

    CreateActions();
    CreateControls();
    UpdateActions();
}

TfrmMain::~TfrmMain()
{
    // The documents outlive the panes' handlers only if they are told to
    // stop reporting first.
    m_doc1->OnTopicChange = nullptr;
    m_doc1->OnAddTopic = nullptr;
    m_doc1->OnDeleteTopic = nullptr;
    m_doc2->OnTopicChange = nullptr;
    m_doc2->OnAddTopic = nullptr;
    m_doc2->OnDeleteTopic = nullptr;
    m_diff->OnYield = nullptr;
}

QString TfrmMain::BuildCaption()
{
    QString caption = DiffWindowStrings::ProductName();
    const QString version = QStringLiteral(QM_VERSION);
    if (!version.isEmpty())
        caption += QStringLiteral(" v") + version;
    const QString copyright = QStringLiteral(QM_COPYRIGHT);
    if (!copyright.isEmpty())
        caption += QLatin1Char(' ') + copyright;
    return caption;
}

QColor TfrmMain::StatusColor(TTopicCompareStatus status)
{
    switch (status) {
    case csDifferent:
        return QColor(255, 0, 0);
    case csSame:
        return QColor(0, 0, 0);
    case csSameText:
        return QColor(128, 128, 128);
    case csNew:
        return QColor(0, 0, 255);
    case csDeleted:
        return QColor(128, 128, 0);
    }
    return QColor(0, 0, 0);
}

QColor TfrmMain::DifferenceColor(TDiffEditKind kind)
{
    switch (kind) {
    case ekAdded:
        return QColor(255, 165, 0);
    case ekRemoved:
        return QColor(255, 255, 0);
    case ekChanged:
        return QColor(192, 192, 192);
    case ekSame:
        break;
    }
    return QColor();
}

std::unique_ptr<TQuillmarkDoc> TfrmMain::NewDocument() const
{
    auto doc = std::make_unique<TQuillmarkDoc>();
    doc->Font()->SetName(QStringLiteral("MS Sans Serif"));
    doc->Font()->SetHeight(-11);
    TQMProjectOptions &options = *doc->Options();
    options.SetFileVersion(13);
    options.SetHelpFileKind(0);
    options.SetHelpFileType(ft16Bit);
    options.SetGenerateCFile(false);
    options.SetIncludeImages(false);
    doc->RecentFiles()->SetMaxCount(4);
    doc->SetTopicIncrement(1);
    doc->EnsureDefaultStatuses();
    doc->SetModified(false);
    return doc;
}

void TfrmMain::AttachDocument(TQuillmarkDoc &doc, bool original)
{
    if (original) {
        doc.OnTopicChange = [this](TObject *, TQMTopic *topic) { QuillmarkDoc1TopicChange(topic); };
        return;
    }
    doc.OnTopicChange = [this](TObject *, TQMTopic *topic) { QuillmarkDoc2TopicChange(topic); };
    // Pairing by title indexes the History's names.
    doc.OnAddTopic = [this](TObject *, TQMTopic *) { m_comparison->HistoryChanged(); };
    doc.OnDeleteTopic = [this](TObject *, TQMTopic *) { m_comparison->HistoryChanged(); };
}

void TfrmMain::CreateActions()
{
    const auto make = [this](const QString &iconText, const QString &hint, const QKeySequence &shortcut,
                             void (TfrmMain::*handler)()) {
        auto *action = new QAction(hint, this);
        action->setIconText(iconText);
        action->setToolTip(hint);
        action->setStatusTip(hint);
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, handler);
        addAction(action);
        return action;
    };
    m_actCopyToOrig = make(QStringLiteral("<<"), DiffWindowStrings::CopyToOrigHint(),
                           QKeySequence(Qt::CTRL | Qt::Key_E), &TfrmMain::CopyToOrigExecute);
    m_actCopyTextToOrig = make(QStringLiteral("<T"), DiffWindowStrings::CopyTextToOrigHint(),
                               QKeySequence(Qt::CTRL | Qt::Key_T), &TfrmMain::CopyTextToOrigExecute);
    m_actCopyToHist = make(QStringLiteral(">>"), DiffWindowStrings::CopyToHistHint(),
                           QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_E), &TfrmMain::CopyToHistExecute);
    m_actCopyTextToHist =
        make(QStringLiteral("T>"), DiffWindowStrings::CopyTextToHistHint(),
             QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_T), &TfrmMain::CopyTextToHistExecute);
    m_actCopyToOrig->setObjectName(QStringLiteral("CopyToOrig"));
    m_actCopyTextToOrig->setObjectName(QStringLiteral("CopyTextToOrig"));
    m_actCopyToHist->setObjectName(QStringLiteral("CopyToHist"));
    m_actCopyTextToHist->setObjectName(QStringLiteral("CopyTextToHist"));
}

void TfrmMain::CreateControls()
{
    auto *central = new QWidget(this);
    auto *mainLayout = new QHBoxLayout(central);
    mainLayout->setContentsMargins(4, 4, 4, 4);

    // ---- left column
    auto *left = new QWidget(central);
    left->setFixedWidth(217);
    auto *leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);

    m_cbMatch = new QComboBox(left);
    m_cbMatch->setObjectName(QStringLiteral("cbMatch"));
    m_cbMatch->addItems({DiffWindowStrings::MatchByID(), DiffWindowStrings::MatchByTitle(),
                         DiffWindowStrings::MatchByIDOrTitle()});
    m_cbMatch->setCurrentIndex(0);
    leftLayout->addWidget(m_cbMatch);

    m_cbHideSame = new QCheckBox(DiffWindowStrings::HideUnchanged(), left);
    m_cbHideSame->setObjectName(QStringLiteral("cbHideSame"));
    m_cbHideSame->setChecked(true);
    leftLayout->addWidget(m_cbHideSame);

    m_sgTopics = new QTableWidget(0, 3, left);
    m_sgTopics->setObjectName(QStringLiteral("sgTopics"));
    m_sgTopics->setHorizontalHeaderLabels(
        {DiffWindowStrings::ColumnID(), DiffWindowStrings::ColumnTitle(), DiffWindowStrings::ColumnDiff()});
    m_sgTopics->verticalHeader()->hide();
    m_sgTopics->verticalHeader()->setDefaultSectionSize(m_sgTopics->fontMetrics().height() + 4);
    m_sgTopics->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_sgTopics->setSelectionMode(QAbstractItemView::SingleSelection);
    m_sgTopics->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_sgTopics->setWordWrap(false);
    m_sgTopics->setShowGrid(true);
    m_sgTopics->setItemDelegate(new TTopicCellDelegate(this, m_sgTopics));
    QHeaderView *header = m_sgTopics->horizontalHeader();
    header->setObjectName(QStringLiteral("HeaderControl1"));
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    // The design widths, widened where this platform's font would cut the
    // six-digit numbers or the status names short.
    QFont gridFont = m_sgTopics->font();
    gridFont.setPointSize(8);
    m_sgTopics->setFont(gridFont);
    header->setFont(gridFont);
    const QFontMetrics metrics(gridFont);
    const int needed[] = {metrics.horizontalAdvance(u"0000000"_s) + 6, 0,
                          metrics.horizontalAdvance(u"SameText"_s) + 8};
    const int idWidth = std::max(ColumnWidths[0], needed[0]);
    const int diffWidth = std::max(ColumnWidths[2], needed[2]);
    // The title gives up what the others took, so the three still fit the column.
    const int titleWidth =
        std::max(60, ColumnWidths[0] + ColumnWidths[1] + ColumnWidths[2] - idWidth - diffWidth);
    header->resizeSection(0, idWidth);
    header->resizeSection(1, titleWidth);
    header->resizeSection(2, diffWidth);
    leftLayout->addWidget(m_sgTopics, 1);

    auto *buttons = new QHBoxLayout;
    m_btnOpenFiles = new QPushButton(DiffWindowStrings::OpenButton(), left);
    m_btnOpenFiles->setObjectName(QStringLiteral("btnOpenFiles"));
    m_btnSaveFile = new QPushButton(DiffWindowStrings::SaveButton(), left);
    m_btnSaveFile->setObjectName(QStringLiteral("btnSaveFile"));
    m_btnSaveFile->setToolTip(DiffWindowStrings::SaveButtonHint());
    m_btnSaveFile->setStatusTip(DiffWindowStrings::SaveButtonHint());
    buttons->addWidget(m_btnOpenFiles);
    buttons->addWidget(m_btnSaveFile);
    leftLayout->addLayout(buttons);
    mainLayout->addWidget(left);

    // ---- right side
    auto *right = new QWidget(central);
    auto *rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);

    const auto makePane = [](QWidget *parent, const QString &name) {
        auto *pane = new TRichTextView(parent);
        pane->setObjectName(name);
        pane->SetReadOnly(true);
        // Wrapped like the upper panes: the difference panes have no
        // horizontal scroll bar, and a mark past the right edge would be lost.
        pane->setLineWrapMode(QTextEdit::WidgetWidth);
        pane->document()->setUndoRedoEnabled(false);
        return pane;
    };

    auto *upper = new QWidget(right);
    upper->setFixedHeight(320);
    auto *upperLayout = new QHBoxLayout(upper);
    upperLayout->setContentsMargins(0, 0, 0, 0);
    m_gbOriginal = new QGroupBox(DiffWindowStrings::FileFrame(), upper);
    m_gbOriginal->setObjectName(QStringLiteral("gbOriginal"));
    m_richEdit1 = makePane(m_gbOriginal, QStringLiteral("RichEdit1"));
    (new QVBoxLayout(m_gbOriginal))->addWidget(m_richEdit1);
    m_gbHistory = new QGroupBox(DiffWindowStrings::FileFrame(), upper);
    m_gbHistory->setObjectName(QStringLiteral("gbHistory"));
    m_richEdit2 = makePane(m_gbHistory, QStringLiteral("RichEdit2"));
    (new QVBoxLayout(m_gbHistory))->addWidget(m_richEdit2);

    auto *copyColumn = new QVBoxLayout;
    copyColumn->addStretch(1);
    for (QAction *action : {m_actCopyToOrig, m_actCopyTextToOrig, m_actCopyToHist, m_actCopyTextToHist}) {
        auto *button = new QToolButton(upper);
        button->setDefaultAction(action);
        button->setObjectName(QStringLiteral("btn") + action->objectName());
        button->setFixedWidth(32);
        copyColumn->addWidget(button);
    }
    copyColumn->addStretch(1);
    upperLayout->addWidget(m_gbOriginal, 1);
    upperLayout->addLayout(copyColumn);
    upperLayout->addWidget(m_gbHistory, 1);
    rightLayout->addWidget(upper);

    auto *differences = new QGroupBox(DiffWindowStrings::DifferenceFrame(), right);
    differences->setObjectName(QStringLiteral("gbDifferences"));
    auto *differenceLayout = new QHBoxLayout(differences);
    m_reOrigDiff = makePane(differences, QStringLiteral("reOrigDiff"));
    m_reHistoryDiff = makePane(differences, QStringLiteral("reHistoryDiff"));
    for (TRichTextView *pane : {m_reOrigDiff, m_reHistoryDiff}) {
        pane->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        pane->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    m_scrollBar1 = new QScrollBar(Qt::Vertical, differences);
    m_scrollBar1->setObjectName(QStringLiteral("ScrollBar1"));
    m_scrollBar1->setRange(0, 0);
    differenceLayout->addWidget(m_reOrigDiff, 1);
    differenceLayout->addWidget(m_reHistoryDiff, 1);
    differenceLayout->addWidget(m_scrollBar1);
    rightLayout->addWidget(differences, 1);
    mainLayout->addWidget(right, 1);
    setCentralWidget(central);

    // ---- status bar
    for (int panel = 0; panel < 6; ++panel) {
        auto *label = new QLabel(DiffWindowStrings::DesignPanelText(panel), statusBar());
        label->setObjectName(QStringLiteral("StatusPanel%1").arg(panel + 1));
        const int designWidth = panel < 5 ? StatusPanelWidth : PairPanelWidth;
        label->setFixedWidth(std::max(
            designWidth, label->fontMetrics().horizontalAdvance(DiffWindowStrings::PairDifferent()) + 8));
        label->setContentsMargins(2, 0, 0, 0);
        label->setAutoFillBackground(true);
        if (panel < 5) {
            QPalette palette = label->palette();
            palette.setColor(QPalette::WindowText, StatusColor(TTopicCompareStatus(panel)));
            label->setPalette(palette);
        }
        statusBar()->addWidget(label);
        m_panels.push_back(label);
    }

    // ---- wiring
    connect(m_btnOpenFiles, &QPushButton::clicked, this, &TfrmMain::btnOpenFilesClick);
    connect(m_btnSaveFile, &QPushButton::clicked, this, &TfrmMain::btnSaveFileClick);
    connect(m_cbMatch, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_comparison->SetMatchBy(TTopicMatchBy(std::clamp(index, 0, 2)));
        FillTopicGrid();
        update();
    });
    connect(m_cbHideSame, &QCheckBox::toggled, this, [this] { FillTopicGrid(); });
    connect(m_sgTopics, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (!m_filling && row >= 0)
            sgTopicsSelectCell(row);
    });
    connect(header, &QHeaderView::sectionClicked, this, &TfrmMain::SortStringGrid);
    connect(m_scrollBar1, &QScrollBar::valueChanged, this, [this](int position) {
        if (!m_settingScroll)
            ScrollBar1Scroll(position);
    });
}

// ---------------------------------------------------------------- helpers

void TfrmMain::ShowError(const QString &message)
{
    if (OnShowError) {
        OnShowError(message);
        return;
    }
    QMessageBox::critical(this, QGuiApplication::applicationDisplayName(), message);
}

QString TfrmMain::AskFileName(const TFileNameRequest &request)
{
    if (OnAskFileName)
        return OnAskFileName(request);
    QFileDialog dialog(this, request.Title);
    dialog.setNameFilter(request.Filter);
    dialog.setDefaultSuffix(request.DefaultSuffix);
    if (request.Kind == TFileNameRequest::Save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (!request.InitialName.isEmpty())
        dialog.selectFile(request.InitialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

TQMTopic *TfrmMain::RowTopic(int row, bool *fromHistory) const
{
    if (fromHistory)
        *fromHistory = false;
    if (row < 0 || row >= m_sgTopics->rowCount())
        return nullptr;
    const QTableWidgetItem *item = m_sgTopics->item(row, 0);
    if (!item)
        return nullptr;
    if (fromHistory)
        *fromHistory = item->data(FromHistoryRole).toBool();
    return reinterpret_cast<TQMTopic *>(item->data(TopicRole).value<quintptr>());
}

QColor TfrmMain::RowTextColor(int row) const
{
    bool fromHistory = false;
    const TQMTopic *topic = RowTopic(row, &fromHistory);
    if (!topic)
        return StatusColor(csSame);
    return StatusColor(fromHistory ? csDeleted : m_comparison->CompareStatus(topic));
}

void TfrmMain::EmptyGrid()
{
    m_filling = true;
    m_sgTopics->setRowCount(0);
    m_filling = false;
}

void TfrmMain::ClearCurrentPair()
{
    m_currentOriginal = nullptr;
    m_currentHistory = nullptr;
    ScheduleUpdateActions();
}

void TfrmMain::ScheduleUpdateActions()
{
    m_updateTimer->start();
}

bool TfrmMain::CanCopy() const
{
    return m_currentOriginal && m_currentHistory && !m_currentOriginal->IsEqual(m_currentHistory);
}

void TfrmMain::UpdateActions()
{
    const bool enabled = CanCopy();
    for (QAction *action : {m_actCopyToOrig, m_actCopyTextToOrig, m_actCopyToHist, m_actCopyTextToHist})
        action->setEnabled(enabled);
}

// ---------------------------------------------------------------- files

std::unique_ptr<TQuillmarkDoc> TfrmMain::ReadDocument(const QString &fileName)
{
    auto doc = NewDocument();
    try {
        TBusyCursor busy;
        doc->LoadFromFile(fileName);
    } catch (const Exception &error) {
        ShowError(error.Message());
        return nullptr;
    } catch (const std::exception &error) {
        ShowError(QString::fromLocal8Bit(error.what()));
        return nullptr;
    }
    return doc;
}

void TfrmMain::ReplaceDocuments(std::unique_ptr<TQuillmarkDoc> original,
                                std::unique_ptr<TQuillmarkDoc> history)
{
    // Nothing may point into a document that goes.
    EmptyGrid();
    ClearCurrentPair();
    if (original) {
        m_doc1->OnTopicChange = nullptr;
        m_doc1 = std::move(original);
        AttachDocument(*m_doc1, true);
    }
    if (history) {
        m_doc2->OnTopicChange = nullptr;
        m_doc2->OnAddTopic = nullptr;
        m_doc2->OnDeleteTopic = nullptr;
        m_doc2 = std::move(history);
        AttachDocument(*m_doc2, false);
    }
    const TTopicMatchBy matchBy = m_comparison->MatchBy();
    m_comparison = std::make_unique<TTopicComparison>(*m_doc1, *m_doc2);
    m_comparison->SetMatchBy(matchBy);
}

bool TfrmMain::LoadOriginal(const QString &fileName)
{
    EmptyGrid();
    ClearCurrentPair();
    std::unique_ptr<TQuillmarkDoc> doc = ReadDocument(fileName);
    if (!doc)
        return false;
    ReplaceDocuments(std::move(doc), nullptr);
    m_gbOriginal->setTitle(fileName);
    m_saveFileName = fileName;
    return true;
}

bool TfrmMain::LoadHistory(const QString &fileName)
{
    std::unique_ptr<TQuillmarkDoc> doc = ReadDocument(fileName);
    if (!doc)
        return false;
    ReplaceDocuments(nullptr, std::move(doc));
    m_gbHistory->setTitle(fileName);
    return true;
}

bool TfrmMain::OpenFiles(const QString &original, const QString &history)
{
    if (!LoadOriginal(original))
        return false;
    if (!history.isNull() && !LoadHistory(history))
        return false;
    FillTopicGrid();
    return true;
}

void TfrmMain::btnOpenFilesClick()
{
    TFileNameRequest request;
    request.Kind = TFileNameRequest::Open;
    request.Title = DiffWindowStrings::OpenOriginalTitle();
    request.Filter = DiffWindowStrings::FileFilter();
    request.DefaultSuffix = DiffWindowStrings::DefaultExtension();
    const QString original = AskFileName(request);
    if (original.isEmpty() || !LoadOriginal(original))
        return;

    // Cancelling keeps the History as it was: empty at first, else the one
    // loaded before.
    request.Title = DiffWindowStrings::OpenHistoryTitle();
    const QString history = AskFileName(request);
    if (!history.isEmpty() && !LoadHistory(history))
        return;
    FillTopicGrid();
}

void TfrmMain::btnSaveFileClick()
{
    TFileNameRequest request;
    request.Kind = TFileNameRequest::Save;
    request.Title = DiffWindowStrings::SaveTitle();
    request.Filter = DiffWindowStrings::FileFilter();
    request.DefaultSuffix = DiffWindowStrings::DefaultExtension();
    request.InitialName = m_saveFileName;
    const QString fileName = AskFileName(request);
    if (fileName.isEmpty())
        return;
    try {
        TBusyCursor busy;
        m_doc1->SaveToFile(fileName);
    } catch (const Exception &error) {
        ShowError(error.Message());
    } catch (const std::exception &error) {
        ShowError(QString::fromLocal8Bit(error.what()));
    }
}

// ---------------------------------------------------------------- grid

void TfrmMain::FillTopicGrid()
{
    const std::vector<TTopicCompareRow> rows = m_comparison->Classify();
    m_counts = TTopicComparison::Count(rows);
    const bool hideSame = m_cbHideSame->isChecked();

    m_filling = true;
    m_sgTopics->setUpdatesEnabled(false);
    m_sgTopics->setRowCount(0);
    m_sgTopics->setRowCount(int(rows.size()) - (hideSame ? m_counts[csSame] : 0));
    int row = 0;
    for (const TTopicCompareRow &entry : rows) {
        const bool fromHistory = entry.Status == csDeleted;
        if (!fromHistory)
            entry.Topic->SetTag(entry.Status);
        if (hideSame && entry.Status == csSame)
            continue;
        const QString texts[3] = {TTopicComparison::FormatTopicID(entry.Topic->TopicID()),
                                  entry.Topic->Title(), TTopicComparison::StatusName(entry.Status)};
        for (int column = 0; column < 3; ++column) {
            auto *item = new QTableWidgetItem(texts[column]);
            item->setData(TopicRole, QVariant::fromValue(reinterpret_cast<quintptr>(entry.Topic)));
            item->setData(FromHistoryRole, fromHistory);
            m_sgTopics->setItem(row, column, item);
        }
        ++row;
    }
    m_sgTopics->setUpdatesEnabled(true);
    m_filling = false;
    UpdateStatusBar();
}

void TfrmMain::SortStringGrid(int column)
{
    const int rowCount = m_sgTopics->rowCount();
    if (column < 0 || column >= m_sgTopics->columnCount() || rowCount < 2)
        return;
    TBusyCursor busy;

    std::vector<QString> keys(static_cast<std::size_t>(rowCount));
    for (int row = 0; row < rowCount; ++row) {
        const QTableWidgetItem *item = m_sgTopics->item(row, column);
        keys[std::size_t(row)] = item ? item->text() : QString();
    }
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    const auto less = [&](int a, int b) {
        return collator.compare(keys[std::size_t(a)], keys[std::size_t(b)]) < 0;
    };

    std::vector<int> order(static_cast<std::size_t>(rowCount));
    for (int row = 0; row < rowCount; ++row)
        order[std::size_t(row)] = row;
    // Quicksort with a random pivot per range: a grid already in order (the
    // usual case: the ID column of a fresh fill) stays n log n.
    QRandomGenerator *random = QRandomGenerator::global();
    std::vector<std::pair<int, int>> ranges{{0, rowCount - 1}};
    while (!ranges.empty()) {
        auto [low, high] = ranges.back();
        ranges.pop_back();
        while (low < high) {
            const int pivot = order[std::size_t(random->bounded(low, high + 1))];
            int i = low;
            int j = high;
            while (i <= j) {
                while (less(order[std::size_t(i)], pivot))
                    ++i;
                while (less(pivot, order[std::size_t(j)]))
                    --j;
                if (i <= j) {
                    std::swap(order[std::size_t(i)], order[std::size_t(j)]);
                    ++i;
                    --j;
                }
            }
            // Keep the smaller part for the loop so the stack stays shallow.
            if (j - low < high - i) {
                ranges.emplace_back(i, high);
                high = j;
            } else {
                ranges.emplace_back(low, j);
                low = i;
            }
        }
    }

    const int columns = m_sgTopics->columnCount();
    std::vector<QTableWidgetItem *> items(std::size_t(rowCount) * std::size_t(columns));
    m_filling = true;
    m_sgTopics->setUpdatesEnabled(false);
    for (int row = 0; row < rowCount; ++row)
        for (int c = 0; c < columns; ++c)
            items[std::size_t(row) * columns + c] = m_sgTopics->takeItem(row, c);
    for (int row = 0; row < rowCount; ++row) {
        const std::size_t from = std::size_t(order[std::size_t(row)]);
        for (int c = 0; c < columns; ++c)
            m_sgTopics->setItem(row, c, items[from * columns + c]);
    }
    m_sgTopics->setUpdatesEnabled(true);
    m_filling = false;
}

void TfrmMain::sgTopicsSelectCell(int row)
{
    bool fromHistory = false;
    TQMTopic *topic = RowTopic(row, &fromHistory);
    if (fromHistory) {
        // A topic only the History has: nothing stands on the left.
        m_currentOriginal = nullptr;
        m_currentHistory = topic;
    } else {
        m_currentOriginal = topic;
        ScheduleUpdateActions();
        if (!topic)
            return;
        m_currentHistory = m_comparison->FindMatch(topic);
    }
    ScheduleUpdateActions();

    if (m_currentOriginal)
        m_richEdit1->LoadLines(m_currentOriginal->Text()->ToQStringList());
    else
        m_richEdit1->Buffer().Clear();
    if (m_currentHistory)
        m_richEdit2->LoadLines(m_currentHistory->Text()->ToQStringList());
    else
        m_richEdit2->Buffer().Clear();

    m_settingScroll = true;
    m_scrollBar1->setRange(0, std::max(m_richEdit1->Buffer().LineCount(), m_richEdit2->Buffer().LineCount()));
    m_scrollBar1->setValue(0);
    m_settingScroll = false;

    try {
        ShowDifferences(m_currentOriginal, m_currentHistory);
    } catch (const Exception &error) {
        ShowError(error.Message());
        return;
    } catch (const std::exception &error) {
        ShowError(QString::fromLocal8Bit(error.what()));
        return;
    }
    UpdateStatusBar();
}

// ---------------------------------------------------------------- differences

void TfrmMain::ShowDifferences(TQMTopic *original, TQMTopic *history)
{
    const unsigned generation = ++m_showGeneration;

    if (original)
        m_reOrigDiff->LoadLines(original->Text()->ToQStringList());
    else
        m_reOrigDiff->Buffer().Clear();
    if (!history) {
        m_reHistoryDiff->Buffer().Clear();
        return;
    }
    m_reHistoryDiff->LoadLines(history->Text()->ToQStringList());
    if (!original)
        return;

    const QString textO = m_reOrigDiff->Buffer().TextCrLf();
    const QString textH = m_reHistoryDiff->Buffer().TextCrLf();
    // A comparison is still running (this is a choice made from its yield
    // hook): leave the panes unmarked; the running one shows the pair that
    // is current once it is done.
    if (!m_diff->CompareChars(textO, textH))
        return;
    if (generation != m_showGeneration) {
        // Chosen while comparing: the panes hold a newer pair's texts.
        ShowDifferences(m_currentOriginal, m_currentHistory);
        return;
    }
    MarkDifferences(textO, textH);
}

void TfrmMain::MarkDifferences(const QString &textO, const QString &textH)
{
    // One operation per run of neighbouring marks or placeholders of one
    // kind: a text with long changes is marked in a few steps, not one step
    // per character.
    struct TOperation
    {
        bool Insert;
        int Position;
        int Length;
        TDiffEditKind Kind;
    };
    struct TPane
    {
        const QString &Text;
        std::vector<int> CrLfBefore; // CR LF pairs whose CR lies before index i
        int Inserted = 0;
        std::vector<TOperation> Operations;

        explicit TPane(const QString &text)
            : Text(text)
            , CrLfBefore(std::size_t(text.size()) + 2, 0)
        {
            int pairs = 0;
            for (qsizetype i = 0; i < text.size(); ++i) {
                CrLfBefore[std::size_t(i)] = pairs;
                if (text.at(i) == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                    ++pairs;
            }
            CrLfBefore[std::size_t(text.size())] = pairs;
            CrLfBefore[std::size_t(text.size()) + 1] = pairs;
        }
        int ViewPosition(int index) const
        {
            const std::size_t clamped = std::size_t(std::clamp<qsizetype>(index, 0, Text.size() + 1));
            return index + Inserted - CrLfBefore[clamped];
        }
        void Add(bool insert, int position, TDiffEditKind kind)
        {
            if (!Operations.empty()) {
                TOperation &last = Operations.back();
                if (last.Insert == insert && last.Kind == kind && last.Position + last.Length == position) {
                    ++last.Length;
                    return;
                }
            }
            Operations.push_back({insert, position, 1, kind});
        }
        void Mark(int index, TDiffEditKind kind) { Add(false, ViewPosition(index), kind); }
        void Placeholder(int afterIndex, TDiffEditKind kind)
        {
            Add(true, ViewPosition(afterIndex + 1), kind);
            ++Inserted;
        }
    };

    TPane original(textO);
    TPane history(textH);
    for (const TDiffEntry &entry : m_diff->Entries()) {
        switch (entry.Kind) {
        case ekSame:
            break;
        case ekAdded:
            original.Placeholder(entry.Index1, ekAdded);
            history.Mark(entry.Index2, ekAdded);
            break;
        case ekRemoved:
            original.Mark(entry.Index1, ekRemoved);
            history.Placeholder(entry.Index2, ekRemoved);
            break;
        case ekChanged:
            original.Mark(entry.Index1, ekChanged);
            history.Mark(entry.Index2, ekChanged);
            break;
        }
    }

    const auto apply = [](TRichTextView *view, const TPane &pane) {
        // A buffer of its own over the pane's document, so marking does not
        // drag the view's caret and scroll position along with every step.
        TRichTextBuffer buffer(view->document());
        for (const TOperation &operation : pane.Operations) {
            if (operation.Insert) {
                buffer.SetSelection(operation.Position, 0);
                buffer.SetSelText(QString(operation.Length, u' '));
            }
            // The placeholders take their entry's colour too, so an
            // insertion shows where it happened.
            buffer.SetSelection(operation.Position, operation.Length);
            buffer.SetSelBackground(DifferenceColor(operation.Kind));
        }
        QTextCursor top(view->document());
        view->setTextCursor(top);
    };
    apply(m_reOrigDiff, original);
    apply(m_reHistoryDiff, history);
}

void TfrmMain::ScrollBar1Scroll(int position)
{
    for (TRichTextView *pane : {m_reOrigDiff, m_reHistoryDiff}) {
        pane->setFocus();
        pane->ScrollToLine(position);
    }
}

// ---------------------------------------------------------------- status bar

void TfrmMain::UpdateStatusBar()
{
    for (int status = 0; status < TopicCompareStatusCount; ++status)
        m_panels[std::size_t(status)]->setText(TTopicComparison::StatusBarText(TTopicCompareStatus(status)) +
                                               QString::number(m_counts[std::size_t(status)]));
    const bool identical =
        m_currentOriginal ? m_currentOriginal->IsEqual(m_currentHistory) : !m_currentHistory;
    m_panels[5]->setText(identical ? DiffWindowStrings::PairIdentical() : DiffWindowStrings::PairDifferent());
}

void TfrmMain::Recount()
{
    // The figures come from a fresh classification, so a copy can never
    // leave a count behind that the grid's next fill would contradict.
    m_counts = TTopicComparison::Count(m_comparison->Classify());
    UpdateStatusBar();
    ScheduleUpdateActions();
}

// ---------------------------------------------------------------- copying

void TfrmMain::CopyToOrigExecute()
{
    if (!CanCopy())
        return;
    m_currentOriginal->Assign(m_currentHistory);
    Recount();
}

void TfrmMain::CopyTextToOrigExecute()
{
    if (!CanCopy())
        return;
    m_currentOriginal->SetText(m_currentHistory->Text());
    Recount();
}

void TfrmMain::CopyToHistExecute()
{
    if (!CanCopy())
        return;
    m_currentHistory->Assign(m_currentOriginal);
    Recount();
}

void TfrmMain::CopyTextToHistExecute()
{
    if (!CanCopy())
        return;
    m_currentHistory->SetText(m_currentOriginal->Text());
    Recount();
}

void TfrmMain::QuillmarkDoc1TopicChange(TQMTopic *topic)
{
    if (!topic || topic != m_currentOriginal)
        return;
    m_sgTopics->viewport()->update();
    m_richEdit1->LoadLines(topic->Text()->ToQStringList());
    try {
        ShowDifferences(m_currentOriginal, m_currentHistory);
    } catch (const Exception &error) {
        ShowError(error.Message());
    }
}

void TfrmMain::QuillmarkDoc2TopicChange(TQMTopic *topic)
{
    m_comparison->HistoryChanged();
    m_sgTopics->viewport()->update();
    if (!topic || topic != m_currentHistory)
        return;
    m_richEdit2->LoadLines(topic->Text()->ToQStringList());
    try {
        ShowDifferences(m_currentOriginal, m_currentHistory);
    } catch (const Exception &error) {
        ShowError(error.Message());
    }
}
