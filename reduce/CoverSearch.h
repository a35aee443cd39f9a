#pragma once
// A set-cover search over an incidence structure: every candidate (a line the
// reduced list may keep) covers some events, and a cover keeps candidates
// until every event is covered. A greedy start gives a first cover; simulated
// annealing on the number of uncovered events, at a fixed number of kept
// candidates and never straying more than a few events from a cover, then
// tries one candidate fewer each time it succeeds.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace torvanel::reduce {

// Compressed rows both ways: the events of each candidate and the candidates
// of each event.
class CoverInstance {
public:
    // `eventsOf[c]` lists the events (below eventCount) candidate c covers.
    CoverInstance(std::uint32_t eventCount, const std::vector<std::vector<std::uint32_t>>& eventsOf);
    // `keepGoing` is asked once per candidate while the candidates of each
    // event are listed; after a "no" the instance is unfinished and must not
    // be searched.
    CoverInstance(std::uint32_t eventCount, std::vector<std::uint32_t> candidateStart,
                  std::vector<std::uint32_t> candidateEvents, const std::function<bool()>& keepGoing = {});

    std::uint32_t candidateCount() const { return static_cast<std::uint32_t>(candidateStart_.size() - 1); }
    std::uint32_t eventCount() const { return static_cast<std::uint32_t>(eventStart_.size() - 1); }

    struct Span {
        const std::uint32_t* first;
        const std::uint32_t* last;
        const std::uint32_t* begin() const { return first; }
        const std::uint32_t* end() const { return last; }
        std::size_t size() const { return static_cast<std::size_t>(last - first); }
    };
    Span eventsOf(std::uint32_t candidate) const;
    Span candidatesOf(std::uint32_t event) const;

private:
    void indexEvents(std::uint32_t eventCount, const std::function<bool()>& keepGoing);

    std::vector<std::uint32_t> candidateStart_;
    std::vector<std::uint32_t> candidateEvents_;
    std::vector<std::uint32_t> eventStart_;
    // Not zeroed when made: it is filled in a loop that a stop can cut short.
    std::unique_ptr<std::uint32_t[]> eventCandidates_;
};

struct SearchProgress {
    std::size_t bestSize = 0;  // candidates of the smallest cover found so far
    double elapsedSeconds = 0;
};

struct SearchOptions {
    std::chrono::steady_clock::duration timeLimit = std::chrono::seconds(2);
    std::uint64_t seed = 1;
    // A steady heat: at 0.25 a step that uncovers one more event is taken
    // about once in fifty tries, within the bound on uncovered events
    // (without the bound, runs this hot on full fields ended larger).
    double heat = 0.25;
    // Stops at the first cover of this size or fewer (0: never).
    std::size_t target = 0;
    // A cover to start from instead of the greedy one (every event covered).
    std::vector<std::uint32_t> start;
    // Called every few milliseconds; returning false stops the search.
    std::function<bool(const SearchProgress&)> progress;
};

struct SearchResult {
    std::vector<std::uint32_t> cover;  // candidate ids, increasing; every event covered
    bool stopped = false;              // by the callback rather than by time or target
    bool complete = true;              // false when stopped before the greedy cover was made
};

// The candidate covering the most events not yet covered, again and again,
// until `budget` candidates are chosen or nothing is left to cover; extends
// `start`. Stops with what it has once `goOn` (asked before each look at a
// candidate) returns false.
std::vector<std::uint32_t> GreedyCoverage(const CoverInstance& instance, std::size_t budget,
                                          std::vector<std::uint32_t> start = {},
                                          const std::function<bool()>& goOn = {});

// A cover of every event that some candidate covers (events no candidate
// covers are ignored).
SearchResult FindCover(const CoverInstance& instance, const SearchOptions& options);

}  // namespace torvanel::reduce
