#pragma once

// The fixed texts of the to-do side file. Placeholders are filled with
// QString::arg in order.

#include <QString>

namespace ToDoStrings {

// Names of the side file's elements and attributes, and the values a new
// to-do starts with.
inline QString RootElement()
{
    return QStringLiteral("ToDos");
}
inline QString ToDoElement()
{
    return QStringLiteral("ToDo");
}
inline QString StatusName()
{
    return QStringLiteral("Status");
}
inline QString PriorityName()
{
    return QStringLiteral("Priority");
}
inline QString TopicName()
{
    return QStringLiteral("Topic");
}
inline QString AuthorName()
{
    return QStringLiteral("Author");
}
inline QString CategoryName()
{
    return QStringLiteral("Category");
}
inline QString TextName()
{
    return QStringLiteral("Text");
}
inline QString NewStatus()
{
    return QStringLiteral("ToDo");
}
inline QString NewPriority()
{
    return QStringLiteral("Normal");
}
inline QString FileExtension()
{
    return QStringLiteral(".todo");
}

// 1: file name, 2: the parser's message, 3: line, 4: column.
inline QString ParseError()
{
    return QStringLiteral("The to-do file \"%1\" is not well-formed XML: %2 (line %3, column %4)");
}
// 1: the deepest nesting read.
inline QString NestedTooDeep()
{
    return QStringLiteral("elements nested deeper than %1 levels");
}
inline QString UnwritableName()
{
    return QStringLiteral("a name holds a character XML cannot carry");
}
// 1: file name, 2: the platform's reason.
inline QString OpenError()
{
    return QStringLiteral("Cannot open the to-do file \"%1\". %2");
}
inline QString CreateError()
{
    return QStringLiteral("Cannot create the to-do file \"%1\". %2");
}
inline QString WriteError()
{
    return QStringLiteral("Cannot write the to-do file \"%1\". %2");
}
// 1: file name. Shown when a save leaves a side file alone that could not be read at open.
inline QString KeptUnreadableFile()
{
    return QStringLiteral("The to-do file \"%1\" could not be read when the project was opened; it was left "
                          "unchanged and the to-dos were not saved to it.");
}

} // namespace ToDoStrings
