#pragma once

// A font that remembers which attributes differ from a base font and takes
// over the others whenever the base changes: a status font that only changes
// the colour keeps following the editor font's name and size.

#include "foundation/Font.h"

#include <QFlags>

#include <functional>

class TKvCustomDeltaFont : public TFont
{
    Q_GADGET

public:
    QM_METAOBJECT

    // Attributes that differ from the base font.
    enum TDeltaFlag {
        dfBold = 1,
        dfColor = 2,
        dfName = 4,
        dfItalic = 8,
        dfSize = 16,
        dfStrikeOut = 32,
        dfUnderline = 64
    };
    Q_DECLARE_FLAGS(TDeltaFlags, TDeltaFlag)
    Q_FLAG(TDeltaFlags)

    // The owner answers with the base font, or leaves it null.
    using TGetBaseFontEvent = std::function<void(TObject *sender, const TFont *&baseFont)>;

    TKvCustomDeltaFont();
    ~TKvCustomDeltaFont() override;

    TDeltaFlags DeltaFlags() const { return m_deltaFlags; }
    void SetDeltaFlags(TDeltaFlags value) { m_deltaFlags = value; }
    bool Busy() const { return m_busy; }

    // Recomputes DeltaFlags against the base: every style bit separately,
    // colour, name (exact) and size. Nothing when busy or without a base.
    virtual void ComputeDeltas(const TFont *baseFont);
    // Takes every attribute whose flag is clear from the base: the style bits
    // (stored once), colour, name, size. The change events still reach
    // OnChange but do not recompute DeltaFlags. Nothing when busy or without
    // a base.
    virtual void ApplyBase(const TFont *baseFont);

    // Also copies DeltaFlags from another delta font, before the change
    // recomputes them against this font's own base (when it has one).
    void Assign(const TPersistent *source) override;

    TGetBaseFontEvent OnGetBaseFont;

protected:
    // Unless busy: recomputes DeltaFlags against the base font that
    // OnGetBaseFont supplies, then raises OnChange.
    void Changed() override;

private:
    TDeltaFlags m_deltaFlags;
    bool m_busy = false;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TKvCustomDeltaFont::TDeltaFlags)
