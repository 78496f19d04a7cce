#pragma once

// A rectangle with change notification whose edges and extents are reached
// by index, so descendants can publish Left, Top, Width and Height as
// indexed properties.

#include "foundation/Persistent.h"

#include <cstdint>

class TKvCustomRect : public TPersistent
{
    Q_GADGET

public:
    QM_METAOBJECT

    // Indices of GetValue / SetValue; anything above rvHeight means width.
    enum TRectValue { rvLeft = 0, rvTop = 1, rvRight = 2, rvBottom = 3, rvHeight = 4, rvWidth = 5 };

    TKvCustomRect() = default;
    ~TKvCustomRect() override;

    // Extents are computed with 32-bit wrap-around, as are the edges that
    // SetValue, MoveTo and OffsetBy derive from them, so a height or width
    // written through SetValue always reads back unchanged.
    virtual int32_t GetValue(int index) const;
    // Nothing when the value is unchanged. Setting an edge changes only that
    // edge; setting the height or width moves Bottom or Right.
    virtual void SetValue(int index, int32_t value);
    // Sets all four and reports a change, also when nothing differs.
    virtual void SetRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
    virtual void MoveTo(int32_t x, int32_t y);
    virtual void OffsetBy(int32_t dx, int32_t dy);
    // Moves each edge outwards by half the amount (truncated toward zero).
    // EIntOverflow "Integer overflow" when an edge would leave the 32-bit
    // range; the rectangle is then unchanged.
    virtual void InflateBy(int32_t dx, int32_t dy);

    int32_t Left() const { return m_left; }
    int32_t Top() const { return m_top; }
    int32_t Right() const { return m_right; }
    int32_t Bottom() const { return m_bottom; }
    int32_t Height() const { return GetValue(rvHeight); }
    int32_t Width() const { return GetValue(rvWidth); }
    void SetLeft(int32_t value) { SetValue(rvLeft, value); }
    void SetTop(int32_t value) { SetValue(rvTop, value); }
    void SetRight(int32_t value) { SetValue(rvRight, value); }
    void SetBottom(int32_t value) { SetValue(rvBottom, value); }
    void SetHeight(int32_t value) { SetValue(rvHeight, value); }
    void SetWidth(int32_t value) { SetValue(rvWidth, value); }

    // From another rectangle: the four edges, then a change. Other sources:
    // EAssignError.
    void Assign(const TPersistent *source) override;

    TNotifyEvent OnChange;

protected:
    // Raises OnChange.
    virtual void Changed();

    int32_t m_left = 0;
    int32_t m_top = 0;
    int32_t m_right = 0;
    int32_t m_bottom = 0;
};
