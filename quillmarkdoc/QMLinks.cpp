#include "quillmarkdoc/QMLinks.h"

#include "foundation/Convert.h"
#include "foundation/Exceptions.h"
#include "foundation/FoundationStrings.h"
#include "quillmarkdoc/QMException.h"
#include "quillmarkdoc/QMLinkStrings.h"
#include "quillmarkdoc/QuillmarkDoc.h"

namespace {

QString TopicText(const TQMTopic &topic)
{
    return topic.Text()->ToQStringList().join(u"\r\n");
}

bool IsDelphiType(TLinkType type)
{
    return type >= ltDelphiObject && type <= ltDelphiType;
}

bool Blank(const QString &text)
{
    return text.trimmed().isEmpty();
}

// The number a topic link names: the whole target, or the part before the
// first ">" when a window follows. Without either, 0, which the map refuses
// with its own error: a target that names no number is a damaged link.
int32_t LinkNumber(const QString &target, bool &literal)
{
    literal = true;
    if (const std::optional<int32_t> whole = TryStrToInt(target))
        return *whole;
    const qsizetype window = target.indexOf(u'>');
    if (window >= 0)
        return StrToInt(target.left(window));
    literal = false;
    return 0;
}

} // namespace

TLinkInfo FindTopicLink(const TQMTopic &topic, QStringView anchor, int &position)
{
    const QString text = TopicText(topic);
    return FindLink(text, anchor, position);
}

void RenumberTopicLinks(TQMTopic &topic, const TGHashIntTable &map, std::optional<int32_t> zeroTo)
{
    try {
        QString text = TopicText(topic);
        bool changed = false;
        int position = 0;
        TLinkInfo link = FindLinkOfType(text, {ltNormal}, position, LinkAnchor);
        while (link.Found()) {
            bool literal = false;
            const int32_t number = LinkNumber(link.target, literal);
            std::optional<int32_t> renumbered;
            if (number == 0 && literal && zeroTo) {
                renumbered = zeroTo;
            } else if (const TGHashtableEntry *entry = map.FindEntry(number)) {
                renumbered = entry->Value;
            }
            if (renumbered) {
                QString target = link.target;
                target.replace(QString::number(number), QString::number(*renumbered));
                const QString markup =
                    QMLinkMarkup::FillFormat(QMLinkMarkup::Markup(ltNormal).format,
                                             {QMLinkMarkup::StylePrefix(link.style), target, u""});
                text.replace(position, link.length, markup);
                changed = true;
            }
            position += 2;
            link = FindLinkOfType(text, {ltNormal}, position, LinkAnchor);
        }
        if (changed)
            topic.Text()->AssignStrings(text.split(QStringLiteral("\r\n")));
    } catch (const Exception &error) {
        throw EQMException(
            QMLinkStrings::RenumberError().arg(error.Message()).arg(topic.TopicID()).arg(topic.Title()));
    }
}

// ---------------------------------------------------------------- document

void TQuillmarkDoc::RenumberLinks(TQMTopic *topic, const TGHashIntTable &map)
{
    if (topic)
        RenumberTopicLinks(*topic, map);
}

void TQuillmarkDoc::RenumberAllLinks(const TGHashIntTable &map)
{
    for (int i = 0; i < m_topics->Count(); ++i)
        RenumberTopicLinks(*m_topics->Items(i), map);
}

// ---------------------------------------------------------------- link definitions

TQMLink::TQMLink(TCollection *collection)
    : TGCollectionItem(collection)
{}

TQMLink::~TQMLink() = default;

void TQMLink::Store(QString &field, const QString &value)
{
    if (field == value)
        return;
    field = value;
    Changed(false);
}

void TQMLink::SetText(const QString &value)
{
    Store(m_text, value);
}
void TQMLink::SetTopic(const QString &value)
{
    Store(m_topic, value);
}
void TQMLink::SetSubTopic(const QString &value)
{
    Store(m_subTopic, value);
}
void TQMLink::SetFilename(const QString &value)
{
    Store(m_filename, value);
}
void TQMLink::SetWindowName(const QString &value)
{
    Store(m_windowName, value);
}

void TQMLink::SetLinkType(TLinkType value)
{
    if (value == m_linkType)
        return;
    m_linkType = value;
    Changed(false);
}

void TQMLink::SetStyle(TLinkedTextStyle value)
{
    if (value == m_style)
        return;
    m_style = value;
    Changed(false);
}

void TQMLink::SetPopup(bool value)
{
    if (value == m_popup)
        return;
    m_popup = value;
    Changed(false);
}

void TQMLink::Assign(const TPersistent *source)
{
    const auto *other = dynamic_cast<const TQMLink *>(source);
    if (!other) {
        TGCollectionItem::Assign(source);
        return;
    }
    if (other == this)
        return;
    m_text = other->m_text;
    m_linkType = other->m_linkType;
    m_style = other->m_style;
    m_popup = other->m_popup;
    m_topic = other->m_topic;
    m_subTopic = other->m_subTopic;
    m_filename = other->m_filename;
    m_windowName = other->m_windowName;
    Changed(false);
}

QString TQMLink::GetDisplayName() const
{
    using namespace QMLinkMarkup;
    const QStringView prefix = StylePrefix(m_style);
    const QString window = m_windowName.isEmpty() ? QString() : u'>' + m_windowName;
    QString markup;
    if (IsDelphiType(m_linkType) && !m_topic.isEmpty())
        markup = FillFormat(DelphiMemberFormat(), {prefix, m_topic, m_subTopic});
    else if (m_linkType == ltQuillmarkFile || m_linkType == ltHelpFile)
        markup = FillFormat(Markup(m_linkType).format, {prefix, m_topic, m_filename, window});
    else if (m_linkType == ltInternet)
        markup = FillFormat(Markup(m_linkType).format, {m_topic});
    else
        markup = FillFormat(Markup(m_linkType).format, {prefix, m_topic, window});
    const QString name = m_text + PlainForm(markup);
    return name.isEmpty() ? ClassName() : name;
}

bool TQMLink::IsComplete() const
{
    switch (m_linkType) {
    case ltNormal:
        return TryStrToInt(m_topic).has_value();
    case ltQuillmarkFile:
    case ltHelpFile:
        return !Blank(m_topic) && !Blank(m_filename);
    default:
        // A web link needs its address; the others their target.
        return !Blank(m_topic);
    }
}

TQMLinks::TQMLinks(TPersistent *owner)
    : TGCollection(owner, FactoryFor<TQMLink>())
{}

TQMLinks::~TQMLinks() = default;

int TQMLinks::IndexOfText(const QString &text) const
{
    for (int i = 0; i < Count(); ++i) {
        if (Items(i)->Text().compare(text, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}
