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

// Buffered and text streams.
inline QString PushBackOverflow() { return QStringLiteral("Overflow on push back"); }
inline QString InvalidBufferState() { return QStringLiteral("Invalid buffer state"); }
inline QString SeekBufferError() { return QStringLiteral("Error seeking in buffer"); }
inline QString InvalidOrigin() { return QStringLiteral("Invalid Origin Point specified: %1"); }
inline QString EncodingDeterminationEof() { return QStringLiteral("Invalid stream encoding determination, EOF reached"); }

// Hash table.
inline QString HashArgumentIsNull() { return QStringLiteral("Argument is null"); }
inline QString HashSubscriptOutOfRange() { return QStringLiteral("Subscript out of range"); }
inline QString HashNoSuchElement() { return QStringLiteral("No such element"); }
inline QString HashTableIsEmpty() { return QStringLiteral("Table is empty"); }
inline QString HashTableNotEmpty() { return QStringLiteral("Cannot perform this operation with non-empty table"); }
inline QString HashLoadFactorRange() { return QStringLiteral("Load factor must be between 0.0 and 0.1"); }

} // namespace FoundationStrings
