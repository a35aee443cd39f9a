// Builds DesignTable.inc: for every cell of the table, the smallest design
// among the classical constructions, the design already in the file and a
// search of the given seconds aiming at the record. With --offer, the
// designs of another file (from anneal_design or orbit_designs) replace
// their cells where they cover every t-set with fewer blocks.
//   make_design_table <DesignTable.inc> <seconds per cell> [v k t]
//   make_design_table <DesignTable.inc> --offer <designs>

#include "generators/Generators.h"
#include "reduce/DesignParts.h"
#include "reduce/Problem.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <tuple>

using namespace torvanel;
using namespace torvanel::reduce;

namespace {

using Key = std::tuple<int, int, int>;
using Design = std::vector<Block>;

Block Sorted(Block block) {
    std::sort(block.begin(), block.end());
    return block;
}

// Lines of PG(2,3): the translates of the difference set {0, 1, 3, 9} mod 13.
Design ProjectivePlane3() {
    Design lines;
    for (Mask line : CyclicGroup(13, 13, 1).orbit(MaskOf({0, 1, 3, 9}))) lines.push_back(BlockOf(line));
    return lines;
}

// Lines of AG(2,4); GF(4) as 0, 1, w, w+1 = 0..3 with addition as xor.
Design AffinePlane4() {
    const int mul[4][4] = {{0, 0, 0, 0}, {0, 1, 2, 3}, {0, 2, 3, 1}, {0, 3, 1, 2}};
    Design lines;
    for (int m = 0; m < 4; ++m)
        for (int b = 0; b < 4; ++b) {
            Block line;
            for (int x = 0; x < 4; ++x) line.push_back(4 * x + (mul[m][x] ^ b));
            lines.push_back(Sorted(line));
        }
    for (int c = 0; c < 4; ++c) lines.push_back({4 * c, 4 * c + 1, 4 * c + 2, 4 * c + 3});
    return lines;
}

// S(3,4,16): the planes of AG(4,2), four points summing to zero.
Design BooleanQuadruples16() {
    Design blocks;
    for (int a = 0; a < 16; ++a)
        for (int b = a + 1; b < 16; ++b)
            for (int c = b + 1; c < 16; ++c)
                if (int d = a ^ b ^ c; d > c) blocks.push_back({a, b, c, d});
    return blocks;
}

// S(3,4,2v) from S(3,4,v): points (x, i) as x + v*i; every block with an
// even choice of copies, and the four copies of every pair.
Design Doubled(const Design& half, int v) {
    Design blocks;
    for (const Block& block : half)
        for (int choice = 0; choice < 16; ++choice) {
            if (__builtin_popcount(static_cast<unsigned>(choice)) % 2 != 0) continue;
            Block doubled;
            for (int i = 0; i < 4; ++i) doubled.push_back(block[static_cast<std::size_t>(i)] + v * ((choice >> i) & 1));
            blocks.push_back(Sorted(doubled));
        }
    for (int a = 0; a < v; ++a)
        for (int b = a + 1; b < v; ++b) blocks.push_back(Sorted({a, b, a + v, b + v}));
    return blocks;
}

// S(3,5,17): the circles of PG(1,16), images of PG(1,4) under PGL(2,16).
// GF(16) modulo x^4 + x + 1; point 16 stands for infinity.
Design Circles17() {
    int exp[30], log[16] = {};
    for (int i = 0, x = 1; i < 30; ++i, x = (x << 1) ^ ((x & 8) ? 0x13 : 0)) exp[i] = x, log[x] = i % 15;
    auto mul = [&](int a, int b) { return a == 0 || b == 0 ? 0 : exp[log[a] + log[b]]; };
    auto div = [&](int a, int b) { return a == 0 ? 0 : exp[(log[a] - log[b] + 15) % 15]; };
    const int infinity = 16;
    const Block line = {infinity, 0, 1, exp[5], exp[10]};
    std::map<Block, int> circles;
    for (int a = 0; a < 16; ++a)
        for (int b = 0; b < 16; ++b)
            for (int c = 0; c < 16; ++c)
                for (int d = 0; d < 16; ++d) {
                    if ((mul(a, d) ^ mul(b, c)) == 0) continue;
                    Block image;
                    for (int x : line) {
                        if (x == infinity) image.push_back(c == 0 ? infinity : div(a, c));
                        else if (const int below = mul(c, x) ^ d; below == 0) image.push_back(infinity);
                        else image.push_back(div(mul(a, x) ^ b, below));
                    }
                    circles[Sorted(image)] = 1;
                }
    Design design;
    for (const auto& entry : circles) design.push_back(entry.first);
    return design;
}

struct Cover {
    CoverProblem problem;
    int k = 0;
};

Cover FullField(int v, int k, int t) {
    ResultList list;
    std::vector<HorseNumber> field;
    field.reserve(static_cast<std::size_t>(v));
    for (int p = 0; p < v; ++p) field.push_back(static_cast<HorseNumber>(p));
    AppendCombinations(list, field, k);
    BuiltProblem built = BuildProblem(list, PayoutRule{k, t, false});
    return {std::move(built.problem), k};
}

// The candidates of the blocks, or empty when it does not cover every t-set.
std::vector<std::uint32_t> AsCover(const Cover& cover, const Design& design) {
    std::map<Mask, std::uint32_t> id;
    for (std::uint32_t c = 0; c < cover.problem.lines.size(); ++c) id[cover.problem.lines[c]] = c;
    std::vector<std::uint32_t> chosen;
    std::vector<char> covered(cover.problem.instance->eventCount(), 0);
    for (const Block& block : design) {
        const auto at = id.find(MaskOf(block));
        if (at == id.end()) return {};
        chosen.push_back(at->second);
        for (std::uint32_t e : cover.problem.instance->eventsOf(at->second)) covered[e] = 1;
    }
    if (std::find(covered.begin(), covered.end(), 0) != covered.end()) return {};
    std::sort(chosen.begin(), chosen.end());
    chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
    return chosen;
}

Design AsDesign(const Cover& cover, const std::vector<std::uint32_t>& chosen) {
    Design design;
    for (std::uint32_t c : chosen) design.push_back(BlockOf(cover.problem.lines[c]));
    return design;
}

// The cells of a file by key; a cell on several lines gets all their blocks.
std::map<Key, Design> Read(const std::string& path) {
    std::map<Key, Design> table;
    for (const CellDesign& cell : ReadDesignFile(path)) {
        Design& design = table[{cell.v, cell.k, cell.t}];
        design.insert(design.end(), cell.blocks.begin(), cell.blocks.end());
    }
    return table;
}

void Write(const std::string& path, const std::map<Key, Design>& table) {
    std::vector<CellDesign> cells;
    cells.reserve(table.size());
    for (const auto& [key, design] : table)
        cells.push_back({std::get<0>(key), std::get<1>(key), std::get<2>(key), design});
    std::ofstream(path + ".new") << DesignTableText(cells);
    std::rename((path + ".new").c_str(), path.c_str());
}

// A C(v, k, t) from one on v - n points and a C(v - n, k - n, t - 1) whose
// blocks all take the n new points (n = 1 or 2): a t-set through a new point
// holds at most t - 1 old points, which the second part covers together with
// every new point; any other t-set is covered by the first part. One new
// point makes C(18,5,3) from S(3,5,17) and C(17,4,2), and C(15,4,3) from
// S(3,4,14) and C(14,3,2); two make C(19,5,3) from S(3,5,17) and C(17,3,2).
Design Extended(const Design& smaller, const Design& through, int v, int added) {
    Design blocks = smaller;
    for (Block block : through) {
        for (int p = v - added; p < v; ++p) block.push_back(p);
        blocks.push_back(block);
    }
    return blocks;
}

const Design* Find(const std::map<Key, Design>& table, const Key& key) {
    const auto at = table.find(key);
    return at == table.end() || at->second.empty() ? nullptr : &at->second;
}

std::map<Key, Design> Constructions(std::map<Key, Design>& table, const Key& key) {
    std::map<Key, Design> made{{{13, 4, 2}, ProjectivePlane3()},
                               {{16, 4, 2}, AffinePlane4()},
                               {{16, 4, 3}, BooleanQuadruples16()},
                               {{17, 5, 3}, Circles17()}};
    if (auto ten = table.find({10, 4, 3}); ten != table.end() && ten->second.size() == 30)
        made[{20, 4, 3}] = Doubled(ten->second, 10);
    const auto [v, k, t] = key;
    for (int added = 1; added <= 2; ++added) {
        const Design* smaller = Find(table, {v - added, k, t});
        const Design* through = Find(table, {v - added, k - added, t - 1});
        if (smaller == nullptr || through == nullptr) continue;
        const Design extended = Extended(*smaller, *through, v, added);
        if (!made.count(key) || extended.size() < made[key].size()) made[key] = extended;
    }
    return made;
}

// `offered` is a design made elsewhere (anneal_design, orbit_designs): it
// enters like the others, only if it covers every t-set.
void Improve(std::map<Key, Design>& table, const Key& key, double seconds, std::uint64_t seed,
             const Design& offered = {}) {
    const auto [v, k, t] = key;
    const Cover cover = FullField(v, k, t);
    const std::size_t record = static_cast<std::size_t>(BestKnown(v, k, t)->size);
    std::vector<std::uint32_t> best;
    if (auto had = table.find(key); had != table.end()) best = AsCover(cover, had->second);
    auto consider = [&](const Design& design) {
        if (auto made = AsCover(cover, design); !made.empty() && (best.empty() || made.size() < best.size()))
            best = made;
    };
    for (const auto& [madeKey, design] : Constructions(table, key))
        if (madeKey == key) consider(design);
    consider(offered);
    if (best.empty() || (best.size() > record && seconds > 0)) {
        SearchOptions options;
        options.timeLimit = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
            std::chrono::duration<double>(seconds));
        options.target = record;
        options.seed = seed;
        options.start = best;
        const SearchResult found = FindCover(*cover.problem.instance, options);
        if (best.empty() || found.cover.size() < best.size()) best = found.cover;
    }
    table[key] = AsDesign(cover, best);
    std::cout << v << ' ' << k << ' ' << t << ": " << best.size() << " (record " << record << ")" << std::endl;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4 && argc != 6) {
        std::cerr << "usage: make_design_table <DesignTable.inc> <seconds per cell> [v k t]\n"
                     "       make_design_table <DesignTable.inc> --offer <designs>\n";
        return 2;
    }
    const std::string path = argv[1];
    std::map<Key, Design> table = Read(path);
    if (argc == 4 && std::string(argv[2]) == "--offer") {
        for (const auto& [key, design] : Read(argv[3])) Improve(table, key, 0, 1, design);
        Write(path, table);
        return 0;
    }
    const double seconds = std::stod(argv[2]);
    std::uint64_t seed = static_cast<std::uint64_t>(table.size()) * 7919 + 1;
    if (argc == 6) {
        Improve(table, {std::stoi(argv[3]), std::stoi(argv[4]), std::stoi(argv[5])}, seconds, ++seed);
        Write(path, table);
        return 0;
    }
    for (const Cell& cell : kTableCells)
        for (int v = kTableMinPoints; v <= kTableMaxPoints; ++v) {
            Improve(table, {v, cell.k, cell.t}, seconds, ++seed);
            Write(path, table);
        }
    return 0;
}
