// How many arrivals a list reduced to a budget pays, on full fields of 8 to
// 20 horses for the three bonuses, printed as a table: against b * C(k, t)
// (no b lines pay more), against the greedy choice, and on fields of up to
// 12 horses against the best list an integer program found offline
// (reduce/tools/BudgetOptimum.cpp with CBC, the bound it proved beside it).
// Three budgets a cell: half the shipped packing, all of it, and halfway
// from it to the full guarantee. Run by hand:
//
//   budget_bench [seconds per search, 2 by default] [most horses, 20 by default]

#include "bench/FullField.h"
#include "reduce/Budget.h"
#include "reduce/PackingTable.h"
#include "reduce/Problem.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace torvanel;
using namespace torvanel::reduce;
using torvanel::bench::FullField;

// What budget_optimum printed for the cells above a packing on up to 12
// horses: the best list CBC 2.10 found (0: none) and the bound it proved,
// equal where it proved the optimum. The cells on 9 horses and the two
// marked below ran 900 s of processor time with line 0 fixed (the full
// field's symmetry); the others ran 240 s (the first four) or 90 s before
// that constraint was written.
struct Offline {
    int horses;
    Payout payout;
    std::uint64_t budget;
    std::uint64_t best;
    std::uint64_t bound;
};
constexpr Offline kOffline[] = {
    {8, Payout::QuinteBonus4, 14, 59, 59},    {9, Payout::QuinteBonus4, 24, 110, 110},
    {10, Payout::QuinteBonus4, 43, 189, 207}, {12, Payout::QuinteBonus4, 96, 436, 480},
    {8, Payout::QuinteBonus3, 5, 43, 43},     {9, Payout::QuinteBonus3, 7, 62, 62},
    {10, Payout::QuinteBonus3, 11, 96, 107},  // 900 s, line 0 fixed
    {11, Payout::QuinteBonus3, 15, 120, 150},
    {12, Payout::QuinteBonus3, 20, 0, 200},   {9, Payout::QuarteBonus, 21, 77, 77},
    {11, Payout::QuarteBonus, 41, 154, 162},  // 900 s, line 0 fixed
    {12, Payout::QuarteBonus, 54, 208, 216},
};

std::optional<Offline> OfflineOf(int horses, Payout payout, std::uint64_t budget) {
    for (const Offline& o : kOffline)
        if (o.horses == horses && o.payout == payout && o.budget == budget) return o;
    return std::nullopt;
}

std::string Percent(std::uint64_t part, std::uint64_t whole) {
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", whole == 0 ? 0.0 : 100.0 * static_cast<double>(part) / static_cast<double>(whole));
    return text;
}

void Row(int horses, Payout payout, std::uint64_t budget, const char* where, double seconds) {
    const ResultList list = FullField(horses, RuleOf(payout).lineSize);
    const BuiltProblem built = BuildProblem(list, RuleOf(payout));
    const CoverInstance& instance = *built.problem.instance;
    const std::uint64_t perLine = instance.eventsOf(0).size();
    const std::uint64_t greedy = CountCovered(instance, GreedyCoverage(instance, budget));
    BudgetOptions options;
    options.timeLimit = std::chrono::milliseconds(static_cast<long>(seconds * 1000));
    const BudgetReduction reduced = ReduceToBudget(list, payout, budget, options);
    const auto offline = OfflineOf(horses, payout, budget);
    std::string versus = "";
    if (offline && offline->best == 0)
        versus = "none (<= " + std::to_string(offline->bound) + ")";
    else if (offline)
        versus = std::to_string(offline->best) + " (<= " + std::to_string(offline->bound) + ")  " +
                 Percent(reduced.covered, offline->best) + " %";
    std::printf("%-8s %3d  %-6s %5llu %7llu %7llu %6s %7llu %6s  %s\n", std::string(bets::ClassOf(payout).name).c_str(),
                horses, where, static_cast<unsigned long long>(budget), static_cast<unsigned long long>(reduced.covered),
                static_cast<unsigned long long>(budget * perLine), Percent(reduced.covered, budget * perLine).c_str(),
                static_cast<unsigned long long>(greedy), Percent(reduced.covered, greedy).c_str(), versus.c_str());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::stod(argv[1]) : 2.0;
    const int mostHorses = argc > 2 ? std::stoi(argv[2]) : 20;
    std::printf("%-8s %3s  %-6s %5s %7s %7s %6s %7s %6s  %s\n", "payout", "v", "budget", "b", "reached", "b*C(k,t)",
                "%", "greedy", "%", "offline optimum (bound)  reached/optimum");
    for (Payout payout : {Payout::QuinteBonus4, Payout::QuinteBonus3, Payout::QuarteBonus}) {
        const PayoutRule rule = RuleOf(payout);
        for (int horses = 8; horses <= mostHorses; ++horses) {
            const std::uint64_t packing = TablePacking(horses, rule.lineSize, rule.eventSize).size();
            const std::uint64_t full = Reduce(FullField(horses, rule.lineSize), payout).kept.size();
            Row(horses, payout, std::max<std::uint64_t>(1, packing / 2), "half", seconds);
            Row(horses, payout, packing, "pack", seconds);
            if (full > packing + 1) Row(horses, payout, packing + (full - packing) / 2, "above", seconds);
        }
    }
    return 0;
}
