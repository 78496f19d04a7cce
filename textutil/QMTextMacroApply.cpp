#include "textutil/QMTextMacroApply.h"

#include "foundation/Convert.h"
#include "quillmarkdoc/QMException.h"
#include "quillmarkdoc/QMTextMacros.h"
#include "quillmarkdoc/QuillmarkDocStrings.h"
#include "richtext/RichTextBuffer.h"

#include <QGuiApplication>
#include <QPalette>

namespace {

// A colour of the file: 0x00BBGGRR, or a negative value naming a system
// colour by its low byte. The window text colour is what the engine calls
// the automatic colour; the few other system colours a macro may carry
// follow the application's palette.
QColor ToQColor(TColor color)
{
    if (color >= 0)
        return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
    QPalette::ColorRole role;
    switch (color & 0xFF) {
    case 0x05: // window
        role = QPalette::Base;
        break;
    case 0x0D: // highlight
        role = QPalette::Highlight;
        break;
    case 0x0E: // highlight text
        role = QPalette::HighlightedText;
        break;
    case 0x1A: // hot light
        role = QPalette::Link;
        break;
    default: // window text and anything unknown
        return QColor();
    }
    return QGuiApplication::palette().color(role);
}

TParaAlignment ToParaAlignment(TAlignment alignment)
{
    switch (alignment) {
    case taRightJustify:
        return TParaAlignment::Right;
    case taCenter:
        return TParaAlignment::Center;
    case taLeftJustify:
        break;
    }
    return TParaAlignment::Left;
}

} // namespace

void ApplyTextMacro(const TQMTextMacro &macro, TRichTextBuffer &buffer)
{
    if (macro.IsSyntaxMacro())
        throw EQMException(QuillmarkDocStrings::FeatureDisabled());

    TTextAttributes chars;
    chars.color = ToQColor(macro.Color());
    chars.fontName = macro.TypeFace();
    chars.style = macro.Style();
    chars.size = macro.Size();
    buffer.SetSelAttributes(chars, TTextAttribute::Color | TTextAttribute::FontName | TTextAttribute::Style |
                                       TTextAttribute::Size);

    TParaAttributes para;
    para.numbering = macro.Bullet() ? TParaNumbering::Bullet : TParaNumbering::None;
    para.alignment = ToParaAlignment(macro.Alignment());
    para.leftIndent = macro.LeftMargin();
    para.rightIndent = macro.RightMargin();
    para.firstIndent = macro.Indent();
    buffer.SetParaAttributes(para, TParaAttribute::Numbering | TParaAttribute::Alignment |
                                       TParaAttribute::LeftIndent | TParaAttribute::RightIndent |
                                       TParaAttribute::FirstIndent);

    // All entries are converted before any is set, so a bad entry cannot
    // leave the paragraphs with a mix of old and new tab stops.
    const TStringList &tabs = *macro.Tabs();
    TParaAttributes stops;
    stops.tabs.reserve(tabs.Count());
    for (int i = 0; i < tabs.Count(); ++i)
        stops.tabs.append(StrToInt(tabs.Strings(i)));
    buffer.SetParaAttributes(stops, TParaAttribute::Tabs);
}
