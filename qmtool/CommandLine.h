#pragma once

// The command-line front end: every command lives in a file of its own and
// registers itself here with a static CommandRegistration, so adding a
// command touches nothing else.

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <functional>
#include <stdexcept>

namespace qmtool {

// A call that does not fit the command's synopsis: exit code 2.
class UsageError : public std::runtime_error
{
public:
    explicit UsageError(const QString &message);
    QString Message() const;
};

struct Command
{
    QString name;
    QString synopsis;      // "dump FILE [--encoding ENC]"
    bool needsGui = false; // true when the command lays out text (fonts need a GUI application)
    std::function<int(const QStringList &args)> run; // args after the command name; returns the exit code
};

class CommandRegistration
{
public:
    explicit CommandRegistration(Command command);
};

const std::vector<Command> &Commands();

// Output goes out as bytes, so what a command prints is exactly what it means
// to print (UTF-8 text, or CR LF lines where the contract asks for them).
void WriteOut(QByteArrayView bytes);
void WriteLine(const QString &line); // UTF-8 followed by a line feed
void WriteError(const QString &message); // "qmtool: <message>" on standard error

// Reads the value of an option such as "--encoding ENC" out of args, removing
// both; returns the fallback when the option is absent.
QString TakeOption(QStringList &args, const QString &option, const QString &fallback = {});
bool TakeFlag(QStringList &args, const QString &flag);
void ExpectArgumentCount(const QStringList &args, int count);

} // namespace qmtool
