#include "todo/QMTToDo.h"

#include "foundation/Exceptions.h"

#include "QtPrinters.h"

#include <QDomComment>
#include <QDomProcessingInstruction>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace {

QString DataFile(const char *name)
{
    return QStringLiteral(QM_TEST_DATA_DIR "/todo/") + QLatin1String(name);
}

QByteArray FileBytes(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

// A working copy of a fixture in a fresh folder.
class ToDoFileTest : public ::testing::Test
{
protected:
    QString CopyFixture(const char *fixture, const QString &as)
    {
        const QString target = dir.filePath(as);
        QFile::copy(DataFile(fixture), target);
        QFile(target).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        return target;
    }

    QTemporaryDir dir;
};

TEST(ToDoFileName, ReplacesOrAppendsTheExtension)
{
    const struct
    {
        const char *project;
        const char *sideFile;
    } cases[] = {
        {"/help/Lib.qmp", "/help/Lib.todo"},
        {"/help/Lib", "/help/Lib.todo"},
        {"/help/Lib.v2.qmp", "/help/Lib.v2.todo"},
        {"/help.d/Lib", "/help.d/Lib.todo"},
        {"Lib.qmp", "Lib.todo"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ToDoFileName(QLatin1String(c.project)), QLatin1String(c.sideFile)) << c.project;
}

TEST(ToDoRead, TypedViewOverTheToDoElementsOnly)
{
    const TXMLToDoListType list = ReadToDoFile(DataFile("unknown-content.todo"));
    ASSERT_EQ(list.Count(), 2);

    const TXMLToDoType first = list[0];
    EXPECT_EQ(first.Status(), u"ToDo");
    EXPECT_EQ(first.Priority(), u"High");
    EXPECT_TRUE(first.HasTopic());
    EXPECT_EQ(first.Topic(), 1234);
    EXPECT_EQ(first.Author(), u"Ann");
    EXPECT_EQ(first.Category(), u"Style");
    EXPECT_EQ(first.Text(), u"Shorten the overview");
    EXPECT_EQ(first.Field(QStringLiteral("Owner")), u"docs-team");
    EXPECT_EQ(first.Field(QStringLiteral("Due")), u"2026-12-24");

    // Attributes and children in another order, some missing.
    const TXMLToDoType second = list[1];
    EXPECT_EQ(second.Status(), u"Done");
    EXPECT_EQ(second.Priority(), u"Low");
    EXPECT_FALSE(second.HasTopic());
    EXPECT_EQ(second.Category(), QString());
    EXPECT_EQ(second.Text(), u"Check <b>bold</b> & links");
    EXPECT_EQ(second.Author(), u"Bob");

    EXPECT_THROW(list.Item(2), EListError);
    EXPECT_THROW(list.Item(-1), EListError);
}

TEST(ToDoRead, RootWithoutToDosIsAnEmptyList)
{
    EXPECT_EQ(ReadToDoFile(DataFile("no-items.todo")).Count(), 0);
    // An empty file holds nothing to protect: it reads as a new list.
    const TXMLToDoListType blank = ParseToDoList(QByteArray(" \n"), QStringLiteral("blank.todo"));
    EXPECT_EQ(blank.Count(), 0);
    EXPECT_EQ(blank.Root().tagName(), u"ToDos");
}

TEST(ToDoTopic, ConvertsOnlyA64BitNumber)
{
    const struct
    {
        const char *attribute; // nullptr: no attribute
        std::optional<int64_t> expected;
    } cases[] = {
        {"1234", 1234},
        {"-5", -5},
        {"9223372036854775807", INT64_MAX},
        {"-9223372036854775808", INT64_MIN},
        {"9223372036854775808", std::nullopt},
        {"12a", std::nullopt},
        {"", std::nullopt},
        {nullptr, std::nullopt},
    };
    TXMLToDoListType list = NewToDoList();
    for (const auto &c : cases) {
        TXMLToDoType item = list.Add();
        if (c.attribute)
            item.Element().setAttribute(QStringLiteral("Topic"), QLatin1String(c.attribute));
        if (c.expected) {
            EXPECT_EQ(item.Topic(), *c.expected) << c.attribute;
        } else {
            try {
                item.Topic();
                ADD_FAILURE() << "no conversion error for " << (c.attribute ? c.attribute : "(absent)");
            } catch (const EConvertError &e) {
                EXPECT_EQ(
                    e.Message(),
                    QStringLiteral("'%1' is not a valid integer value").arg(QLatin1String(c.attribute)));
            }
        }
    }
    TXMLToDoType item = list.Add();
    item.SetTopic(INT64_MIN);
    EXPECT_EQ(item.TopicText(), u"-9223372036854775808");
}

TEST(ToDoNew, DeclarationRootAndTheProgramsNewToDo)
{
    TXMLToDoListType list = NewToDoList();
    EXPECT_EQ(list.Count(), 0);
    QByteArray xml = list.ToXml();
    EXPECT_TRUE(xml.startsWith("<?xml version=\"1.0\"?>")) << xml.toStdString();
    EXPECT_FALSE(xml.contains("encoding")) << xml.toStdString();
    EXPECT_TRUE(xml.contains("<ToDos/>")) << xml.toStdString();

    list.AddNewToDo(1234);
    list.AddNewToDo();
    xml = list.ToXml();
    // Attribute order is fixed on writing, whatever the DOM keeps.
    EXPECT_TRUE(xml.contains("<ToDo Status=\"ToDo\" Priority=\"Normal\" Topic=\"1234\">\n"
                             "    <Author/>\n    <Category/>\n    <Text/>\n  </ToDo>"))
        << xml.toStdString();
    EXPECT_TRUE(xml.contains("<ToDo Status=\"ToDo\" Priority=\"Normal\">")) << xml.toStdString();
    EXPECT_FALSE(list[1].HasTopic());

    const TXMLToDoListType reread = ParseToDoList(xml, QStringLiteral("new.todo"));
    ASSERT_EQ(reread.Count(), 2);
    EXPECT_EQ(reread[0].Topic(), 1234);
    EXPECT_EQ(reread[0].Priority(), u"Normal");
    EXPECT_EQ(reread.Root().attributes().count(), 0);
}

TEST(ToDoList, InsertDeleteAndClearTouchOnlyToDos)
{
    TXMLToDoListType list = ParseToDoList(
        QByteArray("<ToDos><Meta/><ToDo><Text>a</Text></ToDo><!--x--><ToDo><Text>c</Text></ToDo></ToDos>"),
        QStringLiteral("ops.todo"));
    list.Insert(1).SetText(QStringLiteral("b"));
    list.Insert(0).SetText(QStringLiteral("first"));
    list.Insert(list.Count()).SetText(QStringLiteral("last"));
    EXPECT_THROW(list.Insert(list.Count() + 1), EListError);
    QStringList texts;
    for (const TXMLToDoType &item : list.Items())
        texts << item.Text();
    EXPECT_EQ(texts, (QStringList{u"first"_qs, u"a"_qs, u"b"_qs, u"c"_qs, u"last"_qs}));

    list.Delete(2);
    EXPECT_EQ(list[2].Text(), u"c");
    EXPECT_THROW(list.Delete(4), EListError);

    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Root().firstChildElement().tagName(), u"Meta");
    EXPECT_TRUE(list.Root().lastChild().isComment());
}

TEST(ToDoFields, SetFieldWritesTheChildElementElseTheAttribute)
{
    TXMLToDoListType list = ReadToDoFile(DataFile("unknown-content.todo"));
    TXMLToDoType item = list[1];
    item.SetField(QStringLiteral("Text"), QStringLiteral("new text"));
    item.SetField(QStringLiteral("Status"), QStringLiteral("ToDo"));
    item.SetField(QStringLiteral("Reviewer"), QStringLiteral("Cy"));
    EXPECT_EQ(item.Text(), u"new text");
    EXPECT_EQ(item.Element().firstChildElement(QStringLiteral("Text")).childNodes().count(), 1);
    EXPECT_EQ(item.Status(), u"ToDo");
    EXPECT_EQ(item.Element().attribute(QStringLiteral("Reviewer")), u"Cy");
    // A missing field element is appended after what is there.
    item.SetCategory(QStringLiteral("Links"));
    EXPECT_EQ(item.Element().lastChildElement().tagName(), u"Category");
}

// Every piece of the fixture that the typed view knows nothing about, read
// from a document; checked after the load and again after edit, save, load.
struct KeptContent
{
    const char *what;
    std::function<QString(const QDomDocument &)> read;
    const char16_t *expected;
};

QDomElement NthToDo(const QDomDocument &doc, int n)
{
    QDomElement e = doc.documentElement().firstChildElement(QStringLiteral("ToDo"));
    while (n-- > 0)
        e = e.nextSiblingElement(QStringLiteral("ToDo"));
    return e;
}

const KeptContent kKeptContent[] = {
    {"comment before the root",
     [](const QDomDocument &d) { return d.documentElement().previousSibling().toComment().data(); },
     u" kept by the team: review before each release "},
    {"comment after the root",
     [](const QDomDocument &d) { return d.documentElement().nextSibling().toComment().data(); },
     u" end of list "},
    {"root attribute",
     [](const QDomDocument &d) { return d.documentElement().attribute(QStringLiteral("Version")); }, u"3"},
    {"comment inside the root",
     [](const QDomDocument &d) { return d.documentElement().firstChild().toComment().data(); },
     u" first the open items "},
    {"unknown attribute of a to-do",
     [](const QDomDocument &d) { return NthToDo(d, 0).attribute(QStringLiteral("Owner")); }, u"docs-team"},
    {"unknown element of a to-do",
     [](const QDomDocument &d) { return NthToDo(d, 0).firstChildElement(QStringLiteral("Due")).text(); },
     u"2026-12-24"},
    {"nested unknown element",
     [](const QDomDocument &d) {
         const QDomElement link = NthToDo(d, 0)
                                      .firstChildElement(QStringLiteral("Links"))
                                      .firstChildElement(QStringLiteral("Link"));
         return link.attribute(QStringLiteral("to")) + u'|' + link.text();
     },
     u"1300|See the class topic"},
    {"processing instruction between to-dos",
     [](const QDomDocument &d) {
         const QDomProcessingInstruction pi = NthToDo(d, 0).nextSibling().toProcessingInstruction();
         return pi.target() + u' ' + pi.data();
     },
     u"review pass=\"2\""},
    {"unknown element of the root",
     [](const QDomDocument &d) {
         return d.documentElement()
             .firstChildElement(QStringLiteral("Meta"))
             .attribute(QStringLiteral("generator"));
     },
     u"handmade"},
    {"CDATA section",
     [](const QDomDocument &d) { return NthToDo(d, 1).firstChildElement().firstChild().nodeValue(); },
     u"Check <b>bold</b> & links"},
    {"order of the root's children",
     [](const QDomDocument &d) {
         QStringList names;
         for (QDomNode n = d.documentElement().firstChild(); !n.isNull(); n = n.nextSibling())
             names << n.nodeName();
         return names.join(u',');
     },
     u"#comment,ToDo,review,Meta,ToDo"},
};

TEST_F(ToDoFileTest, UnknownContentSurvivesLoadEditAndSave)
{
    const QString path = CopyFixture("unknown-content.todo", QStringLiteral("Lib.todo"));
    TXMLToDoListType list = ReadToDoFile(path);
    for (const KeptContent &c : kKeptContent)
        EXPECT_EQ(c.read(list.Document()), QString::fromUtf16(c.expected)) << "after load: " << c.what;

    list[0].SetText(QStringLiteral("Shorten the overview to one screen"));
    list[0].SetPriority(QStringLiteral("Very High"));
    list[1].SetAuthor(QStringLiteral("Bea"));
    ASSERT_EQ(WriteToDoFile(list, path), TToDoWriteResult::Written);

    const TXMLToDoListType reread = ReadToDoFile(path);
    for (const KeptContent &c : kKeptContent)
        EXPECT_EQ(c.read(reread.Document()), QString::fromUtf16(c.expected)) << "after save: " << c.what;
    ASSERT_EQ(reread.Count(), 2);
    EXPECT_EQ(reread[0].Text(), u"Shorten the overview to one screen");
    EXPECT_EQ(reread[0].Priority(), u"Very High");
    EXPECT_EQ(reread[0].Status(), u"ToDo");
    EXPECT_EQ(reread[0].Author(), u"Ann");
    EXPECT_EQ(reread[1].Author(), u"Bea");
    // A second save of an unchanged list writes the same bytes.
    EXPECT_EQ(reread.ToXml(), FileBytes(path));
}

TEST_F(ToDoFileTest, EmptyListReplacesAnExistingSideFileAndCreatesNone)
{
    // Deleted to-dos must not come back at the next open.
    const QString existing = CopyFixture("unknown-content.todo", QStringLiteral("Lib.todo"));
    TXMLToDoListType list = LoadToDoList(existing);
    ASSERT_EQ(list.Count(), 2);
    list.Clear();
    EXPECT_EQ(WriteToDoFile(list, existing), TToDoWriteResult::Written);
    const TXMLToDoListType reread = LoadToDoList(existing);
    EXPECT_EQ(reread.Count(), 0);
    EXPECT_EQ(reread.Root().attribute(QStringLiteral("Version")), u"3");

    const QString absent = dir.filePath(QStringLiteral("New.todo"));
    EXPECT_EQ(WriteToDoFile(NewToDoList(), absent), TToDoWriteResult::NothingToWrite);
    EXPECT_FALSE(QFileInfo::exists(absent));

    TXMLToDoListType one = LoadToDoList(absent);
    one.AddNewToDo(7);
    EXPECT_EQ(WriteToDoFile(one, absent), TToDoWriteResult::Written);
    EXPECT_EQ(ReadToDoFile(absent)[0].Topic(), 7);
}

TEST(ToDoMalformed, ParserMessageWithLineAndColumn)
{
    const struct
    {
        const char *xml;
        int line;
    } cases[] = {
        {"<ToDos>\n<ToDo>\n</ToDos>", 3},
        {"<ToDos><ToDo Status=\"ToDo></ToDos>", 1},
        {"<ToDos/>\n<ToDos/>", 2},
        {"not xml at all", 1},
        {"<?xml version=\"1.0\"?>\n<!-- no root -->\n", 3},
    };
    for (const auto &c : cases) {
        try {
            ParseToDoList(QByteArray(c.xml), QStringLiteral("bad.todo"));
            ADD_FAILURE() << "parsed: " << c.xml;
        } catch (const EToDoParseError &e) {
            EXPECT_EQ(e.Line(), c.line) << c.xml;
            EXPECT_GE(e.Column(), 0) << c.xml;
            EXPECT_FALSE(e.ParserMessage().isEmpty()) << c.xml;
            EXPECT_TRUE(e.Message().contains(u"\"bad.todo\"")) << e.Message().toStdString();
            EXPECT_TRUE(
                e.Message().contains(QStringLiteral("(line %1, column %2)").arg(e.Line()).arg(e.Column())))
                << e.Message().toStdString();
        }
    }
}

TEST_F(ToDoFileTest, UnreadableSideFileIsNeverOverwritten)
{
    const QString path = CopyFixture("malformed.todo", QStringLiteral("Lib.todo"));
    const QByteArray before = FileBytes(path);

    try {
        ReadToDoFile(path);
        ADD_FAILURE() << "malformed file was read";
    } catch (const EToDoParseError &e) {
        EXPECT_EQ(e.Line(), 5);
        EXPECT_EQ(e.FileName(), path);
    }

    // What a project open holds instead: an empty list that remembers the file.
    TXMLToDoListType list = LoadToDoList(path);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(list.ReadError().contains(u"line 5")) << list.ReadError().toStdString();
    EXPECT_TRUE(list.IsUnreadableFile(path));
    EXPECT_TRUE(list.IsUnreadableFile(dir.path() + QStringLiteral("/./Lib.todo")));

    list.AddNewToDo(1);
    EXPECT_EQ(WriteToDoFile(list, path), TToDoWriteResult::KeptUnreadableFile);
    list.Clear();
    EXPECT_EQ(WriteToDoFile(list, path), TToDoWriteResult::KeptUnreadableFile);
    EXPECT_EQ(FileBytes(path), before);

    // Saving the project under another name writes that project's side file.
    list.AddNewToDo(2);
    const QString other = dir.filePath(QStringLiteral("Other.todo"));
    EXPECT_EQ(WriteToDoFile(list, other), TToDoWriteResult::Written);
    EXPECT_EQ(ReadToDoFile(other)[0].Topic(), 2);
    EXPECT_EQ(FileBytes(path), before);
}

TEST_F(ToDoFileTest, WriteFailureIsReported)
{
    TXMLToDoListType list = NewToDoList();
    list.AddNewToDo();
    EXPECT_THROW(WriteToDoFile(list, dir.filePath(QStringLiteral("missing/Lib.todo"))), EFCreateError);
}

TEST(ToDoWrite, TextsSurviveTheRoundTrip)
{
    const struct
    {
        const char16_t *written;
        const char16_t *read;
    } cases[] = {
        {u"<&>\"' and ]]>", u"<&>\"' and ]]>"},
        {u"line one\r\nline two\rthree", u"line one\r\nline two\rthree"},
        {u"   ", u"   "},
        {u"  leading and trailing  ", u"  leading and trailing  "},
        {u"bell\u0007 and nul-free", u"bell and nul-free"},
        {u"caf\u00e9 \U0001F600", u"caf\u00e9 \U0001F600"},
        {u"lone \xD800 surrogate", u"lone  surrogate"},
    };
    for (const auto &c : cases) {
        TXMLToDoListType list = NewToDoList();
        TXMLToDoType item = list.AddNewToDo();
        item.SetText(QString::fromUtf16(c.written));
        item.SetField(QStringLiteral("Note"), QString::fromUtf16(c.written));
        const TXMLToDoListType reread = ParseToDoList(list.ToXml(), QStringLiteral("text.todo"));
        ASSERT_EQ(reread.Count(), 1);
        EXPECT_EQ(reread[0].Text(), QString::fromUtf16(c.read));
        // Attribute values lose no line breaks either.
        EXPECT_EQ(reread[0].Field(QStringLiteral("Note")), QString::fromUtf16(c.read));
    }
}

QByteArray NestedToDo(int depth)
{
    return "<ToDos><ToDo><Text>deep</Text>" + QByteArray("<n>").repeated(depth) +
           QByteArray("</n>").repeated(depth) + "</ToDo></ToDos>";
}

TEST(ToDoWrite, DeepNestingIsWrittenWithoutQuadraticIndentation)
{
    const QByteArray xml = NestedToDo(900);
    const TXMLToDoListType list = ParseToDoList(xml, QStringLiteral("deep.todo"));
    const QByteArray written = list.ToXml();
    EXPECT_LT(written.size(), 2 * xml.size());
    const TXMLToDoListType reread = ParseToDoList(written, QStringLiteral("deep.todo"));
    ASSERT_EQ(reread.Count(), 1);
    EXPECT_EQ(reread[0].Text(), u"deep");
    EXPECT_EQ(reread.ToXml(), written);
}

TEST(ToDoMalformed, FilesThatCouldNotBeWrittenBackAreRefused)
{
    // Nesting too deep to build in reasonable time, and names that a
    // declared encoding decodes to a lone surrogate (UTF-7 "+2AA-"), which
    // no XML file can carry, or a doctype name holding a NUL: the parser
    // itself refuses such an element name, but lets the others through.
    const struct
    {
        const char *name;
        QByteArray xml;
        int line;
        const char16_t *message;
    } cases[] = {
        {"deep", NestedToDo(20000), 1, u"nested deeper"},
        {"attribute", "<?xml version=\"1.0\" encoding=\"UTF-7\"?>\n<ToDos><ToDo r+2AA-=\"High\"/></ToDos>", 2,
         u"a name holds a character XML cannot carry"},
        {"doctype",
         QByteArray("<!DOCTYPE ToDos\0:\0\0\0\0\0\0\0 [<!ENTITY e \"x\">]>\n<ToDos a=\"&e;\"/>", 60), 1,
         u"a name holds a character XML cannot carry"},
        {"element", "<?xml version=\"1.0\" encoding=\"UTF-7\"?>\n<ToDos>\n<ToDo><n+2AA-/></ToDo></ToDos>", 3,
         u"is not well-formed XML"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        try {
            ParseToDoList(c.xml, QStringLiteral("bad.todo"));
            ADD_FAILURE() << "read a file that could not be written back";
        } catch (const EToDoParseError &e) {
            EXPECT_EQ(e.Line(), c.line);
            EXPECT_GT(e.Column(), 0);
            EXPECT_TRUE(e.Message().contains(QString::fromUtf16(c.message))) << e.Message().toStdString();
        }
    }
}

TEST(ToDoWrite, DeclarationTellsTheTruthAboutTheEncoding)
{
    // Written as UTF-8 whatever the loaded file used.
    const TXMLToDoListType list = ReadToDoFile(DataFile("latin1.todo"));
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0].Text(), u"Caf\u00e9");
    const QByteArray xml = list.ToXml();
    EXPECT_TRUE(xml.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>")) << xml.toStdString();
    EXPECT_TRUE(xml.contains("Caf\xC3\xA9"));
    EXPECT_EQ(ParseToDoList(xml, QStringLiteral("utf8.todo"))[0].Text(), u"Caf\u00e9");
}

} // namespace
