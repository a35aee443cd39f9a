// Looks for a covering design C(v, k, t) that a cyclic group leaves as it is:
// the first `cycles` x m points turn on `cycles` cycles of length m, the other
// points stay put. The search then picks whole orbits of blocks, a problem m
// times smaller, and the orbits are spread out and checked against every
// t-set at the end. Several cells of DesignTable.inc came from here, among
// them C(17,5,4) in 504 blocks and C(18,5,4) in 679 from two 7-cycles (with
// three and four fixed points): small cycles leave the search more freedom
// than one long cycle, whose orbits gave 527 and 697. From those starts,
// anneal_design then took them to 491 and 674.
//
//   orbit_designs <v> <k> <t> <m> <seconds> <target blocks> [seed] [cycles] [heat]
//
// prints "v k t block block ..." (points a, b, c, ...) on success.

#include "reduce/CoverSearch.h"
#include "reduce/DesignParts.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace torvanel::reduce;

bool coversEveryTSet(const std::set<Mask>& design, const std::vector<Mask>& tSets)
{
    for (Mask tSet : tSets) {
        bool inside = false;
        for (Mask block : design)
            inside = inside || (tSet & ~block) == 0;
        if (!inside)
            return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 7) {
        std::fputs("usage: orbit_designs <v> <k> <t> <m> <seconds> <target blocks> [seed] [cycles] [heat]\n", stderr);
        return 2;
    }
    const int v = std::stoi(argv[1]);
    const int k = std::stoi(argv[2]);
    const int t = std::stoi(argv[3]);
    const int m = std::stoi(argv[4]);
    const double seconds = std::stod(argv[5]);
    const auto target = static_cast<std::size_t>(std::stoul(argv[6]));
    const int cycles = argc > 8 ? std::stoi(argv[8]) : 1;
    const CyclicGroup group(v, m, cycles);  // throws, like the numbers above, on a bad argument

    const std::vector<Mask> tSets = SubsetsOf(v, t);
    std::map<Mask, std::uint32_t> eventOf;  // orbit representative -> event
    for (Mask tSet : tSets)
        eventOf.emplace(group.orbit(tSet).front(), static_cast<std::uint32_t>(eventOf.size()));

    // Candidates: the full orbits of k-sets, with the orbits of t-sets they hold.
    std::vector<Mask> representatives;
    std::vector<std::vector<std::uint32_t>> eventsOf;
    std::set<Mask> seen;
    for (Mask kSet : SubsetsOf(v, k)) {
        const std::vector<Mask> orbit = group.orbit(kSet);
        if (!seen.insert(orbit.front()).second || static_cast<int>(orbit.size()) != m)
            continue;
        std::set<std::uint32_t> events;
        for (Mask block : orbit)
            ForEachSubset(block, t, [&](Mask part) { events.insert(eventOf.at(group.orbit(part).front())); });
        representatives.push_back(orbit.front());
        eventsOf.emplace_back(events.begin(), events.end());
    }

    const CoverInstance instance(static_cast<std::uint32_t>(eventOf.size()), eventsOf);
    SearchOptions options;
    options.seed = argc > 7 ? std::stoull(argv[7]) : 1;
    if (argc > 9)
        options.heat = std::stod(argv[9]);
    options.target = (target + static_cast<std::size_t>(m) - 1) / static_cast<std::size_t>(m);
    options.timeLimit = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(seconds));
    const auto result = FindCover(instance, options);

    std::set<Mask> design;
    for (auto candidate : result.cover)
        for (Mask block : group.orbit(representatives[candidate]))
            design.insert(block);
    const bool covers = coversEveryTSet(design, tSets);
    std::fprintf(stderr, "C(%d,%d,%d) Z%d x%d: %zu orbits, %zu blocks, %s\n", v, k, t, m, cycles,
                 result.cover.size(), design.size(), covers ? "covers" : "does not cover");
    if (!covers)
        return 1;
    CellDesign cell{v, k, t, {}};
    for (Mask block : design)
        cell.blocks.push_back(BlockOf(block));
    std::printf("%s\n", DesignLine(cell).c_str());
    return 0;
}
