#include "richtext/RichTextBuffer.h"

#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

#include <utility>
#include <vector>

using namespace RtfFormat;

namespace {

bool IsWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

// The numberings a list of the document can show; a bullet is any other style.
constexpr std::pair<TParaNumbering, QTextListFormat::Style> ListStyles[] = {
    {TParaNumbering::Decimal, QTextListFormat::ListDecimal},
    {TParaNumbering::LowerAlpha, QTextListFormat::ListLowerAlpha},
    {TParaNumbering::UpperAlpha, QTextListFormat::ListUpperAlpha},
    {TParaNumbering::LowerRoman, QTextListFormat::ListLowerRoman},
    {TParaNumbering::UpperRoman, QTextListFormat::ListUpperRoman},
};

QTextListFormat::Style ListStyle(TParaNumbering numbering)
{
    for (const auto &[kind, style] : ListStyles) {
        if (kind == numbering)
            return style;
    }
    return QTextListFormat::ListDisc;
}

TParaNumbering NumberingOf(const QTextBlock &block)
{
    const QTextList *list = block.textList();
    if (!list)
        return TParaNumbering::None;
    const QTextListFormat::Style shown = list->format().style();
    for (const auto &[kind, style] : ListStyles) {
        if (style == shown)
            return kind;
    }
    return TParaNumbering::Bullet;
}

QString NormaliseBreaks(const QString &text)
{
    QString result = text;
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    result.replace(u'\r', u'\n');
    return result;
}

} // namespace

TRichTextBuffer::TRichTextBuffer()
    : m_owned(std::make_unique<QTextDocument>())
    , m_doc(m_owned.get())
{
    // A scratch buffer has no view whose undo it would serve.
    m_doc->setUndoRedoEnabled(false);
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(10);
    m_doc->setDefaultFont(font);
    Attach();
}

TRichTextBuffer::TRichTextBuffer(QTextDocument *document)
    : m_doc(document)
{
    Attach();
}

TRichTextBuffer::~TRichTextBuffer()
{
    QObject::disconnect(m_connection);
}

void TRichTextBuffer::Attach()
{
    m_cursor = QTextCursor(m_doc);
    m_connection = QObject::connect(m_doc, &QTextDocument::contentsChanged, m_doc, [this] { Changed(); });
}

void TRichTextBuffer::AfterLoad()
{
    m_loading = false;
    m_textValid = false;
    m_modified = false;
    m_cursor = QTextCursor(m_doc);
    SelectionChanged();
}

QStringList TRichTextBuffer::LoadRtf(QByteArrayView rtf)
{
    m_loading = true;
    m_messages = TRtfReader::Read(*m_doc, rtf);
    AfterLoad();
    return m_messages;
}

QStringList TRichTextBuffer::LoadRtf(QStringView rtf)
{
    m_loading = true;
    m_messages = TRtfReader::Read(*m_doc, rtf);
    AfterLoad();
    return m_messages;
}

QStringList TRichTextBuffer::LoadLines(const QStringList &lines)
{
    m_loading = true;
    m_messages = TRtfReader::Read(*m_doc, lines);
    AfterLoad();
    return m_messages;
}

QByteArray TRichTextBuffer::Rtf() const
{
    return TRtfWriter::Write(*m_doc);
}

QStringList TRichTextBuffer::RtfLines() const
{
    return TRtfWriter::WriteLines(*m_doc);
}

QString TRichTextBuffer::RtfString() const
{
    return TRtfWriter::WriteString(*m_doc);
}

void TRichTextBuffer::SetPlainText(const QString &text)
{
    m_loading = true;
    const bool undo = m_doc->isUndoRedoEnabled();
    m_doc->setUndoRedoEnabled(false);
    m_doc->clear();
    QTextCursor(m_doc).insertText(NormaliseBreaks(text));
    m_doc->setUndoRedoEnabled(undo);
    m_doc->setModified(false);
    m_messages.clear();
    AfterLoad();
}

void TRichTextBuffer::Clear()
{
    SetPlainText(QString());
}

QString TRichTextBuffer::Text() const
{
    if (!m_textValid) {
        m_text.clear();
        m_text.reserve(m_doc->characterCount());
        for (QTextBlock block = m_doc->begin(); block.isValid(); block = block.next()) {
            if (block != m_doc->begin())
                m_text.append(u'\r');
            m_text.append(block.text());
        }
        m_textValid = true;
    }
    return m_text;
}

QString TRichTextBuffer::TextCrLf() const
{
    QString text = Text();
    text.replace(u'\r', QStringLiteral("\r\n"));
    return text;
}

int TRichTextBuffer::Length() const
{
    return m_doc->characterCount() - 1;
}

QChar TRichTextBuffer::CharAt(int offset) const
{
    const QString text = Text();
    return offset >= 0 && offset < text.size() ? text.at(offset) : QChar();
}

int TRichTextBuffer::LineCount() const
{
    return m_doc->blockCount();
}

QString TRichTextBuffer::Line(int index) const
{
    return m_doc->findBlockByNumber(index).text();
}

int TRichTextBuffer::LineStart(int index) const
{
    const QTextBlock block = m_doc->findBlockByNumber(index);
    return block.isValid() ? block.position() : -1;
}

int TRichTextBuffer::LineOfOffset(int offset) const
{
    offset = std::clamp(offset, 0, Length());
    return m_doc->findBlock(offset).blockNumber();
}

int TRichTextBuffer::SelStart() const
{
    return m_cursor.selectionStart();
}

int TRichTextBuffer::SelLength() const
{
    return m_cursor.selectionEnd() - m_cursor.selectionStart();
}

void TRichTextBuffer::SetSelection(int start, int length)
{
    const int size = Length();
    start = std::clamp(start, 0, size);
    const int end = std::clamp(length < 0 ? size : start + length, start, size);
    m_cursor.setPosition(start);
    m_cursor.setPosition(end, QTextCursor::KeepAnchor);
    SelectionChanged();
}

void TRichTextBuffer::SelectAll()
{
    SetSelection(0, Length());
}

QString TRichTextBuffer::SelText() const
{
    return Text().mid(SelStart(), SelLength());
}

void TRichTextBuffer::SetSelText(const QString &text)
{
    m_cursor.insertText(NormaliseBreaks(text));
    Changed();
    SelectionChanged();
}

QByteArray TRichTextBuffer::SelRtf() const
{
    return TRtfWriter::Write(*m_doc, SelStart(), SelStart() + SelLength());
}

QStringList TRichTextBuffer::SetSelRtf(QByteArrayView rtf)
{
    m_cursor.beginEditBlock();
    m_messages = TRtfReader::Insert(m_cursor, rtf);
    m_cursor.endEditBlock();
    Changed();
    SelectionChanged();
    return m_messages;
}

QStringList TRichTextBuffer::SetSelRtf(QStringView rtf)
{
    m_cursor.beginEditBlock();
    m_messages = TRtfReader::Insert(m_cursor, rtf);
    m_cursor.endEditBlock();
    Changed();
    SelectionChanged();
    return m_messages;
}

int TRichTextBuffer::Find(const QString &text, int start, int end, TFindOptions options) const
{
    const QString &all = Text();
    start = std::clamp(start, 0, int(all.size()));
    end = end < 0 ? int(all.size()) : std::clamp(end, start, int(all.size()));
    if (text.isEmpty())
        return -1;
    const Qt::CaseSensitivity cs =
        options.testFlag(TFindOption::MatchCase) ? Qt::CaseSensitive : Qt::CaseInsensitive;
    int from = start;
    while (from <= end - text.size()) {
        const int at = int(all.indexOf(text, from, cs));
        if (at < 0 || at + text.size() > end)
            return -1;
        if (!options.testFlag(TFindOption::WholeWord))
            return at;
        const bool before = at > 0 && IsWordChar(all.at(at - 1));
        const qsizetype after = at + text.size();
        const bool behind = after < all.size() && IsWordChar(all.at(after));
        if (!before && !behind)
            return at;
        from = at + 1;
    }
    return -1;
}

QTextCharFormat TRichTextBuffer::CharFormatAt(int offset) const
{
    const QTextBlock block = m_doc->findBlock(offset);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (offset >= fragment.position() && offset < fragment.position() + fragment.length())
            return fragment.charFormat();
    }
    // The paragraph break: its format is the next paragraph's block format.
    const QTextBlock next = block.next();
    return next.isValid() ? next.charFormat() : block.charFormat();
}

TTextAttributes TRichTextBuffer::SelAttributes() const
{
    const QTextCharFormat format = SelLength() > 0 ? CharFormatAt(SelStart()) : m_cursor.charFormat();
    TTextAttributes a;
    if (format.foreground().style() != Qt::NoBrush)
        a.color = format.foreground().color();
    if (format.background().style() != Qt::NoBrush)
        a.background = format.background().color();
    a.fontName = format.fontFamilies().toStringList().value(0);
    if (a.fontName.isEmpty())
        a.fontName = m_doc->defaultFont().family();
    a.size = format.hasProperty(QTextFormat::FontPointSize) ? format.fontPointSize()
                                                            : m_doc->defaultFont().pointSizeF();
    if (format.fontWeight() >= QFont::DemiBold)
        a.style |= fsBold;
    if (format.fontItalic())
        a.style |= fsItalic;
    if (format.underlineStyle() != QTextCharFormat::NoUnderline)
        a.style |= fsUnderline;
    if (format.fontStrikeOut())
        a.style |= fsStrikeOut;
    a.protectedText = format.boolProperty(PropProtected);
    a.hidden = format.boolProperty(PropHidden);
    return a;
}

void TRichTextBuffer::ModifyChars(const std::function<void(QTextCharFormat &)> &change)
{
    const int start = SelStart();
    const int end = start + SelLength();
    if (start == end) {
        QTextCharFormat format = m_cursor.charFormat();
        change(format);
        m_cursor.setCharFormat(format);
        return;
    }
    struct TPiece
    {
        int from, to;
        QTextCharFormat format;
        bool blockFormat;
    };
    std::vector<TPiece> pieces;
    for (QTextBlock block = m_doc->findBlock(start); block.isValid() && block.position() <= end;
         block = block.next()) {
        const int separator = block.position() - 1;
        if (block.position() > 0 && separator >= start && separator < end) {
            QTextCharFormat format = block.charFormat();
            change(format);
            pieces.push_back({block.position(), block.position(), format, true});
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int from = std::max(start, fragment.position());
            const int to = std::min(end, fragment.position() + fragment.length());
            if (from >= to)
                continue;
            QTextCharFormat format = fragment.charFormat();
            change(format);
            pieces.push_back({from, to, format, false});
        }
    }
    QTextCursor cursor(m_doc);
    cursor.beginEditBlock();
    for (const TPiece &piece : pieces) {
        cursor.setPosition(piece.from);
        if (piece.blockFormat) {
            cursor.setBlockCharFormat(piece.format);
        } else {
            cursor.setPosition(piece.to, QTextCursor::KeepAnchor);
            cursor.setCharFormat(piece.format);
        }
    }
    cursor.endEditBlock();
    Changed();
}

void TRichTextBuffer::SetSelAttributes(const TTextAttributes &a, TTextAttributeSet which)
{
    ModifyChars([&](QTextCharFormat &format) {
        if (which.testFlag(TTextAttribute::Color)) {
            if (a.color.isValid())
                format.setForeground(a.color);
            else
                format.clearForeground();
        }
        if (which.testFlag(TTextAttribute::Background)) {
            if (a.background.isValid())
                format.setBackground(a.background);
            else
                format.clearBackground();
        }
        if (which.testFlag(TTextAttribute::FontName) && !a.fontName.isEmpty()) {
            if (format.fontFamilies().toStringList().value(0) != a.fontName) {
                format.setFontFamilies(QStringList{a.fontName});
                // The character set belonged to the old font.
                format.clearProperty(PropFontCharset);
                format.clearProperty(PropFontKind);
            }
        }
        if (which.testFlag(TTextAttribute::Size) && a.size > 0)
            format.setFontPointSize(a.size);
        if (which.testFlag(TTextAttribute::Style)) {
            format.setFontWeight(a.style.testFlag(fsBold) ? QFont::Bold : QFont::Normal);
            format.setFontItalic(a.style.testFlag(fsItalic));
            if (!a.style.testFlag(fsUnderline)) {
                format.setUnderlineStyle(QTextCharFormat::NoUnderline);
                format.clearProperty(PropDoubleUnderline);
            } else if (format.underlineStyle() == QTextCharFormat::NoUnderline) {
                format.setUnderlineStyle(QTextCharFormat::SingleUnderline);
            }
            format.setFontStrikeOut(a.style.testFlag(fsStrikeOut));
        }
        if (which.testFlag(TTextAttribute::Protected)) {
            if (a.protectedText)
                format.setProperty(PropProtected, true);
            else
                format.clearProperty(PropProtected);
        }
        if (which.testFlag(TTextAttribute::Hidden)) {
            if (a.hidden)
                format.setProperty(PropHidden, true);
            else
                format.clearProperty(PropHidden);
        }
    });
}

void TRichTextBuffer::SetSelColor(const QColor &color)
{
    TTextAttributes a;
    a.color = color;
    SetSelAttributes(a, TTextAttribute::Color);
}

void TRichTextBuffer::SetSelBackground(const QColor &color)
{
    TTextAttributes a;
    a.background = color;
    SetSelAttributes(a, TTextAttribute::Background);
}

void TRichTextBuffer::SetSelFontName(const QString &name)
{
    TTextAttributes a;
    a.fontName = name;
    SetSelAttributes(a, TTextAttribute::FontName);
}

void TRichTextBuffer::SetSelSize(double points)
{
    TTextAttributes a;
    a.size = points;
    SetSelAttributes(a, TTextAttribute::Size);
}

void TRichTextBuffer::SetSelStyle(TFontStyles style)
{
    TTextAttributes a;
    a.style = style;
    SetSelAttributes(a, TTextAttribute::Style);
}

void TRichTextBuffer::SetSelProtected(bool value)
{
    TTextAttributes a;
    a.protectedText = value;
    SetSelAttributes(a, TTextAttribute::Protected);
}

TParaAttributes TRichTextBuffer::ParaAttributes() const
{
    const QTextBlock block = m_doc->findBlock(SelStart());
    const TParaProps props = PropsFromBlockFormat(block.blockFormat());
    TParaAttributes a;
    a.alignment = props.align;
    a.firstIndent = props.first;
    a.leftIndent = props.left;
    a.rightIndent = props.right;
    a.spaceBefore = props.before;
    a.spaceAfter = props.after;
    a.numbering = NumberingOf(block);
    for (const TTab &tab : props.tabs)
        a.tabs.append(tab.position);
    return a;
}

void TRichTextBuffer::SetParaAttributes(const TParaAttributes &a, TParaAttributeSet which)
{
    const int start = SelStart();
    const int end = start + SelLength();
    QTextCursor cursor(m_doc);
    cursor.beginEditBlock();
    for (QTextBlock block = m_doc->findBlock(start); block.isValid(); block = block.next()) {
        if (block.position() > end || (block.position() == end && end != start && block.position() != start))
            break;
        cursor.setPosition(block.position());
        if (which.testFlag(TParaAttribute::Numbering) && NumberingOf(block) != a.numbering) {
            if (QTextList *list = block.textList()) {
                // Leaving the list changes the indent; keep the block's own format.
                QTextBlockFormat before = block.blockFormat();
                before.clearProperty(QTextFormat::ObjectIndex);
                list->remove(block);
                cursor.setBlockFormat(before);
            }
            if (a.numbering != TParaNumbering::None) {
                const QTextBlock previous = block.previous();
                QTextList *list = previous.isValid() ? previous.textList() : nullptr;
                if (list && list->format().style() == ListStyle(a.numbering)) {
                    list->add(block);
                } else {
                    QTextListFormat format;
                    format.setStyle(ListStyle(a.numbering));
                    format.setIndent(1);
                    if (a.numbering != TParaNumbering::Bullet)
                        format.setNumberSuffix(QStringLiteral("."));
                    cursor.createList(format);
                }
            }
        }
        QTextBlockFormat format = block.blockFormat();
        if (which.testFlag(TParaAttribute::Alignment)) {
            TParaProps props;
            props.align = a.alignment;
            format.setAlignment(BlockFormatFromProps(props).alignment());
        }
        if (which.testFlag(TParaAttribute::FirstIndent))
            format.setTextIndent(TwipsToPixels(a.firstIndent));
        if (which.testFlag(TParaAttribute::LeftIndent))
            format.setLeftMargin(TwipsToPixels(a.leftIndent));
        if (which.testFlag(TParaAttribute::RightIndent))
            format.setRightMargin(TwipsToPixels(a.rightIndent));
        if (which.testFlag(TParaAttribute::SpaceBefore))
            format.setTopMargin(TwipsToPixels(a.spaceBefore));
        if (which.testFlag(TParaAttribute::SpaceAfter))
            format.setBottomMargin(TwipsToPixels(a.spaceAfter));
        if (which.testFlag(TParaAttribute::Tabs)) {
            QList<QTextOption::Tab> tabs;
            for (int position : a.tabs)
                tabs.append(QTextOption::Tab(TwipsToPixels(position), QTextOption::LeftTab));
            format.setTabPositions(tabs);
        }
        cursor.setBlockFormat(format);
    }
    cursor.endEditBlock();
    Changed();
}

void TRichTextBuffer::SetReadOnly(bool value)
{
    if (m_readOnly == value)
        return;
    m_readOnly = value;
    if (OnReadOnlyChange)
        OnReadOnlyChange();
}

void TRichTextBuffer::SetCursor(const QTextCursor &cursor)
{
    if (cursor.document() == m_doc)
        m_cursor = cursor;
}

// Some edits inside nested edit blocks reach the document's change signals
// late or not at all, so the buffer's own edits report themselves too.
void TRichTextBuffer::Changed()
{
    m_textValid = false;
    if (!m_loading)
        m_modified = true;
}

void TRichTextBuffer::SelectionChanged()
{
    if (OnSelectionChange)
        OnSelectionChange();
}
