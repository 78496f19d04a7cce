#include "quillmarkdoc/QMTopics.h"

#include "quillmarkdoc/QuillmarkDoc.h"
#include "quillmarkdoc/QuillmarkDocStrings.h"

#include <cstdint>
#include <optional>

namespace {

bool HasLineBreak(const QString &text)
{
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

} // namespace

// ---------------------------------------------------------------- topic

TQMTopic::TQMTopic(TCollection *collection)
    : TQMCollectionItem(collection)
    , m_text(std::make_unique<TStringList>())
{
    if (auto *topics = dynamic_cast<TQMTopics *>(collection))
        m_topicID = topics->NextFreeTopicID(-1, -1);
    m_contextString = DefaultContextString(m_topicID);
    m_title = QuillmarkDocStrings::NewTopicTitle();
    m_status = QuillmarkDocStrings::StatusWriting();
    m_text->AssignStrings(DefaultText());
    m_text->OnChange = [this](TObject *) { NotifyChange(); };
}

TQMTopic::~TQMTopic()
{
    m_text->OnChange = nullptr;
    // Destroyed behind the collection's back: the collection must not keep
    // finding it by number.
    if (TQMTopics *topics = Topics())
        topics->Forget(this);
}

QString TQMTopic::DefaultContextString(int topicID)
{
    return QuillmarkDocStrings::ContextStringPrefix() + QString::number(topicID);
}

QStringList TQMTopic::DefaultText()
{
    return {QuillmarkDocStrings::NewTopicRtfHeader(), QuillmarkDocStrings::NewTopicRtfBody()};
}

TQMTopics *TQMTopic::Topics() const
{
    return Index() >= 0 ? dynamic_cast<TQMTopics *>(Collection()) : nullptr;
}

TQuillmarkDoc *TQMTopic::Document() const
{
    const TQMTopics *topics = Topics();
    return topics ? topics->Document() : nullptr;
}

void TQMTopic::NotifyChange()
{
    if (m_silent == 0)
        Changed(false);
}

void TQMTopic::StoreString(QString &field, const QString &value)
{
    if (field == value)
        return;
    field = value;
    NotifyChange();
}

void TQMTopic::StoreTopicID(int value)
{
    if (value == m_topicID)
        return;
    if (TQMTopics *topics = Topics()) {
        topics->m_byNumber.remove(m_topicID, this);
        topics->m_byNumber.insert(value, this);
    }
    m_topicID = value;
}

void TQMTopic::StoreContextString(const QString &value)
{
    if (value == m_contextString)
        return;
    if (TQMTopics *topics = Topics()) {
        topics->m_byContext.remove(TQMTopics::ContextKey(m_contextString), this);
        topics->m_byContext.insert(TQMTopics::ContextKey(value), this);
    }
    m_contextString = value;
}

void TQMTopic::SetTopicID(int value)
{
    if (value == m_topicID)
        return;
    TQMTopics *topics = Topics();
    if (topics && topics->HasTopicID(value))
        return;

    const int oldID = m_topicID;
    const QString oldDefault = DefaultContextString(oldID);
    auto renumber = [&] {
        if (m_contextString.isEmpty() || m_contextString.compare(oldDefault, Qt::CaseInsensitive) == 0)
            StoreContextString(DefaultContextString(value));
        StoreTopicID(value);
    };

    if (!topics) {
        renumber();
        NotifyChange();
        return;
    }

    // Where the number belongs, found while the topic still stands at its
    // old place.
    const int oldIndex = Index();
    int newIndex = oldIndex;
    // A number that still fits between the neighbours keeps the topic where
    // it is; bulk renumbering mostly asks for that, so skip the search.
    const bool fitsInPlace =
        (oldIndex == 0 || topics->Items(oldIndex - 1)->TopicID() < value) &&
        (oldIndex == topics->Count() - 1 || value < topics->Items(oldIndex + 1)->TopicID());
    if (!fitsInPlace) {
        const int position = topics->FindTopicIDPosition(value);
        if (oldIndex < position)
            newIndex = position - 1;
        else if (position < oldIndex)
            newIndex = position;
    }

    {
        // The move reports the whole list; the report waits until the topic
        // has its new number, so a handler never sees it half renumbered.
        std::optional<TUpdateScope<TCollection>> bracket;
        if (newIndex != oldIndex) {
            bracket.emplace(*topics);
            topics->Move(oldIndex, newIndex);
        }
        renumber();

        // The current topic stays current, whether it is this one or one the
        // move shifted by a place.
        if (TQuillmarkDoc *doc = topics->Document(); doc && newIndex != oldIndex) {
            const int current = doc->TopicIndex();
            int newCurrent = current;
            if (current == oldIndex)
                newCurrent = newIndex;
            else if (oldIndex < current && current <= newIndex)
                newCurrent = current - 1;
            else if (newIndex <= current && current < oldIndex)
                newCurrent = current + 1;
            doc->SetTopicIndex(newCurrent);
        }
    }
    NotifyChange();
}

void TQMTopic::SetContextString(const QString &value)
{
    if (value.isEmpty() || value == m_contextString)
        return;
    StoreContextString(value);
    NotifyChange();
}

void TQMTopic::SetTitle(const QString &value)
{
    if (value == m_title)
        return;
    // An empty old title occurs everywhere and names nothing.
    if (!m_title.isEmpty()) {
        if (!HasLineBreak(m_title) && !HasLineBreak(value)) {
            // No occurrence can span two lines: change the one line, leave
            // the others exactly as they are.
            for (int i = 0; i < m_text->Count(); ++i) {
                const qsizetype at = m_text->Strings(i).indexOf(m_title);
                if (at >= 0) {
                    QString line = m_text->Strings(i);
                    line.replace(at, m_title.size(), value);
                    m_text->SetStrings(i, line);
                    break;
                }
            }
        } else {
            QString text = m_text->Text();
            const qsizetype at = text.indexOf(m_title);
            if (at >= 0) {
                text.replace(at, m_title.size(), value);
                m_text->SetText(text);
            }
        }
    }
    m_title = value;
    NotifyChange();
}

void TQMTopic::SetKeywords(const QString &value)
{
    StoreString(m_keywords, value);
}
void TQMTopic::SetDelphiKeywords(const QString &value)
{
    StoreString(m_delphiKeywords, value);
}
void TQMTopic::SetBuildTag(const QString &value)
{
    StoreString(m_buildTag, value);
}
void TQMTopic::SetBrowseSequence(const QString &value)
{
    StoreString(m_browseSequence, value);
}
void TQMTopic::SetStatus(const QString &value)
{
    StoreString(m_status, value);
}
void TQMTopic::SetWindow(const QString &value)
{
    StoreString(m_window, value);
}
void TQMTopic::SetEntryMacro(const QString &value)
{
    StoreString(m_entryMacro, value);
}
void TQMTopic::SetAKeywords(const QString &value)
{
    StoreString(m_aKeywords, value);
}

void TQMTopic::SetBrowseSequenceNum(int value)
{
    if (value == m_browseSequenceNum)
        return;
    m_browseSequenceNum = value;
    NotifyChange();
}

void TQMTopic::SetBookmark(bool value)
{
    if (value == m_bookmark)
        return;
    m_bookmark = value;
    NotifyChange();
}

void TQMTopic::SetText(const TStringList *value)
{
    // The list's change event reports the copy.
    if (value && value != m_text.get() && !m_text->Equals(*value))
        m_text->Assign(value);
}

void TQMTopic::SetTextLines(const QStringList &value)
{
    if (m_text->ToQStringList() != value)
        m_text->AssignStrings(value);
}

void TQMTopic::Assign(const TPersistent *source)
{
    const auto *other = dynamic_cast<const TQMTopic *>(source);
    if (!other) {
        TQMCollectionItem::Assign(source);
        return;
    }
    if (other == this)
        return;
    ++m_silent;
    try {
        m_title = other->m_title;
        m_keywords = other->m_keywords;
        m_delphiKeywords = other->m_delphiKeywords;
        m_buildTag = other->m_buildTag;
        m_browseSequence = other->m_browseSequence;
        m_browseSequenceNum = other->m_browseSequenceNum;
        m_status = other->m_status;
        m_window = other->m_window;
        m_entryMacro = other->m_entryMacro;
        m_aKeywords = other->m_aKeywords;
        m_bookmark = other->m_bookmark;
        m_text->Assign(other->m_text.get());
        StoreSelected(other->Selected());
    } catch (...) {
        --m_silent;
        throw;
    }
    --m_silent;
    Changed(false);
}

bool TQMTopic::IsEqual(const TPersistent *other) const
{
    const auto *topic = dynamic_cast<const TQMTopic *>(other);
    if (!topic)
        return false;
    return m_topicID == topic->m_topicID && m_title == topic->m_title &&
           m_contextString == topic->m_contextString && m_keywords == topic->m_keywords &&
           m_delphiKeywords == topic->m_delphiKeywords && m_buildTag == topic->m_buildTag &&
           m_browseSequence == topic->m_browseSequence && m_browseSequenceNum == topic->m_browseSequenceNum &&
           m_status == topic->m_status && m_window == topic->m_window &&
           m_entryMacro == topic->m_entryMacro && m_aKeywords == topic->m_aKeywords &&
           m_bookmark == topic->m_bookmark && m_text->Text() == topic->m_text->Text();
}

QString TQMTopic::GetDisplayName() const
{
    return m_title.isEmpty() ? ClassName() : m_title;
}

// ---------------------------------------------------------------- collection

TQMTopics::TQMTopics(TPersistent *owner)
    : TQMCollection(owner, FactoryFor<TQMTopic>())
    , m_document(dynamic_cast<TQuillmarkDoc *>(owner))
{}

TQMTopics::~TQMTopics()
{
    OnItemNotify = nullptr;
    OnItemUpdate = nullptr;
    // Through the collection's own removal, so the number and context maps
    // stay true while linked items hear of each topic going.
    Clear();
}

template<class Range> TQMTopic *TQMTopics::First(const Range &candidates)
{
    TQMTopic *first = nullptr;
    for (auto it = candidates.first; it != candidates.second; ++it) {
        if (!first || it.value()->Index() < first->Index())
            first = it.value();
    }
    return first;
}

TQMTopic *TQMTopics::FindTopic(int topicID) const
{
    return First(m_byNumber.equal_range(topicID));
}

int TQMTopics::IndexOfTopicID(int topicID) const
{
    const TQMTopic *topic = FindTopic(topicID);
    return topic ? topic->Index() : -1;
}

int TQMTopics::FindTopicIDPosition(int topicID) const
{
    if (Count() == 0)
        return -1;
    int low = 0;
    int high = Count() - 1;
    while (low <= high) {
        const int middle = low + (high - low) / 2;
        const int number = Items(middle)->TopicID();
        if (number == topicID)
            return middle;
        if (number < topicID)
            low = middle + 1;
        else
            high = middle - 1;
    }
    return low;
}

TQMTopic *TQMTopics::FindContextString(const QString &contextString) const
{
    TQMTopic *first = nullptr;
    const auto candidates = m_byContext.equal_range(ContextKey(contextString));
    for (auto it = candidates.first; it != candidates.second; ++it) {
        TQMTopic *topic = it.value();
        // The key only narrows the search; the comparison decides.
        if (topic->ContextString().compare(contextString, Qt::CaseInsensitive) != 0)
            continue;
        if (!first || topic->Index() < first->Index())
            first = topic;
    }
    return first;
}

int TQMTopics::IndexOfContextString(const QString &contextString) const
{
    const TQMTopic *topic = FindContextString(contextString);
    return topic ? topic->Index() : -1;
}

int TQMTopics::NextFreeTopicID(int afterIndex, int ownNumber) const
{
    int number = 0;
    if (Count() > 0)
        number = Items(afterIndex >= 0 && afterIndex < Count() ? afterIndex : Count() - 1)->TopicID();
    // Among Count() + 1 distinct numbers one is free; a step that cycles
    // through taken numbers only (an increment that wraps around) would
    // otherwise never end.
    for (int steps = 0; number != ownNumber && HasTopicID(number) && steps <= Count(); ++steps)
        number = m_document ? m_document->NextTopicID(number)
                            : static_cast<int>(static_cast<uint32_t>(number) + 1u);
    return number;
}

void TQMTopics::Assign(const TPersistent *source)
{
    const auto *other = dynamic_cast<const TQMTopics *>(source);
    if (!other) {
        TQMCollection::Assign(source);
        return;
    }
    if (other == this)
        return;
    TUpdateScope<TCollection> bracket(*this);
    Clear();
    for (int i = 0; i < other->Count(); ++i) {
        const TQMTopic *from = other->Items(i);
        TQMTopic *topic = Add();
        topic->Assign(from);
        topic->SetTopicID(from->TopicID());
    }
}

void TQMTopics::AssignTo(TPersistent *destination) const
{
    auto *strings = dynamic_cast<TStringList *>(destination);
    if (!strings) {
        TQMCollection::AssignTo(destination);
        return;
    }
    TUpdateScope<TStringList> bracket(*strings);
    strings->Clear();
    for (int i = 0; i < Count(); ++i) {
        TQMTopic *topic = Items(i);
        strings->AddObject(
            QuillmarkDocStrings::TopicListLine().arg(topic->DisplayName()).arg(topic->TopicID()), topic);
    }
}

void TQMTopics::Remember(TQMTopic *topic)
{
    m_byNumber.insert(topic->m_topicID, topic);
    m_byContext.insert(ContextKey(topic->m_contextString), topic);
}

void TQMTopics::Forget(TQMTopic *topic)
{
    m_byNumber.remove(topic->m_topicID, topic);
    m_byContext.remove(ContextKey(topic->m_contextString), topic);
}

void TQMTopics::Update(TCollectionItem *item)
{
    if (OnItemUpdate)
        OnItemUpdate(dynamic_cast<TQMTopic *>(item));
}

void TQMTopics::Notify(TCollectionItem *item, TCollectionNotification action)
{
    auto *topic = dynamic_cast<TQMTopic *>(item);
    if (action == cnAdded) {
        TQMCollection::Notify(item, action);
        if (topic)
            Remember(topic);
        if (OnItemNotify)
            OnItemNotify(topic, action);
        return;
    }
    // The handlers still find the topic where it was; if one of them throws,
    // the topic stays and so does everything that counts it.
    if (OnItemNotify)
        OnItemNotify(topic, action);
    if (action == cnExtracting) {
        TQMCollection::Notify(item, action);
        if (topic)
            Forget(topic);
    }
}
