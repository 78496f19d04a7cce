#pragma once

// Copy and paste of topics and contents entries between documents, also
// between two running copies of the editor. The carrier travels through the
// clipboard as bytes under the program's own MIME type: its class name and
// its two published values, Format and Text. Text is the payload, written
// with the record layouts of the project file.
//
// The model reaches the clipboard through TQMClipboard, so it needs no GUI:
// the editor installs the system clipboard (textutil/QMSystemClipboard.h);
// until then an in-process clipboard stands in.

#include "foundation/EnumSet.h"
#include "foundation/Persistent.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QString>

#include <optional>

namespace QMClipboardEnums {
Q_NAMESPACE

enum TQMClipboardFormatType {
    cftTopic,     // a count, then that many topic records
    cftTopicInfo, // one topic record, no count
    cftTOC        // a count, then that many contents lines
};
Q_ENUM_NS(TQMClipboardFormatType)

} // namespace QMClipboardEnums

using QMClipboardEnums::TQMClipboardFormatType;
using enum QMClipboardEnums::TQMClipboardFormatType;

using TQMClipboardFormatTypes = TEnumSet<TQMClipboardFormatType>;

class TQMClipboardFormat : public TPersistent
{
    Q_GADGET
    Q_PROPERTY(QMClipboardEnums::TQMClipboardFormatType Format READ Format WRITE SetFormat)
    Q_PROPERTY(QString Text READ Text WRITE SetText)

public:
    QM_METAOBJECT

    // The MIME type the carrier travels under.
    static QString MimeType();

    TQMClipboardFormatType Format() const { return m_format; }
    void SetFormat(TQMClipboardFormatType value) { m_format = value; }
    const QString &Text() const { return m_text; }
    void SetText(const QString &value) { m_text = value; }

    // The serialised carrier: UTF-8 lines "TQMClipboardFormat",
    // "Format=<name>", "Text=<byte count>", then that many bytes of the
    // payload in UTF-8.
    QByteArray Serialize() const;

    enum class TReadResult { Read, OtherClass, Damaged };
    // Never raises, whatever the bytes. className receives the class the
    // data names, when it names one.
    static TReadResult Deserialize(QByteArrayView data, TQMClipboardFormat &carrier,
                                   QString *className = nullptr);

private:
    TQMClipboardFormatType m_format = cftTopic;
    QString m_text;
};

// The clipboard as the document sees it: the bytes of the carrier or none.
class TQMClipboard
{
public:
    virtual ~TQMClipboard();

    // Null when the clipboard holds nothing under the carrier's MIME type.
    virtual std::optional<QByteArray> CarrierData() const = 0;
    // Replaces the clipboard's content by the carrier.
    virtual void SetCarrierData(const QByteArray &data) = 0;

    // The installed clipboard, or the in-process one.
    static TQMClipboard &Current();
    // Not owned; null goes back to the in-process clipboard.
    static void Install(TQMClipboard *clipboard);
};

// A clipboard inside this process: for programs without a GUI and tests.
class TQMMemoryClipboard : public TQMClipboard
{
public:
    std::optional<QByteArray> CarrierData() const override { return m_data; }
    void SetCarrierData(const QByteArray &data) override { m_data = data; }
    void Clear() { m_data.reset(); }

private:
    std::optional<QByteArray> m_data;
};
