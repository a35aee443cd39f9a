// Speed of a merge, of walking its lines, and of the line-by-line way of
// building every line as a string, measured in one run.

#include "generators/Numbers.h"
#include "merge/MergeEngine.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

using namespace torvanel;

namespace {

class SilentSink : public MessageSink {
public:
    void showMessage(const std::string&) override {}
};

StarterList SelectedField(int from, int to) {
    StarterList list;
    for (int n = from; n <= to; ++n) list.push_back({std::to_string(n), true});
    return list;
}

// Bytes the result list holds beyond the engine itself: its blocks and their
// horse numbers, whatever the number of lines they describe.
double HeldBytes(const ResultList& result) {
    std::size_t bytes = 0;
    for (const ResultBlock& block : result.blocks())
        bytes += sizeof block + (block.bases.size() + block.outs.size()) * sizeof(HorseNumber);
    return static_cast<double>(bytes);
}

MergeChoices Quinte(int fusionMode) {
    MergeChoices choices;
    choices.betType = BetType::Quinte;
    choices.fusionMode = static_cast<FusionType>(fusionMode);
    choices.split[5] = true;  // 3 bases + 2 outs
    choices.stake = "2";
    return choices;
}

// Quinté "3 bases + 2 outs", 15 bases and 15 outsiders: 455 x 105 lines.
struct FifteenByFifteen {
    StarterList bases = SelectedField(1, 15);
    StarterList outs = SelectedField(16, 30);
    MergeChoices choices = Quinte(3);
};

void BM_Merge_Quinte3B2O_15x15(benchmark::State& state) {
    const FifteenByFifteen setup;
    MergeEngine engine;
    SilentSink sink;
    for (auto _ : state) {
        benchmark::DoNotOptimize(engine.cmdFusionner_Click(setup.bases, setup.outs, setup.choices, sink));
    }
    state.counters["lines"] = static_cast<double>(engine.result().count());
    state.counters["held_bytes"] = HeldBytes(engine.result());
}
BENCHMARK(BM_Merge_Quinte3B2O_15x15);

void BM_Merge_QuinteBasesOnly_100(benchmark::State& state) {
    const StarterList bases = SelectedField(1, 100);
    const MergeChoices choices = Quinte(0);
    MergeEngine engine;
    SilentSink sink;
    for (auto _ : state) {
        benchmark::DoNotOptimize(engine.cmdFusionner_Click(bases, {}, choices, sink));
    }
    state.counters["lines"] = static_cast<double>(engine.result().count());
    state.counters["held_bytes"] = HeldBytes(engine.result());
}
BENCHMARK(BM_Merge_QuinteBasesOnly_100);

// Every line's text in order, as printing and copying read them.
void BM_WalkAllLines_Quinte3B2O_15x15(benchmark::State& state) {
    const FifteenByFifteen setup;
    MergeEngine engine;
    SilentSink sink;
    engine.cmdFusionner_Click(setup.bases, setup.outs, setup.choices, sink);
    for (auto _ : state) {
        std::size_t characters = 0;
        engine.result().forEachLine([&characters](std::string_view line) {
            characters += line.size();
            return true;
        });
        benchmark::DoNotOptimize(characters);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(engine.result().count()));
}
BENCHMARK(BM_WalkAllLines_Quinte3B2O_15x15);

// A page of the list view: 40 lines from the middle of 75,287,520.
void BM_LineAtPage_QuinteBasesOnly_100(benchmark::State& state) {
    MergeEngine engine;
    SilentSink sink;
    engine.cmdFusionner_Click(SelectedField(1, 100), {}, Quinte(0), sink);
    const std::uint64_t middle = engine.result().count() / 2;
    for (auto _ : state) {
        for (std::uint64_t row = middle; row < middle + 40; ++row)
            benchmark::DoNotOptimize(engine.result().lineAt(row));
    }
    state.SetItemsProcessed(state.iterations() * 40);
}
BENCHMARK(BM_LineAtPage_QuinteBasesOnly_100);

// The line-by-line port: load the selections, then five nested loops, each
// line built as its own string and kept in a vector.
void BM_Baseline_VectorOfStrings_Quinte3B2O_15x15(benchmark::State& state) {
    const FifteenByFifteen setup;
    for (auto _ : state) {
        std::vector<HorseNumber> base, out;
        for (const StarterEntry& e : setup.bases)
            if (e.selected) base.push_back(static_cast<HorseNumber>(RoundHalfEven(ReadNumber(e.text))));
        for (const StarterEntry& e : setup.outs)
            if (e.selected) out.push_back(static_cast<HorseNumber>(RoundHalfEven(ReadNumber(e.text))));
        const std::size_t nb = base.size(), no = out.size();
        std::vector<std::string> lines;
        for (std::size_t i1 = 0; i1 + 2 < nb; ++i1)
            for (std::size_t i2 = i1 + 1; i2 + 1 < nb; ++i2)
                for (std::size_t i3 = i2 + 1; i3 < nb; ++i3)
                    for (std::size_t k1 = 0; k1 + 1 < no; ++k1)
                        for (std::size_t k2 = k1 + 1; k2 < no; ++k2)
                            lines.push_back(FormatHorseNumber(base[i1]) + "-" + FormatHorseNumber(base[i2]) +
                                            "-" + FormatHorseNumber(base[i3]) + "-" +
                                            FormatHorseNumber(out[k1]) + "-" + FormatHorseNumber(out[k2]));
        benchmark::DoNotOptimize(lines.data());
        state.counters["lines"] = static_cast<double>(lines.size());
    }
    state.SetItemsProcessed(state.iterations() * 47775);
}
BENCHMARK(BM_Baseline_VectorOfStrings_Quinte3B2O_15x15)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
