#pragma once
// Reduced lists with a guarantee: a sub-list of the shown lines (the full
// result list, or the lines a stage keeps of it) that still pays whenever
// the shown lines would have paid, for the arrivals whose placed horses are
// all among the punter's horses (the horses of the full list). The window
// calls Reduce() from a worker thread; everything here is plain values.

#include "bets/BetRules.h"
#include "generators/ShownLines.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace torvanel::reduce {

// The payouts a reduction can guarantee: the bet rules' classes that read a
// line against the first finishers as a set (bonuses and place payouts).
using Payout = bets::PayoutClass;

// How a payout reads a line: lines of `lineSize` horses, arrivals of the
// first `eventSize` finishers, and whether the line must contain the
// arrival (bonus payouts) or lie inside it (place payouts). Taken from the
// bet rules.
struct PayoutRule {
    int lineSize;
    int eventSize;
    bool lineInsideArrival;
};
PayoutRule RuleOf(Payout payout);

enum class Quality { ProvenOptimal, BestKnown, Search };

struct ReduceProgress {
    std::size_t bestSize = 0;  // lines of the best reduced list so far (0 before the first)
    double elapsedSeconds = 0;
};

struct ReduceOptions {
    std::chrono::steady_clock::duration timeLimit = std::chrono::seconds(2);
    // Called often, in every phase; returning false stops the reduction
    // within a moment, and it returns every shown line, unchecked (a list
    // found so far is not kept without its check, which takes too long).
    std::function<bool(const ReduceProgress&)> progress;
    std::uint64_t seed = 1;
    bool useTable = true;  // false: always search (to measure the search)
};

// A shorter list is only returned once it has passed the exhaustive check
// of its guarantee; otherwise `kept` is every shown line, which guarantees
// itself: when a stop came first, when the search found nothing shorter in
// time, or (never expected) when the check failed.
struct Reduction {
    std::vector<std::uint64_t> kept;  // indices of the shown lines, increasing
    Quality quality = Quality::Search;
    std::string refusal;              // French reason; then `kept` is empty and the full list stays
};

// Largest list and largest number of (line, arrival) pairs a reduction takes on.
inline constexpr std::uint64_t kMaxLines = 1'000'000;
inline constexpr std::uint64_t kMaxIncidences = 10'000'000;
inline constexpr int kMaxHorses = 64;

// Why `list` cannot be reduced for any of the `offered` payouts (too long,
// too many horses, too many arrivals to examine), in French; empty when it
// may be. Cheap: it reads the counts, never the lines.
std::string RefusalBeforeChoice(const ShownLines& list, const std::vector<Payout>& offered);

Reduction Reduce(const ShownLines& list, Payout payout, const ReduceOptions& options = {});

// Exhaustive check of the guarantee: every arrival some shown line of `list`
// pays on is paid by some line among `kept` (indices of the shown lines).
bool CheckGuarantee(const ShownLines& list, Payout payout, const std::vector<std::uint64_t>& kept);

}  // namespace torvanel::reduce
