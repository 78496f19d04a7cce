#include "DiffReference.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

namespace DiffReference {
namespace {

using Int = std::int64_t;

class Runner
{
public:
    Runner(std::u16string_view first, std::u16string_view second)
        : m_first(first)
        , m_second(second)
    {}

    Result Run()
    {
        Int n1 = Int(m_first.size());
        Int n2 = Int(m_second.size());
        const Int last = n1 - 1;
        while (n1 > 0 && n2 > 0 && First(n1 - 1) == Second(n2 - 1)) {
            --n1;
            --n2;
        }
        if (n1 != 0 || n2 != 0) {
            Int o1 = 0;
            Int o2 = 0;
            while (n1 > 0 && n2 > 0 && First(o1) == Second(o2)) {
                ++o1;
                ++o2;
                --n1;
                --n2;
            }
            m_limit = std::min<Int>(std::max(n1, n2), TDiff::DiagonalLimit);
            m_forward.assign(std::size_t(2 * m_limit + 3), 0);
            m_backward.assign(std::size_t(2 * m_limit + 3), 0);
            Recurse(o1, o2, n1, n2);
        }
        while (m_cursor.Index1 < last)
            AppendSame();
        return {m_list, m_yields};
    }

private:
    char16_t First(Int i) const { return m_first.at(std::size_t(i)); }
    char16_t Second(Int i) const { return m_second.at(std::size_t(i)); }
    Int &F(Int k) { return m_forward.at(std::size_t(k + m_limit + 1)); }
    Int &B(Int k) { return m_backward.at(std::size_t(k + m_limit + 1)); }

    void Recurse(Int o1, Int o2, Int n1, Int n2)
    {
        if (n1 < 0 || n2 < 0)
            throw std::out_of_range("negative part");
        ++m_yields;
        if (n1 == 0)
            return AppendChange(o1, n2, ekAdded);
        if (n2 == 0)
            return AppendChange(o1, n1, ekRemoved);
        if (n1 == 1 && n2 == 1) {
            AppendChange(o1, 1, ekRemoved);
            AppendChange(o1, 1, ekAdded);
            return;
        }
        const auto a = [&](Int x) { return First(o1 + x); };
        const auto b = [&](Int y) { return Second(o2 + y); };
        const Int m = std::min<Int>(std::max(n1, n2), TDiff::DiagonalLimit);
        const Int delta = n1 - n2;
        for (Int k = -(m + 1); k <= m + 1; ++k) {
            F(k) = -2147483647;
            B(k) = 2147483647;
        }
        F(0) = -1;
        B(delta) = n1 - 1;
        for (Int d = 1; d <= m; ++d) {
            if (d % 200 == 0)
                ++m_yields;
            Int k = d;
            while (k > n1)
                k -= 2;
            while (k >= std::max(-d, -n2)) {
                Int x = F(k + 1) > F(k - 1) ? F(k + 1) : F(k - 1) + 1;
                Int y = x - k;
                while (x < n1 - 1 && y < n2 - 1 && a(x + 1) == b(y + 1)) {
                    ++x;
                    ++y;
                }
                F(k) = x;
                if (delta % 2 != 0 && F(k) >= B(k)) {
                    const Int X = x + 1;
                    const Int Y = y + 1;
                    Int x0 = X;
                    Int y0 = Y;
                    while (x0 > 0 && y0 > 0 && a(x0 - 1) == b(y0 - 1)) {
                        --x0;
                        --y0;
                    }
                    Recurse(o1, o2, x0, y0);
                    Recurse(o1 + X, o2 + Y, n1 - X, n2 - Y);
                    return;
                }
                k -= 2;
            }
            k = delta + d;
            while (k > n1)
                k -= 2;
            while (k >= std::max(delta - d, -n2)) {
                Int x = B(k + 1) > B(k - 1) ? B(k - 1) : B(k + 1) - 1;
                Int y = x - k;
                while (x > -1 && y > -1 && a(x) == b(y)) {
                    --x;
                    --y;
                }
                B(k) = x;
                if (B(k) <= F(k)) {
                    ++x;
                    ++y;
                    Recurse(o1, o2, x, y);
                    while (x < n1 && y < n2 && a(x) == b(y)) {
                        ++x;
                        ++y;
                    }
                    Recurse(o1 + x, o2 + y, n1 - x, n2 - y);
                    return;
                }
                k -= 2;
            }
        }
        throw std::runtime_error("no overlap");
    }

    void AppendSame()
    {
        m_cursor.Kind = ekSame;
        ++m_cursor.Index1;
        ++m_cursor.Index2;
        m_cursor.Char1 = First(m_cursor.Index1);
        m_cursor.Char2 = Second(m_cursor.Index2);
        m_list.push_back(m_cursor);
    }

    // The first entry of the run of `kind` entries that ends the list.
    std::size_t RunStart(TDiffEditKind kind) const
    {
        std::size_t i = m_list.size() - 1;
        while (i > 0 && m_list[i - 1].Kind == kind)
            --i;
        return i;
    }

    void AppendChange(Int offset1, Int count, TDiffEditKind kind)
    {
        while (m_cursor.Index1 < offset1 - 1)
            AppendSame();
        for (Int n = 0; n < count; ++n) {
            if (kind == ekAdded) {
                if (m_cursor.Kind == ekRemoved) {
                    const std::size_t i = RunStart(ekRemoved);
                    ++m_cursor.Index2;
                    m_list[i].Kind = ekChanged;
                    m_list[i].Index2 = m_cursor.Index2;
                    m_list[i].Char2 = Second(m_cursor.Index2);
                    if (i == m_list.size() - 1)
                        m_cursor.Kind = ekChanged;
                    // The removals left in the run now come after that change.
                    for (std::size_t j = i + 1; j < m_list.size(); ++j)
                        m_list[j].Index2 = m_cursor.Index2;
                } else {
                    m_cursor.Kind = ekAdded;
                    m_cursor.Char1 = 0;
                    ++m_cursor.Index2;
                    m_cursor.Char2 = Second(m_cursor.Index2);
                    m_list.push_back(m_cursor);
                }
            } else {
                if (m_cursor.Kind == ekAdded) {
                    const std::size_t i = RunStart(ekAdded);
                    ++m_cursor.Index1;
                    m_list[i].Kind = ekChanged;
                    m_list[i].Index1 = m_cursor.Index1;
                    m_list[i].Char1 = First(m_cursor.Index1);
                    if (i == m_list.size() - 1)
                        m_cursor.Kind = ekChanged;
                    for (std::size_t j = i + 1; j < m_list.size(); ++j)
                        m_list[j].Index1 = m_cursor.Index1;
                } else {
                    m_cursor.Kind = ekRemoved;
                    m_cursor.Char2 = 0;
                    ++m_cursor.Index1;
                    m_cursor.Char1 = First(m_cursor.Index1);
                    m_list.push_back(m_cursor);
                }
            }
        }
    }

    std::u16string_view m_first;
    std::u16string_view m_second;
    std::vector<TDiffEntry> m_list;
    TDiffEntry m_cursor;
    std::vector<Int> m_forward;
    std::vector<Int> m_backward;
    Int m_limit = 0;
    int m_yields = 0;
};

} // namespace

Result Compare(std::u16string_view first, std::u16string_view second)
{
    return Runner(first, second).Run();
}

} // namespace DiffReference
