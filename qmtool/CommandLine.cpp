#include "CommandLine.h"

#include <cstdio>

namespace qmtool {

UsageError::UsageError(const QString &message)
    : std::runtime_error(message.toStdString())
{
}

QString UsageError::Message() const
{
    return QString::fromStdString(what());
}

namespace {
std::vector<Command> &Registry()
{
    static std::vector<Command> commands;
    return commands;
}
} // namespace

CommandRegistration::CommandRegistration(Command command)
{
    Registry().push_back(std::move(command));
}

const std::vector<Command> &Commands()
{
    return Registry();
}

void WriteOut(QByteArrayView bytes)
{
    std::fwrite(bytes.data(), 1, static_cast<size_t>(bytes.size()), stdout);
}

void WriteLine(const QString &line)
{
    QByteArray bytes = line.toUtf8();
    bytes.append('\n');
    WriteOut(bytes);
}

void WriteError(const QString &message)
{
    const QByteArray bytes = QStringLiteral("qmtool: %1\n").arg(message).toUtf8();
    std::fwrite(bytes.data(), 1, static_cast<size_t>(bytes.size()), stderr);
}

QString TakeOption(QStringList &args, const QString &option, const QString &fallback)
{
    const qsizetype at = args.indexOf(option);
    if (at < 0)
        return fallback;
    if (at + 1 >= args.size())
        throw UsageError(QStringLiteral("%1 needs a value").arg(option));
    const QString value = args.at(at + 1);
    args.remove(at, 2);
    return value;
}

bool TakeFlag(QStringList &args, const QString &flag)
{
    return args.removeAll(flag) > 0;
}

void ExpectArgumentCount(const QStringList &args, int count)
{
    for (const QString &arg : args) {
        if (arg.startsWith(QLatin1String("--")))
            throw UsageError(QStringLiteral("unknown option %1").arg(arg));
    }
    if (args.size() != count)
        throw UsageError(QStringLiteral("expected %1 argument(s), got %2").arg(count).arg(args.size()));
}

} // namespace qmtool
