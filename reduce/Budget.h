#pragma once
// Reduced lists that fit a budget: at most N lines of the list, chosen so
// that they pay the chosen class for as many as possible of the arrivals
// the full list pays (the events of the reduction's covering problem), and
// that number counted one arrival at a time, never estimated.
//
// Up to the size of a shipped packing, on a full field, any N of its blocks
// pay N * C(k, t) arrivals: no list of N lines pays more. Beyond it, a greedy
// choice, then a walk that swaps one line for another, within the time
// limit; the best list seen is kept, also when the user stops the search.
// A budget the full guarantee fits in gets the full guarantee (Reduce).

#include "reduce/CoverSearch.h"
#include "reduce/Reduce.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace torvanel::reduce {

// ---- The search on a covering problem -------------------------------------

struct CoverageOptions {
    std::chrono::steady_clock::duration timeLimit = std::chrono::seconds(2);
    std::uint64_t seed = 1;
    // Candidates to start from (at most the budget), which the greedy choice
    // completes.
    std::vector<std::uint32_t> start;
    // Called every few milliseconds with the events the best choice so far
    // covers; returning false stops the search, which keeps that choice.
    std::function<bool(std::uint64_t covered)> progress;
};

struct CoverageResult {
    std::vector<std::uint32_t> chosen;  // candidate ids, increasing, at most the budget
    std::uint64_t covered = 0;          // events they cover, counted
    bool stopped = false;               // by the callback rather than by time
};

// At most `budget` candidates covering the most events.
CoverageResult MaxCoverage(const CoverInstance& instance, std::size_t budget, const CoverageOptions& options);

// The events `chosen` covers, each counted once.
std::uint64_t CountCovered(const CoverInstance& instance, const std::vector<std::uint32_t>& chosen);

// ---- A list reduced to a budget ------------------------------------------

struct BudgetProgress {
    std::uint64_t covered = 0;  // arrivals the best list so far pays
    std::uint64_t total = 0;    // arrivals the full list pays
    double elapsedSeconds = 0;
};

struct BudgetOptions {
    std::chrono::steady_clock::duration timeLimit = std::chrono::seconds(2);
    // Called often; returning false stops the search, which keeps its best list.
    std::function<bool(const BudgetProgress&)> progress;
    std::uint64_t seed = 1;
    bool usePackings = true;  // false: greedy and the walk only (to measure them)
};

struct BudgetReduction {
    std::vector<std::uint64_t> kept;  // line indices of the list, increasing
    std::uint64_t covered = 0;        // arrivals the kept lines pay, counted one by one
    std::uint64_t total = 0;          // arrivals the full list pays
    // The full guarantee's list (Reduce's), which the budget holds: every
    // arrival stays paid; `quality` is Reduce's.
    bool fullGuarantee = false;
    Quality quality = Quality::Search;
    // No list of as many lines pays more arrivals (each line pays at most
    // C(k, t) of them, and these lines reach that).
    bool optimal = false;
    bool stopped = false;  // the user stopped the search: this is its best list so far
    std::string refusal;   // French reason; then `kept` is empty and the list stays
};

// The bases of the list's lines, for the sentences that name them: those
// of its first block of bases beside outsiders.
bets::LineBases LineBasesOf(const ResultList& list);

BudgetReduction ReduceToBudget(const ShownLines& list, Payout payout, std::uint64_t maxLines,
                               const BudgetOptions& options = {});

// How many of the arrivals the lines of `list` pay for `payout` the lines
// `kept` (indices in the list) pay, counted as ReduceToBudget counts them
// (a reopened forecast states its reduction again); nothing, with the
// reason, when the list cannot be reduced for `payout`.
struct KeptCoverage {
    std::uint64_t covered = 0;
    std::uint64_t total = 0;
    std::string refusal;
};
KeptCoverage CoverageOfKept(const ShownLines& list, Payout payout, const std::vector<std::uint64_t>& kept);

}  // namespace torvanel::reduce
