// qmtool compare: the classification printed for scripts, the same rows and
// counts the comparison window shows.

#include "CompareTestSupport.h"
#include "QmtoolProcess.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <tuple>

using namespace Qt::StringLiterals;

namespace {

class CompareCommand : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        std::tie(originalPath, historyPath) =
            SaveProjects(dir, [](TQuillmarkDoc &original, TQuillmarkDoc &history) {
                AddTopic(original, 1, u"Same"_s, {u"a"_s});
                AddTopic(history, 1, u"Same"_s, {u"a"_s});
                AddTopic(original, 2, u"Moved"_s, {u"b"_s});
                AddTopic(history, 7, u"Moved"_s, {u"b"_s});
                AddTopic(original, 3, u"Edited \u00e9"_s, {u"new"_s});
                AddTopic(history, 3, u"Edited \u00e9"_s, {u"old"_s});
                AddTopic(history, 9, u"Dropped"_s, {u"c"_s});
            });
    }

    QTemporaryDir dir;
    QString originalPath;
    QString historyPath;
};

TEST_F(CompareCommand, PrintsRowsThenTheUnpairedHistoryTopicsThenTheCounts)
{
    struct Case
    {
        QStringList options;
        QString out;
    };
    const Case cases[] = {
        {{},
         u"000001\tSame\tSame\n000002\tNew\tMoved\n000003\tDifferent\tEdited \u00e9\n"
         "000007\tDeleted\tMoved\n000009\tDeleted\tDropped\n"
         "Different Topics: 1\tIdentical Topics: 1\tIdentical Text Topics: 0\tNew Topics: 1\t"
         "Deleted Topics: 2\n"_s},
        {{u"--match"_s, u"title"_s},
         u"000001\tSame\tSame\n000002\tSameText\tMoved\n000003\tDifferent\tEdited \u00e9\n"
         "000009\tDeleted\tDropped\n"
         "Different Topics: 1\tIdentical Topics: 1\tIdentical Text Topics: 1\tNew Topics: 0\t"
         "Deleted Topics: 1\n"_s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.options.join(u' ').toStdString());
        const QmtoolResult result =
            RunQmtool(QStringList{u"compare"_s, originalPath, historyPath} + c.options);
        EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
        EXPECT_EQ(QString::fromUtf8(result.out), c.out);
    }
}

TEST_F(CompareCommand, RefusesBadCallsAndUnreadableFiles)
{
    const QmtoolResult badMatch =
        RunQmtool({u"compare"_s, originalPath, historyPath, u"--match"_s, u"number"_s});
    EXPECT_EQ(badMatch.exitCode, 2);
    EXPECT_TRUE(badMatch.out.isEmpty());

    const QmtoolResult oneFile = RunQmtool({u"compare"_s, originalPath});
    EXPECT_EQ(oneFile.exitCode, 2);

    const QmtoolResult broken =
        RunQmtool({u"compare"_s, QStringLiteral(QM_TEST_DATA_DIR "/compare/truncated.qmp"), historyPath});
    EXPECT_EQ(broken.exitCode, 1);
    EXPECT_TRUE(broken.out.isEmpty());
    EXPECT_TRUE(broken.err.startsWith("qmtool: ")) << broken.err.toStdString();
    EXPECT_TRUE(broken.err.contains("line")) << broken.err.toStdString();
}

} // namespace
