// Drives the built qmtool the way a script would: files in, text out.

#include "QmtoolProcess.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

class DiffCharsCommand : public testing::Test
{
protected:
    QString Write(const QString &name, const QByteArray &bytes) { return WriteInput(m_dir, name, bytes); }

    QmtoolResult Run(const QStringList &args)
    {
        return RunQmtool(QStringList{QStringLiteral("diff-chars")} + args);
    }

    QmtoolResult Compare(const QByteArray &first, const QByteArray &second, const QStringList &extra = {})
    {
        return Run(
            QStringList{Write(QStringLiteral("1.txt"), first), Write(QStringLiteral("2.txt"), second)} +
            extra);
    }

    QTemporaryDir m_dir;
};

TEST_F(DiffCharsCommand, PrintsOneEntryPerLine)
{
    struct Case
    {
        QByteArray first;
        QByteArray second;
        QByteArray out;
    };
    const Case cases[] = {
        {"", "", ""},
        {"kitten", "knitting",
         "Same(0,0)\nAdded(0,1)\nSame(1,2)\nSame(2,3)\nSame(3,4)\nChanged(4,5)\nSame(5,6)\nAdded(5,7)\n"},
        {"ah", "e", "Changed(0,0)\nRemoved(1,0)\n"},
        // A byte-order mark is one more element; a two-byte character is one.
        {"\xEF\xBB\xBF"
         "a",
         "a", "Removed(0,-1)\nSame(1,0)\n"},
        {"\xC3\xA9t\xC3\xA9", "ete", "Changed(0,0)\nSame(1,1)\nChanged(2,2)\n"},
    };
    for (const Case &c : cases) {
        const QmtoolResult outcome = Compare(c.first, c.second);
        EXPECT_EQ(outcome.exitCode, 0) << c.first.constData();
        EXPECT_EQ(outcome.out, c.out) << c.first.constData();
        EXPECT_EQ(outcome.err, QByteArray());
    }
}

TEST_F(DiffCharsCommand, SummaryCountsEachKind)
{
    const QmtoolResult outcome = Compare("abcabba", "cbabac", {QStringLiteral("--summary")});
    EXPECT_EQ(outcome.exitCode, 0);
    const QStringList lines = QString::fromUtf8(outcome.out).split(u'\n');
    ASSERT_EQ(lines.size(), 3) << outcome.out.constData();
    EXPECT_EQ(lines[0], QStringLiteral("Same 4, Added 2, Removed 3, Changed 0"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^time: \\d+\\.\\d ms$")).match(lines[1]).hasMatch())
        << lines[1].toStdString();
    EXPECT_EQ(lines[2], QString());
}

TEST_F(DiffCharsCommand, RefusesWhatItCannotRead)
{
    const QmtoolResult invalid = Compare("ab\xFF", "ab");
    EXPECT_EQ(invalid.exitCode, 1);
    EXPECT_EQ(invalid.out, QByteArray());
    EXPECT_TRUE(invalid.err.startsWith("qmtool: ")) << invalid.err.constData();

    const QmtoolResult missing =
        Run({m_dir.filePath(QStringLiteral("none.txt")), Write(QStringLiteral("2.txt"), "x")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.startsWith("qmtool: ")) << missing.err.constData();

    EXPECT_EQ(Run({Write(QStringLiteral("2.txt"), "x")}).exitCode, 2);
    EXPECT_EQ(Compare("a", "b", {QStringLiteral("--fast")}).exitCode, 2);
}

} // namespace
