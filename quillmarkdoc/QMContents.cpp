#include "quillmarkdoc/QMContents.h"

#include "foundation/Convert.h"
#include "quillmarkdoc/QMTopics.h"
#include "quillmarkdoc/QuillmarkDoc.h"
#include "quillmarkdoc/QuillmarkDocStrings.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

int SaturatedLevel(int64_t level)
{
    return static_cast<int>(
        std::clamp<int64_t>(level, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// Closes the sink's bracket also when building fails half-way.
class SinkUpdate
{
public:
    explicit SinkUpdate(TQMContentsTreeSink &sink)
        : m_sink(sink)
    {
        m_sink.BeginUpdate();
    }
    SinkUpdate(const SinkUpdate &) = delete;
    SinkUpdate &operator=(const SinkUpdate &) = delete;
    ~SinkUpdate() { m_sink.EndUpdate(); }

private:
    TQMContentsTreeSink &m_sink;
};

} // namespace

TQMContentsTreeSink::~TQMContentsTreeSink() = default;

// ---------------------------------------------------------------- entry

TQMContentsItem::TQMContentsItem(TCollection *collection)
    : TQMCollectionItem(collection)
{}

TQMContentsItem::~TQMContentsItem()
{
    LinkTopic(nullptr);
}

TQuillmarkDoc *TQMContentsItem::Document() const
{
    if (Index() < 0)
        return nullptr;
    const auto *items = dynamic_cast<const TQMContentsItems *>(Collection());
    return items ? items->Document() : nullptr;
}

void TQMContentsItem::LinkTopic(TQMTopic *topic)
{
    if (topic == m_topic)
        return;
    if (m_topic)
        m_topic->RemoveFreeNotification(this);
    m_topic = topic;
    if (m_topic)
        m_topic->FreeNotification(this);
}

void TQMContentsItem::SetLevel(int value)
{
    if (value == m_level)
        return;
    m_level = value;
    Changed(false);
}

void TQMContentsItem::SetTitle(const QString &value)
{
    if (value == m_title)
        return;
    m_title = value;
    Changed(false);
}

void TQMContentsItem::SetLink(const QString &value)
{
    if (value == m_link)
        return;
    LinkTopic(nullptr);
    const TQuillmarkDoc *doc = Document();
    if (!value.isEmpty() && doc) {
        const QString prefix = QuillmarkDocStrings::ContextStringPrefix();
        const qsizetype separator = value.indexOf(QLatin1Char('>'));
        QString target = separator >= 0 ? value.left(separator) : value;
        m_windowName = separator >= 0 ? value.mid(separator + 1) : QString();
        const TQMTopics *topics = doc->Topics();
        if (value.contains(prefix)) {
            // A target that names a number is never taken for a context
            // string, even when the number is not valid.
            if (const qsizetype at = target.indexOf(prefix); at >= 0)
                target.remove(at, prefix.size());
            if (const std::optional<int32_t> number = TryStrToInt(target))
                LinkTopic(topics->FindTopic(*number));
        } else {
            LinkTopic(topics->FindContextString(target));
        }
    } else {
        m_windowName.clear();
    }
    m_link = value;
    Changed(false);
}

void TQMContentsItem::SetWindowName(const QString &value)
{
    if (value == m_windowName)
        return;
    m_windowName = value;
    const qsizetype separator = m_link.indexOf(QLatin1Char('>'));
    if (separator >= 0)
        m_link.truncate(separator);
    if (!value.isEmpty())
        m_link += QLatin1Char('>') + value;
    Changed(false);
}

void TQMContentsItem::SetTopic(TQMTopic *topic)
{
    if (topic == m_topic)
        return;
    LinkTopic(topic);
    if (topic) {
        m_link = topic->ContextString();
        if (!m_windowName.isEmpty())
            m_link += QLatin1Char('>') + m_windowName;
    } else {
        m_link.clear();
    }
    Changed(false);
}

void TQMContentsItem::Notification(TGCollectionItem *other)
{
    if (m_topic && other == m_topic)
        SetTopic(nullptr);
    TQMCollectionItem::Notification(other);
}

void TQMContentsItem::BeforeDestruction()
{
    // Quietly: the entry is going, nobody needs to hear that its link
    // changed on the way.
    LinkTopic(nullptr);
    TQMCollectionItem::BeforeDestruction();
}

void TQMContentsItem::Assign(const TPersistent *source)
{
    const auto *other = dynamic_cast<const TQMContentsItem *>(source);
    if (!other) {
        TQMCollectionItem::Assign(source);
        return;
    }
    if (other == this)
        return;
    m_level = other->m_level;
    m_title = other->m_title;
    SetLink(other->m_link);
    TQMCollectionItem::Assign(other);
}

QString TQMContentsItem::GetDisplayName() const
{
    return m_title.isEmpty() ? ClassName() : m_title;
}

// ---------------------------------------------------------------- collection

TQMContentsItems::TQMContentsItems(TPersistent *owner)
    : TQMCollection(owner, FactoryFor<TQMContentsItem>())
    , m_document(dynamic_cast<TQuillmarkDoc *>(owner))
{}

TQMContentsItems::~TQMContentsItems()
{
    OnItemNotify = nullptr;
    OnItemUpdate = nullptr;
    Clear();
}

int TQMContentsItems::IndexOfTopic(const TQMTopic *topic) const
{
    if (!topic)
        return -1;
    for (int i = 0; i < Count(); ++i) {
        if (Items(i)->Topic() == topic)
            return i;
    }
    return -1;
}

int TQMContentsItems::SetLevelWithChildren(int index, int newLevel, const TQMContentsItem *stopItem)
{
    TQMContentsItem *item = Items(index);
    TUpdateScope<TCollection> bracket(*this);
    const int oldLevel = item->Level();
    item->SetLevel(newLevel);
    const int64_t shift = static_cast<int64_t>(newLevel) - oldLevel;
    int last = index;
    for (int j = index + 1; j < Count(); ++j) {
        TQMContentsItem *follower = Items(j);
        if (oldLevel >= follower->Level() || follower == stopItem)
            return last;
        follower->SetLevel(SaturatedLevel(follower->Level() + shift));
        last = j;
    }
    return Count() - 1;
}

void TQMContentsItems::AssignTo(TQMContentsTreeSink &nodes) const
{
    using Node = TQMContentsTreeSink::NodeHandle;
    SinkUpdate bracket(nodes);
    nodes.Clear();
    // 64 bits: level differences of damaged files must not overflow.
    int64_t previous = 1;
    Node current = nullptr;
    for (int i = 0; i < Count(); ++i) {
        TQMContentsItem *item = Items(i);
        const int64_t level = item->Level();
        const QString text = item->DisplayName();
        if (level <= 1) {
            current = nodes.AddChild(nullptr, text, item);
        } else if (level == previous) {
            current = nodes.AddChild(current ? nodes.Parent(current) : nullptr, text, item);
        } else if (level < previous) {
            for (int64_t climb = previous - level + 1; climb > 0 && current; --climb)
                current = nodes.Parent(current);
            current = nodes.AddChild(current, text, item);
        } else {
            const int64_t fillers = std::min<int64_t>(level - previous - 1, MaxFillerDepth);
            for (int64_t f = 0; f < fillers; ++f)
                current = nodes.AddChild(current, QString(), nullptr);
            current = nodes.AddChild(current, text, item);
        }
        previous = level;
    }
}

void TQMContentsItems::Update(TCollectionItem *item)
{
    if (OnItemUpdate)
        OnItemUpdate(dynamic_cast<TQMContentsItem *>(item));
}

void TQMContentsItems::Notify(TCollectionItem *item, TCollectionNotification action)
{
    auto *entry = dynamic_cast<TQMContentsItem *>(item);
    if (action == cnAdded) {
        TQMCollection::Notify(item, action);
        if (OnItemNotify)
            OnItemNotify(entry, action);
        return;
    }
    if (OnItemNotify)
        OnItemNotify(entry, action);
    if (action == cnExtracting)
        TQMCollection::Notify(item, action);
}
