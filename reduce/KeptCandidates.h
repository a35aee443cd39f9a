#pragma once
// The candidates a walk over a cover instance keeps, with how often each
// event is covered: what the walk for a smaller cover (CoverSearch) and the
// walk for the most events at a fixed number of lines (Budget) share.
//
// For an event covered once, the sum of its coverers' ids is that coverer,
// so each kept candidate knows how many events it alone covers (its loss
// when it leaves) without looking at its neighbours; the kept candidates
// that cover nothing alone are listed apart, as free replacements.

#include "reduce/CoverSearch.h"
#include "reduce/SearchParts.h"

#include <cstdint>
#include <vector>

namespace torvanel::reduce {

class KeptCandidates {
public:
    KeptCandidates(const CoverInstance& instance, const std::vector<std::uint32_t>& kept, std::uint64_t seed);

    bool coversAll() const { return uncovered_.empty(); }
    std::size_t uncoveredCount() const { return uncovered_.size(); }
    std::uint64_t covered() const { return covered_; }
    std::size_t size() const { return slots_.size(); }
    std::vector<std::uint32_t> kept() const;  // increasing
    Random& random() { return random_; }

    // Putting `in` in the place of `out`; `gain` is the events it covers
    // newly less those it leaves uncovered.
    struct Swap {
        std::uint32_t in;
        std::uint32_t out;
        std::int64_t gain;
    };
    // An uncovered event, a candidate covering it, and the kept candidate
    // it replaces best among those it would relieve, a spare one and a
    // random one. Needs an uncovered event and a kept candidate.
    Swap propose();
    void make(const Swap& swap);

    // Drops the kept candidate whose leaving uncovers the fewest events.
    void dropLightest();

private:
    void add(std::uint32_t c);
    void remove(std::uint32_t c);

    static constexpr std::uint32_t kOut = ~std::uint32_t{0};

    const CoverInstance& instance_;
    Random random_;
    std::vector<std::uint32_t> slots_;     // the kept candidates
    std::vector<std::uint32_t> slotOf_;    // per candidate: its place in slots_, or kOut
    std::vector<std::uint32_t> alone_;     // per kept candidate: events it alone covers
    std::vector<std::uint32_t> credit_;    // per candidate, during a proposal: of those, how many `in` covers
    IdSet spare_;                          // kept candidates that cover nothing alone
    std::vector<std::uint32_t> relieved_;
    std::vector<std::uint32_t> count_;     // per event: kept candidates covering it
    std::vector<std::uint64_t> coverers_;  // per event: the sum of their ids
    IdSet uncovered_;                      // events some candidate covers but no kept one
    std::uint64_t covered_ = 0;
};

}  // namespace torvanel::reduce
