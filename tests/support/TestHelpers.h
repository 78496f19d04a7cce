#pragma once

// Small helpers the suites share. Header-only: a suite that uses ErrorOf
// links the foundation, where Exception lives.

#include "foundation/Exceptions.h"

#include <QString>
#include <QStringList>

#include <initializer_list>

// The message of the error an operation raises, or an empty string when it
// raises none.
template<typename Operation> QString ErrorOf(Operation &&operation)
{
    try {
        operation();
    } catch (const Exception &error) {
        return error.Message();
    }
    return {};
}

inline QStringList Lines(std::initializer_list<const char16_t *> lines)
{
    QStringList list;
    for (const char16_t *line : lines)
        list << QString::fromUtf16(line);
    return list;
}
