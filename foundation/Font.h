#pragma once

// A font description with change notification: name, size (points) and
// height (pixels at 96 pixels per inch; negative for the character height,
// as the files store it), colour, style set, character set and pitch. It
// carries no platform font; windows turn it into a QFont.

#include "foundation/Persistent.h"

#include <QFlags>
#include <QString>

#include <cstdint>

// A colour as the files store it: 0x00BBGGRR, or negative for a system
// colour named by its low byte.
using TColor = int32_t;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clWindowText = static_cast<TColor>(0x80000008u);
inline constexpr TColor clHotLight = static_cast<TColor>(0xFF00001Au);

using TFontCharset = uint8_t;
inline constexpr TFontCharset ANSI_CHARSET = 0;
inline constexpr TFontCharset DEFAULT_CHARSET = 1;

class TFont : public TPersistent
{
    Q_GADGET
    Q_PROPERTY(int Charset READ CharsetValue WRITE SetCharsetValue)
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_PROPERTY(int Height READ Height WRITE SetHeight)
    Q_PROPERTY(QString Name READ Name WRITE SetName)
    Q_PROPERTY(TFontPitch Pitch READ Pitch WRITE SetPitch)
    Q_PROPERTY(int Size READ Size WRITE SetSize)
    Q_PROPERTY(TFontStyles Style READ Style WRITE SetStyle)

public:
    QM_METAOBJECT

    // The bit values are those the files carry for a style set.
    enum TFontStyle { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
    Q_DECLARE_FLAGS(TFontStyles, TFontStyle)
    Q_FLAG(TFontStyles)

    enum TFontPitch { fpDefault, fpVariable, fpFixed };
    Q_ENUM(TFontPitch)

    static constexpr int PixelsPerInch = 96;

    // "MS Sans Serif", 8 points (height -11), window text colour, no style,
    // default character set and pitch.
    TFont();
    ~TFont() override;

    // Every setter does nothing when the value is unchanged; otherwise it
    // stores the value and calls Changed().
    const QString &Name() const { return m_name; }
    void SetName(const QString &value);
    // Size = -MulDiv(Height, 72, 96); setting it sets Height to
    // -MulDiv(Size, 96, 72), so the height decides what is kept.
    int Size() const;
    void SetSize(int value);
    int Height() const { return m_height; }
    void SetHeight(int value);
    TColor Color() const { return m_color; }
    void SetColor(TColor value);
    TFontStyles Style() const { return m_style; }
    void SetStyle(TFontStyles value);
    TFontCharset Charset() const { return m_charset; }
    void SetCharset(TFontCharset value);
    TFontPitch Pitch() const { return m_pitch; }
    void SetPitch(TFontPitch value);

    // Copies every attribute from another font; one Changed() when anything
    // differed. Other sources: EAssignError.
    void Assign(const TPersistent *source) override;

    // All attributes equal (name compared exactly).
    bool Equals(const TFont &other) const;
    friend bool operator==(const TFont &a, const TFont &b) { return a.Equals(b); }
    friend bool operator!=(const TFont &a, const TFont &b) { return !a.Equals(b); }

    TNotifyEvent OnChange;

protected:
    // Raised by every attribute change; raises OnChange.
    virtual void Changed();

private:
    int CharsetValue() const { return m_charset; }
    void SetCharsetValue(int value) { SetCharset(static_cast<TFontCharset>(value)); }

    QString m_name;
    int m_height;
    TColor m_color;
    TFontStyles m_style;
    TFontCharset m_charset;
    TFontPitch m_pitch;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TFont::TFontStyles)

using TFontStyle = TFont::TFontStyle;
using TFontStyles = TFont::TFontStyles;
using TFontPitch = TFont::TFontPitch;
inline constexpr TFontStyle fsBold = TFont::fsBold;
inline constexpr TFontStyle fsItalic = TFont::fsItalic;
inline constexpr TFontStyle fsUnderline = TFont::fsUnderline;
inline constexpr TFontStyle fsStrikeOut = TFont::fsStrikeOut;
inline constexpr TFontPitch fpDefault = TFont::fpDefault;
inline constexpr TFontPitch fpVariable = TFont::fpVariable;
inline constexpr TFontPitch fpFixed = TFont::fpFixed;

// a * b / c in 64 bits, rounded half away from zero; -1 when c is 0 or the
// result does not fit 32 bits.
int MulDiv(int a, int b, int c);
