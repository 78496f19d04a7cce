#pragma once

// The system clipboard for the document's copy and paste: the carrier goes
// out as QMimeData under the program's own MIME type, so another running
// copy of the program can paste it. Needs a QGuiApplication.

#include "quillmarkdoc/QMClipboard.h"

class TQMSystemClipboard : public TQMClipboard
{
public:
    std::optional<QByteArray> CarrierData() const override;
    void SetCarrierData(const QByteArray &data) override;

    // Installs one for the program's lifetime.
    static void InstallForApplication();
};
