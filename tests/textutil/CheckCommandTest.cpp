// Drives the built qmtool's check command over fixture projects.

#include "QmtoolProcess.h"
#include "QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QmtoolResult Check(const QString &file)
{
    return RunQmtool({QStringLiteral("check"), file});
}

QString Fixture(const char *name)
{
    return QDir(QStringLiteral(QM_TEST_DATA_DIR "/check")).filePath(QString::fromLatin1(name));
}

TEST(CheckCommand, ReportsEveryKindOfProblemInOrder)
{
    const QmtoolResult outcome = Check(Fixture("problems.qmp"));
    EXPECT_EQ(1, outcome.exitCode);
    EXPECT_EQ(QByteArray("broken-link\t000010 Overview\t99\n"
                         "broken-link\t000030 Gauge copy\tabc\n"
                         "unresolved-contents\t3 Missing\tQuill77\n"
                         "duplicate-number\t000030\t2 topics\n"
                         "duplicate-context\tWidget\t000020, 000040\n"
                         "orphan\t000040 Lonely\t\n"
                         "orphan\t000060 Self\t\n"
                         "todo-missing-topic\t2\t77\n"
                         "todo-missing-topic\t4\tx\n"
                         "bad-rtf\t000050 Broken RTF\tUnbalanced braces: 2 group(s) not closed\n"
                         "10 problems\n"),
              outcome.out);
}

TEST(CheckCommand, CleanProjectPasses)
{
    const QmtoolResult outcome = Check(Fixture("clean.qmp"));
    EXPECT_EQ(0, outcome.exitCode);
    EXPECT_EQ(QByteArray("0 problems\n"), outcome.out);
}

TEST(CheckCommand, ProjectWithoutContentsHasNoOrphansAndOneProblemIsSingular)
{
    // The clean project without its contents entry, and one broken link.
    QFile clean(Fixture("clean.qmp"));
    ASSERT_TRUE(clean.open(QIODevice::ReadOnly));
    QByteArray bytes = clean.readAll();
    bytes.replace("\r\n1\r\n1 One=Quill1\r\n", "\r\n0\r\n");
    bytes.replace("\\{linkID=2\\}", "\\{linkID=3\\}");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.qmp"));
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    out.close();

    const QmtoolResult outcome = Check(path);
    EXPECT_EQ(1, outcome.exitCode);
    EXPECT_EQ(QByteArray("broken-link\t000001 One\t3\n1 problem\n"), outcome.out);
}

TEST(CheckCommand, UnreadableFileIsRefused)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.qmp"));
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("not a project\r\n");
    out.close();
    const QmtoolResult outcome = Check(path);
    EXPECT_EQ(1, outcome.exitCode);
    EXPECT_TRUE(outcome.out.isEmpty());
    EXPECT_TRUE(outcome.err.contains("qmtool: Missing Quillmark Identifier")) << outcome.err.toStdString();
}

} // namespace
