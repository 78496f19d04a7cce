// qmtool dump and save: the JSON contract, byte-identical saves, and that a
// failing command leaves no file behind and no target changed.

#include "QmtoolProcess.h"
#include "QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString Example(const char *name)
{
    return QDir(QStringLiteral(QM_EXAMPLES_DIR)).filePath(QString::fromLatin1(name));
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

QSet<QString> Keys(const QJsonObject &object)
{
    const QStringList keys = object.keys();
    return QSet<QString>(keys.begin(), keys.end());
}

QSet<QString> KeySet(const char *names)
{
    const QStringList keys = QString::fromLatin1(names).split(QLatin1Char(' '));
    return QSet<QString>(keys.begin(), keys.end());
}

class ProjectCommands : public testing::Test
{
protected:
    QString Write(const QString &name, const QByteArray &bytes) { return WriteInput(dir, name, bytes); }

    QStringList Files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }

    QTemporaryDir dir;
};

TEST_F(ProjectCommands, DumpFollowsTheSchema)
{
    const QmtoolResult result = RunQmtool({QStringLiteral("dump"), Example("ClassLibrary.qmp")});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(result.out.endsWith("}\n"));
    QJsonParseError error;
    const QJsonObject root = QJsonDocument::fromJson(result.out, &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();

    EXPECT_EQ(Keys(root),
              KeySet("options topics windowDefinitions contentsLinks contentsIndices contents textMacros"));
    const QJsonObject options = root[u"options"].toObject();
    EXPECT_EQ(
        Keys(options),
        KeySet(
            "FileVersion Unknown1 HelpFileKind HelpFileType Title BuildTag Citation Copyright Compress "
            "LocaleID BitmapPaths Configuration Baggage GenerateCFile Output IncludeImages HTMLPngImages "
            "HTMLBackgroundColor HTMLTextColor HTMLLinksColor HTMLVisitedColor HTMLActiveColor "
            "IncludeSearchInfo EnableAdvancedSearch FavoritesTabVisible AutoCollapseTOC HelpWindowPosition "
            "ConvertPopupLinks WebExportOptions"));
    EXPECT_EQ(options[u"FileVersion"].toInt(), 16);
    EXPECT_EQ(options[u"HelpFileType"].toString(), QStringLiteral("ft32Bit"));
    EXPECT_EQ(options[u"Title"].toString(), QStringLiteral("Gauges Library Help"));
    EXPECT_EQ(options[u"Configuration"].toArray(), QJsonArray{QStringLiteral("BrowseButtons()")});
    EXPECT_EQ(options[u"Compress"], QJsonValue(false));
    EXPECT_EQ(options[u"HTMLLinksColor"].toInt(), 16711680);
    const QJsonObject position = options[u"HelpWindowPosition"].toObject();
    EXPECT_EQ(Keys(position), KeySet("Left Top Width Height Persistent"));
    EXPECT_EQ(position[u"Width"].toInt(), 600);
    EXPECT_EQ(position[u"Persistent"], QJsonValue(true));
    const QJsonObject web = options[u"WebExportOptions"].toObject();
    EXPECT_EQ(Keys(web),
              KeySet("OutputFormat UseStyleAttributesIndent LargeFontSizes Contents ContentsTitle Index "
                     "IndexTitle Previous Next UseBuildTagsFromProject WebFilename"));
    EXPECT_EQ(web[u"OutputFormat"].toString(), QStringLiteral("ofSimpleNavigation"));
    EXPECT_EQ(web[u"ContentsTitle"].toString(), QStringLiteral("%s Contents"));

    const QJsonArray topics = root[u"topics"].toArray();
    ASSERT_GT(topics.size(), 10);
    const QJsonObject first = topics.at(0).toObject();
    EXPECT_EQ(Keys(first),
              KeySet("TopicID ContextString Title Keywords DelphiKeywords BuildTag BrowseSequence "
                     "BrowseSequenceNum Status Window EntryMacro AKeywords Bookmark Text"));
    EXPECT_EQ(first[u"TopicID"].toInt(), 10);
    EXPECT_EQ(first[u"BrowseSequence"].toString(), QStringLiteral("main"));
    EXPECT_EQ(first[u"BrowseSequenceNum"].toInt(), 1);
    EXPECT_EQ(first[u"Text"].toArray().at(3).toString(),
              QStringLiteral("The Gauges library draws round and linear gauges on any form.\\par"));

    const QJsonArray contents = root[u"contents"].toArray();
    ASSERT_GE(contents.size(), 2);
    EXPECT_EQ(Keys(contents.at(0).toObject()), KeySet("Level Title Link WindowName Topic"));
    EXPECT_TRUE(contents.at(0).toObject()[u"Topic"].isNull());
    EXPECT_EQ(contents.at(1).toObject()[u"Topic"].toInt(), 10);

    const QJsonArray macros = root[u"textMacros"].toArray();
    ASSERT_GE(macros.size(), 12);
    bool sawSyntaxMacro = false;
    for (const QJsonValue &value : macros) {
        const QJsonObject macro = value.toObject();
        EXPECT_EQ(Keys(macro),
                  KeySet("Name Color TypeFace Unknown1 Size Unknown2 Style Alignment Bullet LeftMargin "
                         "RightMargin Indent Tabs SyntaxType IsSyntaxMacro"));
        EXPECT_EQ(macro[u"Style"].toString().size(), 4);
        EXPECT_TRUE(macro[u"Alignment"].isDouble());
        sawSyntaxMacro = sawSyntaxMacro || macro[u"IsSyntaxMacro"].toBool();
        if (macro[u"Name"].toString() == QStringLiteral("*TopicTitle")) {
            EXPECT_EQ(macro[u"Style"].toString(), QStringLiteral("B..."));
            EXPECT_EQ(macro[u"SyntaxType"].toString(), QStringLiteral("stDelphi"));
        }
    }
    EXPECT_TRUE(sawSyntaxMacro);
}

TEST_F(ProjectCommands, DumpTakesTheGivenEncoding)
{
    QByteArray bytes = ReadFile(Example("ClassLibrary.qmp"));
    bytes.replace("Gauges Library Help", "Gauges \xc3\xa9 Help");
    const QString path = Write(QStringLiteral("utf8.qmp"), bytes);
    const struct
    {
        const char *encoding;
        const char *title;
    } cases[] = {{nullptr, "Gauges \u00c3\u00a9 Help"}, {"utf8", "Gauges \u00e9 Help"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.encoding ? c.encoding : "detected");
        QStringList args = {QStringLiteral("dump"), path};
        if (c.encoding)
            args << QStringLiteral("--encoding") << QString::fromLatin1(c.encoding);
        const QmtoolResult result = RunQmtool(args);
        ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
        const QJsonObject root = QJsonDocument::fromJson(result.out).object();
        EXPECT_EQ(root[u"options"].toObject()[u"Title"].toString(), QString::fromUtf8(c.title));
    }
}

TEST_F(ProjectCommands, SaveReproducesWriterFilesInEveryEncoding)
{
    for (const char *name : {"ClassLibrary.qmp", "ClassLibrary-old.qmp"}) {
        SCOPED_TRACE(name);
        const QByteArray original = ReadFile(Example(name));
        const QString copy = dir.filePath(QStringLiteral("copy.qmp"));
        QmtoolResult result = RunQmtool({QStringLiteral("save"), Example(name), copy});
        ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
        EXPECT_TRUE(result.out.isEmpty());
        EXPECT_EQ(ReadFile(copy), original);

        for (const char *encoding : {"ansi", "utf8", "utf16le", "utf16be"}) {
            SCOPED_TRACE(encoding);
            const QString first = dir.filePath(QStringLiteral("first.qmp"));
            const QString second = dir.filePath(QStringLiteral("second.qmp"));
            const QString back = dir.filePath(QStringLiteral("back.qmp"));
            const QString enc = QString::fromLatin1(encoding);
            ASSERT_EQ(
                RunQmtool({QStringLiteral("save"), Example(name), first, QStringLiteral("--encoding"), enc})
                    .exitCode,
                0);
            ASSERT_EQ(RunQmtool({QStringLiteral("save"), first, second, QStringLiteral("--encoding"), enc})
                          .exitCode,
                      0);
            EXPECT_EQ(ReadFile(second), ReadFile(first));
            ASSERT_EQ(RunQmtool({QStringLiteral("save"), second, back}).exitCode, 0);
            EXPECT_EQ(ReadFile(back), original);
        }
    }
}

TEST_F(ProjectCommands, FailuresLeaveNoFileBehind)
{
    const QString notAProject = Write(QStringLiteral("notes.txt"), "just some notes\r\n");
    const QString truncated =
        Write(QStringLiteral("truncated.qmp"), ReadFile(Example("ClassLibrary.qmp")).left(2000));
    const QString existing = Write(QStringLiteral("existing.qmp"), "keep me");
    const QString fresh = dir.filePath(QStringLiteral("fresh.qmp"));
    const QStringList before = Files();

    const struct
    {
        const char *name;
        QStringList args;
        int exitCode;
        const char *message; // the whole standard error, or empty to skip
    } cases[] = {
        {"not a project",
         {QStringLiteral("save"), notAProject, fresh},
         1,
         "qmtool: Missing Quillmark Identifier, not a Quillmark File\n"},
        {"truncated into an existing file", {QStringLiteral("save"), truncated, existing}, 1, ""},
        {"missing input",
         {QStringLiteral("save"), dir.filePath(QStringLiteral("missing.qmp")), fresh},
         1,
         ""},
        {"missing folder",
         {QStringLiteral("save"), Example("ClassLibrary.qmp"), dir.filePath(QStringLiteral("no/x.qmp"))},
         1,
         ""},
        {"dump of no project",
         {QStringLiteral("dump"), notAProject},
         1,
         "qmtool: Missing Quillmark Identifier, not a Quillmark File\n"},
        {"unknown encoding",
         {QStringLiteral("save"), Example("ClassLibrary.qmp"), fresh, QStringLiteral("--encoding"),
          QStringLiteral("latin9")},
         2,
         ""},
        {"too few arguments", {QStringLiteral("save"), Example("ClassLibrary.qmp")}, 2, ""},
        {"dump without a file", {QStringLiteral("dump")}, 2, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QmtoolResult result = RunQmtool(c.args);
        EXPECT_EQ(result.exitCode, c.exitCode);
        EXPECT_TRUE(result.out.isEmpty());
        EXPECT_TRUE(result.err.startsWith("qmtool: ")) << result.err.toStdString();
        if (*c.message) {
            EXPECT_EQ(result.err, QByteArray(c.message));
        }
        EXPECT_EQ(Files(), before);
        EXPECT_EQ(ReadFile(existing), QByteArray("keep me"));
    }
    const QmtoolResult truncatedDump = RunQmtool({QStringLiteral("dump"), truncated});
    EXPECT_EQ(truncatedDump.exitCode, 1);
    EXPECT_TRUE(truncatedDump.err.contains("is not a valid integer value (line "))
        << truncatedDump.err.toStdString();
}

} // namespace
