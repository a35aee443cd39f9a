#include "reduce/KeptCandidates.h"

#include <algorithm>

namespace torvanel::reduce {

KeptCandidates::KeptCandidates(const CoverInstance& instance, const std::vector<std::uint32_t>& kept,
                               std::uint64_t seed)
    : instance_(instance), random_(seed), slotOf_(instance.candidateCount(), kOut),
      alone_(instance.candidateCount(), 0), credit_(instance.candidateCount(), 0), spare_(instance.candidateCount()),
      count_(instance.eventCount(), 0), coverers_(instance.eventCount(), 0), uncovered_(instance.eventCount()) {
    for (std::uint32_t e = 0; e < instance.eventCount(); ++e)
        if (instance.candidatesOf(e).size() > 0) uncovered_.insert(e);
    for (std::uint32_t c : kept) add(c);
}

std::vector<std::uint32_t> KeptCandidates::kept() const {
    std::vector<std::uint32_t> sorted(slots_);
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

KeptCandidates::Swap KeptCandidates::propose() {
    const auto choices = instance_.candidatesOf(uncovered_.pick(random_));
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
    const auto lossOf = [&](std::uint32_t c) { return static_cast<std::int64_t>(alone_[c] - credit_[c]); };
    std::int64_t loss = lossOf(out);
    const auto consider = [&](std::uint32_t c) {
        const std::int64_t l = lossOf(c);
        if (l < loss || (l == loss && (random_.next() & 1))) loss = l, out = c;
    };
    if (!spare_.empty()) consider(spare_.pick(random_));
    for (std::uint32_t c : relieved_) consider(c);
    for (std::uint32_t c : relieved_) credit_[c] = 0;
    return {in, out, gain - loss};
}

void KeptCandidates::make(const Swap& swap) {
    remove(swap.out);
    add(swap.in);
}

void KeptCandidates::dropLightest() {
    if (!spare_.empty()) return remove(spare_.pick(random_));
    std::size_t best = 0;
    for (std::size_t s = 1; s < slots_.size(); ++s)
        if (alone_[slots_[s]] < alone_[slots_[best]]) best = s;
    remove(slots_[best]);
}

void KeptCandidates::add(std::uint32_t c) {
    slotOf_[c] = static_cast<std::uint32_t>(slots_.size());
    slots_.push_back(c);
    alone_[c] = 0;
    for (std::uint32_t e : instance_.eventsOf(c)) {
        if (count_[e] == 0) {
            uncovered_.erase(e);
            ++covered_;
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

void KeptCandidates::remove(std::uint32_t c) {
    const std::uint32_t slot = slotOf_[c];
    slots_[slot] = slots_.back();
    slotOf_[slots_[slot]] = slot;
    slots_.pop_back();
    slotOf_[c] = kOut;
    if (spare_.contains(c)) spare_.erase(c);
    for (std::uint32_t e : instance_.eventsOf(c)) {
        --count_[e];
        coverers_[e] -= c;
        if (count_[e] == 0) {
            uncovered_.insert(e);
            --covered_;
        }
        if (count_[e] != 1) continue;
        const auto other = static_cast<std::uint32_t>(coverers_[e]);
        if (alone_[other]++ == 0) spare_.erase(other);
    }
}

}  // namespace torvanel::reduce
