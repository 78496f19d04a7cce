#pragma once

// Undo as whole-document snapshots: before an edit the editor pushes a clone
// of the document; undoing pops the newest clone and assigns it back. The
// stack is bounded: the oldest snapshots go first.

#include <deque>
#include <memory>

class TQuillmarkDoc;

class TQuillmarkDocStack
{
public:
    static constexpr int DefaultMaxSize = 32;

    TQuillmarkDocStack() = default;
    TQuillmarkDocStack(const TQuillmarkDocStack &) = delete;
    TQuillmarkDocStack &operator=(const TQuillmarkDocStack &) = delete;
    ~TQuillmarkDocStack();

    int Count() const { return int(m_entries.size()); }
    bool IsEmpty() const { return m_entries.empty(); }

    // Takes the clone; beyond MaxSize the oldest entry is freed.
    void Push(std::unique_ptr<TQuillmarkDoc> clone);
    // The newest clone, now the caller's; null when the stack is empty.
    std::unique_ptr<TQuillmarkDoc> Pop();
    // The newest clone without taking it; null when empty.
    const TQuillmarkDoc *Peek() const;
    void Clear();

    int MaxSize() const { return m_maxSize; }
    // Negative or unchanged values are ignored; otherwise the oldest entries
    // are freed until at most that many remain (0 empties the stack).
    void SetMaxSize(int value);

private:
    void Trim();

    // Front: the oldest entry (the bottom of the stack).
    std::deque<std::unique_ptr<TQuillmarkDoc>> m_entries;
    int m_maxSize = DefaultMaxSize;
};
