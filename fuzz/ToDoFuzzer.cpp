// Arbitrary bytes read as a to-do side file. Whatever reads must be written
// so that it reads again, and a second write must not change it: a side file
// the program cannot read back is a side file it will never write again.

#include "todo/QMTToDo.h"

#include <QByteArray>
#include <QDomNamedNodeMap>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace {

void Require(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "fuzz_todo: %s\n", what);
        __builtin_trap();
    }
}

void Walk(const TXMLToDoListType &list)
{
    int index = 0;
    for (const TXMLToDoType &item : list.Items()) {
        Require(list[index++].Element() == item.Element(), "items and indexed access disagree");
        const QStringList names = OrderedAttributeNames(item.Element());
        Require(names.size() == item.Element().attributes().count(), "an attribute would not be written");
        for (const QString &name : names)
            Require(item.Element().hasAttribute(name), "a written attribute does not exist");
        (void)item.Status().size();
        (void)item.Priority().size();
        (void)(item.Author().size() + item.Category().size() + item.Text().size());
        try {
            (void)item.Topic();
        } catch (const EConvertError &) {
        }
    }
    Require(index == list.Count(), "items and count disagree");
}

} // namespace

static TXMLToDoListType ReadBack(const QByteArray &written)
{
    try {
        return ParseToDoList(written, QStringLiteral("written.todo"));
    } catch (const EToDoParseError &error) {
        std::fprintf(stderr, "fuzz_todo: written file does not read: %s\n%s\n", error.what(),
                     written.constData());
        __builtin_trap();
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    TXMLToDoListType list;
    try {
        list = ParseToDoList(bytes, QStringLiteral("fuzz.todo"));
    } catch (const EToDoParseError &) {
        return 0;
    }
    Walk(list);
    const int count = list.Count();

    const QByteArray written = list.ToXml();
    TXMLToDoListType reread = ReadBack(written);
    Require(reread.Count() == count, "written list has another number of to-dos");
    Require(reread.ToXml() == written, "a second write changed the file");

    // The input as a field value: the setters must never make the file unreadable.
    const QString text = QString::fromUtf8(bytes);
    TXMLToDoType added = reread.AddNewToDo(static_cast<int64_t>(size));
    added.SetText(text);
    added.SetField(QStringLiteral("Note"), text);
    const TXMLToDoListType edited = ReadBack(reread.ToXml());
    Require(edited.Count() == count + 1, "edited list lost a to-do");
    Require(edited[count].Topic() == static_cast<int64_t>(size), "topic number changed");
    return 0;
}
