#include "foundation/KvDeltaFont.h"

namespace {

// Busy stays set only while the guarded work runs, also when it throws.
class BusyScope
{
public:
    explicit BusyScope(bool &busy)
        : m_busy(busy)
    {
        m_busy = true;
    }
    ~BusyScope() { m_busy = false; }
    BusyScope(const BusyScope &) = delete;
    BusyScope &operator=(const BusyScope &) = delete;

private:
    bool &m_busy;
};

} // namespace

TKvCustomDeltaFont::TKvCustomDeltaFont() = default;

TKvCustomDeltaFont::~TKvCustomDeltaFont() = default;

void TKvCustomDeltaFont::ComputeDeltas(const TFont *baseFont)
{
    if (m_busy || !baseFont)
        return;
    BusyScope busy(m_busy);
    TDeltaFlags flags;
    const TFontStyles mine = Style();
    const TFontStyles base = baseFont->Style();
    const struct
    {
        TFontStyle style;
        TDeltaFlag flag;
    } styleFlags[] = {
        {fsBold, dfBold}, {fsItalic, dfItalic}, {fsStrikeOut, dfStrikeOut}, {fsUnderline, dfUnderline}};
    for (const auto &pair : styleFlags) {
        if (mine.testFlag(pair.style) != base.testFlag(pair.style))
            flags |= pair.flag;
    }
    if (Color() != baseFont->Color())
        flags |= dfColor;
    if (Name() != baseFont->Name())
        flags |= dfName;
    if (Size() != baseFont->Size())
        flags |= dfSize;
    m_deltaFlags = flags;
}

void TKvCustomDeltaFont::ApplyBase(const TFont *baseFont)
{
    if (m_busy || !baseFont)
        return;
    BusyScope busy(m_busy);
    TFontStyles style = Style();
    const TFontStyles base = baseFont->Style();
    const struct
    {
        TFontStyle style;
        TDeltaFlag flag;
    } styleFlags[] = {
        {fsBold, dfBold}, {fsItalic, dfItalic}, {fsStrikeOut, dfStrikeOut}, {fsUnderline, dfUnderline}};
    for (const auto &pair : styleFlags) {
        if (!m_deltaFlags.testFlag(pair.flag))
            style.setFlag(pair.style, base.testFlag(pair.style));
    }
    SetStyle(style);
    if (!m_deltaFlags.testFlag(dfColor))
        SetColor(baseFont->Color());
    if (!m_deltaFlags.testFlag(dfName))
        SetName(baseFont->Name());
    // The height carries the size at full precision; going through the
    // point size could round it to a neighbouring pixel height.
    if (!m_deltaFlags.testFlag(dfSize))
        SetHeight(baseFont->Height());
}

void TKvCustomDeltaFont::Assign(const TPersistent *source)
{
    if (const auto *other = dynamic_cast<const TKvCustomDeltaFont *>(source))
        m_deltaFlags = other->m_deltaFlags;
    TFont::Assign(source);
}

void TKvCustomDeltaFont::Changed()
{
    if (!m_busy && OnGetBaseFont) {
        const TFont *baseFont = nullptr;
        OnGetBaseFont(this, baseFont);
        if (baseFont)
            ComputeDeltas(baseFont);
    }
    TFont::Changed();
}
