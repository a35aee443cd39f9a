#pragma once
// What the shipped design table and the offline programs that made it
// (reduce/tools/) share: the text the table is kept in, blocks as masks, the
// t-sets of a field, and the cyclic groups whose orbits build many designs.

#include "reduce/DesignTable.h"
#include "reduce/Orbits.h"

#include <string>
#include <string_view>
#include <vector>

namespace torvanel::reduce {

// One cell of the text, on one line: "v k t" then its blocks, one letter
// per point ('a' is point 0), as in "6 4 2 abcd abef cdef".
struct CellDesign {
    int v = 0;
    int k = 0;
    int t = 0;
    std::vector<Block> blocks;
};

// The cells of `text` in their order. Lines that do not start with three
// numbers, such as the raw-string delimiters of DesignTable.inc, are skipped.
std::vector<CellDesign> ReadDesigns(std::string_view text);
// The cells of a file; none when it cannot be read.
std::vector<CellDesign> ReadDesignFile(const std::string& path);

// One cell's line, without its end of line.
std::string DesignLine(const CellDesign& cell);
// A whole table as DesignTable.inc keeps it: a raw string literal, one line
// per cell.
std::string DesignTableText(const std::vector<CellDesign>& cells);

Mask MaskOf(const Block& block);
Block BlockOf(Mask mask);  // points increasing

// Every set of `size` of the points 0 .. points - 1, increasing as masks,
// which is also their colex order.
std::vector<Mask> SubsetsOf(int points, int size);

// Points 0 .. cycles * length - 1 turn on `cycles` cycles of `length`
// points each ({0 .. length - 1}, then the next `length`, ...); the other
// points stay put.
class CyclicGroup {
public:
    // Throws std::invalid_argument unless 1 <= cycles * length <= points <= 64.
    CyclicGroup(int points, int length, int cycles);

    int points() const { return points_; }
    int length() const { return length_; }

    // The set turned `by` steps (any by >= 0; by = length is no turn).
    Mask shifted(Mask set, int by) const {
        by %= length();
        return by == 0 ? set : Turned(set, powers_[static_cast<std::size_t>(by)]);
    }
    // The distinct images of the set, increasing.
    std::vector<Mask> orbit(Mask set) const;

private:
    int points_;
    int length_;
    std::vector<Turn> powers_;  // the turn by 0, 1, ... length - 1 steps
};

}  // namespace torvanel::reduce
