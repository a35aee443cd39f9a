#pragma once
// Packings P(v, k, t) for full fields up to 20 horses: k-sets of the points
// 0..v-1 no two of which hold the same t-set. Each block of a packing pays
// C(k, t) arrivals that no other block pays, so any b of its blocks pay
// b * C(k, t) arrivals: the most b lines can pay. The shipped packings come
// from tools/make_packing_table (classical constructions and a search),
// kept in PackingTable.inc.

#include "reduce/DesignTable.h"

#include <optional>
#include <vector>

namespace torvanel::reduce {

// The shipped packing of the cell, empty when the table has none. Trivial
// cells (t <= 1, t == k or k >= v) are made here rather than stored.
std::vector<Block> TablePacking(int v, int k, int t);

// The largest packing published for the cell (the packing number D(v, k, t)
// where it is known), and whether that size is proven to be the most.
std::optional<Record> BestKnownPacking(int v, int k, int t);

// The cells the table holds: these k, t pairs for v from 6 to 20.
inline constexpr Cell kPackingCells[] = {{5, 4}, {5, 3}, {4, 3}};
inline constexpr int kPackingMinPoints = 6;
inline constexpr int kPackingMaxPoints = 20;

// Whether no t-set of `blocks` lies in two of them (and every block has k
// distinct points below v).
bool IsPacking(const std::vector<Block>& blocks, int v, int k, int t);

}  // namespace torvanel::reduce
