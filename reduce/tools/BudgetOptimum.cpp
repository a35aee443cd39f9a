// The most arrivals b lines of a full field can pay, for the small cells the
// budget bench compares with: the max-coverage integer program
//   maximise sum y_e  with  y_e <= sum of x_c over the lines c paying e,
//   sum x_c <= b,  x_0 = 1 (a full field's symmetry),  x and y in {0, 1}
// written in LP format and solved by CBC (Debian's coinor-cbc), which must
// be installed; offline only, never run by the build.
//
//   budget_optimum <horses> <bonus4|bonus3|bonus|2sur4|place> <b> [seconds]
//
// prints "horses payout b best bound": the best list CBC found and the bound
// it proved (equal when the optimum is proven).

#include "generators/Generators.h"
#include "reduce/Problem.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <regex>
#include <sstream>
#include <string>

namespace {

using namespace torvanel;
using namespace torvanel::reduce;

std::optional<Payout> PayoutOf(const std::string& key) {
    for (Payout payout : {Payout::QuinteBonus4, Payout::QuinteBonus3, Payout::QuarteBonus, Payout::DeuxSurQuatre,
                          Payout::CouplePlace})
        if (bets::ClassOf(payout).key == key) return payout;
    return std::nullopt;
}

void WriteProgram(const CoverInstance& instance, int budget, const std::string& path) {
    std::ofstream lp(path);
    lp << "Maximize\n paid:";
    for (std::uint32_t e = 0; e < instance.eventCount(); ++e) lp << " + y" << e << (e % 16 == 15 ? "\n" : "");
    lp << "\nSubject To\n";
    for (std::uint32_t e = 0; e < instance.eventCount(); ++e) {
        lp << " p" << e << ": y" << e;
        for (std::uint32_t c : instance.candidatesOf(e)) lp << " - x" << c;
        lp << " <= 0\n";
    }
    lp << " lines:";
    for (std::uint32_t c = 0; c < instance.candidateCount(); ++c) lp << " + x" << c << (c % 16 == 15 ? "\n" : "");
    lp << " <= " << budget << "\n";
    // Any line of a full field is mapped onto any other by renumbering the
    // horses, which keeps what b lines pay: some best list holds line 0.
    lp << " first: x0 = 1\nBinary\n";
    for (std::uint32_t c = 0; c < instance.candidateCount(); ++c) lp << " x" << c << "\n";
    for (std::uint32_t e = 0; e < instance.eventCount(); ++e) lp << " y" << e << "\n";
    lp << "End\n";
}

// The first number after `label` in CBC's report.
std::optional<double> Reported(const std::string& report, const std::string& label) {
    std::smatch match;
    if (!std::regex_search(report, match, std::regex(label + R"(:?\s+(-?[0-9.]+))"))) return std::nullopt;
    return std::abs(std::stod(match[1]));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: budget_optimum <horses> <bonus4|bonus3|bonus|2sur4|place> <b> [seconds]\n");
        return 2;
    }
    const int horses = std::stoi(argv[1]);
    const auto payout = PayoutOf(argv[2]);
    const int budget = std::stoi(argv[3]);
    const std::string seconds = argc > 4 ? argv[4] : "600";
    if (!payout) return 2;
    ResultList list;
    const PayoutRule rule = RuleOf(*payout);
    std::vector<HorseNumber> field;
    for (int h = 1; h <= horses; ++h) field.push_back(static_cast<HorseNumber>(h));
    AppendCombinations(list, field, rule.lineSize);
    const BuiltProblem built = BuildProblem(list, rule);
    if (!built.refusal.empty()) return std::fprintf(stderr, "%s\n", built.refusal.c_str()), 1;
    const std::string path = "/tmp/budget_optimum_" + std::to_string(horses) + argv[2] + std::to_string(budget);
    WriteProgram(*built.problem.instance, budget, path + ".lp");
    const std::string command = "cbc " + path + ".lp sec " + seconds + " solve > " + path + ".out 2>&1";
    if (std::system(command.c_str()) != 0) return std::fprintf(stderr, "cbc failed: is coinor-cbc installed?\n"), 1;
    std::ifstream out(path + ".out");
    std::stringstream report;
    report << out.rdbuf();
    const auto best = Reported(report.str(), "Objective value");
    // CBC names the bound of a maximisation "Upper bound" (older releases: "Lower bound").
    auto bound = Reported(report.str(), "Upper bound");
    if (!bound) bound = Reported(report.str(), "Lower bound");
    if (report.str().find("Optimal solution found") != std::string::npos) bound = best;
    std::printf("%d %s %d %.0f %.0f\n", horses, argv[2], budget, best.value_or(-1), bound.value_or(-1));
    return 0;
}
