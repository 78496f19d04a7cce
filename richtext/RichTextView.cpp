#include "richtext/RichTextView.h"

#include "richtext/RichTextStrings.h"
#include "richtext/RtfFormat.h"
#include "richtext/RtfWriter.h"

#include <QAbstractTextDocumentLayout>
#include <QMimeData>
#include <QPainter>
#include <QTextObjectInterface>

namespace {

// Draws a character that stands for a group the engine keeps but cannot show
// (an embedded object, a metafile, a footnote) as a small framed label.
class TRawObjectHandler : public QObject, public QTextObjectInterface
{
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

public:
    QSizeF intrinsicSize(QTextDocument *, int, const QTextFormat &format) override
    {
        const QFontMetricsF metrics(format.toCharFormat().font());
        return QSizeF(metrics.horizontalAdvance(RichTextStrings::ObjectPlaceholder()) + 4, metrics.height());
    }

    void drawObject(QPainter *painter, const QRectF &rect, QTextDocument *, int,
                    const QTextFormat &format) override
    {
        painter->save();
        painter->setFont(format.toCharFormat().font());
        painter->setPen(Qt::gray);
        painter->drawRect(rect.adjusted(0.5, 0.5, -0.5, -0.5));
        painter->drawText(rect, Qt::AlignCenter, RichTextStrings::ObjectPlaceholder());
        painter->restore();
    }
};

} // namespace

TRichTextView::TRichTextView(QWidget *parent)
    : QTextEdit(parent)
    , m_objectHandler(std::make_unique<TRawObjectHandler>())
{
    // RTF written without a font falls back to the document's font; keep it
    // the same on every machine instead of the desktop's.
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(10);
    setFont(font);
    document()->setDefaultFont(font);
    m_buffer = std::make_unique<TRichTextBuffer>(document());
    document()->documentLayout()->registerHandler(RtfFormat::RawObjectType, m_objectHandler.get());

    m_buffer->OnSelectionChange = [this] {
        if (m_syncing)
            return;
        m_syncing = true;
        setTextCursor(m_buffer->Cursor());
        m_syncing = false;
    };
    m_buffer->OnReadOnlyChange = [this] {
        setReadOnly(m_buffer->ReadOnly());
        // A read-only pane still lets the user select and copy.
        if (m_buffer->ReadOnly())
            setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    };
    const auto follow = [this] {
        if (m_syncing)
            return;
        m_syncing = true;
        m_buffer->SetCursor(textCursor());
        m_syncing = false;
    };
    connect(this, &QTextEdit::cursorPositionChanged, this, follow);
    connect(this, &QTextEdit::selectionChanged, this, follow);
    KeepSelectionVisible();
}

TRichTextView::~TRichTextView()
{
    // The buffer watches the document, which the editor destroys after us.
    m_buffer.reset();
}

void TRichTextView::KeepSelectionVisible()
{
    QPalette p = palette();
    p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText,
               p.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(p);
}

int TRichTextView::CharIndexFromPoint(const QPoint &point) const
{
    return cursorForPosition(point).position();
}

void TRichTextView::ScrollToLine(int line)
{
    const int start = m_buffer->LineStart(std::clamp(line, 0, m_buffer->LineCount() - 1));
    m_buffer->SetSelection(start, 0);
    ensureCursorVisible();
}

QMimeData *TRichTextView::createMimeDataFromSelection() const
{
    auto *data = new QMimeData;
    const QTextCursor cursor = textCursor();
    data->setData(QString::fromLatin1(RtfMimeType),
                  TRtfWriter::Write(*document(), cursor.selectionStart(), cursor.selectionEnd()));
    QString text =
        m_buffer->Text().mid(cursor.selectionStart(), cursor.selectionEnd() - cursor.selectionStart());
    text.replace(u'\r', QStringLiteral("\n"));
    text.replace(QChar(0x2028), u'\n');
    data->setText(text);
    return data;
}

bool TRichTextView::canInsertFromMimeData(const QMimeData *source) const
{
    return source->hasFormat(QString::fromLatin1(RtfMimeType)) || source->hasText();
}

void TRichTextView::insertFromMimeData(const QMimeData *source)
{
    if (isReadOnly())
        return;
    m_buffer->SetCursor(textCursor());
    if (source->hasFormat(QString::fromLatin1(RtfMimeType)))
        m_buffer->SetSelRtf(QByteArrayView(source->data(QString::fromLatin1(RtfMimeType))));
    else
        m_buffer->SetSelText(source->text());
    ensureCursorVisible();
}

#include "RichTextView.moc"
