#pragma once

// The visible rich-text control: a QTextEdit whose content is loaded and
// stored as RTF through the engine, with a rich-text buffer over its document
// for everything the program does with it. The selection stays visible while
// the control has no focus, and read-only it serves as a pane that shows
// (and lets the program mark) text the user cannot change.

#include "richtext/RichTextBuffer.h"

#include <QTextEdit>

#include <memory>

class TRichTextView : public QTextEdit
{
    Q_OBJECT

public:
    explicit TRichTextView(QWidget *parent = nullptr);
    ~TRichTextView() override;

    TRichTextBuffer &Buffer() { return *m_buffer; }
    const TRichTextBuffer &Buffer() const { return *m_buffer; }

    QStringList LoadRtf(QByteArrayView rtf) { return m_buffer->LoadRtf(rtf); }
    QStringList LoadLines(const QStringList &lines) { return m_buffer->LoadLines(lines); }
    QByteArray Rtf() const { return m_buffer->Rtf(); }
    QStringList RtfLines() const { return m_buffer->RtfLines(); }

    bool ReadOnly() const { return m_buffer->ReadOnly(); }
    void SetReadOnly(bool value) { m_buffer->SetReadOnly(value); }
    bool Modified() const { return m_buffer->Modified(); }
    void SetModified(bool value) { m_buffer->SetModified(value); }

    // The plain-text offset of the character at a point of the viewport.
    int CharIndexFromPoint(const QPoint &point) const;
    // Puts the caret at the start of a line and scrolls it into view.
    void ScrollToLine(int line);

    static constexpr const char *RtfMimeType = "text/rtf";

protected:
    QMimeData *createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    void KeepSelectionVisible();

    std::unique_ptr<TRichTextBuffer> m_buffer;
    std::unique_ptr<QObject> m_objectHandler;
    bool m_syncing = false;
};
