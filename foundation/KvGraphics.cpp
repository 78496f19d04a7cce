#include "foundation/KvGraphics.h"

#include "foundation/Exceptions.h"
#include "foundation/FoundationStrings.h"

#include <limits>

namespace {

// Two's complement wrap-around without undefined behaviour.
int32_t WrapAdd(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

int32_t WrapSub(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

int32_t Checked(int64_t value)
{
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
        throw EIntOverflow(FoundationStrings::IntOverflow());
    return static_cast<int32_t>(value);
}

} // namespace

TKvCustomRect::~TKvCustomRect() = default;

int32_t TKvCustomRect::GetValue(int index) const
{
    switch (index) {
    case rvLeft:
        return m_left;
    case rvTop:
        return m_top;
    case rvRight:
        return m_right;
    case rvBottom:
        return m_bottom;
    case rvHeight:
        return WrapSub(m_bottom, m_top);
    default:
        return WrapSub(m_right, m_left);
    }
}

void TKvCustomRect::SetValue(int index, int32_t value)
{
    if (value == GetValue(index))
        return;
    switch (index) {
    case rvLeft:
        m_left = value;
        break;
    case rvTop:
        m_top = value;
        break;
    case rvRight:
        m_right = value;
        break;
    case rvBottom:
        m_bottom = value;
        break;
    case rvHeight:
        m_bottom = WrapAdd(m_top, value);
        break;
    default:
        m_right = WrapAdd(m_left, value);
        break;
    }
    Changed();
}

void TKvCustomRect::SetRect(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    m_left = left;
    m_top = top;
    m_right = right;
    m_bottom = bottom;
    Changed();
}

void TKvCustomRect::MoveTo(int32_t x, int32_t y)
{
    if (x == m_left && y == m_top)
        return;
    m_right = WrapAdd(m_right, WrapSub(x, m_left));
    m_bottom = WrapAdd(m_bottom, WrapSub(y, m_top));
    m_left = x;
    m_top = y;
    Changed();
}

void TKvCustomRect::OffsetBy(int32_t dx, int32_t dy)
{
    if (dx != 0) {
        m_left = WrapAdd(m_left, dx);
        m_right = WrapAdd(m_right, dx);
    }
    if (dy != 0) {
        m_top = WrapAdd(m_top, dy);
        m_bottom = WrapAdd(m_bottom, dy);
    }
    if (dx != 0 || dy != 0)
        Changed();
}

void TKvCustomRect::InflateBy(int32_t dx, int32_t dy)
{
    // Integer division truncates toward zero, as the amounts are meant.
    const int64_t halfX = dx / 2;
    const int64_t halfY = dy / 2;
    // Everything is checked before anything is stored.
    const int32_t left = Checked(m_left - halfX);
    const int32_t top = Checked(m_top - halfY);
    const int32_t right = Checked(m_right + halfX);
    const int32_t bottom = Checked(m_bottom + halfY);
    m_left = left;
    m_top = top;
    m_right = right;
    m_bottom = bottom;
    Changed();
}

void TKvCustomRect::Assign(const TPersistent *source)
{
    const auto *other = dynamic_cast<const TKvCustomRect *>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    m_left = other->m_left;
    m_top = other->m_top;
    m_right = other->m_right;
    m_bottom = other->m_bottom;
    Changed();
}

void TKvCustomRect::Changed()
{
    if (OnChange)
        OnChange(this);
}
