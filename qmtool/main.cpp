#include "CommandLine.h"

#include "foundation/Exceptions.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <memory>

using namespace qmtool;

namespace {

void PrintUsage(FILE *to)
{
    QByteArray text = "usage: qmtool COMMAND [ARGS]\n\ncommands:\n";
    std::vector<Command> sorted = Commands();
    std::sort(sorted.begin(), sorted.end(), [](const Command &a, const Command &b) { return a.name < b.name; });
    for (const Command &command : sorted)
        text += "  qmtool " + command.synopsis.toUtf8() + '\n';
    std::fwrite(text.data(), 1, static_cast<size_t>(text.size()), to);
}

// Standard error carries the command's own errors, one line each; notes the
// platform layer prints about the session it runs in would only add noise.
void KeepOnlySevereMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

} // namespace

int main(int argc, char **argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);

    if (args.isEmpty() || args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")) {
        PrintUsage(args.isEmpty() ? stderr : stdout);
        return args.isEmpty() ? 2 : 0;
    }

    const QString name = args.takeFirst();
    const auto &commands = Commands();
    const auto command = std::find_if(commands.begin(), commands.end(),
                                      [&](const Command &c) { return c.name == name; });
    if (command == commands.end()) {
        WriteError(QStringLiteral("unknown command '%1'").arg(name));
        PrintUsage(stderr);
        return 2;
    }

    qInstallMessageHandler(KeepOnlySevereMessages);

    // Text layout needs a GUI application; without a display it runs offscreen.
    std::unique_ptr<QCoreApplication> app;
    if (command->needsGui) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("qmtool"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QM_VERSION));

    try {
        return command->run(args);
    } catch (const UsageError &e) {
        WriteError(e.Message());
        std::fprintf(stderr, "usage: qmtool %s\n", command->synopsis.toUtf8().constData());
        return 2;
    } catch (const Exception &e) {
        WriteError(e.Message());
        return 1;
    }
}
