#include "textutil/QMSystemClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

std::optional<QByteArray> TQMSystemClipboard::CarrierData() const
{
    const QClipboard *clipboard = QGuiApplication::clipboard();
    const QMimeData *mime = clipboard ? clipboard->mimeData() : nullptr;
    if (!mime || !mime->hasFormat(TQMClipboardFormat::MimeType()))
        return std::nullopt;
    return mime->data(TQMClipboardFormat::MimeType());
}

void TQMSystemClipboard::SetCarrierData(const QByteArray &data)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return;
    auto mime = std::make_unique<QMimeData>();
    mime->setData(TQMClipboardFormat::MimeType(), data);
    // The clipboard takes ownership.
    clipboard->setMimeData(mime.release());
}

void TQMSystemClipboard::InstallForApplication()
{
    static TQMSystemClipboard clipboard;
    TQMClipboard::Install(&clipboard);
}
