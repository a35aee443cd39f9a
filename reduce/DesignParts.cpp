#include "reduce/DesignParts.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <stdexcept>

namespace torvanel::reduce {

std::vector<CellDesign> ReadDesigns(std::string_view text) {
    std::vector<CellDesign> cells;
    std::istringstream lines{std::string(text)};
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        CellDesign cell;
        if (!(words >> cell.v >> cell.k >> cell.t)) continue;
        for (std::string word; words >> word;) {
            Block block;
            for (char letter : word) block.push_back(letter - 'a');
            cell.blocks.push_back(block);
        }
        cells.push_back(std::move(cell));
    }
    return cells;
}

std::vector<CellDesign> ReadDesignFile(const std::string& path) {
    std::ifstream in(path);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return ReadDesigns(text);
}

std::string DesignLine(const CellDesign& cell) {
    std::string line = std::to_string(cell.v) + ' ' + std::to_string(cell.k) + ' ' + std::to_string(cell.t);
    for (const Block& block : cell.blocks) {
        line += ' ';
        for (int point : block) line += static_cast<char>('a' + point);
    }
    return line;
}

std::string DesignTableText(const std::vector<CellDesign>& cells) {
    std::string text = "R\"(\n";
    for (const CellDesign& cell : cells) text += DesignLine(cell) + '\n';
    return text + ")\"\n";
}

Mask MaskOf(const Block& block) {
    Mask mask = 0;
    for (int point : block) mask |= Mask{1} << point;
    return mask;
}

Block BlockOf(Mask mask) {
    Block block;
    for (; mask != 0; mask &= mask - 1) block.push_back(__builtin_ctzll(mask));
    return block;
}

std::vector<Mask> SubsetsOf(int points, int size) {
    std::vector<Mask> sets;
    const Mask all = points >= 64 ? ~Mask{0} : (Mask{1} << points) - 1;
    ForEachSubset(all, size, [&sets](Mask set) { sets.push_back(set); });
    std::sort(sets.begin(), sets.end());
    return sets;
}

CyclicGroup::CyclicGroup(int points, int length, int cycles) : points_(points), length_(length) {
    if (length < 1 || cycles < 1 || cycles * length > points || points > 64)
        throw std::invalid_argument("cycles of " + std::to_string(length) + " points, " + std::to_string(cycles) +
                                    " of them, do not fit in " + std::to_string(points) + " points");
    for (int by = 0; by < length; ++by) {
        Turn turn(static_cast<std::size_t>(points));
        for (int point = 0; point < points; ++point)
            turn[static_cast<std::size_t>(point)] =
                point < cycles * length ? point / length * length + (point % length + by) % length : point;
        powers_.push_back(std::move(turn));
    }
}

std::vector<Mask> CyclicGroup::orbit(Mask set) const {
    std::set<Mask> images;
    for (int by = 0; by < length(); ++by) images.insert(shifted(set, by));
    return {images.begin(), images.end()};
}

}  // namespace torvanel::reduce
