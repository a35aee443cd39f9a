// Looks for a covering design C(v, k, t) of a given number of blocks by
// simulated annealing on the full field, the way the published covering
// searches do it: the cost is the number of uncovered t-sets, and a move
// takes an uncovered t-set T and a block meeting it in t-1 points, and
// swaps one point of the block outside T for the missing point of T. The
// cost change only involves the t-sets through the two swapped points, so a
// step costs a few table look-ups besides finding the block. Each run cools
// from a random (or given) start until frozen, then starts again.
//
// With a cycle length m the design is made of whole orbits of a cyclic
// group (as in orbit_designs): a move changes one point of one block and
// so of its whole orbit, a search m times smaller. C(20,5,3) in 133 blocks
// came from the orbits of a 19-cycle with one fixed point.
//
//   anneal_design <v> <k> <t> <blocks> <seconds> [seed] [start file|-] [m] [cycles]
//
// The start file holds one "v k t block block ..." line (points a, b, c,
// ...); every run starts from it, and with more blocks than asked for, the
// ones whose loss uncovers the fewest t-sets go first. HEAT, COOLING and
// END_HEAT set the schedule. From a good start a low heat keeps what it has:
// C(19,5,3) went from 114 (the two-point extension of S(3,5,17)) to 108 in
// three runs at HEAT=0.3 END_HEAT=0.02, and C(17,5,4) from 504 (two
// 7-cycles) to 491, asking each time for one block fewer. A move on an orbit changes about m
// times as many t-sets, so orbit runs want about m/2 times the heat:
// C(15,5,4) in 300 blocks came from a 15-cycle at HEAT=8 END_HEAT=0.3.
// Prints the design in the same form on success.

#include "reduce/DesignParts.h"
#include "reduce/SearchParts.h"

#include <array>
#include <bit>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace torvanel::reduce;

// The i-th set bit of a mask.
int NthPoint(Mask set, std::uint32_t i)
{
    for (; i > 0; --i)
        set &= set - 1;
    return std::countr_zero(set);
}

// Colex ranks of t-sets, so that coverage counts sit in a small array.
class Ranks {
public:
    Ranks(int v, int t) : t_(t)
    {
        for (int n = 0; n <= v; ++n)
            for (int r = 0; r <= 5; ++r)
                choose_[n][r] = r == 0 ? 1 : n == 0 ? 0 : choose_[n - 1][r - 1] + choose_[n - 1][r];
        count_ = choose_[v][t];
    }
    std::uint32_t count() const { return count_; }
    std::uint32_t of(Mask set) const
    {
        std::uint32_t rank = 0;
        for (int i = 1; set != 0; ++i, set &= set - 1)
            rank += choose_[std::countr_zero(set)][i];
        return rank;
    }
    int t() const { return t_; }

private:
    int t_;
    std::uint32_t count_ = 0;
    std::array<std::array<std::uint32_t, 6>, 33> choose_{};
};

// Blocks as whole orbits of the group, each kept by one representative.
class Design {
public:
    Design(const CyclicGroup& group, int k, int t)
        : group_(group), k_(k), ranks_(group.points(), t), count_(ranks_.count(), 0), uncovered_(ranks_.count()),
          maskOf_(SubsetsOf(group.points(), t))  // increasing masks: colex, the order of the ranks
    {
        for (std::uint32_t r = 0; r < ranks_.count(); ++r)
            uncovered_.insert(r);
    }

    std::size_t cost() const { return uncovered_.size(); }
    std::size_t orbits() const { return blocks_.size(); }

    void add(Mask block)
    {
        blocks_.push_back(block);
        putOrbit(block);
    }

    // Removes the orbit whose loss uncovers the fewest t-sets.
    void dropCheapest()
    {
        std::size_t best = 0;
        std::size_t bestLoss = ~std::size_t{0};
        for (std::size_t b = 0; b < blocks_.size(); ++b) {
            const std::size_t before = cost();
            takeOrbit(blocks_[b]);
            if (cost() - before < bestLoss)
                bestLoss = cost() - before, best = b;
            putOrbit(blocks_[b]);
        }
        takeOrbit(blocks_[best]);
        blocks_[best] = blocks_.back();
        blocks_.pop_back();
    }

    // One annealing step at temperature `heat`; returns whether it moved.
    bool step(double heat, Random& random)
    {
        const Mask target = maskOf_[uncovered_.pick(random)];
        const auto m = static_cast<std::uint32_t>(group_.length());
        near_.clear();
        for (std::uint32_t b = 0; b < blocks_.size(); ++b)
            for (std::uint32_t by = 0; by < m; ++by)
                if (std::popcount(group_.shifted(blocks_[b], static_cast<int>(by)) & target) == ranks_.t() - 1)
                    near_.push_back(b * m + by);
        const std::uint32_t pick =
            near_.empty() ? random.below(blocks_.size() * m) : near_[random.below(near_.size())];
        const std::uint32_t b = pick / m;
        const int by = static_cast<int>(pick % m);
        const Mask block = group_.shifted(blocks_[b], by);
        const Mask missing = target & ~block;
        const Mask in = Mask{1} << NthPoint(missing, random.below(static_cast<std::size_t>(std::popcount(missing))));
        const Mask others = block & ~target;
        const Mask pool = others != 0 ? others : block;
        const Mask out = Mask{1} << NthPoint(pool, random.below(static_cast<std::size_t>(std::popcount(pool))));
        const Mask moved = group_.shifted((block & ~out) | in, static_cast<int>(m) - by);
        if (m == 1) {  // one block: the change is known before the move
            const int delta = change(block & ~out, out, in);
            if (delta > 0 && random.unit() >= std::exp(-delta / heat))
                return false;
            replace(b, moved);
            return true;
        }
        const auto before = static_cast<double>(cost());
        const Mask old = blocks_[b];
        replace(b, moved);
        const double delta = static_cast<double>(cost()) - before;
        if (delta > 0 && random.unit() >= std::exp(-delta / heat)) {
            replace(b, old);
            return false;
        }
        return true;
    }

    // The distinct blocks of every orbit.
    CellDesign cell() const
    {
        std::set<Mask> blocks;
        for (Mask block : blocks_)
            for (Mask image : group_.orbit(block))
                blocks.insert(image);
        CellDesign cell{group_.points(), k_, ranks_.t(), {}};
        for (Mask block : blocks)
            cell.blocks.push_back(BlockOf(block));
        return cell;
    }

private:

    // Uncovered t-sets gained minus lost when `out` leaves the block
    // `rest | out` and `in` joins it: only t-sets through `out` or `in` change.
    int change(Mask rest, Mask out, Mask in) const
    {
        int delta = 0;
        ForEachSubset(rest, ranks_.t() - 1, [&](Mask set) {
            delta += count_[ranks_.of(set | out)] == 1 ? 1 : 0;
            delta -= count_[ranks_.of(set | in)] == 0 ? 1 : 0;
        });
        return delta;
    }

    void replace(std::uint32_t b, Mask block)
    {
        takeOrbit(blocks_[b]);
        blocks_[b] = block;
        putOrbit(block);
    }
    void takeOrbit(Mask block)
    {
        for (int by = 0; by < group_.length(); ++by)
            take(group_.shifted(block, by));
    }
    void putOrbit(Mask block)
    {
        for (int by = 0; by < group_.length(); ++by)
            put(group_.shifted(block, by));
    }

    void take(Mask block)
    {
        ForEachSubset(block, ranks_.t(), [&](Mask set) {
            const std::uint32_t r = ranks_.of(set);
            if (--count_[r] == 0)
                uncovered_.insert(r);
        });
    }
    void put(Mask block)
    {
        ForEachSubset(block, ranks_.t(), [&](Mask set) {
            const std::uint32_t r = ranks_.of(set);
            if (count_[r]++ == 0)
                uncovered_.erase(r);
        });
    }

    CyclicGroup group_;
    int k_;
    Ranks ranks_;
    std::vector<std::uint16_t> count_;
    IdSet uncovered_;
    std::vector<Mask> maskOf_;  // t-set of each rank
    std::vector<Mask> blocks_;
    std::vector<std::uint32_t> near_;
};

// The blocks of the first design in the file.
std::vector<Mask> ReadStart(const std::string& path)
{
    const std::vector<CellDesign> cells = ReadDesignFile(path);
    std::vector<Mask> blocks;
    if (!cells.empty())
        for (const Block& block : cells.front().blocks)
            blocks.push_back(MaskOf(block));
    return blocks;
}

// A number from the environment, or `fallback` when it is not set.
double Setting(const char* name, double fallback)
{
    const char* text = std::getenv(name);
    return text != nullptr ? std::stod(text) : fallback;
}

Mask RandomBlock(int v, int k, Random& random)
{
    Mask block = 0;
    while (std::popcount(block) < k)
        block |= Mask{1} << random.below(static_cast<std::size_t>(v));
    return block;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 6) {
        std::fputs("usage: anneal_design <v> <k> <t> <blocks> <seconds> [seed] [start file|-] [m] [cycles]\n", stderr);
        return 2;
    }
    const int v = std::stoi(argv[1]);
    // Throws, like the numbers, on a bad argument.
    const CyclicGroup group(v, argc > 8 ? std::stoi(argv[8]) : 1, argc > 9 ? std::stoi(argv[9]) : 1);
    const int k = std::stoi(argv[2]);
    const int t = std::stoi(argv[3]);
    const auto size = static_cast<std::size_t>(std::stoul(argv[4]));
    const double seconds = std::stod(argv[5]);
    Random random(argc > 6 ? std::stoull(argv[6]) : 1);
    const std::vector<Mask> start = argc > 7 && std::string(argv[7]) != "-" ? ReadStart(argv[7]) : std::vector<Mask>{};
    const auto m = static_cast<std::size_t>(group.length());
    const std::size_t orbits = (size + m - 1) / m;
    const double startHeat = Setting("HEAT", 1.0);
    const double cooling = Setting("COOLING", 0.999);
    const double endHeat = Setting("END_HEAT", 0.05);
    const auto begin = std::chrono::steady_clock::now();
    auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count(); };

    std::size_t bestCost = ~std::size_t{0};
    for (int run = 1; elapsed() < seconds; ++run) {
        Design design(group, k, t);
        if (start.empty())
            for (std::size_t b = 0; b < orbits; ++b)
                design.add(RandomBlock(v, k, random));
        else {
            for (Mask block : start)
                design.add(block);
            while (design.orbits() > orbits)
                design.dropCheapest();
        }
        // A level lasts about as many steps as there are (block, point) moves.
        const auto levelSteps = static_cast<long>(size * static_cast<std::size_t>(k) * 4);
        double heat = startHeat;
        std::size_t runBest = design.cost();
        int frozen = 0;
        while (design.cost() > 0 && (heat > endHeat || frozen < 300) && elapsed() < seconds) {
            const std::size_t before = runBest;
            for (long s = 0; s < levelSteps && design.cost() > 0; ++s) {
                design.step(heat, random);
                runBest = std::min(runBest, design.cost());
            }
            frozen = runBest < before ? 0 : frozen + 1;
            heat *= cooling;
        }
        bestCost = std::min(bestCost, design.cost());
        std::fprintf(stderr, "run %d: cost %zu (best of run %zu) heat %.4f at %.0f s\n", run, design.cost(), runBest,
                     heat, elapsed());
        if (design.cost() == 0) {
            std::printf("%s\n", DesignLine(design.cell()).c_str());
            return 0;
        }
    }
    std::fprintf(stderr, "C(%d,%d,%d) with %zu blocks not found; fewest uncovered %zu\n", v, k, t, size, bestCost);
    return 1;
}
