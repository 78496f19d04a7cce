#include "diff/window/DiffProgram.h"

#include "diff/window/DiffWindowStrings.h"
#include "diff/window/QuillmarkDiffMain.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QTableWidget>
#include <QTimer>

#include <cstdio>
#include <memory>

#ifndef QM_VERSION
#define QM_VERSION ""
#endif

namespace {

struct TCommandLine
{
    QStringList Files;
    QString Screenshot;
    int Row = 0;
};

void SetApplicationNames()
{
    QCoreApplication::setApplicationName(QStringLiteral("QuillmarkTandemDiff"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QM_VERSION));
}

// Parsed before any window system is touched, so --help, --version and a
// wrong call answer on a machine without a display too. Returns an exit
// code when the program is done, -1 when the window should come up.
int ParseCommandLine(int argc, char *argv[], TCommandLine &commandLine)
{
    QCoreApplication app(argc, argv);
    SetApplicationNames();
    QCommandLineParser parser;
    parser.setApplicationDescription(DiffWindowStrings::CommandLineDescription());
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("ORIGINAL"), DiffWindowStrings::OriginalArgument(),
                                 QStringLiteral("[ORIGINAL"));
    parser.addPositionalArgument(QStringLiteral("HISTORY"), DiffWindowStrings::HistoryArgument(),
                                 QStringLiteral("HISTORY]"));
    // For documentation and checks of the layout: shows the first row of the
    // two files (or the one --row names), writes a picture of the window and ends.
    QCommandLineOption screenshot(QStringLiteral("screenshot"), QString(), QStringLiteral("PNG"));
    screenshot.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(screenshot);
    QCommandLineOption row(QStringLiteral("row"), QString(), QStringLiteral("N"), QStringLiteral("0"));
    row.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(row);

    if (!parser.parse(QCoreApplication::arguments())) {
        std::fprintf(stderr, "%s\n\n%s", qPrintable(parser.errorText()), qPrintable(parser.helpText()));
        return 2;
    }
    if (parser.isSet(help)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("%s\n", qPrintable(TfrmMain::BuildCaption()));
        return 0;
    }
    // The frames show a file's full path, as they do for a file chosen in the dialog.
    for (const QString &file : parser.positionalArguments())
        commandLine.Files << QFileInfo(file).absoluteFilePath();
    if (!commandLine.Files.isEmpty() && commandLine.Files.size() != 2) {
        std::fprintf(stderr, "%s\n\n%s", qPrintable(DiffWindowStrings::ArgumentCountError()),
                     qPrintable(parser.helpText()));
        return 2;
    }
    commandLine.Screenshot = parser.value(screenshot);
    commandLine.Row = parser.value(row).toInt();
    return -1;
}

} // namespace

int RunQuillmarkTandemDiff(int argc, char *argv[])
{
    TCommandLine commandLine;
    if (const int exitCode = ParseCommandLine(argc, argv, commandLine); exitCode >= 0)
        return exitCode;

    QApplication app(argc, argv);
    SetApplicationNames();
    QApplication::setApplicationDisplayName(DiffWindowStrings::ApplicationTitle());

    TfrmMain window;
    window.show();
    if (commandLine.Files.size() == 2)
        window.OpenFiles(commandLine.Files.at(0), commandLine.Files.at(1));

    if (!commandLine.Screenshot.isEmpty()) {
        const QString target = commandLine.Screenshot;
        const int row = commandLine.Row;
        QTimer::singleShot(0, &window, [&window, target, row] {
            if (row >= 0 && row < window.sgTopics()->rowCount())
                window.sgTopics()->setCurrentCell(row, 0);
            QApplication::processEvents();
            const bool saved = window.grab().save(target, "PNG");
            QApplication::exit(saved ? 0 : 1);
        });
    }
    return app.exec();
}
