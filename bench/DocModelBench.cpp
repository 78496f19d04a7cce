// The document model at the size of a large project: adding and filling
// topics with automatic numbers, renumbering every topic, cloning the whole
// document (as the undo stack does before each edit) and destroying it. Each
// runs at two sizes, so a cost that grows faster than the document shows as
// a ratio well above 4.

#include "quillmarkdoc/QuillmarkDoc.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// Topics numbered 0 .. n-1 with a title, keywords and a short body, and one
// contents entry per topic that links to it by number, built the way the
// reader builds them: inside update brackets.
void Fill(TQuillmarkDoc &doc, int n)
{
    {
        TUpdateScope<TCollection> bracket(*doc.Topics());
        const QStringList body = {QStringLiteral("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Arial;}}"),
                                  QStringLiteral("\\pard\\f0\\fs20 Some text of the topic.\\par }")};
        for (int i = 0; i < n; ++i) {
            TQMTopic *topic = doc.Topics()->Add();
            topic->SetTitle(QStringLiteral("Topic %1").arg(i));
            topic->SetKeywords(QStringLiteral("keyword%1").arg(i % 100));
            topic->Text()->AssignStrings(body);
        }
    }
    TUpdateScope<TCollection> bracket(*doc.Contents());
    for (int i = 0; i < n; ++i) {
        TQMContentsItem *item = doc.Contents()->Add();
        item->SetLevel(1 + i % 3);
        item->SetTitle(QStringLiteral("Topic %1").arg(i));
        item->SetLink(QStringLiteral("Quill%1").arg(i));
    }
}

// Destroys the document with the clock stopped, for the benchmarks that
// do not measure the destruction.
void ResetUntimed(benchmark::State &state, std::unique_ptr<TQuillmarkDoc> &doc)
{
    state.PauseTiming();
    doc.reset();
    state.ResumeTiming();
}

// Each round hands work(doc, n) a document of n topics filled with the clock
// stopped, so only the work is timed. Whatever of the document the work
// leaves is destroyed untimed.
template<typename Work> void OnFreshDocuments(benchmark::State &state, Work &&work)
{
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = std::make_unique<TQuillmarkDoc>();
        Fill(*doc, n);
        state.ResumeTiming();
        work(doc, n);
        if (doc)
            ResetUntimed(state, doc);
    }
}

void BM_AddAndFill(benchmark::State &state)
{
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        auto doc = std::make_unique<TQuillmarkDoc>();
        Fill(*doc, n);
        benchmark::DoNotOptimize(doc->Topics()->Count());
        ResetUntimed(state, doc);
    }
}

// Every number doubled, from the last topic down, so the order holds and no
// topic moves: the cost is the setter's own.
void BM_RenumberAll(benchmark::State &state)
{
    OnFreshDocuments(state, [](std::unique_ptr<TQuillmarkDoc> &doc, int n) {
        {
            TUpdateScope<TCollection> bracket(*doc->Topics());
            for (int i = n - 1; i >= 0; --i) {
                TQMTopic *topic = doc->Topics()->Items(i);
                topic->SetTopicID(topic->TopicID() * 2);
            }
        }
        benchmark::DoNotOptimize(doc->Topics()->Items(n - 1)->TopicID());
    });
}

void BM_Clone(benchmark::State &state)
{
    const int n = static_cast<int>(state.range(0));
    TQuillmarkDoc doc;
    Fill(doc, n);
    for (auto _ : state) {
        std::unique_ptr<TQuillmarkDoc> clone = doc.Clone();
        benchmark::DoNotOptimize(clone->Contents()->Items(n - 1)->Topic());
        ResetUntimed(state, clone);
    }
}

void BM_Destroy(benchmark::State &state)
{
    OnFreshDocuments(state, [](std::unique_ptr<TQuillmarkDoc> &doc, int) { doc.reset(); });
}

} // namespace

BENCHMARK(BM_AddAndFill)->Arg(25000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenumberAll)->Arg(25000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Clone)->Arg(25000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Destroy)->Arg(25000)->Arg(100000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
