#pragma once
// Covering designs C(v, k, t) for full fields up to 20 horses: k-sets of the
// points 0..v-1 such that every t-set lies in one of them. The shipped
// designs, kept in DesignTable.inc, come from the offline programs of
// reduce/tools/: make_design_table (classical constructions and a search on
// the full field; it writes the file and takes in the others' designs),
// orbit_designs (a search over the orbits of a cyclic group) and
// anneal_design (annealing, on the full field or over orbits).

#include <cstdint>
#include <optional>
#include <vector>

namespace torvanel::reduce {

using Block = std::vector<int>;  // points, increasing

// The published record for the cell, and whether it is proven optimal.
struct Record {
    int size = 0;
    bool proven = false;
};
std::optional<Record> BestKnown(int v, int k, int t);

// The shipped design of the cell, empty when the table has none. Trivial
// cells (t <= 1 or k >= v) are made here rather than stored.
std::vector<Block> TableDesign(int v, int k, int t);

// The cells the table holds: these k, t pairs for v from 6 to 20.
struct Cell {
    int k;
    int t;
};
inline constexpr Cell kTableCells[] = {{5, 4}, {5, 3}, {4, 3}, {4, 2}, {3, 2}};
inline constexpr int kTableMinPoints = 6;
inline constexpr int kTableMaxPoints = 20;

}  // namespace torvanel::reduce
