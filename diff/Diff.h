#pragma once

// Character-level difference of two 16-bit sequences, handed out as an edit
// script with one entry per element. The search works from both ends at once
// (the linear-space O(ND) scheme), splits where the two fronts first meet and
// recurses on both halves, appending entries strictly from left to right;
// neighbouring removals and additions are merged into changes.

#include <QObject>
#include <QStringView>

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

enum TDiffEditKind : std::uint8_t {
    ekSame = 0,    // in both sequences
    ekAdded = 1,   // only in the second
    ekRemoved = 2, // only in the first
    ekChanged = 3, // an element of the first replaced by one of the second
};

// For ekAdded, Index1 is the last element of the first sequence before the
// entry in the script (-1: none) and Char1 is 0; ekRemoved mirrors that with
// Index2 and Char2. Both indexes never decrease along a script.
struct TDiffEntry
{
    TDiffEditKind Kind = ekSame;
    std::int32_t Index1 = -1;
    std::int32_t Index2 = -1;
    char16_t Char1 = 0;
    char16_t Char2 = 0;

    friend bool operator==(const TDiffEntry &, const TDiffEntry &) = default;
};

class TDiff : public QObject
{
    Q_OBJECT

public:
    // Bounds the number of diagonals searched on each side of one part.
    static constexpr std::int32_t DiagonalLimit = 0xFFFFFF;

    explicit TDiff(QObject *owner = nullptr);
    ~TDiff() override;

    // Replaces the script by the difference of first (length1 elements) and
    // second (length2 elements). The sequences are only referenced: they must
    // stay alive and unchanged until the call returns. Returns false at once,
    // changing nothing, when a comparison is already running (a call from
    // OnYield). A negative length counts as an empty sequence.
    bool CompareChars(const char16_t *first, const char16_t *second, std::int32_t length1,
                      std::int32_t length2);
    // Raises EIntOverflow for a sequence longer than a 32-bit index reaches.
    bool CompareChars(QStringView first, QStringView second);

    std::int32_t EntryCount() const { return static_cast<std::int32_t>(m_entries.size()); }
    // A copy of one entry; an index outside the script raises EListError.
    TDiffEntry GetEntry(std::int32_t index) const;
    // The whole script, valid until the next comparison or Reset.
    std::span<const TDiffEntry> Entries() const { return m_entries; }

    // Discards the script and forgets the sequences. Ignored while a
    // comparison runs, so a yield hook cannot pull the entries from under it.
    void Reset();

    bool IsRunning() const { return m_running; }

    // Called at the start of every part and every 200 search steps, so a
    // window can keep processing its events. The hook in place when
    // CompareChars starts is the one called until it returns.
    std::function<void()> OnYield;

private:
    void RecursiveDiffChr(std::int32_t offset1, std::int32_t offset2, std::int32_t length1,
                          std::int32_t length2);
    void AppendSameUpTo(std::int64_t index1);
    void AppendChange(std::int32_t offset1, std::int32_t count, TDiffEditKind kind);
    void SettleRun() noexcept;
    void Yield();

    std::vector<TDiffEntry> m_entries;
    TDiffEntry m_cursor;
    const char16_t *m_first = nullptr;
    const char16_t *m_second = nullptr;
    bool m_running = false;

    // Reach vectors, indexed by diagonal (x - y) through the centre pointers;
    // they cover every diagonal of the trimmed problem and live for one
    // comparison only.
    std::unique_ptr<std::int32_t[]> m_reachStorage;
    std::int32_t *m_forwardReach = nullptr;
    std::int32_t *m_backwardReach = nullptr;

    // The trailing run of ekAdded or ekRemoved entries that later elements of
    // the other kind pair with: the first entry not yet paired, and whether
    // any was, so the rest of the run gets its index once the run is over.
    std::size_t m_runStart = 0;
    bool m_runPaired = false;

    std::function<void()> m_activeYield;
};
