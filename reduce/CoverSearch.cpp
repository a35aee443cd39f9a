#include "reduce/CoverSearch.h"

#include "reduce/KeptCandidates.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <queue>
#include <utility>

namespace torvanel::reduce {

CoverInstance::CoverInstance(std::uint32_t eventCount,
                             const std::vector<std::vector<std::uint32_t>>& eventsOf) {
    candidateStart_.reserve(eventsOf.size() + 1);
    candidateStart_.push_back(0);
    for (const auto& events : eventsOf) {
        candidateEvents_.insert(candidateEvents_.end(), events.begin(), events.end());
        candidateStart_.push_back(static_cast<std::uint32_t>(candidateEvents_.size()));
    }
    indexEvents(eventCount, {});
}

CoverInstance::CoverInstance(std::uint32_t eventCount, std::vector<std::uint32_t> candidateStart,
                             std::vector<std::uint32_t> candidateEvents, const std::function<bool()>& keepGoing)
    : candidateStart_(std::move(candidateStart)), candidateEvents_(std::move(candidateEvents)) {
    indexEvents(eventCount, keepGoing);
}

void CoverInstance::indexEvents(std::uint32_t eventCount, const std::function<bool()>& keepGoing) {
    const auto stop = [&keepGoing] { return keepGoing && !keepGoing(); };
    eventStart_.assign(eventCount + 1, 0);
    for (std::uint32_t c = 0; c < candidateCount(); ++c) {
        if (stop()) return;
        for (std::uint32_t event : eventsOf(c)) ++eventStart_[event + 1];
    }
    for (std::uint32_t e = 0; e < eventCount; ++e) eventStart_[e + 1] += eventStart_[e];
    eventCandidates_ = std::make_unique_for_overwrite<std::uint32_t[]>(candidateEvents_.size());
    std::vector<std::uint32_t> fill(eventStart_.begin(), eventStart_.end() - 1);
    for (std::uint32_t c = 0; c < candidateCount(); ++c) {
        if (stop()) return;
        for (std::uint32_t event : eventsOf(c)) eventCandidates_[fill[event]++] = c;
    }
}

CoverInstance::Span CoverInstance::eventsOf(std::uint32_t candidate) const {
    return {candidateEvents_.data() + candidateStart_[candidate],
            candidateEvents_.data() + candidateStart_[candidate + 1]};
}

CoverInstance::Span CoverInstance::candidatesOf(std::uint32_t event) const {
    return {eventCandidates_.get() + eventStart_[event], eventCandidates_.get() + eventStart_[event + 1]};
}

namespace {

// Time, progress and stop requests, checked every few hundred steps.
class Clock {
public:
    explicit Clock(const SearchOptions& options)
        : options_(options), start_(std::chrono::steady_clock::now()) {}

    // False when the time is up or the callback asked to stop.
    bool goOn(std::size_t bestSize) {
        if (++calls_ % 256 != 0) return !over_;
        const auto now = std::chrono::steady_clock::now();
        if (now - start_ >= options_.timeLimit) over_ = true;
        if (options_.progress && now - lastReport_ >= std::chrono::milliseconds(10)) {
            lastReport_ = now;
            const SearchProgress progress{bestSize, std::chrono::duration<double>(now - start_).count()};
            if (!options_.progress(progress)) over_ = stopped_ = true;
        }
        return !over_;
    }
    bool stopped() const { return stopped_; }

private:
    const SearchOptions& options_;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point lastReport_{};
    std::uint64_t calls_ = 0;
    bool over_ = false;
    bool stopped_ = false;
};

// Picks, again and again, the candidate that covers the most events not yet
// covered; incomplete when the clock stops it first.
std::vector<std::uint32_t> GreedyCover(const CoverInstance& instance, Clock& clock, bool& complete) {
    return GreedyCoverage(instance, SIZE_MAX, {}, [&] { return complete = clock.goOn(0); });
}

// Annealing at a fixed number of kept candidates on the events they leave
// uncovered, never straying more than a few events from a cover.
class Annealer {
public:
    Annealer(const CoverInstance& instance, const std::vector<std::uint32_t>& cover, std::uint64_t seed)
        : kept_(instance, cover, seed) {}

    bool covers() const { return kept_.coversAll(); }
    std::size_t size() const { return kept_.size(); }
    std::vector<std::uint32_t> cover() const { return kept_.kept(); }

    // Drops the kept candidate whose loss uncovers the fewest events.
    void dropOne() {
        kept_.dropLightest();
        mostUncovered_ = std::max(kMostUncovered, kept_.uncoveredCount());
    }

    // One annealing step at temperature `heat`. A step that would leave
    // more events uncovered than the bound is refused outright.
    void step(double heat) {
        const KeptCandidates::Swap swap = kept_.propose();
        const std::int64_t delta = -swap.gain;
        if (delta > 0 && kept_.uncoveredCount() + static_cast<std::size_t>(delta) > mostUncovered_) return;
        if (delta > 0 && kept_.random().unit() >= std::exp(-static_cast<double>(delta) / heat)) return;
        kept_.make(swap);
    }

private:
    // A walk hot enough to leave its local minima drifts far from any cover
    // unless held near one: uphill steps stop at four uncovered events, or at
    // as many as the last drop left when it left more.
    static constexpr std::size_t kMostUncovered = 4;

    KeptCandidates kept_;
    std::size_t mostUncovered_ = kMostUncovered;
};

}  // namespace

std::vector<std::uint32_t> GreedyCoverage(const CoverInstance& instance, std::size_t budget,
                                          std::vector<std::uint32_t> start, const std::function<bool()>& goOn) {
    std::vector<char> covered(instance.eventCount(), 0);
    std::vector<char> taken(instance.candidateCount(), 0);
    for (std::uint32_t c : start) {
        taken[c] = 1;
        for (std::uint32_t e : instance.eventsOf(c)) covered[e] = 1;
    }
    // Gains are refreshed lazily: a candidate's gain only falls.
    std::priority_queue<std::pair<std::uint32_t, std::uint32_t>> queue;
    // A stop is heard while the queue fills too: on a large instance that
    // alone takes a while.
    for (std::uint32_t c = 0; c < instance.candidateCount(); ++c) {
        if (goOn && !goOn()) return start;
        if (!taken[c]) queue.emplace(static_cast<std::uint32_t>(instance.eventsOf(c).size()), ~c);
    }
    while (start.size() < budget && !queue.empty() && (!goOn || goOn())) {
        const auto [gain, flipped] = queue.top();
        queue.pop();
        const std::uint32_t c = ~flipped;
        std::uint32_t now = 0;
        for (std::uint32_t e : instance.eventsOf(c)) now += covered[e] ? 0 : 1;
        if (now == 0) continue;
        if (now < gain) {
            queue.emplace(now, flipped);
            continue;
        }
        start.push_back(c);
        for (std::uint32_t e : instance.eventsOf(c)) covered[e] = 1;
    }
    return start;
}

SearchResult FindCover(const CoverInstance& instance, const SearchOptions& options) {
    Clock clock(options);
    SearchResult result;
    result.cover = options.start.empty() ? GreedyCover(instance, clock, result.complete) : options.start;
    if (!result.complete || result.cover.size() <= 1) {
        result.stopped = clock.stopped();
        std::sort(result.cover.begin(), result.cover.end());
        return result;
    }
    Annealer annealer(instance, result.cover, options.seed);
    const double heat = options.heat;
    std::sort(result.cover.begin(), result.cover.end());
    while (result.cover.size() > options.target) {
        annealer.dropOne();
        while (!annealer.covers() && clock.goOn(result.cover.size())) {
            annealer.step(heat);
        }
        if (!annealer.covers()) break;
        result.cover = annealer.cover();
        if (annealer.size() <= 1) break;
    }
    result.stopped = clock.stopped();
    return result;
}

}  // namespace torvanel::reduce
