#pragma once

// The --encoding option of the commands that read or write project files.

#include "CommandLine.h"

#include "foundation/TextEncoding.h"

#include <QString>
#include <QStringList>

namespace qmtool {

// Takes "--encoding ENC" out of args: nullptr when absent (detect on reading,
// the ANSI code page on writing), the named encoding otherwise. An unknown
// name is a usage error.
inline const TEncoding *TakeEncoding(QStringList &args)
{
    const QString name = TakeOption(args, QStringLiteral("--encoding"));
    if (name.isEmpty())
        return nullptr;
    if (name == QLatin1String("ansi"))
        return TEncoding::Ansi();
    if (name == QLatin1String("utf8"))
        return TEncoding::Utf8();
    if (name == QLatin1String("utf16le"))
        return TEncoding::Utf16LE();
    if (name == QLatin1String("utf16be"))
        return TEncoding::Utf16BE();
    throw UsageError(QStringLiteral("unknown encoding '%1' (ansi, utf8, utf16le, utf16be)").arg(name));
}

} // namespace qmtool
