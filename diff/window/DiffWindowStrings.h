#pragma once

// The fixed texts of the comparison window.

#include <QString>

namespace DiffWindowStrings {

inline QString ApplicationTitle()
{
    return QStringLiteral("Quillmark Tandem Difference Editor");
}
inline QString ProductName()
{
    return QStringLiteral("Quillmark Tandem Diff");
}
inline QString FileDescription()
{
    return QStringLiteral("Quillmark File Difference Utility");
}

inline QString MatchByID()
{
    return QStringLiteral("Match Topics By ID");
}
inline QString MatchByTitle()
{
    return QStringLiteral("Match Topics By Title");
}
inline QString MatchByIDOrTitle()
{
    return QStringLiteral("Match Topics By ID or Title");
}
inline QString HideUnchanged()
{
    return QStringLiteral("Hide Unchanged Topics");
}

inline QString ColumnID()
{
    return QStringLiteral("ID");
}
inline QString ColumnTitle()
{
    return QStringLiteral("Title");
}
inline QString ColumnDiff()
{
    return QStringLiteral("Diff");
}

inline QString OpenButton()
{
    return QStringLiteral("Open...");
}
inline QString SaveButton()
{
    return QStringLiteral("Save As...");
}
inline QString SaveButtonHint()
{
    return QStringLiteral("Save Original to File...");
}

inline QString FileFrame()
{
    return QStringLiteral("File");
}
inline QString DifferenceFrame()
{
    return QStringLiteral("Difference View");
}

inline QString OpenOriginalTitle()
{
    return QStringLiteral("Open Latest Quillmark File");
}
inline QString OpenHistoryTitle()
{
    return QStringLiteral("Open Quillmark History File");
}
inline QString SaveTitle()
{
    return QStringLiteral("Save Latest File As...");
}
inline QString FileFilter()
{
    return QStringLiteral("Quillmark File (*.qmp)");
}
inline QString DefaultExtension()
{
    return QStringLiteral("qmp");
}

inline QString CopyToOrigHint()
{
    return QStringLiteral("Copy ENTIRE Topic from History to Original");
}
inline QString CopyTextToOrigHint()
{
    return QStringLiteral("Copy Topic TEXT ONLY from History to Original");
}
inline QString CopyToHistHint()
{
    return QStringLiteral("Copy ENTIRE Topic from Original To History");
}
inline QString CopyTextToHistHint()
{
    return QStringLiteral("Copy Topic TEXT ONLY from Original to History");
}

inline QString PairIdentical()
{
    return QStringLiteral("Identical");
}
inline QString PairDifferent()
{
    return QStringLiteral("Different");
}

// What the status panels show before the first fill.
inline QString DesignPanelText(int panel)
{
    static const char16_t *const texts[] = {u"Different Topics:",      u"Identical Topics:",
                                            u"Identical Text Topics:", u"New Topics:",
                                            u"Deleted Topics:",        u"Different"};
    return panel >= 0 && panel < 6 ? QString::fromUtf16(texts[panel]) : QString();
}

inline QString CommandLineDescription()
{
    return QStringLiteral(
        "Compares two versions of a Quillmark project.\n"
        "With ORIGINAL and HISTORY, both files are opened at once, so the program can serve as "
        "a difference tool; without them, Open... asks for the files.");
}
inline QString OriginalArgument()
{
    return QStringLiteral("The current version of the project (.qmp).");
}
inline QString HistoryArgument()
{
    return QStringLiteral("An older version of the same project (.qmp).");
}
inline QString ArgumentCountError()
{
    return QStringLiteral("Give both ORIGINAL and HISTORY, or neither.");
}

} // namespace DiffWindowStrings
