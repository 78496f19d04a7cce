#include "quillmarkdoc/QuillmarkDocStack.h"

#include "quillmarkdoc/QuillmarkDoc.h"

TQuillmarkDocStack::~TQuillmarkDocStack() = default;

void TQuillmarkDocStack::Push(std::unique_ptr<TQuillmarkDoc> clone)
{
    if (!clone)
        return;
    m_entries.push_back(std::move(clone));
    Trim();
}

std::unique_ptr<TQuillmarkDoc> TQuillmarkDocStack::Pop()
{
    if (m_entries.empty())
        return nullptr;
    std::unique_ptr<TQuillmarkDoc> top = std::move(m_entries.back());
    m_entries.pop_back();
    return top;
}

const TQuillmarkDoc *TQuillmarkDocStack::Peek() const
{
    return m_entries.empty() ? nullptr : m_entries.back().get();
}

void TQuillmarkDocStack::Clear()
{
    m_entries.clear();
}

void TQuillmarkDocStack::SetMaxSize(int value)
{
    if (value < 0 || value == m_maxSize)
        return;
    m_maxSize = value;
    Trim();
}

void TQuillmarkDocStack::Trim()
{
    while (int(m_entries.size()) > m_maxSize)
        m_entries.pop_front();
}
