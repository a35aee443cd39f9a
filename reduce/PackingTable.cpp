#include "reduce/PackingTable.h"

#include <algorithm>
#include <array>
#include <set>
#include <sstream>
#include <string>
#include <string_view>

namespace torvanel::reduce {
namespace {

// "v k t" then the blocks, one letter per point ('a' is point 0).
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

// Steps `positions` (increasing, below n) to the next choice in
// lexicographic order; false after the last.
bool NextChoice(std::vector<int>& positions, int n) {
    const int size = static_cast<int>(positions.size());
    int i = size - 1;
    while (i >= 0 && positions[static_cast<std::size_t>(i)] == n - size + i) --i;
    if (i < 0) return false;
    ++positions[static_cast<std::size_t>(i)];
    for (int j = i + 1; j < size; ++j) positions[static_cast<std::size_t>(j)] = positions[static_cast<std::size_t>(j - 1)] + 1;
    return true;
}

std::vector<int> FirstChoice(int size) {
    std::vector<int> positions(static_cast<std::size_t>(size));
    for (int i = 0; i < size; ++i) positions[static_cast<std::size_t>(i)] = i;
    return positions;
}

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
    std::vector<int> positions = FirstChoice(k);
    do blocks.push_back(positions);
    while (NextChoice(positions, v));
    return blocks;
}

}  // namespace

std::vector<Block> TablePacking(int v, int k, int t) {
    if (v <= 0 || k <= 0 || t < 0 || t > k) return {};
    if (Trivial(v, k, t)) return TrivialPacking(v, k, t);
    std::istringstream lines{std::string(kPackings)};
    std::vector<Block> blocks;
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        int cv = 0, ck = 0, ct = 0;
        if (!(words >> cv >> ck >> ct) || cv != v || ck != k || ct != t) continue;
        for (std::string word; words >> word;) {
            Block block;
            for (char letter : word) block.push_back(letter - 'a');
            blocks.push_back(block);
        }
        break;
    }
    return blocks;
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
    std::set<std::vector<int>> seen;
    for (Block block : blocks) {
        std::sort(block.begin(), block.end());
        const bool fits = static_cast<int>(block.size()) == k && block.front() >= 0 && block.back() < v &&
                          std::adjacent_find(block.begin(), block.end()) == block.end();
        if (!fits) return false;
        // Every t-subset of the block, by its positions.
        std::vector<int> positions = FirstChoice(t);
        do {
            std::vector<int> tSet;
            for (int p : positions) tSet.push_back(block[static_cast<std::size_t>(p)]);
            if (!seen.insert(tSet).second) return false;
        } while (NextChoice(positions, k));
    }
    return true;
}

}  // namespace torvanel::reduce
