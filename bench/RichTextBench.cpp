// The rich-text engine: reading a typical topic into the buffer and taking
// its plain text, and reading and writing a 1 MB document. The inputs are
// generated at start-up in the shape the rich-edit control writes.

#include "richtext/RichTextBuffer.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace {

QByteArray Header()
{
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}"
           "{\\f1\\fnil\\fcharset0 Courier New;}{\\f2\\fnil\\fcharset2 Symbol;}}\r\n"
           "{\\colortbl ;\\red0\\green0\\blue255;\\red0\\green128\\blue0;\\red128\\green0\\blue0;}"
           "\\viewkind4\\uc1\\pard\\cf1\\b\\f0\\fs32 TButton.Caption property\\cf0\\b0\\fs20\\par\r\n";
}

// One paragraph of a class topic: plain text, formatting changes, a link,
// accented letters and a character outside the code page; every fourth a bullet.
QByteArray Paragraph(int i)
{
    QByteArray p;
    if (i % 4 == 3)
        p += "{\\pntext\\f2\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf2\\pnindent0{\\pntxtb\\'b7}}\\fi-360\\li720 ";
    p += "The \\b Caption\\b0  property sets the text shown in the control \\'96 see \\{linkID=" +
         QByteArray::number(1000 + i) +
         "\\} for d\\'e9tails. Use \\f1 Caption := 'Ok';\\f0  in code, and \\i "
         "read\\i0  it back. \\cf2 Note:\\cf0  the text may hold \\u1046? and \\'80.\\par\r\n";
    if (i % 4 == 3)
        p += "\\pard ";
    return p;
}

QByteArray Document(qsizetype bytes)
{
    QByteArray rtf = Header();
    for (int i = 0; rtf.size() < bytes; ++i)
        rtf += Paragraph(i);
    rtf += "}";
    return rtf;
}

QByteArray g_topic;
QByteArray g_large;

void BM_ReadTopicAndPlainText(benchmark::State &state)
{
    for (auto _ : state) {
        TRichTextBuffer buffer;
        buffer.LoadRtf(QByteArrayView(g_topic));
        benchmark::DoNotOptimize(buffer.Text());
    }
    state.SetBytesProcessed(state.iterations() * g_topic.size());
}

void BM_ReadLargeDocument(benchmark::State &state)
{
    TRichTextBuffer buffer;
    for (auto _ : state) {
        buffer.LoadRtf(QByteArrayView(g_large));
        benchmark::DoNotOptimize(buffer.Length());
    }
    state.SetBytesProcessed(state.iterations() * g_large.size());
}

void BM_WriteLargeDocument(benchmark::State &state)
{
    TRichTextBuffer buffer;
    buffer.LoadRtf(QByteArrayView(g_large));
    for (auto _ : state) {
        const QByteArray rtf = buffer.Rtf();
        benchmark::DoNotOptimize(rtf.size());
    }
    state.SetBytesProcessed(state.iterations() * g_large.size());
}

BENCHMARK(BM_ReadTopicAndPlainText)->Unit(benchmark::kMicrosecond)->Repetitions(5);
BENCHMARK(BM_ReadLargeDocument)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(5);
BENCHMARK(BM_WriteLargeDocument)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(5);

} // namespace

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    g_topic = Document(3 * 1024);
    g_large = Document(1024 * 1024);
    std::printf("Topic: %lld bytes; large document: %lld bytes\n", static_cast<long long>(g_topic.size()),
                static_cast<long long>(g_large.size()));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
