#pragma once

// The fixed texts of the difference algorithm and the topic comparison.

#include <QString>

namespace DiffStrings {

// Raised when the two searches never meet within the diagonal limit.
inline QString RecursionError()
{
    return QStringLiteral("oops - error in RecursiveDiffChr()");
}

// The comparison statuses as the grid names them, by status value.
inline QString StatusName(int status)
{
    static const char16_t *const names[] = {u"Different", u"Same", u"SameText", u"New", u"Deleted"};
    return status >= 0 && status < 5 ? QString::fromUtf16(names[status]) : QString();
}

// The status bar's caption of each count; the count follows directly.
inline QString StatusBarText(int status)
{
    static const char16_t *const texts[] = {u"Different Topics: ", u"Identical Topics: ",
                                            u"Identical Text Topics: ", u"New Topics: ",
                                            u"Deleted Topics: "};
    return status >= 0 && status < 5 ? QString::fromUtf16(texts[status]) : QString();
}

} // namespace DiffStrings
