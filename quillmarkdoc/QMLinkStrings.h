#pragma once

// The fixed texts of link renumbering and of the clipboard exchange.
// Placeholders are filled with QString::arg in order.

#include <QString>

namespace QMLinkStrings {

// The failure's own message, the topic's number, the topic's title.
inline QString RenumberError()
{
    return QStringLiteral("\"%1\" error detected in topic #%2: %3");
}

// The clipboard holds data under our type that is not a carrier we can read.
inline QString ClassNotFound()
{
    return QStringLiteral("Class %1 not found");
}
inline QString UnreadableClipboard()
{
    return QStringLiteral("The clipboard data is damaged and was not pasted");
}

} // namespace QMLinkStrings
