#include "diff/Diff.h"

#include "diff/DiffStrings.h"
#include "foundation/Exceptions.h"
#include "foundation/FoundationStrings.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

namespace {

// The reach of a diagonal neither search has touched yet. One short of the
// integer limits, so a step from it (plus or minus one) still fits.
constexpr std::int32_t kForwardUnreached = -2147483647;
constexpr std::int32_t kBackwardUnreached = 2147483647;

constexpr std::int64_t kYieldInterval = 200;

// How many elements p[0], p[1], ... equal q[0], q[1], ..., at most limit.
// Long common stretches are the normal case for nearly equal texts, so they
// are compared four elements at a time.
inline std::int64_t MatchForward(const char16_t *p, const char16_t *q, std::int64_t limit)
{
    std::int64_t n = 0;
    if constexpr (std::endian::native == std::endian::little) {
        if (limit > 0 && p[0] != q[0])
            return 0;
        while (n + 4 <= limit) {
            std::uint64_t a;
            std::uint64_t b;
            std::memcpy(&a, p + n, sizeof a);
            std::memcpy(&b, q + n, sizeof b);
            if (a != b)
                return n + (std::countr_zero(a ^ b) >> 4);
            n += 4;
        }
    }
    while (n < limit && p[n] == q[n])
        ++n;
    return n;
}

// How many elements p[0], p[-1], ... equal q[0], q[-1], ..., at most limit.
inline std::int64_t MatchBackward(const char16_t *p, const char16_t *q, std::int64_t limit)
{
    std::int64_t n = 0;
    if constexpr (std::endian::native == std::endian::little) {
        if (limit > 0 && p[0] != q[0])
            return 0;
        while (n + 4 <= limit) {
            std::uint64_t a;
            std::uint64_t b;
            std::memcpy(&a, p - n - 3, sizeof a);
            std::memcpy(&b, q - n - 3, sizeof b);
            if (a != b)
                return n + (std::countl_zero(a ^ b) >> 4);
            n += 4;
        }
    }
    while (n < limit && p[-n] == q[-n])
        ++n;
    return n;
}

constexpr std::int64_t kNoOverlap = std::numeric_limits<std::int64_t>::min();

// The passes over the diagonals of one search step. They are kept out of
// line so the loop has every register to itself; each returns the diagonal
// where the two searches met, with its reach in `reached`, or kNoOverlap.
// Iterations read the other parity of diagonals than they write, so the
// lower neighbour of one diagonal is the upper neighbour of the next.
template<bool CheckOverlap>
[[gnu::noinline]] std::int64_t ForwardPass(const char16_t *a, const char16_t *b, std::int32_t *forward,
                                           const std::int32_t *backward, std::int64_t k, std::int64_t lowest,
                                           std::int64_t n1, std::int64_t n2, std::int64_t &reached)
{
    const std::int64_t lastX = n1 - 1;
    const std::int64_t lastY = n2 - 1;
    std::int64_t fromAbove = forward[k + 1];
    for (; k >= lowest; k -= 2) {
        const std::int64_t fromBelow = forward[k - 1];
        std::int64_t x = fromAbove > fromBelow ? fromAbove : fromBelow + 1;
        fromAbove = fromBelow;
        const std::int64_t y = x - k;
        if (x < lastX && y < lastY && a[x + 1] == b[y + 1])
            x += MatchForward(a + x + 1, b + y + 1, std::min(lastX - x, lastY - y));
        forward[k] = static_cast<std::int32_t>(x);
        if (CheckOverlap && x >= backward[k]) {
            reached = x;
            return k;
        }
    }
    return kNoOverlap;
}

[[gnu::noinline]] std::int64_t BackwardPass(const char16_t *a, const char16_t *b, const std::int32_t *forward,
                                            std::int32_t *backward, std::int64_t k, std::int64_t lowest,
                                            std::int64_t &reached)
{
    std::int64_t fromAbove = backward[k + 1];
    for (; k >= lowest; k -= 2) {
        const std::int64_t fromBelow = backward[k - 1];
        std::int64_t x = fromAbove > fromBelow ? fromBelow : fromAbove - 1;
        fromAbove = fromBelow;
        const std::int64_t y = x - k;
        if (x > -1 && y > -1 && a[x] == b[y])
            x -= MatchBackward(a + x, b + y, std::min(x, y) + 1);
        backward[k] = static_cast<std::int32_t>(x);
        if (x <= forward[k]) {
            reached = x;
            return k;
        }
    }
    return kNoOverlap;
}

} // namespace

TDiff::TDiff(QObject *owner)
    : QObject(owner)
{}

TDiff::~TDiff() = default;

bool TDiff::CompareChars(QStringView first, QStringView second)
{
    if (m_running)
        return false;
    constexpr qsizetype limit = std::numeric_limits<std::int32_t>::max();
    if (first.size() > limit || second.size() > limit)
        throw EIntOverflow(FoundationStrings::IntOverflow());
    return CompareChars(first.utf16(), second.utf16(), static_cast<std::int32_t>(first.size()),
                        static_cast<std::int32_t>(second.size()));
}

bool TDiff::CompareChars(const char16_t *first, const char16_t *second, std::int32_t length1,
                         std::int32_t length2)
{
    if (m_running)
        return false;
    m_running = true;

    // Whatever way the comparison ends, the script left behind is consistent
    // and the work vectors are gone.
    struct Finish
    {
        TDiff *diff;
        ~Finish()
        {
            diff->SettleRun();
            diff->m_forwardReach = nullptr;
            diff->m_backwardReach = nullptr;
            diff->m_reachStorage.reset();
            diff->m_activeYield = nullptr;
            diff->m_running = false;
        }
    } finish{this};

    m_entries.clear();
    m_cursor = TDiffEntry{};
    m_runStart = 0;
    m_runPaired = false;
    m_first = first;
    m_second = second;
    length1 = std::max(length1, 0);
    length2 = std::max(length2, 0);
    const std::int32_t last = length1 - 1;

    // The tail goes before the head: "aa" against "a" matches the second a.
    std::int32_t n1 = length1;
    std::int32_t n2 = length2;
    if (n1 > 0 && n2 > 0) {
        const auto tail =
            static_cast<std::int32_t>(MatchBackward(first + n1 - 1, second + n2 - 1, std::min(n1, n2)));
        n1 -= tail;
        n2 -= tail;
    }

    if (n1 > 0 || n2 > 0) {
        std::int32_t o1 = 0;
        std::int32_t o2 = 0;
        if (n1 > 0 && n2 > 0) {
            const auto head = static_cast<std::int32_t>(MatchForward(first, second, std::min(n1, n2)));
            o1 = o2 = head;
            n1 -= head;
            n2 -= head;
        }

        m_activeYield = OnYield;
        // Every element of the first sequence gives one entry, and only added
        // elements come on top: the array never grows while the search runs.
        m_entries.reserve(static_cast<std::size_t>(length1) + static_cast<std::size_t>(n2));

        // One slot per diagonal any part can reach (-(n2 + 1) to n1 + 1), left
        // uninitialised: each part prepares only the diagonals it searches,
        // so nearly equal texts never touch most of it.
        const std::size_t slotCount = static_cast<std::size_t>(n1) + static_cast<std::size_t>(n2) + 3;
        m_reachStorage = std::make_unique_for_overwrite<std::int32_t[]>(2 * slotCount);
        m_forwardReach = m_reachStorage.get() + n2 + 1;
        m_backwardReach = m_reachStorage.get() + slotCount + n2 + 1;

        RecursiveDiffChr(o1, o2, n1, n2);

        m_forwardReach = nullptr;
        m_backwardReach = nullptr;
        m_reachStorage.reset();
    }

    AppendSameUpTo(last);
    return true;
}

TDiffEntry TDiff::GetEntry(std::int32_t index) const
{
    if (index < 0 || index >= EntryCount())
        ThrowListIndexError(index);
    return m_entries[static_cast<std::size_t>(index)];
}

void TDiff::Reset()
{
    if (m_running)
        return;
    std::vector<TDiffEntry>().swap(m_entries);
    m_cursor = TDiffEntry{};
    m_runStart = 0;
    m_runPaired = false;
    m_first = nullptr;
    m_second = nullptr;
}

void TDiff::Yield()
{
    if (m_activeYield)
        m_activeYield();
}

void TDiff::RecursiveDiffChr(std::int32_t offset1, std::int32_t offset2, std::int32_t length1,
                             std::int32_t length2)
{
    Yield();
    if (length1 == 0) {
        AppendChange(offset1, length2, ekAdded);
        return;
    }
    if (length2 == 0) {
        AppendChange(offset1, length1, ekRemoved);
        return;
    }
    if (length1 == 1 && length2 == 1) {
        AppendChange(offset1, 1, ekRemoved);
        AppendChange(offset1, 1, ekAdded);
        return;
    }

    // Positions are 64-bit: a step from an unreached diagonal must not wrap.
    const char16_t *const a = m_first + offset1;
    const char16_t *const b = m_second + offset2;
    const std::int64_t n1 = length1;
    const std::int64_t n2 = length2;
    const std::int64_t m = std::min<std::int64_t>(std::max(n1, n2), DiagonalLimit);
    const std::int64_t delta = n1 - n2;
    const bool deltaOdd = (delta & 1) != 0;
    std::int32_t *const forward = m_forwardReach;
    std::int32_t *const backward = m_backwardReach;

    // The diagonals step d reads: both passes, one either side, within the
    // part. The window only widens with d, so each step prepares the slotCount
    // that just came into reach and nothing a pass has written is lost.
    const auto lowestAt = [&](std::int64_t d) { return std::max(std::min(-d, delta - d), -n2) - 1; };
    const auto highestAt = [&](std::int64_t d) { return std::min(std::max(d, delta + d), n1) + 1; };
    std::int64_t low = lowestAt(1);
    std::int64_t high = highestAt(1);
    std::fill(forward + low, forward + high + 1, kForwardUnreached);
    std::fill(backward + low, backward + high + 1, kBackwardUnreached);
    forward[0] = -1;
    backward[delta] = length1 - 1;

    for (std::int64_t d = 1; d <= m; ++d) {
        if (d % kYieldInterval == 0)
            Yield();
        if (d > 1) {
            const std::int64_t newLow = lowestAt(d);
            const std::int64_t newHigh = highestAt(d);
            if (newLow < low) {
                std::fill(forward + newLow, forward + low, kForwardUnreached);
                std::fill(backward + newLow, backward + low, kBackwardUnreached);
                low = newLow;
            }
            if (newHigh > high) {
                std::fill(forward + high + 1, forward + newHigh + 1, kForwardUnreached);
                std::fill(backward + high + 1, backward + newHigh + 1, kBackwardUnreached);
                high = newHigh;
            }
        }

        // Forward: x is the last element consumed from the front.
        std::int64_t x = 0;
        const std::int64_t forwardFrom = d > n1 ? n1 - ((d - n1) & 1) : d;
        const std::int64_t forwardTo = std::max(-d, -n2);
        std::int64_t k = deltaOdd
                             ? ForwardPass<true>(a, b, forward, backward, forwardFrom, forwardTo, n1, n2, x)
                             : ForwardPass<false>(a, b, forward, backward, forwardFrom, forwardTo, n1, n2, x);
        if (k != kNoOverlap) {
            const std::int64_t splitX = x + 1;
            const std::int64_t splitY = x - k + 1;
            const std::int64_t back = splitX > 0 && splitY > 0 ? MatchBackward(a + splitX - 1, b + splitY - 1,
                                                                               std::min(splitX, splitY))
                                                               : 0;
            RecursiveDiffChr(offset1, offset2, static_cast<std::int32_t>(splitX - back),
                             static_cast<std::int32_t>(splitY - back));
            RecursiveDiffChr(static_cast<std::int32_t>(offset1 + splitX),
                             static_cast<std::int32_t>(offset2 + splitY),
                             static_cast<std::int32_t>(n1 - splitX), static_cast<std::int32_t>(n2 - splitY));
            return;
        }

        // Backward: x is the last element not yet consumed from the back.
        const std::int64_t backwardFrom = delta + d > n1 ? n1 - ((delta + d - n1) & 1) : delta + d;
        k = BackwardPass(a, b, forward, backward, backwardFrom, std::max(delta - d, -n2), x);
        if (k != kNoOverlap) {
            std::int64_t splitX = x + 1;
            std::int64_t splitY = x - k + 1;
            RecursiveDiffChr(offset1, offset2, static_cast<std::int32_t>(splitX),
                             static_cast<std::int32_t>(splitY));
            const std::int64_t common =
                MatchForward(a + splitX, b + splitY, std::min(n1 - splitX, n2 - splitY));
            splitX += common;
            splitY += common;
            RecursiveDiffChr(static_cast<std::int32_t>(offset1 + splitX),
                             static_cast<std::int32_t>(offset2 + splitY),
                             static_cast<std::int32_t>(n1 - splitX), static_cast<std::int32_t>(n2 - splitY));
            return;
        }
    }
    throw Exception(DiffStrings::RecursionError());
}

void TDiff::AppendSameUpTo(std::int64_t index1)
{
    if (m_cursor.Index1 >= index1)
        return;
    SettleRun();
    std::int32_t i1 = m_cursor.Index1;
    std::int32_t i2 = m_cursor.Index2;
    while (i1 < index1) {
        ++i1;
        ++i2;
        m_entries.push_back(TDiffEntry{ekSame, i1, i2, m_first[i1], m_second[i2]});
    }
    m_cursor = m_entries.back();
}

void TDiff::AppendChange(std::int32_t offset1, std::int32_t count, TDiffEditKind kind)
{
    AppendSameUpTo(std::int64_t(offset1) - 1);

    // The i-th element of a run of one kind pairs with the i-th element of
    // the run of the other kind right before it; what is left over on either
    // side stays a plain addition or removal.
    const TDiffEditKind other = kind == ekAdded ? ekRemoved : ekAdded;
    if (m_cursor.Kind == other) {
        const std::size_t paired = std::min(static_cast<std::size_t>(count), m_entries.size() - m_runStart);
        TDiffEntry *entry = m_entries.data() + m_runStart;
        for (std::size_t i = 0; i < paired; ++i, ++entry) {
            entry->Kind = ekChanged;
            if (kind == ekAdded) {
                entry->Index2 = ++m_cursor.Index2;
                entry->Char2 = m_second[m_cursor.Index2];
            } else {
                entry->Index1 = ++m_cursor.Index1;
                entry->Char1 = m_first[m_cursor.Index1];
            }
        }
        m_runStart += paired;
        m_runPaired = true;
        count -= static_cast<std::int32_t>(paired);
        if (m_runStart == m_entries.size())
            m_cursor.Kind = ekChanged;
    }
    if (count <= 0)
        return;

    if (m_cursor.Kind != kind) {
        m_runStart = m_entries.size();
        m_runPaired = false;
    }
    m_cursor.Kind = kind;
    if (kind == ekAdded) {
        m_cursor.Char1 = 0;
        for (std::int32_t i = 0; i < count; ++i) {
            m_cursor.Char2 = m_second[++m_cursor.Index2];
            m_entries.push_back(m_cursor);
        }
    } else {
        m_cursor.Char2 = 0;
        for (std::int32_t i = 0; i < count; ++i) {
            m_cursor.Char1 = m_first[++m_cursor.Index1];
            m_entries.push_back(m_cursor);
        }
    }
}

// Entries of a run that outlived a pairing were appended before the paired
// changes; once the run is over they get the index of the last changed
// element in front of them, so both indexes keep ascending.
void TDiff::SettleRun() noexcept
{
    if (!m_runPaired)
        return;
    m_runPaired = false;
    const auto end = m_entries.end();
    auto entry = m_entries.begin() + static_cast<std::ptrdiff_t>(m_runStart);
    if (m_cursor.Kind == ekRemoved) {
        for (; entry != end; ++entry)
            entry->Index2 = m_cursor.Index2;
    } else if (m_cursor.Kind == ekAdded) {
        for (; entry != end; ++entry)
            entry->Index1 = m_cursor.Index1;
    }
}
