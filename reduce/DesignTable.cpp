#include "reduce/DesignTable.h"

#include "reduce/DesignParts.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace torvanel::reduce {
namespace {

// One line per cell, in the form DesignParts.h reads.
constexpr std::string_view kDesigns =
#include "reduce/DesignTable.inc"
    ;

// Best-known sizes of v = 6..20 per column; a negative entry is proven optimal.
constexpr std::array<std::array<int, 15>, 5> kRecords = {{
    {-5, -9, -20, -30, -51, -66, -113, 157, 229, 294, 405, 491, 664, 846, 1068},
    {-4, -5, -8, -12, -17, -20, 29, 34, 43, 55, 65, -68, -94, 108, 133},
    {-6, -12, -14, -25, -30, -47, -57, -78, -91, -124, -140, -183, -207, 258, -285},
    {-3, -5, -6, -8, -9, -11, -12, -13, -18, -19, -20, -26, -27, -31, -35},
    {-6, -7, -11, -12, -17, -19, -24, -26, -33, -35, -43, -46, -54, -57, -67},
}};

}  // namespace

std::optional<Record> BestKnown(int v, int k, int t) {
    for (std::size_t c = 0; c < std::size(kTableCells); ++c)
        if (kTableCells[c].k == k && kTableCells[c].t == t && v >= 6 && v <= kTableMaxPoints) {
            const int size = kRecords[c][static_cast<std::size_t>(v - 6)];
            return Record{size < 0 ? -size : size, size < 0};
        }
    return std::nullopt;
}

std::vector<Block> TableDesign(int v, int k, int t) {
    std::vector<Block> design;
    if (v <= 0 || k <= 0 || t < 0 || t > k) return design;
    if (k >= v || t == 0) {  // one line holds every point it can
        Block all;
        for (int p = 0; p < std::min(v, k); ++p) all.push_back(p);
        return {all};
    }
    if (t == 1) {  // consecutive runs of k points, the last one ending at v - 1
        for (int first = 0; first < v; first += k) {
            Block run;
            for (int p = std::min(first, v - k); run.size() < static_cast<std::size_t>(k); ++p) run.push_back(p);
            design.push_back(run);
        }
        return design;
    }
    static const std::vector<CellDesign> shipped = ReadDesigns(kDesigns);
    for (const CellDesign& cell : shipped)
        if (cell.v == v && cell.k == k && cell.t == t) return cell.blocks;
    return {};
}

}  // namespace torvanel::reduce
