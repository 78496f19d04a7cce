#pragma once

// Runs the built qmtool the way a script would. The suites that include this
// get QMTOOL_PATH from their CMakeLists, next to a dependency on qmtool.

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// What one run left: the exit code and the raw bytes of both streams.
struct QmtoolResult
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// A run that does not finish in time fails the calling test and reports an
// exit code of -1, so that no expectation on its output can pass by chance.
inline QmtoolResult RunQmtool(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(QMTOOL_PATH), arguments);
    if (!process.waitForFinished(120000)) {
        ADD_FAILURE() << "qmtool did not finish: " << arguments.join(QLatin1Char(' ')).toStdString();
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

// Writes a file for a command to read into the test's folder; returns its path.
inline QString WriteInput(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    EXPECT_EQ(file.write(bytes), bytes.size()) << path.toStdString();
    return path;
}
