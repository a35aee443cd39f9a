// Reductions of full fields: every cell of the shipped table against its
// record (look-up, relabelling and exhaustive check), the exhaustive check
// alone on 20 horses, and the search alone in 2 s on three cells.

#include "generators/Generators.h"
#include "reduce/DesignTable.h"
#include "reduce/Reduce.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <tuple>

using namespace torvanel;
using namespace torvanel::reduce;

namespace {

ResultList FullField(int horses, int size) {
    std::vector<HorseNumber> field;
    for (int h = 1; h <= horses; ++h) field.push_back(static_cast<HorseNumber>(h));
    ResultList list;
    AppendCombinations(list, field, size);
    return list;
}

Payout PayoutOf(int k, int t) {
    if (k == 4) return Payout::QuarteBonus;
    return t == 4 ? Payout::QuinteBonus4 : Payout::QuinteBonus3;
}

void Counters(benchmark::State& state, const Reduction& reduction, int v, int k, int t) {
    state.counters["size"] = static_cast<double>(reduction.kept.size());
    state.counters["best"] = BestKnown(v, k, t)->size;
    state.counters["table"] = static_cast<double>(TableDesign(v, k, t).size());
    state.counters["checked"] = reduction.guaranteed ? 1 : 0;
}

void LookUp(benchmark::State& state, int v, int k, int t) {
    const ResultList list = FullField(v, k);
    Reduction reduction;
    for (auto _ : state) {
        (void)_;
        benchmark::DoNotOptimize(reduction = Reduce(list, PayoutOf(k, t)));
    }
    Counters(state, reduction, v, k, t);
}

void CheckOnly(benchmark::State& state) {
    const ResultList list = FullField(20, 5);
    const Reduction reduction = Reduce(list, Payout::QuinteBonus4);
    for (auto _ : state) {
        (void)_;
        benchmark::DoNotOptimize(CheckGuarantee(list, Payout::QuinteBonus4, reduction.kept));
    }
}

void SearchAlone(benchmark::State& state, int v, int k, int t) {
    const ResultList list = FullField(v, k);
    ReduceOptions options;
    options.useTable = false;
    options.seed = static_cast<std::uint64_t>(state.range(0));
    Reduction reduction;
    for (auto _ : state) {
        (void)_;
        reduction = Reduce(list, PayoutOf(k, t), options);
    }
    Counters(state, reduction, v, k, t);
}

// The search is random: a few seeds show its spread.
constexpr int kSearchSeeds = 3;

// The (4,2) and (3,2) columns need lines with bases, which the tests cover;
// here the three columns a full field reads directly.
const int kRegistered = [] {
    for (const Cell& cell : kTableCells) {
        if (cell.t == 2) continue;
        for (int v = kTableMinPoints; v <= kTableMaxPoints; ++v)
            benchmark::RegisterBenchmark(("LookUp/C(" + std::to_string(v) + "," + std::to_string(cell.k) + "," +
                                          std::to_string(cell.t) + ")").c_str(),
                                         LookUp, v, cell.k, cell.t)
                ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("CheckOnly/C(20,5,4)", CheckOnly)->Unit(benchmark::kMillisecond);
    for (const auto& [v, k, t] : {std::tuple{16, 5, 4}, std::tuple{20, 5, 3}, std::tuple{20, 5, 4}})
        benchmark::RegisterBenchmark(("SearchAlone2s/C(" + std::to_string(v) + "," + std::to_string(k) + "," +
                                      std::to_string(t) + ")").c_str(),
                                     SearchAlone, v, k, t)
            ->Unit(benchmark::kMillisecond)->Iterations(1)->DenseRange(1, kSearchSeeds);
    return 0;
}();

}  // namespace

BENCHMARK_MAIN();
