#include "diff/window/DiffProgram.h"

#include "diff/window/DiffWindowStrings.h"
#include "diff/window/QuillmarkDiffMain.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTableWidget>
#include <QTimer>

#include <cstdio>

#ifndef QM_VERSION
#define QM_VERSION ""
#endif

int RunQuillmarkTandemDiff(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QuillmarkTandemDiff"));
    QApplication::setApplicationDisplayName(DiffWindowStrings::ApplicationTitle());
    QApplication::setApplicationVersion(QStringLiteral(QM_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(DiffWindowStrings::CommandLineDescription());
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("ORIGINAL"), DiffWindowStrings::OriginalArgument(),
                                 QStringLiteral("[ORIGINAL HISTORY]"));
    parser.addPositionalArgument(QStringLiteral("HISTORY"), DiffWindowStrings::HistoryArgument(), QString());
    // For documentation and checks of the layout: shows the first row of the
    // two files, writes a picture of the window and ends.
    QCommandLineOption screenshot(QStringLiteral("screenshot"), QString(), QStringLiteral("PNG"));
    screenshot.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(screenshot);
    parser.process(app);

    const QStringList files = parser.positionalArguments();
    if (!files.isEmpty() && files.size() != 2) {
        std::fprintf(stderr, "%s\n\n%s", qPrintable(DiffWindowStrings::ArgumentCountError()),
                     qPrintable(parser.helpText()));
        return 2;
    }

    TfrmMain window;
    window.show();
    if (files.size() == 2)
        window.OpenFiles(files.at(0), files.at(1));

    if (parser.isSet(screenshot)) {
        const QString target = parser.value(screenshot);
        QTimer::singleShot(0, &window, [&window, target] {
            if (window.sgTopics()->rowCount() > 0)
                window.sgTopics()->setCurrentCell(0, 0);
            QApplication::processEvents();
            const bool saved = window.grab().save(target, "PNG");
            QApplication::exit(saved ? 0 : 1);
        });
    }
    return app.exec();
}
