#include "quillmarkdoc/QMTextMacros.h"

#include <array>

namespace {

struct SyntaxName
{
    TSyntaxType type;
    const char16_t *name;
};

// In the order names are matched.
constexpr std::array<SyntaxName, 8> SyntaxNames = {{
    {stCPlusPlus, u"__C++SourceCode"},
    {stDFM, u"__DFMCode"},
    {stJScript, u"__JScriptCode"},
    {stSQL, u"__SQLCode"},
    {stVB, u"__VBCode"},
    {stVBScript, u"__VBScriptCode"},
    {stXML, u"__XMLCode"},
    {stDelphi, u"*SourceCode"},
}};

} // namespace

// ---------------------------------------------------------------- macro

TQMTextMacro::TQMTextMacro(TCollection *collection)
    : TGCollectionItem(collection)
    , m_tabs(std::make_unique<TStringList>())
{
    m_tabs->OnChange = [this](TObject *) { NotifyChange(); };
}

TQMTextMacro::~TQMTextMacro()
{
    m_tabs->OnChange = nullptr;
}

QString TQMTextMacro::SyntaxMacroName(TSyntaxType type)
{
    for (const SyntaxName &entry : SyntaxNames) {
        if (entry.type == type)
            return QString::fromUtf16(entry.name);
    }
    return QString();
}

template<class T> void TQMTextMacro::Store(T &field, const T &value)
{
    if (field == value)
        return;
    field = value;
    NotifyChange();
}

void TQMTextMacro::NotifyChange()
{
    if (m_silent == 0)
        Changed(false);
}

void TQMTextMacro::SetName(const QString &value)
{
    if (value == m_name)
        return;
    m_name = value;
    m_isSyntaxMacro = false;
    for (const SyntaxName &entry : SyntaxNames) {
        if (value == QStringView(entry.name)) {
            m_isSyntaxMacro = true;
            m_syntaxType = entry.type;
            break;
        }
    }
    NotifyChange();
}

void TQMTextMacro::SetColor(TColor value)
{
    Store(m_color, value);
}
void TQMTextMacro::SetTypeFace(const QString &value)
{
    Store(m_typeFace, value);
}
void TQMTextMacro::SetUnknown1(int value)
{
    Store(m_unknown1, value);
}
void TQMTextMacro::SetSize(int value)
{
    Store(m_size, value);
}
void TQMTextMacro::SetUnknown2(int value)
{
    Store(m_unknown2, value);
}
void TQMTextMacro::SetStyle(TFontStyles value)
{
    Store(m_style, value);
}
void TQMTextMacro::SetAlignment(TAlignment value)
{
    Store(m_alignment, value);
}
void TQMTextMacro::SetBullet(bool value)
{
    Store(m_bullet, value);
}
void TQMTextMacro::SetLeftMargin(int value)
{
    Store(m_leftMargin, value);
}
void TQMTextMacro::SetRightMargin(int value)
{
    Store(m_rightMargin, value);
}
void TQMTextMacro::SetIndent(int value)
{
    Store(m_indent, value);
}
void TQMTextMacro::SetSyntaxType(TSyntaxType value)
{
    Store(m_syntaxType, value);
}

void TQMTextMacro::SetTabs(const TStringList *value)
{
    if (value && value != m_tabs.get() && !m_tabs->Equals(*value))
        m_tabs->Assign(value);
}

void TQMTextMacro::SetTabStrings(const QStringList &value)
{
    if (m_tabs->ToQStringList() != value)
        m_tabs->AssignStrings(value);
}

void TQMTextMacro::Assign(const TPersistent *source)
{
    const auto *other = dynamic_cast<const TQMTextMacro *>(source);
    if (!other) {
        TGCollectionItem::Assign(source);
        return;
    }
    if (other == this)
        return;
    ++m_silent;
    m_name = other->m_name;
    m_color = other->m_color;
    m_typeFace = other->m_typeFace;
    m_unknown1 = other->m_unknown1;
    m_size = other->m_size;
    m_unknown2 = other->m_unknown2;
    m_style = other->m_style;
    m_alignment = other->m_alignment;
    m_bullet = other->m_bullet;
    m_leftMargin = other->m_leftMargin;
    m_rightMargin = other->m_rightMargin;
    m_indent = other->m_indent;
    m_syntaxType = other->m_syntaxType;
    m_isSyntaxMacro = other->m_isSyntaxMacro;
    try {
        m_tabs->Assign(other->m_tabs.get());
    } catch (...) {
        --m_silent;
        throw;
    }
    --m_silent;
    Changed(false);
}

QString TQMTextMacro::GetDisplayName() const
{
    return m_name.isEmpty() ? ClassName() : m_name;
}

// ---------------------------------------------------------------- collection

TQMTextMacros::TQMTextMacros(TPersistent *owner)
    : TGCollection(owner, FactoryFor<TQMTextMacro>())
{}

TQMTextMacros::~TQMTextMacros()
{
    OnItemNotify = nullptr;
    OnItemUpdate = nullptr;
}

void TQMTextMacros::Update(TCollectionItem *item)
{
    if (OnItemUpdate)
        OnItemUpdate(dynamic_cast<TQMTextMacro *>(item));
}

void TQMTextMacros::Notify(TCollectionItem *item, TCollectionNotification action)
{
    TGCollection::Notify(item, action);
    if (OnItemNotify)
        OnItemNotify(dynamic_cast<TQMTextMacro *>(item), action);
}
