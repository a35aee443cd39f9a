#include "reduce/PackingTable.h"

#include "reduce/DesignParts.h"

#include <algorithm>
#include <array>
#include <set>
#include <string_view>

namespace torvanel::reduce {
namespace {

// One line per cell, in the form DesignParts.h reads.
constexpr std::string_view kPackings =
#include "reduce/PackingTable.inc"
    ;

// Published sizes for v = 6..20 per cell of kPackingCells: negative when the
// size is proven to be the packing number, 0 where no published size was
// checked for this table.
constexpr std::array<std::array<int, 15>, 3> kPublished = {{
    {-1, -3, -8, -18, -36, -66, 80, 0, 0, 0, 0, 0, 0, 0, 0},
    {-1, -1, -2, -3, -6, -11, -12, -18, -28, -42, -48, -68, 69, 76, 0},
    {-3, -7, -14, -18, -30, -35, -51, -65, -91, -105, -140, -157, -198, -228, -285},
}};

bool Trivial(int v, int k, int t) { return t <= 1 || t == k || k >= v; }

// Disjoint runs of k points (t == 1), every k-set (t == k), or one block of
// every point there is room for.
std::vector<Block> TrivialPacking(int v, int k, int t) {
    std::vector<Block> blocks;
    if (k >= v || t == 0) {
        Block all;
        for (int p = 0; p < std::min(v, k); ++p) all.push_back(p);
        return {all};
    }
    if (t == 1) {
        for (int first = 0; first + k <= v; first += k) {
            Block run;
            for (int p = first; p < first + k; ++p) run.push_back(p);
            blocks.push_back(run);
        }
        return blocks;
    }
    for (Mask set : SubsetsOf(v, k)) blocks.push_back(BlockOf(set));
    return blocks;
}

}  // namespace

std::vector<Block> TablePacking(int v, int k, int t) {
    if (v <= 0 || k <= 0 || t < 0 || t > k) return {};
    if (Trivial(v, k, t)) return TrivialPacking(v, k, t);
    for (CellDesign& cell : ReadDesigns(kPackings))
        if (cell.v == v && cell.k == k && cell.t == t) return std::move(cell.blocks);
    return {};
}

std::optional<Record> BestKnownPacking(int v, int k, int t) {
    for (std::size_t c = 0; c < std::size(kPackingCells); ++c)
        if (kPackingCells[c].k == k && kPackingCells[c].t == t && v >= kPackingMinPoints && v <= kPackingMaxPoints) {
            const int size = kPublished[c][static_cast<std::size_t>(v - kPackingMinPoints)];
            if (size == 0) return std::nullopt;
            return Record{size < 0 ? -size : size, size < 0};
        }
    return std::nullopt;
}

bool IsPacking(const std::vector<Block>& blocks, int v, int k, int t) {
    std::set<Mask> seen;
    for (const Block& block : blocks) {
        const Mask mask = MaskOf(block);
        if (__builtin_popcountll(mask) != k || static_cast<int>(block.size()) != k || (v < 64 && (mask >> v) != 0) ||
            std::any_of(block.begin(), block.end(), [](int p) { return p < 0; }))
            return false;
        bool twice = false;
        ForEachSubset(mask, t, [&](Mask tSet) { twice = !seen.insert(tSet).second || twice; });
        if (twice) return false;
    }
    return true;
}

}  // namespace torvanel::reduce
