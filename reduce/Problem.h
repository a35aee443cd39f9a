#pragma once
// The covering problem behind a reduction: the distinct lines of a result
// list as candidates, the arrivals they pay on as events.

#include "reduce/CoverSearch.h"
#include "reduce/Reduce.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace torvanel::reduce {

using Mask = std::uint64_t;  // a set of the punter's horses, one bit each

struct CoverProblem {
    std::vector<HorseNumber> horses;         // bit i is horses[i]
    std::vector<Mask> lines;                 // distinct lines, in list order
    std::vector<std::uint64_t> firstIndex;   // where each stands first in the list
    std::vector<Mask> events;                // the arrivals that must stay paid, by event id
    std::optional<CoverInstance> instance;
};

// Distinct masks numbered in the order they first come, by open addressing:
// on the lines of a long list several times faster than std::unordered_map.
class MaskIndex {
public:
    static constexpr std::uint32_t kAbsent = ~std::uint32_t{0};

    // The id of `mask`, a new one when it is new.
    std::uint32_t insert(Mask mask);
    std::uint32_t find(Mask mask) const;  // kAbsent when not there
    const std::vector<Mask>& masks() const { return masks_; }  // by id

private:
    std::size_t slotOf(Mask mask) const;
    void grow();

    std::vector<Mask> masks_;
    std::vector<std::uint32_t> slots_ = std::vector<std::uint32_t>(16, kAbsent);  // ids; a power of two
};

// The problem, or the French reason why the list is not reduced.
struct BuiltProblem {
    CoverProblem problem;
    std::string refusal;
};
BuiltProblem BuildProblem(const ResultList& list, const PayoutRule& rule);

// Calls visit(subset) for every subset of `mask` with `size` bits.
template <typename Visit>
void ForEachSubset(Mask mask, int size, Visit&& visit, Mask chosen = 0) {
    if (size == 0) return visit(chosen);
    while (mask != 0 && __builtin_popcountll(mask) >= size) {
        const Mask low = mask & (~mask + 1);
        mask ^= low;
        ForEachSubset(mask, size - 1, visit, chosen | low);
    }
}

}  // namespace torvanel::reduce
