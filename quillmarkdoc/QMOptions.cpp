#include "quillmarkdoc/QMOptions.h"

// ---------------------------------------------------------------- web export

TQMWebExportOptions::TQMWebExportOptions(TQMProjectOptions *owner)
    : m_owner(owner)
    , m_contents(QStringLiteral("Contents"))
    , m_contentsTitle(QStringLiteral("%s Contents"))
    , m_index(QStringLiteral("Index"))
    , m_indexTitle(QStringLiteral("%s Index"))
    , m_previous(QStringLiteral("Previous"))
    , m_next(QStringLiteral("Next"))
{}

TQMWebExportOptions::~TQMWebExportOptions() = default;

void TQMWebExportOptions::Assign(const TPersistent *source)
{
    const auto *other = dynamic_cast<const TQMWebExportOptions *>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    m_outputFormat = other->m_outputFormat;
    m_useStyleAttributesIndent = other->m_useStyleAttributesIndent;
    m_largeFontSizes = other->m_largeFontSizes;
    m_useBuildTagsFromProject = other->m_useBuildTagsFromProject;
    m_contents = other->m_contents;
    m_contentsTitle = other->m_contentsTitle;
    m_index = other->m_index;
    m_indexTitle = other->m_indexTitle;
    m_previous = other->m_previous;
    m_next = other->m_next;
    m_webFilename = other->m_webFilename;
}

bool TQMWebExportOptions::Equals(const TQMWebExportOptions &other) const
{
    return m_outputFormat == other.m_outputFormat &&
           m_useStyleAttributesIndent == other.m_useStyleAttributesIndent &&
           m_largeFontSizes == other.m_largeFontSizes &&
           m_useBuildTagsFromProject == other.m_useBuildTagsFromProject && m_contents == other.m_contents &&
           m_contentsTitle == other.m_contentsTitle && m_index == other.m_index &&
           m_indexTitle == other.m_indexTitle && m_previous == other.m_previous && m_next == other.m_next &&
           m_webFilename == other.m_webFilename;
}

// ---------------------------------------------------------------- window position

THelpWindowPosition::THelpWindowPosition()
{
    m_left = 150;
    m_top = 50;
    m_right = 150 + 600;
    m_bottom = 50 + 500;
}

THelpWindowPosition::~THelpWindowPosition() = default;

void THelpWindowPosition::SetPersistent(bool value)
{
    if (value == m_persistent)
        return;
    m_persistent = value;
    Changed();
}

void THelpWindowPosition::Assign(const TPersistent *source)
{
    TKvCustomRect::Assign(source);
    if (const auto *other = dynamic_cast<const THelpWindowPosition *>(source))
        SetPersistent(other->m_persistent);
}

bool THelpWindowPosition::Equals(const THelpWindowPosition &other) const
{
    return m_left == other.m_left && m_top == other.m_top && m_right == other.m_right &&
           m_bottom == other.m_bottom && m_persistent == other.m_persistent;
}

// ---------------------------------------------------------------- options

TQMProjectOptions::TQMProjectOptions(TPersistent *owner)
    : m_owner(owner)
    , m_configuration(std::make_unique<TStringList>())
    , m_baggage(std::make_unique<TStringList>())
    , m_htmlColors{0xFFFFFF, 0x000000, 0xFF0000, 0x800080, 0x0000FF}
    , m_webExportOptions(std::make_unique<TQMWebExportOptions>(this))
    , m_helpWindowPosition(std::make_unique<THelpWindowPosition>())
{
    m_configuration->OnChange = [this](TObject *) { Changed(); };
    m_baggage->OnChange = [this](TObject *) { Changed(); };
    m_helpWindowPosition->OnChange = [this](TObject *) { Changed(); };
}

TQMProjectOptions::~TQMProjectOptions()
{
    // Nothing may reach the owner while the parts go.
    OnChange = nullptr;
    m_configuration->OnChange = nullptr;
    m_baggage->OnChange = nullptr;
    m_helpWindowPosition->OnChange = nullptr;
}

template<class T> void TQMProjectOptions::Store(T &field, const T &value)
{
    if (field == value)
        return;
    field = value;
    Changed();
}

void TQMProjectOptions::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TQMProjectOptions::SetFileVersion(int value)
{
    Store(m_fileVersion, value);
}
void TQMProjectOptions::SetUnknown1(const QString &value)
{
    Store(m_unknown1, value);
}
void TQMProjectOptions::SetHelpFileKind(int value)
{
    Store(m_helpFileKind, value);
}
void TQMProjectOptions::SetHelpFileType(THelpFileType value)
{
    Store(m_helpFileType, value);
}
void TQMProjectOptions::SetTitle(const QString &value)
{
    Store(m_title, value);
}
void TQMProjectOptions::SetBuildTag(const QString &value)
{
    Store(m_buildTag, value);
}
void TQMProjectOptions::SetCitation(const QString &value)
{
    Store(m_citation, value);
}
void TQMProjectOptions::SetCopyright(const QString &value)
{
    Store(m_copyright, value);
}
void TQMProjectOptions::SetCompress(bool value)
{
    Store(m_compress, value);
}
void TQMProjectOptions::SetLocaleID(const QString &value)
{
    Store(m_localeID, value);
}
void TQMProjectOptions::SetBitmapPaths(const QString &value)
{
    Store(m_bitmapPaths, value);
}
void TQMProjectOptions::SetGenerateCFile(bool value)
{
    Store(m_generateCFile, value);
}
void TQMProjectOptions::SetOutput(const QString &value)
{
    Store(m_output, value);
}
void TQMProjectOptions::SetIncludeImages(bool value)
{
    Store(m_includeImages, value);
}
void TQMProjectOptions::SetHTMLPngImages(bool value)
{
    Store(m_htmlPngImages, value);
}
void TQMProjectOptions::SetIncludeSearchInfo(bool value)
{
    Store(m_includeSearchInfo, value);
}
void TQMProjectOptions::SetEnableAdvancedSearch(bool value)
{
    Store(m_enableAdvancedSearch, value);
}
void TQMProjectOptions::SetFavoritesTabVisible(bool value)
{
    Store(m_favoritesTabVisible, value);
}
void TQMProjectOptions::SetAutoCollapseTOC(bool value)
{
    Store(m_autoCollapseTOC, value);
}
void TQMProjectOptions::SetConvertPopupLinks(bool value)
{
    Store(m_convertPopupLinks, value);
}

void TQMProjectOptions::SetConfiguration(const TStringList *value)
{
    // The list's own change event reports the copy.
    if (value && value != m_configuration.get() && !m_configuration->Equals(*value))
        m_configuration->Assign(value);
}

void TQMProjectOptions::SetBaggage(const TStringList *value)
{
    if (value && value != m_baggage.get() && !m_baggage->Equals(*value))
        m_baggage->Assign(value);
}

void TQMProjectOptions::SetConfigurationStrings(const QStringList &value)
{
    if (m_configuration->ToQStringList() != value)
        m_configuration->AssignStrings(value);
}

void TQMProjectOptions::SetBaggageStrings(const QStringList &value)
{
    if (m_baggage->ToQStringList() != value)
        m_baggage->AssignStrings(value);
}

TColor TQMProjectOptions::HTMLColor(int index) const
{
    if (index < 0 || index >= HTMLColorCount)
        return 0;
    return m_htmlColors[static_cast<size_t>(index)];
}

void TQMProjectOptions::SetHTMLColor(int index, TColor value)
{
    if (index < 0 || index >= HTMLColorCount)
        return;
    Store(m_htmlColors[static_cast<size_t>(index)], value);
}

void TQMProjectOptions::SetWebExportOptions(const TQMWebExportOptions *value)
{
    if (!value || value == m_webExportOptions.get() || m_webExportOptions->Equals(*value))
        return;
    m_webExportOptions->Assign(value);
    Changed();
}

void TQMProjectOptions::SetHelpWindowPosition(const THelpWindowPosition *value)
{
    // The rectangle's change event reports the copy.
    if (value && value != m_helpWindowPosition.get() && !m_helpWindowPosition->Equals(*value))
        m_helpWindowPosition->Assign(value);
}

QString TQMProjectOptions::HelpFileExtension() const
{
    return m_helpFileType == ftHTML ? QStringLiteral(".chm") : QStringLiteral(".hlp");
}

void TQMProjectOptions::Assign(const TPersistent *source)
{
    const auto *other = dynamic_cast<const TQMProjectOptions *>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    if (other == this)
        return;
    SetFileVersion(other->m_fileVersion);
    SetUnknown1(other->m_unknown1);
    SetHelpFileKind(other->m_helpFileKind);
    SetHelpFileType(other->m_helpFileType);
    SetTitle(other->m_title);
    SetBuildTag(other->m_buildTag);
    SetCitation(other->m_citation);
    SetCopyright(other->m_copyright);
    SetCompress(other->m_compress);
    SetLocaleID(other->m_localeID);
    SetBitmapPaths(other->m_bitmapPaths);
    SetConfiguration(other->m_configuration.get());
    SetBaggage(other->m_baggage.get());
    SetGenerateCFile(other->m_generateCFile);
    SetOutput(other->m_output);
    SetIncludeImages(other->m_includeImages);
    SetHTMLPngImages(other->m_htmlPngImages);
    for (int i = 0; i < HTMLColorCount; ++i)
        SetHTMLColor(i, other->HTMLColor(i));
    SetIncludeSearchInfo(other->m_includeSearchInfo);
    SetEnableAdvancedSearch(other->m_enableAdvancedSearch);
    SetFavoritesTabVisible(other->m_favoritesTabVisible);
    SetWebExportOptions(other->m_webExportOptions.get());
    SetAutoCollapseTOC(other->m_autoCollapseTOC);
    SetConvertPopupLinks(other->m_convertPopupLinks);
    SetHelpWindowPosition(other->m_helpWindowPosition.get());
}
