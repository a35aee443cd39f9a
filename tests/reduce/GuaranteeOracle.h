#pragma once
// A reference for the guarantee of a reduced list, written plainly for the
// tests and sharing nothing with the reduction: lines as lists of horse
// numbers, arrivals as the sets of the first finishers, and each payout's
// rule spelt out.

#include "bets/BetRules.h"
#include "generators/ShownLines.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <set>
#include <vector>

namespace torvanel::test {

struct PlainLine {
    std::vector<int> horses;  // sorted
    std::vector<int> bases;   // those that were bases of a fusion, sorted
};

inline PlainLine PlainLineOf(const LineHorses& line) {
    PlainLine plain;
    for (int m = 0; m < line.size; ++m) {
        plain.horses.push_back(line.horses[static_cast<std::size_t>(m)]);
        if (m < line.bases) plain.bases.push_back(line.horses[static_cast<std::size_t>(m)]);
    }
    std::sort(plain.horses.begin(), plain.horses.end());
    std::sort(plain.bases.begin(), plain.bases.end());
    return plain;
}

inline std::vector<PlainLine> PlainLines(const ShownLines& lines) {
    std::vector<PlainLine> plain;
    plain.reserve(lines.count());
    for (std::uint64_t i = 0; i < lines.count(); ++i) plain.push_back(PlainLineOf(lines.horsesAt(i)));
    return plain;
}

// The shown lines whose indices are `kept`.
inline std::vector<PlainLine> PlainLines(const ShownLines& lines, const std::vector<std::uint64_t>& kept) {
    std::vector<PlainLine> plain;
    plain.reserve(kept.size());
    for (std::uint64_t k : kept) plain.push_back(PlainLineOf(lines.horsesAt(k)));
    return plain;
}

// Every horse of the full list: the punter's horses.
inline std::vector<int> PuntersHorsesOf(const ResultList& full) {
    std::set<int> horses;
    for (const ResultBlock& block : full.blocks()) {
        horses.insert(block.bases.begin(), block.bases.end());
        horses.insert(block.outs.begin(), block.outs.end());
    }
    return {horses.begin(), horses.end()};
}

// The payouts a reduction guarantees, read against the first `finishers`
// as a set: a bonus pays a line holding all of them, a place payout a line
// whose horses are all among them.
struct PlainRule {
    int finishers;
    bool lineHoldsThem;
};

inline PlainRule PlainRuleOf(bets::PayoutClass payout) {
    switch (payout) {
    case bets::PayoutClass::QuinteBonus4: return {4, true};
    case bets::PayoutClass::QuinteBonus3:
    case bets::PayoutClass::QuarteBonus: return {3, true};
    case bets::PayoutClass::DeuxSurQuatre: return {4, false};
    case bets::PayoutClass::CouplePlace: return {3, false};
    default: return {0, true};
    }
}

inline bool Contains(const std::vector<int>& sorted, const std::vector<int>& part) {
    return std::includes(sorted.begin(), sorted.end(), part.begin(), part.end());
}

inline bool Pays(const PlainRule& rule, const PlainLine& line, const std::vector<int>& arrival) {
    return rule.lineHoldsThem ? Contains(line.horses, arrival) : Contains(arrival, line.horses);
}

// A bonus is promised only for the arrivals that hold as many of the
// paying line's bases as they can ("vos bases y figurent").
inline bool Promised(const PlainRule& rule, const PlainLine& line, const std::vector<int>& arrival) {
    if (!Pays(rule, line, arrival)) return false;
    if (!rule.lineHoldsThem) return true;
    std::vector<int> held;
    std::set_intersection(arrival.begin(), arrival.end(), line.bases.begin(), line.bases.end(),
                          std::back_inserter(held));
    return held.size() == std::min(static_cast<std::size_t>(rule.finishers), line.bases.size());
}

// Calls visit(set) for every set of `size` of `horses` (sorted).
template <typename Visit>
void ForEachSet(const std::vector<int>& horses, int size, Visit&& visit, std::size_t from = 0,
                std::vector<int> chosen = {}) {
    if (static_cast<int>(chosen.size()) == size) return visit(chosen);
    for (std::size_t i = from; i < horses.size(); ++i) {
        chosen.push_back(horses[i]);
        ForEachSet(horses, size, visit, i + 1, chosen);
        chosen.pop_back();
    }
}

// The first arrival among `horses` (the punter's) that a line of `all`
// pays, as the guarantee promises, and that no line of `kept` pays;
// nothing when the guarantee holds. The arrivals a line pays are found from
// the line itself (its sets of finishers, or itself with other horses), so
// that long lists stay quick.
inline std::optional<std::vector<int>> UnpaidArrival(const std::vector<PlainLine>& all,
                                                     const std::vector<PlainLine>& kept,
                                                     const std::vector<int>& horses, bets::PayoutClass payout) {
    const PlainRule rule = PlainRuleOf(payout);
    std::set<std::vector<int>> promised;
    for (const PlainLine& line : all) {
        if (rule.lineHoldsThem) {
            ForEachSet(line.horses, rule.finishers, [&](const std::vector<int>& arrival) {
                if (Promised(rule, line, arrival)) promised.insert(arrival);
            });
            continue;
        }
        std::vector<int> others;
        std::set_difference(horses.begin(), horses.end(), line.horses.begin(), line.horses.end(),
                            std::back_inserter(others));
        ForEachSet(others, rule.finishers - static_cast<int>(line.horses.size()), [&](const std::vector<int>& rest) {
            std::vector<int> arrival;
            std::merge(line.horses.begin(), line.horses.end(), rest.begin(), rest.end(), std::back_inserter(arrival));
            promised.insert(arrival);
        });
    }
    for (const std::vector<int>& arrival : promised)
        if (std::none_of(kept.begin(), kept.end(), [&](const PlainLine& k) { return Pays(rule, k, arrival); }))
            return arrival;
    return std::nullopt;
}

}  // namespace torvanel::test
