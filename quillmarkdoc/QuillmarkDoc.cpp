#include "quillmarkdoc/QuillmarkDoc.h"

#include "quillmarkdoc/QuillmarkDocStrings.h"

#include <array>
#include <cstdint>

namespace {

int32_t Wrapped(int64_t value)
{
    return static_cast<int32_t>(static_cast<uint32_t>(value));
}

struct StandardMacro
{
    const char16_t *name;
    TColor color;
    const char16_t *typeFace;
    int size;
    TFontStyles style;
};

// Appended in this order when missing.
const std::array<StandardMacro, 5> StandardMacros = {{
    {u"*PopupLink", clWindowText, u"Arial", 8, {}},
    {u"*PopupTopicTitle", clBlue, u"Arial", 10, fsBold},
    {u"*SourceCode", clWindowText, u"Courier New", 8, {}},
    {u"*TopicText", clWindowText, u"Arial", 10, {}},
    {u"*TopicTitle", clBlue, u"Arial", 16, fsBold},
}};

// The syntax macros, also in the order they are appended.
constexpr std::array<TSyntaxType, 7> SyntaxMacroTypes = {stCPlusPlus, stDFM,      stJScript, stSQL,
                                                         stVB,        stVBScript, stXML};

} // namespace

TQuillmarkDoc::TQuillmarkDoc(QObject *owner)
    : m_owner(owner)
{
    m_font = std::make_unique<TFont>();
    m_font->OnChange = [this](TObject *) { FontChanged(); };

    m_options = std::make_unique<TQMProjectOptions>(this);
    m_options->OnChange = [this](TObject *) { Changed(); };

    m_contents = std::make_unique<TQMContentsItems>(this);
    m_contents->OnItemNotify = [this](TQMContentsItem *item, TCollectionNotification action) {
        ContentsNotify(item, action);
    };
    m_contents->OnItemUpdate = [this](TQMContentsItem *item) { ContentsUpdate(item); };

    m_textMacros = std::make_unique<TQMTextMacros>(this);
    m_textMacros->OnItemNotify = [this](TQMTextMacro *macro, TCollectionNotification action) {
        MacroNotify(macro, action);
    };
    m_textMacros->OnItemUpdate = [this](TQMTextMacro *macro) { MacroUpdate(macro); };

    m_topics = std::make_unique<TQMTopics>(this);
    m_topics->OnItemNotify = [this](TQMTopic *topic, TCollectionNotification action) {
        TopicNotify(topic, action);
    };
    m_topics->OnItemUpdate = [this](TQMTopic *topic) { TopicUpdate(topic); };

    m_contentsLinks = std::make_unique<TStringList>();
    m_contentsLinks->OnChange = [this](TObject *) { Changed(); };
    m_contentsIndices = std::make_unique<TStringList>();
    m_contentsIndices->OnChange = [this](TObject *) { Changed(); };
    m_windowDefinitions = std::make_unique<TStringList>();
    m_windowDefinitions->OnChange = [this](TObject *) {
        if (OnWindowDefChange)
            OnWindowDefChange(this);
    };

    m_recentFiles = std::make_unique<TRecentFiles>();
    m_recentFiles->OnChange = [this](TObject *) {
        if (OnRecentFilesChange)
            OnRecentFilesChange(this);
    };

    m_statuses = std::make_unique<TQMStatuses>(this, m_font.get());
    m_statuses->OnItemUpdate = [this](TQMStatus *) { m_modified = true; };

    EnsureDefaultStatuses();
    EnsureDefaultMacros();
}

TQuillmarkDoc::~TQuillmarkDoc()
{
    OnChange = nullptr;
    OnContentChange = nullptr;
    OnUndoSizeChange = nullptr;
    OnRecentFilesChange = nullptr;
    OnFontChange = nullptr;
    OnWindowDefChange = nullptr;
    OnAddContents = nullptr;
    OnDeleteContents = nullptr;
    OnContentsChange = nullptr;
    OnAddTopic = nullptr;
    OnDeleteTopic = nullptr;
    OnTopicChange = nullptr;
    OnAddMacro = nullptr;
    OnDeleteMacro = nullptr;
    OnMacroChange = nullptr;

    // The parts' own wiring goes too: tearing one part down must not reach
    // the document, half of which is already gone.
    m_font->OnChange = nullptr;
    m_options->OnChange = nullptr;
    m_contents->OnItemNotify = nullptr;
    m_contents->OnItemUpdate = nullptr;
    m_textMacros->OnItemNotify = nullptr;
    m_textMacros->OnItemUpdate = nullptr;
    m_topics->OnItemNotify = nullptr;
    m_topics->OnItemUpdate = nullptr;
    m_contentsLinks->OnChange = nullptr;
    m_contentsIndices->OnChange = nullptr;
    m_windowDefinitions->OnChange = nullptr;
    m_recentFiles->OnChange = nullptr;
    m_statuses->OnItemUpdate = nullptr;

    // Contents before topics, so the entries let go of their topics quietly
    // instead of hearing of each one; statuses before the font they follow.
    m_contents.reset();
    m_textMacros.reset();
    m_topics.reset();
    m_statuses.reset();
}

// ---------------------------------------------------------------- setters

void TQuillmarkDoc::SetFont(const TFont *value)
{
    // One change (and so one rebase) when anything differed.
    if (value && value != m_font.get())
        m_font->Assign(value);
}

void TQuillmarkDoc::SetContents(const TQMContentsItems *value)
{
    if (value && value != m_contents.get())
        m_contents->Assign(value);
}

void TQuillmarkDoc::SetContentIndex(int value)
{
    if (value == m_contentIndex || value < -1 || value >= m_contents->Count())
        return;
    m_contentIndex = value;
    if (OnContentChange)
        OnContentChange(this);
}

void TQuillmarkDoc::SetOptions(const TQMProjectOptions *value)
{
    if (value && value != m_options.get())
        m_options->Assign(value);
}

void TQuillmarkDoc::SetRecentFiles(const TRecentFiles *value)
{
    if (!value || value == m_recentFiles.get())
        return;
    if (m_recentFiles->Equals(*value) && m_recentFiles->MaxCount() == value->MaxCount() &&
        m_recentFiles->PushAtEnd() == value->PushAtEnd())
        return;
    m_recentFiles->Assign(value);
}

void TQuillmarkDoc::SetStatuses(const TQMStatuses *value)
{
    if (value && value != m_statuses.get())
        m_statuses->Assign(value);
}

void TQuillmarkDoc::SetTextMacros(const TQMTextMacros *value)
{
    if (value && value != m_textMacros.get())
        m_textMacros->Assign(value);
}

void TQuillmarkDoc::SetTopics(const TQMTopics *value)
{
    if (value && value != m_topics.get())
        m_topics->Assign(value);
}

void TQuillmarkDoc::SetTopicGrid(int value)
{
    if (value == m_topicGrid || value <= 0)
        return;
    m_topicGrid = value;
}

void TQuillmarkDoc::SetTopicIncrement(int value)
{
    if (value == m_topicIncrement || value <= 0)
        return;
    m_topicIncrement = value;
    if (OnChange)
        OnChange(this);
}

void TQuillmarkDoc::SetTopicIndex(int value)
{
    if (value == m_topicIndex || value < -1 || value >= m_topics->Count())
        return;
    m_topicIndex = value;
    if (OnChange)
        OnChange(this);
}

namespace {

void CopyList(TStringList &list, const TStringList *value)
{
    // The list's change event reports the copy.
    if (value && value != &list && !list.Equals(*value))
        list.Assign(value);
}

void CopyList(TStringList &list, const QStringList &value)
{
    if (list.ToQStringList() != value)
        list.AssignStrings(value);
}

} // namespace

void TQuillmarkDoc::SetContentsLinks(const TStringList *value)
{
    CopyList(*m_contentsLinks, value);
}
void TQuillmarkDoc::SetContentsIndices(const TStringList *value)
{
    CopyList(*m_contentsIndices, value);
}
void TQuillmarkDoc::SetWindowDefinitions(const TStringList *value)
{
    CopyList(*m_windowDefinitions, value);
}
void TQuillmarkDoc::SetContentsLinksStrings(const QStringList &value)
{
    CopyList(*m_contentsLinks, value);
}
void TQuillmarkDoc::SetContentsIndicesStrings(const QStringList &value)
{
    CopyList(*m_contentsIndices, value);
}
void TQuillmarkDoc::SetWindowDefinitionsStrings(const QStringList &value)
{
    CopyList(*m_windowDefinitions, value);
}

void TQuillmarkDoc::SetUndoStackSize(int value)
{
    if (value == m_undoStackSize)
        return;
    m_undoStackSize = value;
    if (OnUndoSizeChange)
        OnUndoSizeChange(this);
}

void TQuillmarkDoc::SetQMLocation(const QString &value)
{
    if (value != m_qmLocation)
        m_qmLocation = value;
}

void TQuillmarkDoc::Changed()
{
    m_modified = true;
    if (OnChange)
        OnChange(this);
}

// ---------------------------------------------------------------- numbering

int TQuillmarkDoc::NextTopicID(int number) const
{
    if (m_topicGridEnabled) {
        const int64_t grid = m_topicGrid;
        return Wrapped(grid * (number / grid + 1));
    }
    return Wrapped(static_cast<int64_t>(number) + m_topicIncrement);
}

int TQuillmarkDoc::NextFreeTopicID(int afterIndex, int ownNumber) const
{
    return m_topics->NextFreeTopicID(afterIndex, ownNumber);
}

// ---------------------------------------------------------------- standard items

template<class F> void TQuillmarkDoc::KeepingModified(F &&adjustment)
{
    struct Restore
    {
        TQuillmarkDoc &doc;
        bool modified;
        ~Restore() { doc.m_modified = modified; }
    } restore{*this, m_modified};
    adjustment();
}

void TQuillmarkDoc::EnsureDefaultMacros()
{
    KeepingModified([this] {
        TUpdateScope<TCollection> bracket(*m_textMacros);
        for (const StandardMacro &standard : StandardMacros) {
            const QString name = QString::fromUtf16(standard.name);
            if (m_textMacros->IndexOfDisplayName(name) >= 0)
                continue;
            TQMTextMacro *macro = m_textMacros->Add();
            macro->SetName(name);
            macro->SetColor(standard.color);
            macro->SetTypeFace(QString::fromUtf16(standard.typeFace));
            macro->SetUnknown1(0);
            macro->SetSize(standard.size);
            macro->SetUnknown2(1);
            macro->SetStyle(standard.style);
            macro->SetAlignment(taLeftJustify);
            macro->SetBullet(false);
            macro->SetLeftMargin(0);
            macro->SetRightMargin(0);
            macro->SetIndent(0);
        }
        for (TSyntaxType type : SyntaxMacroTypes) {
            const QString name = TQMTextMacro::SyntaxMacroName(type);
            if (m_textMacros->IndexOfDisplayName(name) >= 0)
                continue;
            TQMTextMacro *macro = m_textMacros->Add();
            macro->SetName(name);
            macro->SetTypeFace(QStringLiteral("Courier New"));
            macro->SetSize(10);
        }
    });
}

void TQuillmarkDoc::EnsureDefaultStatuses()
{
    KeepingModified([this] {
        TUpdateScope<TCollection> bracket(*m_statuses);
        const std::array<std::pair<QString, TColor>, 3> plain = {{
            {QuillmarkDocStrings::StatusToDo(), clAqua},
            {QuillmarkDocStrings::StatusDone(), clBlack},
            {QuillmarkDocStrings::StatusWriting(), clRed},
        }};
        for (const auto &[text, color] : plain) {
            if (m_statuses->IndexOfText(text) >= 0)
                continue;
            TQMStatus *status = m_statuses->Add();
            status->SetText(text);
            status->Font()->SetColor(color);
        }
        const QString merged = QuillmarkDocStrings::StatusMerged();
        if (m_statuses->IndexOfText(merged) < 0) {
            TQMStatus *status = m_statuses->Add();
            status->SetText(merged);
            status->Font()->SetColor(clHotLight);
            status->Font()->SetStyle(fsItalic);
        }
    });
}

void TQuillmarkDoc::FontChanged()
{
    // The statuses follow the editor font; that is presentation, not an edit.
    if (m_statuses)
        KeepingModified([this] { m_statuses->ApplyBase(); });
    if (OnFontChange)
        OnFontChange(this);
}

// ---------------------------------------------------------------- whole document

void TQuillmarkDoc::Clear()
{
    SetTopicIndex(-1);
    m_contents->Clear();
    m_textMacros->Clear();
    m_topics->Clear();
    m_contentsLinks->Clear();
    m_contentsIndices->Clear();
    m_windowDefinitions->Clear();
    EnsureDefaultMacros();
    // Handlers of OnChange see the document as it now is: not edited.
    m_modified = false;
    if (OnChange)
        OnChange(this);
}

void TQuillmarkDoc::Assign(const TPersistent *source)
{
    const auto *other = dynamic_cast<const TQuillmarkDoc *>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    if (other == this)
        return;
    m_version = other->m_version;
    m_undoStackSize = other->m_undoStackSize;
    m_options->Assign(other->m_options.get());
    m_topics->Assign(other->m_topics.get());
    // The copy has as many topics as the source, so the index stays valid;
    // the check only guards against a source that was itself inconsistent.
    m_topicIndex =
        other->m_topicIndex >= -1 && other->m_topicIndex < m_topics->Count() ? other->m_topicIndex : -1;
    // After the topics, so every link resolves against the copies.
    m_contents->Assign(other->m_contents.get());
    m_contentsLinks->Assign(other->m_contentsLinks.get());
    m_windowDefinitions->Assign(other->m_windowDefinitions.get());
    m_contentsIndices->Assign(other->m_contentsIndices.get());
    m_textMacros->Assign(other->m_textMacros.get());
    m_topicIncrement = other->m_topicIncrement;
    m_topicGrid = other->m_topicGrid;
    m_topicGridEnabled = other->m_topicGridEnabled;
    m_recentFiles->Assign(other->m_recentFiles.get());
    m_qmLocation = other->m_qmLocation;
    m_modified = other->m_modified;
}

std::unique_ptr<TQuillmarkDoc> TQuillmarkDoc::Clone() const
{
    auto clone = std::make_unique<TQuillmarkDoc>(m_owner);
    clone->Assign(this);
    return clone;
}

// ---------------------------------------------------------------- collection events

void TQuillmarkDoc::TopicNotify(TQMTopic *topic, TCollectionNotification action)
{
    if (action == cnAdded) {
        if (OnAddTopic)
            OnAddTopic(this, topic);
        return;
    }
    // A deletion is heard twice (the intent, then the extraction); the
    // current topic is adjusted once, when the topic actually leaves.
    if (OnDeleteTopic)
        OnDeleteTopic(this, topic);
    if (action == cnExtracting && topic && m_topicIndex >= 0 && topic->Index() <= m_topicIndex) {
        // The current topic going makes the one before it current; one going
        // in front of it shifts it, so the same topic stays current.
        SetTopicIndex(m_topicIndex - 1);
    }
}

void TQuillmarkDoc::TopicUpdate(TQMTopic *topic)
{
    m_modified = true;
    if (OnTopicChange)
        OnTopicChange(this, topic);
}

void TQuillmarkDoc::ContentsNotify(TQMContentsItem *item, TCollectionNotification action)
{
    if (action == cnAdded) {
        if (OnAddContents)
            OnAddContents(this, item);
        return;
    }
    if (OnDeleteContents)
        OnDeleteContents(this, item);
    // The entry still counts; once it is gone the index must still name one.
    if (action == cnExtracting && m_contentIndex > m_contents->Count() - 2)
        SetContentIndex(m_contents->Count() - 2);
}

void TQuillmarkDoc::ContentsUpdate(TQMContentsItem *item)
{
    m_modified = true;
    if (OnContentsChange)
        OnContentsChange(this, item);
}

void TQuillmarkDoc::MacroNotify(TQMTextMacro *macro, TCollectionNotification action)
{
    if (action == cnAdded) {
        if (OnAddMacro)
            OnAddMacro(this, macro);
        return;
    }
    if (OnDeleteMacro)
        OnDeleteMacro(this, macro);
}

void TQuillmarkDoc::MacroUpdate(TQMTextMacro *macro)
{
    m_modified = true;
    if (OnMacroChange)
        OnMacroChange(this, macro);
}
