#include "foundation/Font.h"

#include <cstdint>
#include <limits>

int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const int64_t product = static_cast<int64_t>(a) * b;
    int64_t quotient = product / c;
    const int64_t remainder = product % c;
    // Round half away from zero.
    if (remainder != 0 && 2 * (remainder < 0 ? -remainder : remainder) >= (c < 0 ? -int64_t{c} : int64_t{c}))
        quotient += ((product < 0) == (c < 0)) ? 1 : -1;
    if (quotient < std::numeric_limits<int>::min() || quotient > std::numeric_limits<int>::max())
        return -1;
    return static_cast<int>(quotient);
}

namespace {

int NegatedMulDiv(int a, int b, int c)
{
    const int result = MulDiv(a, b, c);
    return result == std::numeric_limits<int>::min() ? std::numeric_limits<int>::max() : -result;
}

} // namespace

TFont::TFont()
    : m_name(QStringLiteral("MS Sans Serif"))
    , m_height(-11)
    , m_color(clWindowText)
    , m_charset(DEFAULT_CHARSET)
    , m_pitch(fpDefault)
{}

TFont::~TFont() = default;

void TFont::SetName(const QString &value)
{
    if (value == m_name)
        return;
    m_name = value;
    Changed();
}

int TFont::Size() const
{
    return NegatedMulDiv(m_height, 72, PixelsPerInch);
}

void TFont::SetSize(int value)
{
    SetHeight(NegatedMulDiv(value, PixelsPerInch, 72));
}

void TFont::SetHeight(int value)
{
    if (value == m_height)
        return;
    m_height = value;
    Changed();
}

void TFont::SetColor(TColor value)
{
    if (value == m_color)
        return;
    m_color = value;
    Changed();
}

void TFont::SetStyle(TFontStyles value)
{
    if (value == m_style)
        return;
    m_style = value;
    Changed();
}

void TFont::SetCharset(TFontCharset value)
{
    if (value == m_charset)
        return;
    m_charset = value;
    Changed();
}

void TFont::SetPitch(TFontPitch value)
{
    if (value == m_pitch)
        return;
    m_pitch = value;
    Changed();
}

bool TFont::Equals(const TFont &other) const
{
    return m_name == other.m_name && m_height == other.m_height && m_color == other.m_color &&
           m_style == other.m_style && m_charset == other.m_charset && m_pitch == other.m_pitch;
}

void TFont::Assign(const TPersistent *source)
{
    const auto *other = dynamic_cast<const TFont *>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    if (Equals(*other))
        return;
    m_name = other->m_name;
    m_height = other->m_height;
    m_color = other->m_color;
    m_style = other->m_style;
    m_charset = other->m_charset;
    m_pitch = other->m_pitch;
    Changed();
}

void TFont::Changed()
{
    if (OnChange)
        OnChange(this);
}
