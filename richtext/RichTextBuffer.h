#pragma once

// A rich-text document addressed by plain-text offsets, in which a paragraph
// break counts as one character (CR): the engine behind the editor's controls
// and the wizards' hidden scratch editors. It holds a QTextDocument (its own,
// or a view's) and a selection in it, and exchanges content and the selection
// as RTF through the reader and the writer. None of its operations is blocked
// by the read-only flag, which only concerns the user's edits in a view.

#include "foundation/Font.h"
#include "richtext/RtfFormat.h"

#include <QColor>
#include <QFlags>
#include <QStringList>
#include <QTextCursor>

#include <functional>
#include <memory>

class QTextDocument;

// Character attributes of a selection, as its first character has them; the
// style is the font style set of the foundation's fonts.
struct TTextAttributes
{
    QColor color;      // invalid: the automatic colour
    QColor background; // invalid: none
    QString fontName;
    double size = 0; // points
    TFontStyles style;
    bool protectedText = false;
    bool hidden = false;

    bool operator==(const TTextAttributes &) const = default;
};

enum class TTextAttribute : uint16_t {
    Color = 1,
    Background = 2,
    FontName = 4,
    Size = 8,
    Style = 16,
    Protected = 32,
    Hidden = 64,
    All = 127
};
Q_DECLARE_FLAGS(TTextAttributeSet, TTextAttribute)
Q_DECLARE_OPERATORS_FOR_FLAGS(TTextAttributeSet)

using TParaAlignment = RtfFormat::TAlign;
using TParaNumbering = RtfFormat::TNumbering;

// Paragraph attributes; lengths in twips.
struct TParaAttributes
{
    TParaAlignment alignment = TParaAlignment::Left;
    int firstIndent = 0;
    int leftIndent = 0;
    int rightIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
    TParaNumbering numbering = TParaNumbering::None;
    QList<int> tabs;

    bool operator==(const TParaAttributes &) const = default;
};

enum class TParaAttribute : uint16_t {
    Alignment = 1,
    FirstIndent = 2,
    LeftIndent = 4,
    RightIndent = 8,
    SpaceBefore = 16,
    SpaceAfter = 32,
    Numbering = 64,
    Tabs = 128,
    All = 255
};
Q_DECLARE_FLAGS(TParaAttributeSet, TParaAttribute)
Q_DECLARE_OPERATORS_FOR_FLAGS(TParaAttributeSet)

enum class TFindOption : uint8_t { WholeWord = 1, MatchCase = 2 };
Q_DECLARE_FLAGS(TFindOptions, TFindOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TFindOptions)

class TRichTextBuffer
{
public:
    TRichTextBuffer();
    // Works on a document it does not own (a view's); the document must live
    // longer than the buffer.
    explicit TRichTextBuffer(QTextDocument *document);
    ~TRichTextBuffer();
    TRichTextBuffer(const TRichTextBuffer &) = delete;
    TRichTextBuffer &operator=(const TRichTextBuffer &) = delete;

    QTextDocument *Document() const { return m_doc; }

    // The whole content. Loading empties the selection, clears the modified
    // flag and returns what the reader had to repair (also kept in Messages()).
    QStringList LoadRtf(QByteArrayView rtf);
    QStringList LoadRtf(QStringView rtf);
    QStringList LoadLines(const QStringList &lines);
    QByteArray Rtf() const;
    QStringList RtfLines() const;
    QString RtfString() const;
    void SetPlainText(const QString &text);
    void Clear();
    const QStringList &Messages() const { return m_messages; }

    // Plain text: paragraphs separated by CR, one character each.
    QString Text() const;
    // The same with CR LF between paragraphs, as the platform control reports it.
    QString TextCrLf() const;
    int Length() const;
    QChar CharAt(int offset) const;

    int LineCount() const;
    QString Line(int index) const;
    int LineStart(int index) const;
    int LineOfOffset(int offset) const;

    // The selection; start and length are clamped to the text.
    int SelStart() const;
    int SelLength() const;
    void SetSelection(int start, int length);
    void SelectAll();
    QString SelText() const;
    // Replaces the selection by plain text (CR, LF or CR LF break paragraphs);
    // the caret stands after it.
    void SetSelText(const QString &text);
    QByteArray SelRtf() const;
    // Replaces the selection by RTF with all its formatting; the caret stands
    // after the inserted range.
    QStringList SetSelRtf(QByteArrayView rtf);
    QStringList SetSelRtf(QStringView rtf);

    // The offset of the first match that lies wholly within start..end
    // (end -1: the end of the text), or -1. A whole word has no letter, digit
    // or underscore on either side.
    int Find(const QString &text, int start, int end, TFindOptions options) const;

    TTextAttributes SelAttributes() const;
    void SetSelAttributes(const TTextAttributes &attributes, TTextAttributeSet which);
    void SetSelColor(const QColor &color);
    void SetSelBackground(const QColor &color);
    void SetSelFontName(const QString &name);
    void SetSelSize(double points);
    void SetSelStyle(TFontStyles style);
    void SetSelProtected(bool value);

    // Of the paragraph the selection starts in; setting changes every
    // paragraph the selection touches.
    TParaAttributes ParaAttributes() const;
    void SetParaAttributes(const TParaAttributes &attributes, TParaAttributeSet which);

    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool value);
    bool Modified() const { return m_modified; }
    void SetModified(bool value) { m_modified = value; }

    // The view keeps the buffer's selection in step with its own.
    const QTextCursor &Cursor() const { return m_cursor; }
    void SetCursor(const QTextCursor &cursor);

    std::function<void()> OnSelectionChange; // a selection set through the buffer
    std::function<void()> OnReadOnlyChange;

private:
    void Attach();
    void AfterLoad();
    void SelectionChanged();
    void Changed();
    QTextCharFormat CharFormatAt(int offset) const;
    void ModifyChars(const std::function<void(QTextCharFormat &)> &change);

    std::unique_ptr<QTextDocument> m_owned;
    QTextDocument *m_doc = nullptr;
    QTextCursor m_cursor;
    QMetaObject::Connection m_connection;
    QStringList m_messages;
    mutable QString m_text;
    mutable bool m_textValid = false;
    bool m_readOnly = false;
    bool m_modified = false;
    bool m_loading = false;
};
