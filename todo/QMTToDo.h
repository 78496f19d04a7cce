#pragma once

// The to-do side file of a project: an XML document kept in memory as a DOM
// for as long as the project is open, with typed handles on its elements.
// Whatever the file holds beyond the to-do fields (other attributes and
// elements, comments, processing instructions) stays in the DOM and is
// written back.

#include "foundation/Exceptions.h"

#include <QByteArray>
#include <QDomDocument>
#include <QDomElement>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

// The side file of a project file: its extension replaced by ".todo", or
// ".todo" appended when it has none.
QString ToDoFileName(const QString &projectFileName);

// A side file that is not well-formed XML. The message names the file, the
// parser's reason, the line and the column.
class EToDoParseError : public EReadError
{
public:
    EToDoParseError(QString message, QString fileName, QString parserMessage, int line, int column);

    const QString &FileName() const noexcept { return m_fileName; }
    const QString &ParserMessage() const noexcept { return m_parserMessage; }
    int Line() const noexcept { return m_line; }
    int Column() const noexcept { return m_column; }

private:
    QString m_fileName;
    QString m_parserMessage;
    int m_line;
    int m_column;
};

// A handle on one "ToDo" element. It owns nothing; the document does. A
// field that is missing reads as empty.
class TXMLToDoType
{
public:
    TXMLToDoType() = default;
    explicit TXMLToDoType(const QDomElement &element)
        : m_element(element)
    {}

    bool IsNull() const { return m_element.isNull(); }
    QDomElement Element() const { return m_element; }

    QString Status() const;
    void SetStatus(const QString &value);
    QString Priority() const;
    void SetPriority(const QString &value);

    // The "Topic" attribute: HasTopic and TopicText read it as it stands;
    // Topic converts it and raises EConvertError when it is absent or not a
    // 64-bit decimal number.
    bool HasTopic() const;
    QString TopicText() const;
    int64_t Topic() const;
    void SetTopic(int64_t value);

    QString Author() const;
    void SetAuthor(const QString &value);
    QString Category() const;
    void SetCategory(const QString &value);
    QString Text() const;
    void SetText(const QString &value);

    // Any field by name, as the to-do editor addresses them: the text of the
    // first child element of that name, else the attribute of that name.
    // Writing goes to the child element when there is one, otherwise to the
    // attribute.
    QString Field(const QString &name) const;
    void SetField(const QString &name, const QString &value);

private:
    QString ChildText(const QString &name) const;
    void SetChildText(const QString &name, const QString &value);
    void SetAttributeText(const QString &name, const QString &value);

    QDomElement m_element;
};

// The list: the document and its root element, whose "ToDo" children are the
// items (other children are kept but are not items). Movable, not copyable:
// a copy would share the DOM behind the caller's back.
class TXMLToDoListType
{
public:
    // The same as NewToDoList().
    TXMLToDoListType();
    TXMLToDoListType(TXMLToDoListType &&) noexcept = default;
    TXMLToDoListType &operator=(TXMLToDoListType &&) noexcept = default;
    TXMLToDoListType(const TXMLToDoListType &) = delete;
    TXMLToDoListType &operator=(const TXMLToDoListType &) = delete;

    int Count() const;
    // 0-based; EListError outside 0..Count()-1.
    TXMLToDoType Item(int index) const;
    TXMLToDoType operator[](int index) const { return Item(index); }
    QList<TXMLToDoType> Items() const;

    // A new empty "ToDo" element at the end of the root.
    TXMLToDoType Add();
    // A new empty "ToDo" element before the item at index; index Count()
    // appends. EListError outside 0..Count().
    TXMLToDoType Insert(int index);
    void Delete(int index);
    // Removes every item; other content of the root stays.
    void Clear();

    // A to-do as the program creates one: Status "ToDo", Priority "Normal",
    // the topic when given, and empty Author, Category and Text elements.
    TXMLToDoType AddNewToDo(std::optional<int64_t> topic = std::nullopt);

    QDomDocument Document() const { return m_document; }
    QDomElement Root() const { return m_root; }

    // The whole document as UTF-8 XML, as WriteToDoFile writes it.
    QByteArray ToXml() const;

    // Set on a list that stands in for a side file that could not be read:
    // that file must survive every later save untouched.
    QString UnreadableFileName() const { return m_unreadableFile; }
    QString ReadError() const { return m_readError; }
    bool IsUnreadableFile(const QString &fileName) const;
    void MarkUnreadableFile(const QString &fileName, const QString &error);

private:
    friend TXMLToDoListType NewToDoList();
    friend TXMLToDoListType ParseToDoList(const QByteArray &xml, const QString &sourceName);

    TXMLToDoListType(QDomDocument document, QDomElement root)
        : m_document(std::move(document))
        , m_root(std::move(root))
    {}

    QDomDocument m_document;
    QDomElement m_root;
    QString m_unreadableFile;
    QString m_readError;
};

// A new document: an XML 1.0 declaration without encoding and an empty
// "ToDos" root.
TXMLToDoListType NewToDoList();

// Parses xml; EToDoParseError (naming sourceName) when it is not well-formed.
// A document without a root element (an empty file) gets a "ToDos" root.
TXMLToDoListType ParseToDoList(const QByteArray &xml, const QString &sourceName);

// Reads a side file; EFOpenError when it cannot be opened, EToDoParseError
// when it is not well-formed.
TXMLToDoListType ReadToDoFile(const QString &fileName);

// What a project open needs: a new list when the side file does not exist,
// the file's list when it reads, and otherwise a new list marked so that a
// later save leaves the unreadable file alone (ReadError() holds why).
TXMLToDoListType LoadToDoList(const QString &fileName);

enum class TToDoWriteResult {
    Written,
    // The list is empty and no side file exists: nothing to keep in step.
    NothingToWrite,
    // The file could not be read when the list was loaded; it was not touched.
    KeptUnreadableFile,
};

// Writes the document as a whole through a save file, so a failed write
// leaves the old file in place; EFCreateError or EWriteError on failure. An
// empty list is written only over an existing side file, so to-dos deleted
// in the editor stay deleted.
TToDoWriteResult WriteToDoFile(const TXMLToDoListType &list, const QString &fileName);

// The order attributes are written in: the to-do fields first (Status,
// Priority, Topic), then the others by name. The DOM does not keep the order
// of a parsed element's attributes, so a fixed order keeps saves stable.
QStringList OrderedAttributeNames(const QDomElement &element);
