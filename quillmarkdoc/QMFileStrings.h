#pragma once

// The fixed texts of the project file and settings block reader.

#include <QString>

namespace QMFileStrings {

inline QString Identifier()
{
    return QStringLiteral("Quillmark project file.");
}
inline QString MissingIdentifier()
{
    return QStringLiteral("Missing Quillmark Identifier, not a Quillmark File");
}
inline QString UnknownVersion()
{
    return QStringLiteral("Unknown Quillmark File Version, not a Quillmark File");
}
// Appended to a conversion error so the user can find the bad line.
inline QString AtLine()
{
    return QStringLiteral(" (line %1)");
}

inline QString FileWriteError()
{
    return QStringLiteral("Cannot write file \"%1\". %2");
}

} // namespace QMFileStrings
