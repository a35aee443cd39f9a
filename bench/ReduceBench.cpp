// Reductions of full fields: every cell of the shipped table against its
// record (look-up, relabelling and exhaustive check), the exhaustive check
// alone on 20 horses, the search alone in 2 s on three cells, and how soon a
// stop is honoured on the longest full field a reduction takes.

#include "bench/FullField.h"
#include "reduce/DesignTable.h"
#include "reduce/Reduce.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <tuple>

using namespace torvanel;
using namespace torvanel::reduce;
using torvanel::bench::FullField;

namespace {

Payout PayoutOf(int k, int t) {
    if (k == 4) return Payout::QuarteBonus;
    return t == 4 ? Payout::QuinteBonus4 : Payout::QuinteBonus3;
}

void Counters(benchmark::State& state, const Reduction& reduction, int v, int k, int t) {
    state.counters["size"] = static_cast<double>(reduction.kept.size());
    state.counters["best"] = BestKnown(v, k, t)->size;
    state.counters["table"] = static_cast<double>(TableDesign(v, k, t).size());
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

// A stop asked `state.range(0)` ms after the start (the callback says
// "stop" from then on), on the 962 598 lines of a full field of 43 horses
// for the Bonus 3: "latency" is the time from that moment to the return,
// whatever phase the stop fell in (0 when the reduction ended before).
void StopLatency(benchmark::State& state) {
    static const ResultList list = FullField(43, 5);
    using Clock = std::chrono::steady_clock;
    const auto delay = std::chrono::milliseconds(state.range(0));
    for (auto _ : state) {
        (void)_;
        const Clock::time_point asked = Clock::now() + delay;
        bool stopped = false;
        ReduceOptions options;
        options.progress = [&](const ReduceProgress&) {
            stopped = stopped || Clock::now() >= asked;
            return !stopped;
        };
        const Reduction reduction = Reduce(list, Payout::QuinteBonus3, options);
        benchmark::DoNotOptimize(reduction.kept.data());
        const std::chrono::duration<double, std::milli> late = Clock::now() - asked;
        state.counters["latency_ms"] = std::max(0.0, late.count());
        state.counters["size"] = static_cast<double>(reduction.kept.size());
        state.counters["stopped"] = stopped ? 1 : 0;
    }
}

// The same reduction left to run: the longest time without a progress call
// (from the start to the first, between two, from the last to the return)
// bounds how late a stop can be seen in any phase.
void ProgressGaps(benchmark::State& state) {
    static const ResultList list = FullField(43, 5);
    using Clock = std::chrono::steady_clock;
    for (auto _ : state) {
        (void)_;
        Clock::time_point last = Clock::now();
        Clock::duration longest{};
        double calls = 0;
        ReduceOptions options;
        options.progress = [&](const ReduceProgress&) {
            longest = std::max(longest, Clock::now() - last);
            last = Clock::now();
            return ++calls > 0;
        };
        const Reduction reduction = Reduce(list, Payout::QuinteBonus3, options);
        longest = std::max(longest, Clock::now() - last);
        state.counters["longest_gap_ms"] = std::chrono::duration<double, std::milli>(longest).count();
        state.counters["calls"] = calls;
        state.counters["size"] = static_cast<double>(reduction.kept.size());
    }
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
    benchmark::RegisterBenchmark("StopLatency/C(43,5,3)", StopLatency)
        ->Unit(benchmark::kMillisecond)->Iterations(1)->DenseRange(0, 2250, 250);
    benchmark::RegisterBenchmark("ProgressGaps/C(43,5,3)", ProgressGaps)->Unit(benchmark::kMillisecond)->Iterations(1);
    return 0;
}();

}  // namespace

BENCHMARK_MAIN();
