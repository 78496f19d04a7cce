#include "quillmarkdoc/QMClipboard.h"

#include "foundation/GHashTable.h"
#include "foundation/GStreams.h"
#include "quillmarkdoc/QMLinkStrings.h"
#include "quillmarkdoc/QMLinks.h"
#include "quillmarkdoc/QMReader.h"
#include "quillmarkdoc/QMWriter.h"
#include "quillmarkdoc/QuillmarkDoc.h"
#include "quillmarkdoc/QuillmarkDocStrings.h"

#include <QMetaEnum>

#include <algorithm>
#include <limits>
#include <vector>

namespace {

constexpr QByteArrayView CarrierClass = "TQMClipboardFormat";
constexpr QByteArrayView FormatKey = "Format=";
constexpr QByteArrayView TextKey = "Text=";
// Far above any real payload; a larger length is a damaged carrier, not a
// reason to believe the rest.
constexpr qsizetype MaxPayloadBytes = qsizetype(1) << 30;

QMetaEnum FormatEnum()
{
    return QMetaEnum::fromType<TQMClipboardFormatType>();
}

// The next line of data at pos (without its LF); false when there is none.
bool TakeLine(QByteArrayView data, qsizetype &pos, QByteArrayView &line)
{
    if (pos >= data.size())
        return false;
    const qsizetype end = data.indexOf('\n', pos);
    if (end < 0)
        return false;
    line = data.sliced(pos, end - pos);
    pos = end + 1;
    return true;
}

TQMClipboard *installed = nullptr;

TQMClipboard &InProcess()
{
    static TQMMemoryClipboard clipboard;
    return clipboard;
}

// The payload written to a string in the ANSI code page, as the carrier
// takes it.
template<class Write> QString BuildPayload(Write &&write)
{
    TKvStringStream bytes{QString()};
    {
        TGTextStream text(bytes, nullptr);
        TQMWriter writer(text);
        write(writer);
        text.Seek(0, soBeginning);
    }
    return bytes.DataString();
}

void PutOnClipboard(TQMClipboardFormatType format, const QString &payload)
{
    TQMClipboardFormat carrier;
    carrier.SetFormat(format);
    carrier.SetText(payload);
    TQMClipboard::Current().SetCarrierData(carrier.Serialize());
}

int SaturatedNextLevel(int level)
{
    return level == std::numeric_limits<int>::max() ? level : level + 1;
}

} // namespace

// ---------------------------------------------------------------- carrier

QString TQMClipboardFormat::MimeType()
{
    return QStringLiteral("application/x-quillmark-clipboard");
}

QByteArray TQMClipboardFormat::Serialize() const
{
    const QByteArray payload = m_text.toUtf8();
    QByteArray out;
    out.reserve(payload.size() + 64);
    out.append(CarrierClass).append('\n');
    out.append(FormatKey).append(FormatEnum().valueToKey(m_format)).append('\n');
    out.append(TextKey).append(QByteArray::number(payload.size())).append('\n');
    out.append(payload);
    return out;
}

TQMClipboardFormat::TReadResult
TQMClipboardFormat::Deserialize(QByteArrayView data, TQMClipboardFormat &carrier, QString *className)
{
    qsizetype pos = 0;
    QByteArrayView line;
    if (!TakeLine(data, pos, line))
        return TReadResult::Damaged;
    if (className)
        *className = QString::fromUtf8(line.first(std::min<qsizetype>(line.size(), 256)));
    if (line != CarrierClass)
        return TReadResult::OtherClass;

    if (!TakeLine(data, pos, line) || !line.startsWith(FormatKey))
        return TReadResult::Damaged;
    bool ok = false;
    const QByteArray key = line.sliced(FormatKey.size()).toByteArray();
    const int format = FormatEnum().keyToValue(key.constData(), &ok);
    if (!ok)
        return TReadResult::Damaged;

    if (!TakeLine(data, pos, line) || !line.startsWith(TextKey))
        return TReadResult::Damaged;
    const QByteArrayView digits = line.sliced(TextKey.size());
    if (digits.isEmpty() || digits.size() > 12 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return TReadResult::Damaged;
    const qsizetype length = digits.toLongLong(&ok);
    if (!ok || length > MaxPayloadBytes || length > data.size() - pos)
        return TReadResult::Damaged;

    carrier.SetFormat(TQMClipboardFormatType(format));
    carrier.SetText(QString::fromUtf8(data.sliced(pos, length)));
    return TReadResult::Read;
}

// ---------------------------------------------------------------- clipboard

TQMClipboard::~TQMClipboard() = default;

TQMClipboard &TQMClipboard::Current()
{
    return installed ? *installed : InProcess();
}

void TQMClipboard::Install(TQMClipboard *clipboard)
{
    installed = clipboard;
}

// ---------------------------------------------------------------- copying

void TQuillmarkDoc::CopyTopicsToClipboard()
{
    const QString payload = BuildPayload([this](TQMWriter &writer) {
        writer.WriteInteger(m_topics->SelectedCount());
        for (int i = 0; i < m_topics->Count(); ++i) {
            const TQMTopic *topic = m_topics->Items(i);
            if (topic->Selected())
                writer.WriteTopicRecord(*topic);
        }
    });
    PutOnClipboard(cftTopic, payload);
}

void TQuillmarkDoc::CopyTopicToClipboard()
{
    if (m_topicIndex == -1)
        return;
    const TQMTopic *topic = m_topics->Items(m_topicIndex);
    PutOnClipboard(cftTopicInfo,
                   BuildPayload([topic](TQMWriter &writer) { writer.WriteTopicRecord(*topic); }));
}

void TQuillmarkDoc::CopyContentsToClipboard()
{
    const QString payload = BuildPayload([this](TQMWriter &writer) {
        writer.WriteInteger(m_contents->SelectedCount());
        for (int i = 0; i < m_contents->Count(); ++i) {
            const TQMContentsItem *item = m_contents->Items(i);
            if (item->Selected())
                writer.WriteContentsLine(*item);
        }
    });
    PutOnClipboard(cftTOC, payload);
}

// ---------------------------------------------------------------- pasting

bool TQuillmarkDoc::CanPaste(TQMClipboardFormatTypes formats) const
{
    const std::optional<QByteArray> data = TQMClipboard::Current().CarrierData();
    if (!data)
        return false;
    TQMClipboardFormat carrier;
    return TQMClipboardFormat::Deserialize(*data, carrier) == TQMClipboardFormat::TReadResult::Read &&
           formats.Contains(carrier.Format());
}

void TQuillmarkDoc::PasteFromClipboard()
{
    // The clipboard may have changed since CanPaste: look again.
    const std::optional<QByteArray> data = TQMClipboard::Current().CarrierData();
    if (!data)
        return;
    TQMClipboardFormat carrier;
    QString className;
    switch (TQMClipboardFormat::Deserialize(*data, carrier, &className)) {
    case TQMClipboardFormat::TReadResult::OtherClass:
        throw EQMException(QMLinkStrings::ClassNotFound().arg(className));
    case TQMClipboardFormat::TReadResult::Damaged:
        throw EQMException(QMLinkStrings::UnreadableClipboard());
    case TQMClipboardFormat::TReadResult::Read:
        break;
    }
    if (carrier.Text().trimmed().isEmpty())
        return;

    TKvStringStream bytes(carrier.Text());
    TGTextStream text(bytes, nullptr);
    switch (carrier.Format()) {
    case cftTopic:
        PasteTopics(m_topicIndex == -1 ? -1 : m_topics->Items(m_topicIndex)->TopicID(), text, false);
        break;
    case cftTopicInfo: {
        TQMTopic record;
        TQMReader(text).ReadTopicRecord(record);
        // A new topic keeps its own number and context string; so does the
        // current topic, which takes every other field.
        TQMTopic *target = m_topicIndex == -1 ? m_topics->Add() : m_topics->Items(m_topicIndex);
        target->Assign(&record);
        break;
    }
    case cftTOC:
        PasteContents(m_contentIndex + 1, text, false);
        break;
    }
}

void TQuillmarkDoc::PasteTopics(int forcedNumber, TGTextStream &stream, bool select)
{
    // Old number to new; 0 cannot be a key of the map, so it is kept aside
    // and mapped like any other number.
    TGHashIntTable map(101, 0.75f);
    std::optional<int32_t> zeroTo;
    bool renumbered = false;
    std::vector<TQMTopic *> pasted;
    const TQMTopic *lastHolder = nullptr;
    const TQMTopic *lastPlaced = nullptr;

    TUpdateScope<TCollection> bracket(*m_topics);
    TQMReader reader(stream);
    const int count = reader.ReadInteger();
    for (int i = 0; i < count; ++i) {
        // Read whole before it joins the document, so a damaged record
        // leaves no half-read topic behind.
        TQMTopic record;
        reader.ReadTopicRecord(record);
        const int32_t old = record.TopicID();
        const int32_t wanted = forcedNumber != -1 ? forcedNumber : old;

        TQMTopic *topic = m_topics->Add();
        pasted.push_back(topic);
        const TQMTopic *holder = m_topics->FindTopic(wanted);
        if (!holder || holder == topic) {
            topic->SetTopicID(wanted);
        } else {
            // The numbers from the holder's up to the one the last topic with
            // the same holder got are all taken, so the search goes on from
            // there: each topic pasted on the current one would otherwise
            // step over every number pasted before it.
            const TQMTopic *from = holder == lastHolder ? lastPlaced : holder;
            topic->SetTopicID(m_topics->NextFreeTopicID(from->Index(), topic->TopicID()));
            lastHolder = holder;
            lastPlaced = topic;
        }
        const int32_t number = topic->TopicID();
        if (old == 0)
            zeroTo = number;
        else
            map.Put(old, number);
        renumbered = renumbered || number != old;

        topic->Assign(&record);
        const QString oldDefault = TQMTopic::DefaultContextString(old);
        topic->SetContextString(record.ContextString() == oldDefault ? TQMTopic::DefaultContextString(number)
                                                                     : record.ContextString());
        if (record.BrowseSequenceNum() == old)
            topic->SetBrowseSequenceNum(number);
        topic->SetSelected(select);
    }

    if (renumbered) {
        for (TQMTopic *topic : pasted)
            RenumberTopicLinks(*topic, map, zeroTo);
    }
}

void TQuillmarkDoc::PasteContents(int insertIndex, TGTextStream &stream, bool select)
{
    TQMContentsItems &contents = *m_contents;
    TUpdateScope<TCollection> bracket(contents);

    int at = insertIndex < -1 ? -1 : insertIndex;
    const bool append = at == -1 || at >= contents.Count();
    const int baseLevel =
        at < 1 ? 1 : SaturatedNextLevel(contents.Items(std::min(at, contents.Count()) - 1)->Level());
    const TQMContentsItem *stop = append ? nullptr : contents.Items(at);
    const int first = append ? contents.Count() : at;
    int pastedCount = 0;

    auto relevel = [&] {
        if (pastedCount == 0)
            return;
        const int last = first + pastedCount - 1;
        int done = contents.SetLevelWithChildren(first, baseLevel, stop);
        while (done < last)
            done = contents.SetLevelWithChildren(done + 1, baseLevel, stop);
    };

    TQMReader reader(stream);
    try {
        const int count = reader.ReadInteger();
        for (int i = 0; i < count; ++i) {
            if (reader.AtEnd())
                break;
            TQMContentsItem *item = append ? contents.Add() : contents.Insert(at++);
            try {
                reader.ReadContentsLine(*item);
            } catch (...) {
                contents.Delete(item->Index());
                throw;
            }
            item->SetSelected(select);
            ++pastedCount;
        }
    } catch (...) {
        relevel();
        throw;
    }
    relevel();
}
