// Makes PackingTable.inc: for every cell (k, t) of kPackingCells and every
// v from 6 to 20, the largest packing it can build, best of
//  - Steiner systems found as exact covers by whole orbits of a cyclic
//    group (S(4,5,11), S(3,5,17), SQS(8), SQS(10), SQS(14)), and SQS(16)
//    and SQS(20) by doubling SQS(8) and SQS(10);
//  - the blocks of such a system on more points that avoid the extra
//    points (SQS(v + 1) less a point is a largest packing for v = 1, 3 mod 6);
//  - a local search over single blocks and over whole orbits, started from
//    the best of the above.
//
//   make_packing_table <seconds per searched cell> > reduce/PackingTable.inc
//   make_packing_table <seconds per searched cell> <k> <t>   the lines of one column
//   make_packing_table <v> <k> <t> <seconds>        one cell, with its size
//
// Every packing is checked with IsPacking before it is written.

#include "reduce/DesignParts.h"
#include "reduce/PackingTable.h"
#include "reduce/Problem.h"
#include "reduce/SearchParts.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace torvanel::reduce;

// A part of a packing that the searches take or leave whole: one block, or
// the orbit of a block under a cyclic group.
struct Piece {
    std::vector<Mask> blocks;
    std::vector<std::uint32_t> tSets;  // every t-set its blocks hold, each once
};

// The t-sets of the v points, numbered, and the pieces that hold each.
class Incidence {
public:
    Incidence(std::size_t tSetCount, std::vector<Piece> pieces) : pieces_(std::move(pieces)), holders_(tSetCount) {
        for (std::uint32_t p = 0; p < pieces_.size(); ++p)
            for (std::uint32_t id : pieces_[p].tSets) holders_[id].push_back(p);
    }

    const std::vector<Piece>& pieces() const { return pieces_; }
    const std::vector<std::uint32_t>& holders(std::uint32_t tSet) const { return holders_[tSet]; }
    std::size_t tSetCount() const { return holders_.size(); }

private:
    std::vector<Piece> pieces_;
    std::vector<std::vector<std::uint32_t>> holders_;
};

// The id of each t-set of v points, by its mask.
std::map<Mask, std::uint32_t> TSetIds(int v, int t) {
    std::map<Mask, std::uint32_t> ids;
    for (Mask s : SubsetsOf(v, t)) ids.emplace(s, static_cast<std::uint32_t>(ids.size()));
    return ids;
}

// A cyclic group the searches take orbits of: `cycles` cycles of `length`
// points; a length of 0 takes every block alone.
struct Cycles {
    int length = 0;
    int cycles = 1;
};

// A piece from `blocks`, or nothing when two of them share a t-set.
std::optional<Piece> PieceOf(std::vector<Mask> blocks, int t, const std::map<Mask, std::uint32_t>& ids) {
    Piece piece{std::move(blocks), {}};
    for (Mask block : piece.blocks) ForEachSubset(block, t, [&](Mask s) { piece.tSets.push_back(ids.at(s)); });
    std::vector<std::uint32_t> sorted = piece.tSets;
    std::sort(sorted.begin(), sorted.end());
    if (std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end()) return std::nullopt;
    return piece;
}

// Every k-set alone, or the orbits of k-sets under `turn` that hold no
// t-set twice.
Incidence Pieces(int v, int k, int t, Cycles turn) {
    const auto ids = TSetIds(v, t);
    std::optional<CyclicGroup> group;
    if (turn.length > 0) group.emplace(v, turn.length, turn.cycles);
    std::vector<Piece> pieces;
    std::set<Mask> seen;
    for (Mask block : SubsetsOf(v, k)) {
        if (seen.count(block)) continue;
        std::vector<Mask> orbit = group ? group->orbit(block) : std::vector<Mask>{block};
        seen.insert(orbit.begin(), orbit.end());
        if (auto piece = PieceOf(std::move(orbit), t, ids)) pieces.push_back(std::move(*piece));
    }
    return Incidence(ids.size(), std::move(pieces));
}

// Exact cover of the t-sets by pieces, by backtracking on the t-set with
// the fewest pieces still free to take it.
class ExactCover {
public:
    explicit ExactCover(const Incidence& incidence)
        : incidence_(incidence), covered_(incidence.tSetCount(), 0) {}

    std::optional<std::vector<Mask>> solve() {
        if (!search(incidence_.tSetCount())) return std::nullopt;
        std::vector<Mask> blocks;
        for (std::uint32_t p : chosen_)
            blocks.insert(blocks.end(), incidence_.pieces()[p].blocks.begin(), incidence_.pieces()[p].blocks.end());
        return blocks;
    }

private:
    bool free(std::uint32_t piece) const {
        for (std::uint32_t s : incidence_.pieces()[piece].tSets)
            if (covered_[s]) return false;
        return true;
    }
    void mark(std::uint32_t piece, char value) {
        for (std::uint32_t s : incidence_.pieces()[piece].tSets) covered_[s] = value;
    }
    bool search(std::size_t left) {
        if (left == 0) return true;
        std::uint32_t pick = 0;
        std::size_t fewest = SIZE_MAX;
        for (std::uint32_t s = 0; s < incidence_.tSetCount() && fewest > 0; ++s) {
            if (covered_[s]) continue;
            std::size_t options = 0;
            for (std::uint32_t p : incidence_.holders(s)) options += free(p) ? 1 : 0;
            if (options < fewest) fewest = options, pick = s;
        }
        for (std::uint32_t p : incidence_.holders(pick)) {
            if (!free(p)) continue;
            mark(p, 1);
            chosen_.push_back(p);
            if (search(left - incidence_.pieces()[p].tSets.size())) return true;
            chosen_.pop_back();
            mark(p, 0);
        }
        return false;
    }

    const Incidence& incidence_;
    std::vector<char> covered_;
    std::vector<std::uint32_t> chosen_;
};

// A Steiner system S(t, k, v) made of orbits under `turn`.
std::optional<std::vector<Mask>> CyclicSteiner(int v, int k, int t, Cycles turn) {
    const Incidence incidence = Pieces(v, k, t, turn);
    return ExactCover(incidence).solve();
}

// SQS(2v) from SQS(v): on two copies of the points, every block taken
// with an even number of points in the second copy, and every pair taken
// in both copies.
std::vector<Mask> Doubled(const std::vector<Mask>& sqs, int v) {
    std::vector<Mask> doubled;
    for (Mask block : sqs)
        for (Mask upper = 0; upper < 16; ++upper) {
            if (__builtin_popcountll(upper) % 2) continue;
            Mask image = 0;
            int slot = 0;
            for (int p = 0; p < v; ++p)
                if ((block >> p) & 1) image |= Mask{1} << (p + ((upper >> slot++) & 1 ? v : 0));
            doubled.push_back(image);
        }
    for (Mask pair : SubsetsOf(v, 2)) doubled.push_back(pair | (pair << v));
    return doubled;
}

// The largest weight of pieces that share no t-set: a walk that takes a
// random piece in, putting out the pieces it clashes with, when the weight
// put out is not much more than the weight taken in, and then takes in
// every piece the outgoing ones leave free.
class PackingWalk {
public:
    PackingWalk(const Incidence& incidence, std::uint64_t seed)
        : incidence_(incidence), owner_(incidence.tSetCount(), kNone), in_(incidence.pieces().size(), 0),
          random_(seed) {}

    // Takes in the pieces that hold `blocks` (those that do not clash).
    void start(const std::vector<Mask>& blocks) {
        const std::set<Mask> wanted(blocks.begin(), blocks.end());
        for (std::uint32_t p = 0; p < incidence_.pieces().size(); ++p) {
            const auto& piece = incidence_.pieces()[p];
            const bool all = std::all_of(piece.blocks.begin(), piece.blocks.end(),
                                         [&](Mask b) { return wanted.count(b) != 0; });
            if (all && clashes(p).empty()) take(p);
        }
        best_ = blocks_();
    }

    std::vector<Mask> run(double seconds, double heat) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        for (std::uint64_t step = 0;; ++step) {
            if (step % 4096 == 0 && std::chrono::steady_clock::now() >= end) break;
            const auto p = random_.below(incidence_.pieces().size());
            if (in_[p]) continue;
            const std::vector<std::uint32_t> out = clashes(p);
            long loss = 0;
            for (std::uint32_t q : out) loss += weight(q);
            const long change = weight(p) - loss;
            if (change < 0 && random_.unit() >= std::exp(static_cast<double>(change) / heat)) continue;
            for (std::uint32_t q : out) drop(q);
            take(p);
            for (std::uint32_t q : out) fillAround(q);
            if (weight_ > best_.size()) best_ = blocks_();
        }
        return best_;
    }

private:
    static constexpr std::uint32_t kNone = ~std::uint32_t{0};

    long weight(std::uint32_t p) const { return static_cast<long>(incidence_.pieces()[p].blocks.size()); }
    std::vector<std::uint32_t> clashes(std::uint32_t p) const {
        std::vector<std::uint32_t> out;
        for (std::uint32_t s : incidence_.pieces()[p].tSets)
            if (owner_[s] != kNone && std::find(out.begin(), out.end(), owner_[s]) == out.end()) out.push_back(owner_[s]);
        return out;
    }
    void take(std::uint32_t p) {
        in_[p] = 1;
        weight_ += incidence_.pieces()[p].blocks.size();
        for (std::uint32_t s : incidence_.pieces()[p].tSets) owner_[s] = p;
    }
    void drop(std::uint32_t p) {
        in_[p] = 0;
        weight_ -= incidence_.pieces()[p].blocks.size();
        for (std::uint32_t s : incidence_.pieces()[p].tSets) owner_[s] = kNone;
    }
    // Takes in every piece that a t-set of the outgoing piece `q` lets in.
    void fillAround(std::uint32_t q) {
        for (std::uint32_t s : incidence_.pieces()[q].tSets)
            for (std::uint32_t p : incidence_.holders(s))
                if (!in_[p] && clashes(p).empty()) take(p);
    }
    std::vector<Mask> blocks_() const {
        std::vector<Mask> blocks;
        for (std::uint32_t p = 0; p < in_.size(); ++p)
            if (in_[p]) blocks.insert(blocks.end(), incidence_.pieces()[p].blocks.begin(), incidence_.pieces()[p].blocks.end());
        return blocks;
    }

    const Incidence& incidence_;
    std::vector<std::uint32_t> owner_;
    std::vector<char> in_;
    std::size_t weight_ = 0;
    std::vector<Mask> best_;
    Random random_;
};

// The blocks of `system` (on its own points) that avoid every point from v on.
std::vector<Mask> Restricted(const std::vector<Mask>& system, int v) {
    std::vector<Mask> kept;
    for (Mask block : system)
        if ((block >> v) == 0) kept.push_back(block);
    return kept;
}

struct System {
    int v, k, t;
    std::vector<Mask> blocks;
};

// The Steiner systems the constructions give.
std::vector<System> SteinerSystems() {
    std::vector<System> systems;
    auto cyclic = [&](int v, int k, int t) {
        for (Cycles turn : {Cycles{v, 1}, Cycles{v - 1, 1}, Cycles{v / 2, 2}, Cycles{(v - 1) / 2, 2}})
            if (auto blocks = CyclicSteiner(v, k, t, turn)) {
                std::fprintf(stderr, "S(%d,%d,%d): %zu blocks, orbits of %d %d-cycles\n", t, k, v, blocks->size(),
                             turn.cycles, turn.length);
                return systems.push_back({v, k, t, *blocks});
            }
        std::fprintf(stderr, "S(%d,%d,%d): no cyclic system found\n", t, k, v);
    };
    cyclic(8, 4, 3);
    cyclic(10, 4, 3);
    cyclic(14, 4, 3);
    cyclic(11, 5, 4);
    cyclic(17, 5, 3);
    for (const System& small : std::vector<System>(systems))
        if (small.k == 4 && (small.v == 8 || small.v == 10))
            systems.push_back({2 * small.v, 4, 3, Doubled(small.blocks, small.v)});
    return systems;
}

std::vector<Block> AsBlocks(const std::vector<Mask>& masks) {
    std::vector<Block> blocks;
    blocks.reserve(masks.size());
    for (Mask mask : masks) blocks.push_back(BlockOf(mask));
    std::sort(blocks.begin(), blocks.end());
    return blocks;
}

// The best packing of the cell: constructions first, then the walks.
std::vector<Mask> BestPacking(int v, int k, int t, double seconds, const std::vector<System>& systems) {
    std::vector<Mask> best;
    for (const System& system : systems)
        if (system.k == k && system.t == t && system.v >= v) {
            std::vector<Mask> kept = Restricted(system.blocks, v);
            if (kept.size() > best.size()) best = std::move(kept);
        }
    const auto record = BestKnownPacking(v, k, t);
    if (record && static_cast<int>(best.size()) >= record->size) return best;
    // Orbits first, then single blocks from the best so far, which can add
    // to an orbit packing what no orbit brings.
    const Cycles turns[] = {{v, 1}, {v - 1, 1}, {v / 2, 2}, {(v - 1) / 2, 2}, {(v - 2) / 3, 3}, {(v - 1) / 4, 4}, {0, 1}};
    for (Cycles turn : turns) {
        if (turn.length == 1) continue;
        const Incidence incidence = Pieces(v, k, t, turn);
        if (incidence.pieces().empty()) continue;
        PackingWalk walk(incidence, 7 + static_cast<std::uint64_t>(turn.length));
        walk.start(best);
        std::vector<Mask> found = walk.run(seconds / std::size(turns), 0.3 * std::max(1, turn.length));
        std::fprintf(stderr, "  %d %d %d, %s: %zu blocks\n", v, k, t,
                     turn.length == 0 ? "single blocks"
                                       : (std::to_string(turn.cycles) + " " + std::to_string(turn.length) + "-cycles").c_str(), found.size());
        if (found.size() > best.size()) best = std::move(found);
        if (record && static_cast<int>(best.size()) >= record->size) break;
    }
    return best;
}

std::vector<Block> Checked(int v, int k, int t, const std::vector<Mask>& masks) {
    std::vector<Block> blocks = AsBlocks(masks);
    if (!IsPacking(blocks, v, k, t)) {
        std::fprintf(stderr, "%d %d %d: not a packing\n", v, k, t);
        std::exit(1);
    }
    return blocks;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 5) {
        std::fprintf(stderr, "usage: make_packing_table <seconds per cell> [k t]\n"
                             "       make_packing_table <v> <k> <t> <seconds>\n");
        return 2;
    }
    const std::vector<System> systems = SteinerSystems();
    if (argc == 5) {
        const int v = std::stoi(argv[1]), k = std::stoi(argv[2]), t = std::stoi(argv[3]);
        const auto blocks = Checked(v, k, t, BestPacking(v, k, t, std::stod(argv[4]), systems));
        std::printf("%zu blocks\n%s\n", blocks.size(), DesignLine({v, k, t, blocks}).c_str());
        return 0;
    }
    const double seconds = std::stod(argv[1]);
    const bool wholeTable = argc == 2;
    std::vector<CellDesign> table;
    for (const Cell& cell : kPackingCells)
        for (int v = kPackingMinPoints; v <= kPackingMaxPoints; ++v) {
            if (cell.k >= v || (!wholeTable && (cell.k != std::stoi(argv[2]) || cell.t != std::stoi(argv[3])))) continue;
            const auto blocks = Checked(v, cell.k, cell.t, BestPacking(v, cell.k, cell.t, seconds, systems));
            const auto record = BestKnownPacking(v, cell.k, cell.t);
            std::fprintf(stderr, "%2d %d %d: %4zu blocks (published %d)\n", v, cell.k, cell.t, blocks.size(),
                         record ? record->size : 0);
            table.push_back({v, cell.k, cell.t, blocks});
            if (!wholeTable) std::printf("%s\n", DesignLine(table.back()).c_str());
            std::fflush(stdout);
        }
    if (wholeTable) std::printf("%s", DesignTableText(table).c_str());
    return 0;
}
