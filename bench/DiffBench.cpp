// Time of one character comparison on generated word-like texts: a text and
// a copy with a share of its characters edited, and two unrelated texts.

#include "diff/Diff.h"

#include <benchmark/benchmark.h>

#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

// Words drawn from a fixed vocabulary with a skewed frequency, separated by
// blanks, with now and then a comma, a full stop or a paragraph break: the
// repeated words give the search the chance matches real topic text has.
class TextGenerator
{
public:
    explicit TextGenerator(unsigned seed)
        : m_random(seed)
    {
        static const char16_t *const syllables[] = {u"ba", u"ker", u"lo", u"mi",  u"nor", u"pe",  u"qua",
                                                    u"ri", u"san", u"te", u"ul",  u"vo",  u"wen", u"xe",
                                                    u"yo", u"zu",  u"th", u"ing", u"ion", u"al",  u"er"};
        std::mt19937 vocabularyRandom(4711);
        for (int i = 0; i < 3000; ++i) {
            std::u16string word;
            const int count = 1 + int(vocabularyRandom() % 4);
            for (int s = 0; s < count; ++s)
                word += syllables[vocabularyRandom() % std::size(syllables)];
            m_words.push_back(std::move(word));
        }
    }

    std::u16string Text(std::size_t length)
    {
        std::u16string text;
        text.reserve(length + 32);
        // Squaring a uniform number favours the first words, as in prose.
        std::uniform_real_distribution<double> pick(0.0, 1.0);
        while (text.size() < length) {
            const double u = pick(m_random);
            text += m_words[std::size_t(u * u * double(m_words.size()))];
            const unsigned r = m_random() % 100;
            text += r < 6 ? u", " : r < 10 ? u". " : r < 11 ? u".\n" : u" ";
        }
        text.resize(length);
        return text;
    }

    // Replaces, inserts or deletes single characters at random places.
    std::u16string Edited(std::u16string text, std::size_t edits)
    {
        for (std::size_t i = 0; i < edits; ++i) {
            const std::size_t at = m_random() % (text.size() + 1);
            const char16_t c = char16_t(u'a' + m_random() % 26);
            switch (m_random() % 3) {
            case 0:
                text.insert(at, 1, c);
                break;
            case 1:
                if (at < text.size())
                    text.erase(at, 1);
                break;
            default:
                if (at < text.size())
                    text[at] = c;
                break;
            }
        }
        return text;
    }

private:
    std::mt19937 m_random;
    std::vector<std::u16string> m_words;
};

using Pair = std::pair<std::u16string, std::u16string>;

// Pairs are made once per shape, outside the timed loop.
const Pair &EditedPair(std::size_t length, std::size_t perMille)
{
    static std::map<std::pair<std::size_t, std::size_t>, Pair> cache;
    auto &pair = cache[{length, perMille}];
    if (pair.first.empty()) {
        TextGenerator generator(unsigned(length * 1000 + perMille));
        pair.first = generator.Text(length);
        pair.second = generator.Edited(pair.first, (length * perMille + 500) / 1000);
    }
    return pair;
}

void Run(benchmark::State &state, const Pair &pair)
{
    TDiff diff;
    for (auto _ : state) {
        diff.CompareChars(pair.first, pair.second);
        benchmark::DoNotOptimize(diff.EntryCount());
    }
    std::size_t changed = 0;
    for (const TDiffEntry &entry : diff.Entries())
        changed += entry.Kind != ekSame;
    state.counters["entries"] = double(diff.EntryCount());
    state.counters["not same"] = double(changed);
}

void BM_EditedText(benchmark::State &state)
{
    Run(state, EditedPair(std::size_t(state.range(0)), std::size_t(state.range(1))));
}

void BM_UnrelatedText(benchmark::State &state)
{
    static const Pair pair{TextGenerator(1).Text(std::size_t(state.range(0))),
                           TextGenerator(2).Text(std::size_t(state.range(0)))};
    Run(state, pair);
}

// The floor for nearly equal texts: trimming the common head and tail and
// writing one entry per character.
void BM_IdenticalText(benchmark::State &state)
{
    static const std::u16string text = TextGenerator(3).Text(std::size_t(state.range(0)));
    Run(state, Pair{text, text});
}

// Second argument: edited characters per thousand. A million characters with
// a tenth of them edited takes tens of seconds, so it runs once.
BENCHMARK(BM_EditedText)
    ->ArgsProduct({{1000, 10000, 100000}, {1, 10, 100}})
    ->Args({1000000, 1})
    ->Args({1000000, 10})
    ->ArgNames({"chars", "edits/1000"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditedText)
    ->Args({1000000, 100})
    ->ArgNames({"chars", "edits/1000"})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IdenticalText)->Arg(1000000)->ArgName("chars")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnrelatedText)->Arg(20000)->ArgName("chars")->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
