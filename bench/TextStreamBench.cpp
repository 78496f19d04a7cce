// ReadLine throughput of TGTextStream over a 50 MB file, in the ANSI code
// page and in UTF-8. The files are generated into a temporary folder at
// start-up and removed at the end.

#include "foundation/GStreams.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

constexpr qint64 kFileSize = 50 * 1000 * 1000;

// Lines as a project file holds them: RTF control words, topic text with
// accented letters and typographic quotes, numbers, short option lines.
QString SampleLine(int i)
{
    switch (i % 6) {
    case 0:
        return QStringLiteral(
                   "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\pard\\plain\\f0\\fs20 Topic %1")
            .arg(i);
    case 1:
        return QStringLiteral(
                   "The \u201CCaption\u201D property sets the text shown in the title bar \u2013 see "
                   "\\{linkID=%1\\} for d\u00E9tails.")
            .arg(i % 5000);
    case 2:
        return QString::number(i * 7);
    case 3:
        return QStringLiteral("TRUE");
    case 4:
        return QStringLiteral(
            "\\par \\b Hinweis:\\b0  \u00C4nderungen werden sofort \u00FCbernommen \u20AC 10.\\par");
    default:
        return QStringLiteral("Quill%1").arg(i);
    }
}

QString WriteSample(const QDir &dir, const TEncoding *encoding, const char *name)
{
    const QString path = dir.filePath(QString::fromLatin1(name));
    TGTextStream out(path, encoding, fmCreate);
    WriteEncodingPreamble(out, encoding);
    for (int i = 0; out.Position() < kFileSize; ++i)
        out.WriteLine(SampleLine(i));
    out.FlushBuffer();
    return path;
}

std::unique_ptr<QTemporaryDir> g_dir;
QString g_ansiPath;
QString g_utf8Path;

void ReadLines(benchmark::State &state, const QString &path)
{
    int64_t bytes = 0;
    for (auto _ : state) {
        TGTextStream in(path, nullptr, fmOpenRead);
        int64_t chars = 0;
        while (!in.Eof())
            chars += in.ReadLine().size();
        benchmark::DoNotOptimize(chars);
        bytes += in.Size();
    }
    state.SetBytesProcessed(bytes);
}

void BM_ReadLineAnsi(benchmark::State &state)
{
    ReadLines(state, g_ansiPath);
}

void BM_ReadLineUtf8(benchmark::State &state)
{
    ReadLines(state, g_utf8Path);
}

void BM_ReadCharAnsi(benchmark::State &state)
{
    int64_t bytes = 0;
    for (auto _ : state) {
        TGTextStream in(g_ansiPath, nullptr, fmOpenRead);
        int64_t sum = 0;
        QChar c;
        while (in.ReadChar(c))
            sum += c.unicode();
        benchmark::DoNotOptimize(sum);
        bytes += in.Size();
    }
    state.SetBytesProcessed(bytes);
}

BENCHMARK(BM_ReadLineAnsi)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(5);
BENCHMARK(BM_ReadLineUtf8)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(5);
BENCHMARK(BM_ReadCharAnsi)->Unit(benchmark::kMillisecond)->Iterations(2)->Repetitions(3);

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    g_dir = std::make_unique<QTemporaryDir>();
    const QDir dir(g_dir->path());
    g_ansiPath = WriteSample(dir, TEncoding::Ansi(), "sample-1252.txt");
    g_utf8Path = WriteSample(dir, TEncoding::Utf8(), "sample-utf8.txt");
    std::printf("Sample files: %lld bytes (windows-1252), %lld bytes (UTF-8)\n",
                static_cast<long long>(QFile(g_ansiPath).size()),
                static_cast<long long>(QFile(g_utf8Path).size()));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_dir.reset();
    return 0;
}
