// Link renumbering over a large project (what Move Topics does after moving
// every topic) and pasting many topics into a document whose numbers collide
// with theirs, so every pasted topic is renumbered and its links rewritten;
// and scanning texts made of openings that are no links, which must stay
// linear in the length of the text.

#include "foundation/GHashTable.h"
#include "foundation/GStreams.h"
#include "quillmarkdoc/QMClipboard.h"
#include "quillmarkdoc/QMLinkMarkup.h"
#include "quillmarkdoc/QuillmarkDoc.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int Shift = 1000000;

// n topics numbered 1 .. n, each about 2.5 KB of RTF in 20 lines with one
// topic link per line.
void Fill(TQuillmarkDoc &doc, int n)
{
    TUpdateScope<TCollection> bracket(*doc.Topics());
    const QString filler = QStringLiteral("\\pard\\f0\\fs20 Some words of the topic body around a link ");
    for (int i = 1; i <= n; ++i) {
        TQMTopic *topic = doc.Topics()->Add();
        topic->SetTopicID(i);
        topic->SetTitle(QStringLiteral("Topic %1").arg(i));
        QStringList lines = {QStringLiteral("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Arial;}}")};
        for (int k = 0; k < 20; ++k) {
            const int target = 1 + (i * 7 + k * 131) % n;
            lines.append(filler +
                         QStringLiteral("\\{linkID=%1\\} and some more text after it.\\par").arg(target));
        }
        lines.append(QStringLiteral("}"));
        topic->Text()->AssignStrings(lines);
    }
}

void BM_RenumberAllLinks(benchmark::State &state)
{
    const int n = int(state.range(0));
    TQuillmarkDoc doc;
    Fill(doc, n);
    // Both directions in one map, so every run rewrites every link.
    TGHashIntTable map(2 * n, 0.75f);
    for (int i = 1; i <= n; ++i) {
        map.Put(i, i + Shift);
        map.Put(i + Shift, i);
    }
    for (auto _ : state)
        doc.RenumberAllLinks(map);
    state.SetItemsProcessed(state.iterations() * n * 20);
}
BENCHMARK(BM_RenumberAllLinks)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);

// Openings followed by a control word and words up to one closing at the end;
// or openings inside one long control word. Neither holds a link.
QString CraftedText(int openings, bool insideControlWord)
{
    QString text;
    for (int i = 0; i < openings; ++i)
        text += insideControlWord ? QStringLiteral("\\{\\x") : QStringLiteral("\\{\\b not a link ");
    return text + QStringLiteral("\\}");
}

void BM_ScanOpeningsWithoutLinks(benchmark::State &state)
{
    const QString text = CraftedText(int(state.range(0)), state.range(1) != 0);
    for (auto _ : state) {
        int position = 0;
        benchmark::DoNotOptimize(FindLink(text, LinkAnchor, position));
    }
    state.SetBytesProcessed(state.iterations() * text.size() * qsizetype(sizeof(QChar)));
}
BENCHMARK(BM_ScanOpeningsWithoutLinks)
    ->ArgsProduct({{2500, 10000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

void BM_PasteTopics(benchmark::State &state)
{
    const int n = int(state.range(0));
    TQMMemoryClipboard clipboard;
    TQMClipboard::Install(&clipboard);
    {
        TQuillmarkDoc source;
        Fill(source, n);
        for (int i = 0; i < n; ++i)
            source.Topics()->Items(i)->SetSelected(true);
        source.CopyTopicsToClipboard();
    }
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = std::make_unique<TQuillmarkDoc>();
        Fill(*doc, n);
        doc->SetTopicIndex(0);
        state.ResumeTiming();
        doc->PasteFromClipboard();
        benchmark::DoNotOptimize(doc->Topics()->Count());
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    TQMClipboard::Install(nullptr);
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_PasteTopics)->Arg(250)->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
