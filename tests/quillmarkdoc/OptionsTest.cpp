#include "QtPrinters.h"
#include "foundation/Exceptions.h"
#include "quillmarkdoc/QMOptions.h"

#include <functional>

#include <gtest/gtest.h>

namespace {

TEST(ProjectOptions, Defaults)
{
    TQMProjectOptions options;
    EXPECT_EQ(options.FileVersion(), 16);
    EXPECT_EQ(options.HelpFileType(), ft16Bit);
    EXPECT_FALSE(options.Compress());
    EXPECT_TRUE(options.HTMLPngImages());
    EXPECT_EQ(options.HTMLBackgroundColor(), 0xFFFFFF);
    EXPECT_EQ(options.HTMLTextColor(), 0);
    EXPECT_EQ(options.HTMLLinksColor(), 0xFF0000);
    EXPECT_EQ(options.HTMLVisitedColor(), 0x800080);
    EXPECT_EQ(options.HTMLActiveColor(), 0x0000FF);
    EXPECT_EQ(options.HTMLColor(-1), 0);
    EXPECT_EQ(options.HTMLColor(5), 0);

    const THelpWindowPosition *position = options.HelpWindowPosition();
    EXPECT_EQ(position->Left(), 150);
    EXPECT_EQ(position->Top(), 50);
    EXPECT_EQ(position->Width(), 600);
    EXPECT_EQ(position->Height(), 500);
    EXPECT_EQ(position->Right(), 750);
    EXPECT_EQ(position->Bottom(), 550);
    EXPECT_TRUE(position->Persistent());

    const TQMWebExportOptions *web = options.WebExportOptions();
    EXPECT_EQ(web->OutputFormat(), ofSimpleNavigation);
    EXPECT_EQ(web->Contents(), QStringLiteral("Contents"));
    EXPECT_EQ(web->ContentsTitle(), QStringLiteral("%s Contents"));
    EXPECT_EQ(web->Index(), QStringLiteral("Index"));
    EXPECT_EQ(web->IndexTitle(), QStringLiteral("%s Index"));
    EXPECT_EQ(web->Previous(), QStringLiteral("Previous"));
    EXPECT_EQ(web->Next(), QStringLiteral("Next"));
    EXPECT_EQ(web->WebFilename(), QString());
    EXPECT_EQ(web->Owner(), &options);
}

TEST(ProjectOptions, HelpFileExtension)
{
    const struct
    {
        THelpFileType type;
        const char *extension;
    } cases[] = {{ft16Bit, ".hlp"}, {ft32Bit, ".hlp"}, {ftHTML, ".chm"}};
    TQMProjectOptions options;
    for (const auto &c : cases) {
        options.SetHelpFileType(c.type);
        EXPECT_EQ(options.HelpFileExtension(), QString::fromLatin1(c.extension));
    }
}

struct ChangeCase
{
    const char *what;
    std::function<void(TQMProjectOptions &)> change;
    int notifications;
};

// Every way of changing the options reaches the owner exactly once; setting
// a value it already has, and editing a web export field, reach it not at all.
TEST(ProjectOptions, ChangesNotifyTheOwner)
{
    const ChangeCase cases[] = {
        {"title", [](TQMProjectOptions &o) { o.SetTitle(QStringLiteral("Help")); }, 1},
        {"same title", [](TQMProjectOptions &o) { o.SetTitle(QString()); }, 0},
        {"file version", [](TQMProjectOptions &o) { o.SetFileVersion(13); }, 1},
        {"help file kind", [](TQMProjectOptions &o) { o.SetHelpFileKind(3); }, 1},
        {"boolean", [](TQMProjectOptions &o) { o.SetIncludeImages(true); }, 1},
        {"same boolean", [](TQMProjectOptions &o) { o.SetHTMLPngImages(true); }, 0},
        {"colour by index", [](TQMProjectOptions &o) { o.SetHTMLColor(TQMProjectOptions::hcVisited, 1); }, 1},
        {"colour out of range", [](TQMProjectOptions &o) { o.SetHTMLColor(7, 1); }, 0},
        {"configuration entry", [](TQMProjectOptions &o) { o.Configuration()->Add(QStringLiteral("x")); }, 1},
        {"baggage entry", [](TQMProjectOptions &o) { o.Baggage()->Add(QStringLiteral("x")); }, 1},
        {"window left edge", [](TQMProjectOptions &o) { o.HelpWindowPosition()->SetLeft(10); }, 1},
        {"window persistence", [](TQMProjectOptions &o) { o.HelpWindowPosition()->SetPersistent(false); }, 1},
        {"web export field", [](TQMProjectOptions &o) { o.WebExportOptions()->SetNext(QStringLiteral(">")); },
         0},
        {"web export replaced",
         [](TQMProjectOptions &o) {
             TQMWebExportOptions other;
             other.SetLargeFontSizes(true);
             o.SetWebExportOptions(&other);
         },
         1},
        {"web export replaced by an equal one",
         [](TQMProjectOptions &o) {
             TQMWebExportOptions other;
             o.SetWebExportOptions(&other);
         },
         0},
        {"window position replaced by an equal one",
         [](TQMProjectOptions &o) {
             THelpWindowPosition other;
             o.SetHelpWindowPosition(&other);
         },
         0},
    };
    for (const ChangeCase &c : cases) {
        SCOPED_TRACE(c.what);
        TQMProjectOptions options;
        int notifications = 0;
        options.OnChange = [&notifications](TObject *) { ++notifications; };
        c.change(options);
        EXPECT_EQ(notifications, c.notifications);
    }
}

TEST(ProjectOptions, AssignCopiesEverything)
{
    TQMProjectOptions source;
    source.SetFileVersion(12);
    source.SetUnknown1(QStringLiteral("u"));
    source.SetHelpFileKind(7);
    source.SetHelpFileType(ftHTML);
    source.SetTitle(QStringLiteral("t"));
    source.SetCopyright(QStringLiteral("c"));
    source.SetCompress(true);
    source.Configuration()->Add(QStringLiteral("conf"));
    source.Baggage()->Add(QStringLiteral("bag"));
    source.SetOutput(QStringLiteral("out"));
    source.SetHTMLActiveColor(42);
    source.SetFavoritesTabVisible(true);
    source.SetConvertPopupLinks(true);
    source.WebExportOptions()->SetOutputFormat(ofContents);
    source.WebExportOptions()->SetWebFilename(QStringLiteral("web"));
    source.HelpWindowPosition()->SetRect(1, 2, 3, 4);
    source.HelpWindowPosition()->SetPersistent(false);

    TQMProjectOptions copy;
    copy.Assign(&source);
    EXPECT_EQ(copy.FileVersion(), 12);
    EXPECT_EQ(copy.Unknown1(), QStringLiteral("u"));
    EXPECT_EQ(copy.HelpFileKind(), 7);
    EXPECT_EQ(copy.HelpFileType(), ftHTML);
    EXPECT_EQ(copy.Title(), QStringLiteral("t"));
    EXPECT_EQ(copy.Copyright(), QStringLiteral("c"));
    EXPECT_TRUE(copy.Compress());
    EXPECT_EQ(copy.Configuration()->ToQStringList(), QStringList{QStringLiteral("conf")});
    EXPECT_EQ(copy.Baggage()->ToQStringList(), QStringList{QStringLiteral("bag")});
    EXPECT_EQ(copy.Output(), QStringLiteral("out"));
    EXPECT_EQ(copy.HTMLActiveColor(), 42);
    EXPECT_TRUE(copy.FavoritesTabVisible());
    EXPECT_TRUE(copy.ConvertPopupLinks());
    EXPECT_TRUE(copy.WebExportOptions()->Equals(*source.WebExportOptions()));
    EXPECT_NE(copy.WebExportOptions(), source.WebExportOptions());
    EXPECT_TRUE(copy.HelpWindowPosition()->Equals(*source.HelpWindowPosition()));

    TStringList notOptions;
    EXPECT_THROW(copy.Assign(&notOptions), EAssignError);
}

} // namespace
