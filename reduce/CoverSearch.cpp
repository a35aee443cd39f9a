#include "reduce/CoverSearch.h"

#include "reduce/SearchParts.h"

#include <algorithm>
#include <cmath>
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
// covered (gains are refreshed lazily: a gain only falls).
std::vector<std::uint32_t> GreedyCover(const CoverInstance& instance, Clock& clock, bool& complete) {
    std::vector<char> covered(instance.eventCount(), 0);
    std::priority_queue<std::pair<std::uint32_t, std::uint32_t>> queue;
    for (std::uint32_t c = 0; c < instance.candidateCount(); ++c) {
        if (!clock.goOn(0)) {
            complete = false;
            return {};
        }
        queue.emplace(static_cast<std::uint32_t>(instance.eventsOf(c).size()), ~c);
    }
    std::vector<std::uint32_t> cover;
    while (!queue.empty()) {
        if (!clock.goOn(0)) {
            complete = false;
            return cover;
        }
        auto [gain, flipped] = queue.top();
        queue.pop();
        const std::uint32_t c = ~flipped;
        std::uint32_t now = 0;
        for (std::uint32_t e : instance.eventsOf(c)) now += covered[e] ? 0 : 1;
        if (now == 0) continue;
        if (now < gain) {
            queue.emplace(now, flipped);
            continue;
        }
        cover.push_back(c);
        for (std::uint32_t e : instance.eventsOf(c)) covered[e] = 1;
    }
    return cover;
}

constexpr std::uint32_t kOut = ~std::uint32_t(0);

// A fixed number of kept candidates and how often each event is covered.
// For an event covered once, the sum of its coverers' ids is that coverer,
// so each kept candidate knows how many events it alone covers (its loss
// when it leaves) without looking at its neighbours; the kept candidates
// that cover nothing alone are listed apart, as free replacements.
class Annealer {
public:
    Annealer(const CoverInstance& instance, const std::vector<std::uint32_t>& cover, std::uint64_t seed)
        : instance_(instance), random_(seed), slotOf_(instance.candidateCount(), kOut),
          alone_(instance.candidateCount(), 0), credit_(instance.candidateCount(), 0),
          spare_(instance.candidateCount()), count_(instance.eventCount(), 0),
          coverers_(instance.eventCount(), 0), uncovered_(instance.eventCount()) {
        for (std::uint32_t c : cover) add(c);
    }

    bool covers() const { return uncovered_.empty(); }
    std::size_t size() const { return slots_.size(); }
    std::vector<std::uint32_t> cover() const {
        std::vector<std::uint32_t> sorted(slots_);
        std::sort(sorted.begin(), sorted.end());
        return sorted;
    }

    // Drops the kept candidate whose loss uncovers the fewest events.
    void dropOne() {
        dropLightest();
        mostUncovered_ = std::max(kMostUncovered, uncovered_.size());
    }

    // One annealing step at temperature `heat`: an uncovered event, a
    // candidate covering it, and the kept candidate it replaces best among
    // those it would relieve, a spare one and a random one. A step that would
    // leave more events uncovered than the bound is refused outright.
    void step(double heat) {
        const std::uint32_t event = uncovered_.pick(random_);
        const auto choices = instance_.candidatesOf(event);
        const std::uint32_t in = choices.first[random_.below(choices.size())];
        std::int64_t gain = 0;
        relieved_.clear();
        for (std::uint32_t e : instance_.eventsOf(in)) {
            if (count_[e] == 0) ++gain;
            if (count_[e] != 1) continue;
            const auto alone = static_cast<std::uint32_t>(coverers_[e]);
            if (credit_[alone]++ == 0) relieved_.push_back(alone);
        }
        std::uint32_t out = slots_[random_.below(slots_.size())];
        auto lossOf = [&](std::uint32_t c) { return static_cast<std::int64_t>(alone_[c] - credit_[c]); };
        std::int64_t loss = lossOf(out);
        auto consider = [&](std::uint32_t c) {
            const std::int64_t l = lossOf(c);
            if (l < loss || (l == loss && (random_.next() & 1))) loss = l, out = c;
        };
        if (!spare_.empty()) consider(spare_.pick(random_));
        for (std::uint32_t c : relieved_) consider(c);
        for (std::uint32_t c : relieved_) credit_[c] = 0;
        const std::int64_t delta = loss - gain;
        if (delta > 0 && uncovered_.size() + static_cast<std::size_t>(delta) > mostUncovered_) return;
        if (delta > 0 && random_.unit() >= std::exp(-static_cast<double>(delta) / heat)) return;
        remove(slotOf_[out]);
        add(in);
    }

private:
    // A walk hot enough to leave its local minima drifts far from any cover
    // unless held near one: uphill steps stop at four uncovered events, or at
    // as many as the last drop left when it left more.
    static constexpr std::size_t kMostUncovered = 4;

    void dropLightest() {
        if (!spare_.empty()) return remove(slotOf_[spare_.pick(random_)]);
        std::size_t best = 0;
        for (std::size_t s = 1; s < slots_.size(); ++s)
            if (alone_[slots_[s]] < alone_[slots_[best]]) best = s;
        remove(best);
    }

    void add(std::uint32_t c) {
        slotOf_[c] = static_cast<std::uint32_t>(slots_.size());
        slots_.push_back(c);
        alone_[c] = 0;
        for (std::uint32_t e : instance_.eventsOf(c)) {
            if (count_[e] == 0) {
                if (uncovered_.contains(e)) uncovered_.erase(e);
                ++alone_[c];
            } else if (count_[e] == 1) {
                const auto other = static_cast<std::uint32_t>(coverers_[e]);
                if (--alone_[other] == 0) spare_.insert(other);
            }
            ++count_[e];
            coverers_[e] += c;
        }
        if (alone_[c] == 0) spare_.insert(c);
    }

    void remove(std::size_t slot) {
        const std::uint32_t c = slots_[slot];
        slots_[slot] = slots_.back();
        slotOf_[slots_[slot]] = static_cast<std::uint32_t>(slot);
        slots_.pop_back();
        slotOf_[c] = kOut;
        if (spare_.contains(c)) spare_.erase(c);
        for (std::uint32_t e : instance_.eventsOf(c)) {
            --count_[e];
            coverers_[e] -= c;
            if (count_[e] == 0) uncovered_.insert(e);
            if (count_[e] != 1) continue;
            const auto other = static_cast<std::uint32_t>(coverers_[e]);
            if (alone_[other]++ == 0) spare_.erase(other);
        }
    }

    const CoverInstance& instance_;
    Random random_;
    std::vector<std::uint32_t> slots_;
    std::vector<std::uint32_t> slotOf_;
    std::vector<std::uint32_t> alone_;    // per kept candidate: events it alone covers
    std::vector<std::uint32_t> credit_;   // per candidate, during a step: of those, how many `in` covers
    IdSet spare_;                         // kept candidates that cover nothing alone
    std::vector<std::uint32_t> relieved_;
    std::vector<std::uint32_t> count_;
    std::vector<std::uint64_t> coverers_;  // per event: the sum of its kept coverers' ids
    IdSet uncovered_;
    std::size_t mostUncovered_ = kMostUncovered;
};

}  // namespace

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
