// Speed of an arrival checked against the list and of a list's coverage.
// Each check runs twice in the same run: counted on the blocks (or walked, on
// a stage) and line by line as a baseline; the table at the end gives the
// ratio. The coverage runs report the sequences of horses they read a
// second, from which the ten-second limit of CoverageRefusal() is set.

#include "generators/Generators.h"
#include "ticket/Arrival.h"
#include "ticket/Coverage.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace torvanel;
using bets::Horse;

namespace {

std::vector<HorseNumber> Field(int from, int to)
{
    std::vector<HorseNumber> horses;
    for (int h = from; h <= to; ++h) horses.push_back(HorseNumber(h));
    return horses;
}

// The lists checked, each with an arrival that pays some of its lines.
struct Case {
    const char* name;
    BetType bet;
    std::shared_ptr<const ResultList> list;
    std::vector<Horse> arrival;
};

std::shared_ptr<const ResultList> SingleGroup(int horses, int size)
{
    auto list = std::make_shared<ResultList>();
    AppendCombinations(*list, Field(1, horses), size);
    return list;
}

std::shared_ptr<const ResultList> Fusion(int bases, int baseTake, int outs, int outTake)
{
    auto list = std::make_shared<ResultList>();
    list->append({Field(1, bases), baseTake, Field(bases + 1, bases + outs), outTake, 0});
    return list;
}

const std::vector<Case>& Cases()
{
    static const std::vector<Case> cases = {
        {"Quinte_20_horses_15504", BetType::Quinte, SingleGroup(20, 5), {3, 7, 12, 1, 18}},
        {"Quinte_3B2O_40x60_17M", BetType::Quinte, Fusion(40, 3, 60, 2), {3, 7, 45, 12, 50}},
        {"Quinte_95_horses_57M", BetType::Quinte, SingleGroup(95, 5), {3, 7, 12, 1, 18}},
        {"Couple_65535_horses_2147M", BetType::Couple, SingleGroup(65535, 2), {3, 700, 12}},
    };
    return cases;
}

void BM_Check_Blocks(benchmark::State& state, const Case& c)
{
    const ShownLines lines(c.list, nullptr);
    for (auto _ : state) benchmark::DoNotOptimize(CheckArrival(lines, c.bet, c.arrival));
    state.counters["lines"] = double(lines.count());
}

void BM_Check_LineByLine(benchmark::State& state, const Case& c)
{
    const ShownLines lines(c.list, nullptr);
    for (auto _ : state) benchmark::DoNotOptimize(CheckByWalk(lines, c.bet, c.arrival));
    state.counters["lines"] = double(lines.count());
}

// A stage keeping every third line of the 57-million-line Quinté.
ShownLines Stage()
{
    const Case& c = Cases()[2];
    std::vector<std::uint64_t> words((c.list->count() + 63) / 64, 0);
    for (std::uint64_t i = 0; i < c.list->count(); i += 3) words[i / 64] |= std::uint64_t{1} << (i % 64);
    return ShownLines(c.list, std::make_shared<const LineSelection>(LineSelection::FromBits(words, c.list->count())));
}

void BM_CheckStage_Walk(benchmark::State& state)
{
    const ShownLines stage = Stage();
    for (auto _ : state) benchmark::DoNotOptimize(CheckArrival(stage, BetType::Quinte, Cases()[2].arrival));
    state.counters["lines"] = double(stage.count());
}

// The naive baseline of a stage: each kept line found by its rank and read.
void BM_CheckStage_LineByLine(benchmark::State& state)
{
    const ShownLines stage = Stage();
    const auto& rules = bets::RuleOf(BetType::Quinte);
    for (auto _ : state) {
        std::vector<std::uint64_t> counts(rules.classes.size(), 0);
        for (std::uint64_t i = 0; i < stage.count(); ++i)
            if (const auto* best = bets::BestClass(BetType::Quinte, stage.horsesAt(i).view(), Cases()[2].arrival))
                ++counts[std::size_t(best - rules.classes.data())];
        benchmark::DoNotOptimize(counts);
    }
    state.counters["lines"] = double(stage.count());
}

void BM_PaidLines(benchmark::State& state, const Case& c)
{
    const ShownLines lines(c.list, nullptr);
    for (auto _ : state) benchmark::DoNotOptimize(PaidLines(lines, c.bet, c.arrival));
    state.counters["lines"] = double(lines.count());
}

// ---- Coverage -------------------------------------------------------------
void BM_Cover(benchmark::State& state, BetType bet, int horses)
{
    const ShownLines lines(SingleGroup(horses, bets::RuleOf(bet).lineSize), nullptr);
    for (auto _ : state) benchmark::DoNotOptimize(Cover(lines, bet));
    state.counters["lines"] = double(lines.count());
    state.counters["refused"] = CoverageRefusal(lines, bet).empty() ? 0 : 1;
    state.counters["sequences/s"] = benchmark::Counter(CoverageWork(lines, bet), benchmark::Counter::kIsIterationInvariantRate);
}

// Collects each run's time, and prints the baseline over the fast way.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            const std::string name = run.benchmark_name();
            seconds_[name.substr(0, name.find("/iterations:"))] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\n%-44s %12s %14s %10s\n", "check (ms)", "fast", "line by line", "ratio");
        for (const auto& [name, fast] : seconds_) {
            const std::string pair = Baseline(name);
            if (pair.empty() || !seconds_.count(pair)) continue;
            std::printf("%-44s %12.3f %14.1f %10.0f\n", name.c_str(), fast, seconds_[pair], seconds_[pair] / fast);
        }
    }

private:
    static std::string Baseline(const std::string& name)
    {
        for (const char* fast : {"Blocks", "Walk"})
            if (const auto at = name.find(fast); at != std::string::npos)
                return name.substr(0, at) + "LineByLine" + name.substr(at + std::string(fast).size());
        return {};
    }
    std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv)
{
    for (const Case& c : Cases()) {
        benchmark::RegisterBenchmark((std::string("Check_Blocks/") + c.name).c_str(), BM_Check_Blocks, c)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("Check_LineByLine/") + c.name).c_str(), BM_Check_LineByLine, c)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);
        benchmark::RegisterBenchmark((std::string("PaidLines/") + c.name).c_str(), BM_PaidLines, c)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);
    }
    benchmark::RegisterBenchmark("CheckStage_Walk/Quinte_95_every_third", BM_CheckStage_Walk)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
    benchmark::RegisterBenchmark("CheckStage_LineByLine/Quinte_95_every_third", BM_CheckStage_LineByLine)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
    const struct {
        const char* name;
        BetType bet;
        std::vector<int> horses;
    } covered[] = {{"Couple", BetType::Couple, {20, 60}},   {"DeuxSurQuatre", BetType::DeuxSurQuatre, {20, 40, 62}},
                   {"Tierce", BetType::Tierce, {20, 40}},   {"Quarte", BetType::Quarte, {20, 30}},
                   {"Quinte", BetType::Quinte, {16, 20, 28, 32}}};  // 62 and 32: the largest below the limit
    for (const auto& c : covered)
        for (int horses : c.horses)
            benchmark::RegisterBenchmark((std::string("Cover/") + c.name + "/" + std::to_string(horses)).c_str(),
                                         BM_Cover, c.bet, horses)
                ->Unit(benchmark::kMillisecond)
                ->Iterations(1);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
}
