// qmtool diff-chars FILE1 FILE2 [--summary]: the character script of two
// UTF-8 files, one entry a line, or the count of each kind and the time.

#include "CommandLine.h"

#include "diff/Diff.h"
#include "foundation/Exceptions.h"
#include "foundation/FoundationStrings.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStringDecoder>

#include <array>
#include <charconv>
#include <limits>

namespace {

QString ReadUtf8File(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EFOpenError(FoundationStrings::FileOpenError().arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EReadError(FoundationStrings::StreamReadError());

    // A byte-order mark is compared like any other element, so it is kept.
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringConverter::Flag::ConvertInitialBom | QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        throw EReadError(QStringLiteral("%1 is not valid UTF-8").arg(path));
    return text;
}

void AppendNumber(QByteArray &out, std::int32_t value)
{
    std::array<char, 16> digits;
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    out.append(digits.data(), result.ptr - digits.data());
}

int RunDiffChars(const QStringList &arguments)
{
    QStringList args = arguments;
    const bool summary = qmtool::TakeFlag(args, QStringLiteral("--summary"));
    qmtool::ExpectArgumentCount(args, 2);

    const QString first = ReadUtf8File(args.at(0));
    const QString second = ReadUtf8File(args.at(1));

    TDiff diff;
    QElapsedTimer timer;
    timer.start();
    diff.CompareChars(first, second);
    const qint64 nanoseconds = timer.nsecsElapsed();

    if (summary) {
        std::array<qsizetype, 4> counts{};
        for (const TDiffEntry &entry : diff.Entries())
            ++counts[entry.Kind];
        qmtool::WriteLine(QStringLiteral("Same %1, Added %2, Removed %3, Changed %4")
                              .arg(counts[ekSame])
                              .arg(counts[ekAdded])
                              .arg(counts[ekRemoved])
                              .arg(counts[ekChanged]));
        qmtool::WriteLine(QStringLiteral("time: %1 ms").arg(double(nanoseconds) / 1e6, 0, 'f', 1));
        return 0;
    }

    // Scripts of whole files run to millions of lines: build the output in
    // one buffer and write it once.
    static constexpr std::array<const char *, 4> names = {"Same(", "Added(", "Removed(", "Changed("};
    QByteArray out;
    out.reserve(qsizetype(diff.EntryCount()) * 16);
    for (const TDiffEntry &entry : diff.Entries()) {
        out.append(names[entry.Kind]);
        AppendNumber(out, entry.Index1);
        out.append(',');
        AppendNumber(out, entry.Index2);
        out.append(")\n");
    }
    qmtool::WriteOut(out);
    return 0;
}

const qmtool::CommandRegistration registration({
    QStringLiteral("diff-chars"),
    QStringLiteral("diff-chars FILE1 FILE2 [--summary]"),
    false,
    RunDiffChars,
});

} // namespace
