#pragma once

// The fixed texts of the foundation's errors. Placeholders are filled with
// QString::arg in order ("%1" stands where the message shows a value).

#include <QString>

namespace FoundationStrings {

inline QString ConvertError() { return QStringLiteral("'%1' is not a valid integer value"); }
inline QString ListIndexError() { return QStringLiteral("List index out of bounds (%1)"); }
inline QString AssignError() { return QStringLiteral("Cannot assign a %1 to a %2"); }
inline QString IntOverflow() { return QStringLiteral("Integer overflow"); }
inline QString StreamReadError() { return QStringLiteral("Stream read error"); }
inline QString StreamWriteError() { return QStringLiteral("Stream write error"); }
inline QString FileOpenError() { return QStringLiteral("Cannot open file \"%1\". %2"); }
inline QString FileCreateError() { return QStringLiteral("Cannot create file \"%1\". %2"); }
inline QString SortedListError() { return QStringLiteral("Operation not allowed on sorted list"); }
inline QString DuplicateString() { return QStringLiteral("String list does not allow duplicates"); }
inline QString ListCapacityError() { return QStringLiteral("List capacity out of bounds (%1)"); }
inline QString MaxCountExceeded() { return QStringLiteral("String List Max Count exceeded: %1"); }

} // namespace FoundationStrings
