#include "quillmarkdoc/QMStatuses.h"

// ---------------------------------------------------------------- status

TQMStatus::TQMStatus(TCollection *collection)
    : TCollectionItem(collection)
    , m_font(std::make_unique<TKvCustomDeltaFont>())
{
    if (const TFont *base = BaseFont())
        m_font->Assign(base);
    m_font->OnGetBaseFont = [this](TObject *, const TFont *&baseFont) { baseFont = BaseFont(); };
    m_font->OnChange = [this](TObject *) { NotifyChange(); };
}

TQMStatus::~TQMStatus()
{
    m_font->OnChange = nullptr;
    m_font->OnGetBaseFont = nullptr;
}

const TFont *TQMStatus::BaseFont() const
{
    const auto *statuses = dynamic_cast<const TQMStatuses *>(Collection());
    return statuses ? statuses->BaseFont() : nullptr;
}

void TQMStatus::NotifyChange()
{
    if (m_silent == 0)
        Changed(false);
}

void TQMStatus::SetText(const QString &value)
{
    if (value == m_text)
        return;
    m_text = value;
    NotifyChange();
}

void TQMStatus::SetFont(const TFont *value)
{
    // The font's change event reports the copy; an equal font changes nothing.
    if (value && value != m_font.get())
        m_font->Assign(value);
}

void TQMStatus::Assign(const TPersistent *source)
{
    const auto *other = dynamic_cast<const TQMStatus *>(source);
    if (!other) {
        TCollectionItem::Assign(source);
        return;
    }
    if (other == this)
        return;
    ++m_silent;
    m_text = other->m_text;
    try {
        m_font->Assign(other->m_font.get());
    } catch (...) {
        --m_silent;
        throw;
    }
    --m_silent;
    Changed(false);
}

QString TQMStatus::GetDisplayName() const
{
    return m_text.isEmpty() ? ClassName() : m_text;
}

// ---------------------------------------------------------------- collection

TQMStatuses::TQMStatuses(TPersistent *owner, const TFont *baseFont)
    : TCollection(owner, FactoryFor<TQMStatus>())
    , m_baseFont(baseFont)
{}

TQMStatuses::~TQMStatuses()
{
    OnItemUpdate = nullptr;
}

int TQMStatuses::IndexOfText(const QString &text) const
{
    for (int i = 0; i < Count(); ++i) {
        if (Items(i)->Text().compare(text, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void TQMStatuses::ApplyBase()
{
    if (!m_baseFont)
        return;
    for (int i = 0; i < Count(); ++i)
        Items(i)->Font()->ApplyBase(m_baseFont);
}

void TQMStatuses::Update(TCollectionItem *item)
{
    if (OnItemUpdate)
        OnItemUpdate(dynamic_cast<TQMStatus *>(item));
}
