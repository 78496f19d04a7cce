#pragma once

// The fixed texts of the difference algorithm.

#include <QString>

namespace DiffStrings {

// Raised when the two searches never meet within the diagonal limit.
inline QString RecursionError()
{
    return QStringLiteral("oops - error in RecursiveDiffChr()");
}

} // namespace DiffStrings
