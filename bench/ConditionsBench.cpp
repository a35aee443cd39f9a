// Filtering a list by every kind of condition at once: the fast path on every
// core, the general path (on the fused list), and a naive way (each line
// written as text, split and tested) on the same list, in one run, with the
// ratio of each to the naive one. The naive way walks the first kSliceLines
// lines only. Rates are given per second of the wall clock and per second of
// CPU time of all threads, which is what the machine does when nothing else
// runs on it.
//
//   conditions_bench                                   every list
//   conditions_bench --benchmark_filter=Big            the 2 118 000 528-line list

#include "generators/Generators.h"
#include "ticket/Conditions.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <charconv>
#include <ctime>
#include <cstdio>
#include <map>
#include <string>
#include <thread>
#include <vector>

using namespace torvanel;
using namespace torvanel::conditions;

namespace {

constexpr std::uint64_t kSliceLines = 20'000'000;

// Quinté lines of one group of horses 1 to `horses`, or of bases and outsiders.
ResultList SingleGroup(int horses) {
    std::vector<HorseNumber> group;
    for (int h = 1; h <= horses; ++h) group.push_back(static_cast<HorseNumber>(h));
    ResultList list;
    AppendCombinations(list, group, 5);
    return list;
}

ResultList ThreeBasesTwoOuts(int bases, int outs) {
    std::vector<HorseNumber> b, o;
    for (int h = 1; h <= bases; ++h) b.push_back(static_cast<HorseNumber>(h));
    for (int h = bases + 1; h <= bases + outs; ++h) o.push_back(static_cast<HorseNumber>(h));
    ResultList list;
    AppendFusion(list, Fuse3B2O, b, o);
    return list;
}

// Every kind at once, for horses 1 to `horses`.
Conditions EveryKind(int horses) {
    Conditions c;
    c.groups.push_back({"Favoris", {1, 2, 3}, {1, 3}});
    c.groups.push_back({"Écurie", {4, 5, 6, 7, 8, 9, 10}, {0, 2}});
    c.forbidden = {{3, 7}, {11, 12, 13}};
    c.longestRun = 2;
    c.sum = Range{5 * horses / 4, 5 * horses * 3 / 4};
    c.even = Range{1, 4};
    c.smallLimit = horses / 2;
    c.small = Range{1, 4};
    return c;
}

struct Subject {
    const char* name;
    ResultList list;
    Conditions conditions;
};

Subject& SubjectOf(const std::string& name) {
    static std::map<std::string, Subject> subjects;
    auto found = subjects.find(name);
    if (found != subjects.end()) return found->second;
    if (name == "Fused") return subjects[name] = {"Fused", ThreeBasesTwoOuts(60, 60), EveryKind(120)};
    if (name == "Quinte116") return subjects[name] = {"Quinte116", SingleGroup(116), EveryKind(116)};
    return subjects[name] = {"Big", SingleGroup(193), EveryKind(193)};
}

// The naive way: split the text, read the numbers, test each condition.
bool NaiveKeeps(const Conditions& c, std::string_view text) {
    std::vector<int> line;
    std::size_t at = 0;
    while (at <= text.size()) {
        const std::size_t dash = std::min(text.find('-', at), text.size());
        int number = 0;
        std::from_chars(text.data() + at, text.data() + dash, number);
        line.push_back(number);
        at = dash + 1;
    }
    const auto in = [](const std::vector<HorseNumber>& set, int horse) {
        return std::find(set.begin(), set.end(), horse) != set.end();
    };
    for (const conditions::Group& group : c.groups) {
        std::int64_t count = 0;
        for (int horse : line) count += in(group.horses, horse);
        if (!group.count.holds(count)) return false;
    }
    for (const auto& association : c.forbidden)
        if (std::all_of(association.begin(), association.end(), [&](HorseNumber h) {
                return std::find(line.begin(), line.end(), h) != line.end();
            }))
            return false;
    std::vector<int> sorted = line;
    std::sort(sorted.begin(), sorted.end());
    int run = 1, longest = 1;
    for (std::size_t i = 1; i < sorted.size(); ++i) {
        run = sorted[i] == sorted[i - 1] + 1 ? run + 1 : sorted[i] == sorted[i - 1] ? run : 1;
        longest = std::max(longest, run);
    }
    std::int64_t sum = 0, even = 0, small = 0;
    for (int horse : line) {
        sum += horse;
        even += horse % 2 == 0;
        small += horse <= c.smallLimit;
    }
    return longest <= *c.longestRun && c.sum->holds(sum) && c.even->holds(even) && c.small->holds(small);
}

// CPU time of the whole process (every thread), in seconds.
double ProcessSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Lines per second of the clock on the wall, and per second of CPU time of
// all threads (what each core does when the machine runs nothing else).
void Report(benchmark::State& state, std::uint64_t lines, std::uint64_t kept, double cpuSeconds) {
    state.counters["lines"] = static_cast<double>(lines);
    state.counters["kept"] = static_cast<double>(kept);
    state.counters["lines_per_s"] =
        benchmark::Counter(static_cast<double>(lines), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["per_core_s"] =
        static_cast<double>(lines) * static_cast<double>(state.iterations()) / cpuSeconds;
}

// The console's report, then how many times faster than the naive way the
// fast and general paths walk each list.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            rates_[run.benchmark_name()] = {run.counters.at("lines_per_s").value, run.counters.at("per_core_s").value};
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
        for (const auto& [name, rate] : rates_) {
            const std::size_t slash = name.find('/');
            const std::string list = name.substr(slash + 1, name.find('/', slash + 1) - slash - 1);
            const auto naive = std::find_if(rates_.begin(), rates_.end(), [&](const auto& entry) {
                return entry.first.rfind("Naive/" + list, 0) == 0;
            });
            if (naive == rates_.end() || name.rfind("Naive/", 0) == 0) continue;
            std::printf("%s: %.1f M lines/s on the wall clock (%.0f times the naive way's %.1f M/s); "
                        "%.1f M lines per core-second, %u cores: %.1f M lines/s (%.0f times the naive way's "
                        "%.1f M per core-second)\n",
                        name.c_str(), rate.wall / 1e6, rate.wall / naive->second.wall, naive->second.wall / 1e6,
                        rate.perCore / 1e6, cores, rate.perCore * cores / 1e6, rate.perCore / naive->second.perCore,
                        naive->second.perCore / 1e6);
        }
    }

private:
    struct Rate {
        double wall;
        double perCore;
    };
    std::map<std::string, Rate> rates_;
};

void Fast(benchmark::State& state, const std::string& name) {
    const Subject& subject = SubjectOf(name);
    const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    std::uint64_t kept = 0;
    const double cpu = ProcessSeconds();
    for (auto _ : state) {
        (void)_;
        kept = Filter(subject.list, subject.conditions, {.threads = threads})->count();
    }
    Report(state, subject.list.count(), kept, ProcessSeconds() - cpu);
}

void General(benchmark::State& state, const std::string& name) {
    const Subject& subject = SubjectOf(name);
    std::uint64_t kept = 0;
    const double cpu = ProcessSeconds();
    for (auto _ : state) {
        (void)_;
        kept = Count(subject.list, subject.conditions, {.threads = 1, .generalOnly = true})->kept;
    }
    Report(state, subject.list.count(), kept, ProcessSeconds() - cpu);
}

void Naive(benchmark::State& state, const std::string& name) {
    const Subject& subject = SubjectOf(name);
    const std::uint64_t lines = std::min(kSliceLines, subject.list.count());
    std::uint64_t kept = 0;
    const double cpu = ProcessSeconds();
    for (auto _ : state) {
        (void)_;
        kept = 0;
        std::uint64_t seen = 0;
        subject.list.forEachLine([&](std::string_view text) {
            kept += NaiveKeeps(subject.conditions, text);
            return ++seen < lines;
        });
    }
    Report(state, lines, kept, ProcessSeconds() - cpu);
}

}  // namespace

int main(int argc, char** argv) {
    for (const char* name : {"Fused", "Quinte116", "Big"}) {
        benchmark::RegisterBenchmark((std::string("Fast/") + name).c_str(), Fast, std::string(name))
            ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(name == std::string("Big") ? 1 : 3);
        if (name == std::string("Fused"))
            benchmark::RegisterBenchmark((std::string("General/") + name).c_str(), General, std::string(name))
                ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
        benchmark::RegisterBenchmark((std::string("Naive/") + name).c_str(), Naive, std::string(name))
            ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
