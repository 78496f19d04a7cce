#pragma once

// The project options: the header of a project file and of the settings
// block. The options reach their document only through OnChange, which the
// document connects to its own Changed; the web export options notify nobody.

#include "foundation/Font.h"
#include "foundation/KvGraphics.h"
#include "foundation/Persistent.h"
#include "foundation/StringList.h"
#include "quillmarkdoc/QMTypes.h"

#include <QString>
#include <QStringList>

#include <array>
#include <memory>

class TQMProjectOptions;

class TQMWebExportOptions : public TPersistent
{
    Q_GADGET
    Q_PROPERTY(QMEnums::TWebExportOutputFormat OutputFormat READ OutputFormat WRITE SetOutputFormat)
    Q_PROPERTY(bool UseStyleAttributesIndent READ UseStyleAttributesIndent WRITE SetUseStyleAttributesIndent)
    Q_PROPERTY(bool LargeFontSizes READ LargeFontSizes WRITE SetLargeFontSizes)
    Q_PROPERTY(bool UseBuildTagsFromProject READ UseBuildTagsFromProject WRITE SetUseBuildTagsFromProject)
    Q_PROPERTY(QString Contents READ Contents WRITE SetContents)
    Q_PROPERTY(QString ContentsTitle READ ContentsTitle WRITE SetContentsTitle)
    Q_PROPERTY(QString Index READ Index WRITE SetIndex)
    Q_PROPERTY(QString IndexTitle READ IndexTitle WRITE SetIndexTitle)
    Q_PROPERTY(QString Previous READ Previous WRITE SetPrevious)
    Q_PROPERTY(QString Next READ Next WRITE SetNext)
    Q_PROPERTY(QString WebFilename READ WebFilename WRITE SetWebFilename)

public:
    QM_METAOBJECT

    explicit TQMWebExportOptions(TQMProjectOptions *owner = nullptr);
    ~TQMWebExportOptions() override;

    TQMProjectOptions *Owner() const { return m_owner; }

    TWebExportOutputFormat OutputFormat() const { return m_outputFormat; }
    void SetOutputFormat(TWebExportOutputFormat value) { m_outputFormat = value; }
    bool UseStyleAttributesIndent() const { return m_useStyleAttributesIndent; }
    void SetUseStyleAttributesIndent(bool value) { m_useStyleAttributesIndent = value; }
    bool LargeFontSizes() const { return m_largeFontSizes; }
    void SetLargeFontSizes(bool value) { m_largeFontSizes = value; }
    bool UseBuildTagsFromProject() const { return m_useBuildTagsFromProject; }
    void SetUseBuildTagsFromProject(bool value) { m_useBuildTagsFromProject = value; }
    const QString &Contents() const { return m_contents; }
    void SetContents(const QString &value) { m_contents = value; }
    const QString &ContentsTitle() const { return m_contentsTitle; }
    void SetContentsTitle(const QString &value) { m_contentsTitle = value; }
    const QString &Index() const { return m_index; }
    void SetIndex(const QString &value) { m_index = value; }
    const QString &IndexTitle() const { return m_indexTitle; }
    void SetIndexTitle(const QString &value) { m_indexTitle = value; }
    const QString &Previous() const { return m_previous; }
    void SetPrevious(const QString &value) { m_previous = value; }
    const QString &Next() const { return m_next; }
    void SetNext(const QString &value) { m_next = value; }
    const QString &WebFilename() const { return m_webFilename; }
    void SetWebFilename(const QString &value) { m_webFilename = value; }

    void Assign(const TPersistent *source) override;
    bool Equals(const TQMWebExportOptions &other) const;

private:
    TQMProjectOptions *m_owner;
    TWebExportOutputFormat m_outputFormat = ofSimpleNavigation;
    bool m_useStyleAttributesIndent = false;
    bool m_largeFontSizes = false;
    bool m_useBuildTagsFromProject = false;
    QString m_contents;
    QString m_contentsTitle;
    QString m_index;
    QString m_indexTitle;
    QString m_previous;
    QString m_next;
    QString m_webFilename;
};

// Where the help viewer opens its window. Left and Top are edges, Height and
// Width extents, so moving the left edge keeps the right one.
class THelpWindowPosition : public TKvCustomRect
{
    Q_GADGET
    Q_PROPERTY(int Left READ Left WRITE SetLeft)
    Q_PROPERTY(int Top READ Top WRITE SetTop)
    Q_PROPERTY(int Height READ Height WRITE SetHeight)
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_PROPERTY(bool Persistent READ Persistent WRITE SetPersistent)

public:
    QM_METAOBJECT

    // 150, 50, width 600, height 500, persistent.
    THelpWindowPosition();
    ~THelpWindowPosition() override;

    bool Persistent() const { return m_persistent; }
    void SetPersistent(bool value);

    // The rectangle and, from another window position, Persistent.
    void Assign(const TPersistent *source) override;
    bool Equals(const THelpWindowPosition &other) const;

private:
    bool m_persistent = true;
};

class TQMProjectOptions : public TPersistent
{
    Q_GADGET
    Q_PROPERTY(int FileVersion READ FileVersion WRITE SetFileVersion)
    Q_PROPERTY(QString Unknown1 READ Unknown1 WRITE SetUnknown1)
    Q_PROPERTY(int HelpFileKind READ HelpFileKind WRITE SetHelpFileKind)
    Q_PROPERTY(QMEnums::THelpFileType HelpFileType READ HelpFileType WRITE SetHelpFileType)
    Q_PROPERTY(QString Title READ Title WRITE SetTitle)
    Q_PROPERTY(QString BuildTag READ BuildTag WRITE SetBuildTag)
    Q_PROPERTY(QString Citation READ Citation WRITE SetCitation)
    Q_PROPERTY(QString Copyright READ Copyright WRITE SetCopyright)
    Q_PROPERTY(bool Compress READ Compress WRITE SetCompress)
    Q_PROPERTY(QString LocaleID READ LocaleID WRITE SetLocaleID)
    Q_PROPERTY(QString BitmapPaths READ BitmapPaths WRITE SetBitmapPaths)
    Q_PROPERTY(QStringList Configuration READ ConfigurationStrings WRITE SetConfigurationStrings)
    Q_PROPERTY(QStringList Baggage READ BaggageStrings WRITE SetBaggageStrings)
    Q_PROPERTY(bool GenerateCFile READ GenerateCFile WRITE SetGenerateCFile)
    Q_PROPERTY(QString Output READ Output WRITE SetOutput)
    Q_PROPERTY(bool IncludeImages READ IncludeImages WRITE SetIncludeImages)
    Q_PROPERTY(bool HTMLPngImages READ HTMLPngImages WRITE SetHTMLPngImages)
    Q_PROPERTY(int HTMLBackgroundColor READ HTMLBackgroundColor WRITE SetHTMLBackgroundColor)
    Q_PROPERTY(int HTMLTextColor READ HTMLTextColor WRITE SetHTMLTextColor)
    Q_PROPERTY(int HTMLLinksColor READ HTMLLinksColor WRITE SetHTMLLinksColor)
    Q_PROPERTY(int HTMLVisitedColor READ HTMLVisitedColor WRITE SetHTMLVisitedColor)
    Q_PROPERTY(int HTMLActiveColor READ HTMLActiveColor WRITE SetHTMLActiveColor)
    Q_PROPERTY(bool IncludeSearchInfo READ IncludeSearchInfo WRITE SetIncludeSearchInfo)
    Q_PROPERTY(bool EnableAdvancedSearch READ EnableAdvancedSearch WRITE SetEnableAdvancedSearch)
    Q_PROPERTY(bool FavoritesTabVisible READ FavoritesTabVisible WRITE SetFavoritesTabVisible)
    Q_PROPERTY(TQMWebExportOptions *WebExportOptions READ WebExportOptions WRITE SetWebExportOptions)
    Q_PROPERTY(bool AutoCollapseTOC READ AutoCollapseTOC WRITE SetAutoCollapseTOC)
    Q_PROPERTY(bool ConvertPopupLinks READ ConvertPopupLinks WRITE SetConvertPopupLinks)
    Q_PROPERTY(THelpWindowPosition *HelpWindowPosition READ HelpWindowPosition WRITE SetHelpWindowPosition)

public:
    QM_METAOBJECT

    // Indices of the HTML colours.
    enum THTMLColor { hcBackground = 0, hcText = 1, hcLinks = 2, hcVisited = 3, hcActive = 4 };
    static constexpr int HTMLColorCount = 5;
    // The newest project file version the reader accepts, and the version of
    // new options.
    static constexpr int NewestFileVersion = 16;

    explicit TQMProjectOptions(TPersistent *owner = nullptr);
    ~TQMProjectOptions() override;

    // The document the options belong to, or null.
    TPersistent *Owner() const { return m_owner; }

    int FileVersion() const { return m_fileVersion; }
    void SetFileVersion(int value);
    const QString &Unknown1() const { return m_unknown1; }
    void SetUnknown1(const QString &value);
    int HelpFileKind() const { return m_helpFileKind; }
    void SetHelpFileKind(int value);
    THelpFileType HelpFileType() const { return m_helpFileType; }
    void SetHelpFileType(THelpFileType value);
    const QString &Title() const { return m_title; }
    void SetTitle(const QString &value);
    const QString &BuildTag() const { return m_buildTag; }
    void SetBuildTag(const QString &value);
    const QString &Citation() const { return m_citation; }
    void SetCitation(const QString &value);
    const QString &Copyright() const { return m_copyright; }
    void SetCopyright(const QString &value);
    bool Compress() const { return m_compress; }
    void SetCompress(bool value);
    const QString &LocaleID() const { return m_localeID; }
    void SetLocaleID(const QString &value);
    const QString &BitmapPaths() const { return m_bitmapPaths; }
    void SetBitmapPaths(const QString &value);
    // Any change of the two lists is a change of the options.
    TStringList *Configuration() const { return m_configuration.get(); }
    void SetConfiguration(const TStringList *value);
    TStringList *Baggage() const { return m_baggage.get(); }
    void SetBaggage(const TStringList *value);
    bool GenerateCFile() const { return m_generateCFile; }
    void SetGenerateCFile(bool value);
    const QString &Output() const { return m_output; }
    void SetOutput(const QString &value);
    bool IncludeImages() const { return m_includeImages; }
    void SetIncludeImages(bool value);
    bool HTMLPngImages() const { return m_htmlPngImages; }
    void SetHTMLPngImages(bool value);

    // Index 0 .. 4 (THTMLColor); other indices read 0 and are not stored.
    TColor HTMLColor(int index) const;
    void SetHTMLColor(int index, TColor value);
    TColor HTMLBackgroundColor() const { return HTMLColor(hcBackground); }
    void SetHTMLBackgroundColor(TColor value) { SetHTMLColor(hcBackground, value); }
    TColor HTMLTextColor() const { return HTMLColor(hcText); }
    void SetHTMLTextColor(TColor value) { SetHTMLColor(hcText, value); }
    TColor HTMLLinksColor() const { return HTMLColor(hcLinks); }
    void SetHTMLLinksColor(TColor value) { SetHTMLColor(hcLinks, value); }
    TColor HTMLVisitedColor() const { return HTMLColor(hcVisited); }
    void SetHTMLVisitedColor(TColor value) { SetHTMLColor(hcVisited, value); }
    TColor HTMLActiveColor() const { return HTMLColor(hcActive); }
    void SetHTMLActiveColor(TColor value) { SetHTMLColor(hcActive, value); }

    bool IncludeSearchInfo() const { return m_includeSearchInfo; }
    void SetIncludeSearchInfo(bool value);
    bool EnableAdvancedSearch() const { return m_enableAdvancedSearch; }
    void SetEnableAdvancedSearch(bool value);
    bool FavoritesTabVisible() const { return m_favoritesTabVisible; }
    void SetFavoritesTabVisible(bool value);
    // Its own setters notify nobody; replacing it as a whole is a change.
    TQMWebExportOptions *WebExportOptions() const { return m_webExportOptions.get(); }
    void SetWebExportOptions(const TQMWebExportOptions *value);
    bool AutoCollapseTOC() const { return m_autoCollapseTOC; }
    void SetAutoCollapseTOC(bool value);
    bool ConvertPopupLinks() const { return m_convertPopupLinks; }
    void SetConvertPopupLinks(bool value);
    // Every change of the rectangle is a change of the options.
    THelpWindowPosition *HelpWindowPosition() const { return m_helpWindowPosition.get(); }
    void SetHelpWindowPosition(const THelpWindowPosition *value);

    // ".chm" for HTML help, ".hlp" otherwise.
    QString HelpFileExtension() const;

    // Every field, the lists, the window position and the web export options.
    void Assign(const TPersistent *source) override;

    // Raised by every change through a setter.
    TNotifyEvent OnChange;

protected:
    virtual void Changed();

private:
    // The meta-object's view of the two lists: plain string values.
    QStringList ConfigurationStrings() const { return m_configuration->ToQStringList(); }
    void SetConfigurationStrings(const QStringList &value);
    QStringList BaggageStrings() const { return m_baggage->ToQStringList(); }
    void SetBaggageStrings(const QStringList &value);

    template<class T> void Store(T &field, const T &value);

    TPersistent *m_owner;
    int m_fileVersion = NewestFileVersion;
    QString m_unknown1;
    int m_helpFileKind = 0;
    THelpFileType m_helpFileType = ft16Bit;
    QString m_title;
    QString m_buildTag;
    QString m_citation;
    QString m_copyright;
    bool m_compress = false;
    QString m_localeID;
    QString m_bitmapPaths;
    std::unique_ptr<TStringList> m_configuration;
    std::unique_ptr<TStringList> m_baggage;
    bool m_generateCFile = false;
    QString m_output;
    bool m_includeImages = false;
    bool m_htmlPngImages = true;
    std::array<TColor, HTMLColorCount> m_htmlColors;
    bool m_includeSearchInfo = false;
    bool m_enableAdvancedSearch = false;
    bool m_favoritesTabVisible = false;
    std::unique_ptr<TQMWebExportOptions> m_webExportOptions;
    bool m_autoCollapseTOC = false;
    bool m_convertPopupLinks = false;
    std::unique_ptr<THelpWindowPosition> m_helpWindowPosition;
};
