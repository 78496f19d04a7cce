// The inspector, the command line and the dump find the model's properties
// by name through the meta-object system; the names and their order are part
// of the file and command-line contract.

#include "QtPrinters.h"
#include "quillmarkdoc/QuillmarkDoc.h"

#include <QMetaProperty>

#include <gtest/gtest.h>

namespace {

QStringList PublishedNames(const QMetaObject &meta)
{
    QStringList names;
    for (int i = 0; i < meta.propertyCount(); ++i) {
        if (meta.property(i).isDesignable())
            names.append(QString::fromLatin1(meta.property(i).name()));
    }
    return names;
}

QStringList Split(const char *names)
{
    return QString::fromLatin1(names).split(QLatin1Char(' '));
}

struct PublishedCase
{
    const char *className;
    const QMetaObject *meta;
    const char *names;
};

const PublishedCase PublishedCases[] = {
    {"TQMTopic", &TQMTopic::staticMetaObject,
     "TopicID ContextString Title Keywords DelphiKeywords BuildTag BrowseSequence BrowseSequenceNum Status "
     "Window EntryMacro AKeywords Bookmark Text Tag"},
    {"TQMContentsItem", &TQMContentsItem::staticMetaObject, "Level Title Link WindowName"},
    {"TQMProjectOptions", &TQMProjectOptions::staticMetaObject,
     "FileVersion Unknown1 HelpFileKind HelpFileType Title BuildTag Citation Copyright Compress LocaleID "
     "BitmapPaths Configuration Baggage GenerateCFile Output IncludeImages HTMLPngImages HTMLBackgroundColor "
     "HTMLTextColor HTMLLinksColor HTMLVisitedColor HTMLActiveColor IncludeSearchInfo EnableAdvancedSearch "
     "FavoritesTabVisible WebExportOptions AutoCollapseTOC ConvertPopupLinks HelpWindowPosition"},
    {"TQMWebExportOptions", &TQMWebExportOptions::staticMetaObject,
     "OutputFormat UseStyleAttributesIndent LargeFontSizes UseBuildTagsFromProject Contents ContentsTitle "
     "Index "
     "IndexTitle Previous Next WebFilename"},
    {"THelpWindowPosition", &THelpWindowPosition::staticMetaObject, "Left Top Height Width Persistent"},
    {"TQMTextMacro", &TQMTextMacro::staticMetaObject,
     "Name Color TypeFace Unknown1 Size Unknown2 Style Alignment Bullet LeftMargin RightMargin Indent Tabs "
     "SyntaxType"},
    {"TQMStatus", &TQMStatus::staticMetaObject, "Text Font"},
    {"TQuillmarkDoc", &TQuillmarkDoc::staticMetaObject,
     "Font Contents ContentIndex UseDelphiLinks Options RecentFiles Statuses TextMacros Topics TopicGrid "
     "TopicIncrement TopicGridEnabled TopicIndex Version ContentsLinks ContentsIndices WindowDefinitions "
     "UndoStackSize QMLocation"},
};

TEST(PublishedProperties, NamesInPublishedOrder)
{
    for (const PublishedCase &c : PublishedCases) {
        SCOPED_TRACE(c.className);
        EXPECT_EQ(PublishedNames(*c.meta), Split(c.names));
        EXPECT_EQ(QString::fromLatin1(c.meta->className()), QString::fromLatin1(c.className));
    }
}

TEST(PublishedProperties, TopicTagIsNotStoredAndSyntaxFlagIsReadOnly)
{
    const QMetaObject &topic = TQMTopic::staticMetaObject;
    EXPECT_FALSE(topic.property(topic.indexOfProperty("Tag")).isStored());
    EXPECT_TRUE(topic.property(topic.indexOfProperty("Title")).isStored());

    // The dump shows whether a macro is a syntax macro; nobody may set it.
    const QMetaObject &macro = TQMTextMacro::staticMetaObject;
    const QMetaProperty isSyntax = macro.property(macro.indexOfProperty("IsSyntaxMacro"));
    ASSERT_TRUE(isSyntax.isValid());
    EXPECT_FALSE(isSyntax.isWritable());
}

// Writing by name goes through the setter, so the document hears of it, and
// enumerations are accepted by their identifiers.
TEST(PublishedProperties, WritingByNameUsesTheSetters)
{
    TQuillmarkDoc doc;
    int changes = 0;
    doc.OnChange = [&changes](TObject *) { ++changes; };
    TQMProjectOptions *options = doc.Options();
    const QMetaObject &meta = *options->MetaObject();

    ASSERT_TRUE(
        meta.property(meta.indexOfProperty("HelpFileType")).writeOnGadget(options, QStringLiteral("ftHTML")));
    EXPECT_EQ(options->HelpFileType(), ftHTML);
    EXPECT_EQ(options->HelpFileExtension(), QStringLiteral(".chm"));
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(doc.Modified());

    ASSERT_TRUE(meta.property(meta.indexOfProperty("Configuration"))
                    .writeOnGadget(options, QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_EQ(options->Configuration()->ToQStringList(),
              (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_EQ(changes, 2);

    // Sub-records are reached as gadgets, so a walker can descend into them.
    const QMetaProperty position = meta.property(meta.indexOfProperty("HelpWindowPosition"));
    ASSERT_TRUE(position.metaType().flags() & QMetaType::PointerToGadget);
    EXPECT_EQ(QString::fromLatin1(position.metaType().metaObject()->className()),
              QStringLiteral("THelpWindowPosition"));
    const QVariant web = meta.property(meta.indexOfProperty("WebExportOptions")).readOnGadget(options);
    EXPECT_EQ(web.value<TQMWebExportOptions *>(), options->WebExportOptions());

    TQMTopic *topic = doc.Topics()->Add();
    const QMetaObject &topicMeta = *topic->MetaObject();
    EXPECT_EQ(topicMeta.property(topicMeta.indexOfProperty("Text")).readOnGadget(topic).toStringList(),
              TQMTopic::DefaultText());
    ASSERT_TRUE(
        topicMeta.property(topicMeta.indexOfProperty("Title")).writeOnGadget(topic, QStringLiteral("Intro")));
    EXPECT_EQ(topic->Title(), QStringLiteral("Intro"));
}

} // namespace
