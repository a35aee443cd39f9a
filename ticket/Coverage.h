#pragma once
// What a list covers: for each payout class of the bet, how many of the
// possible arrivals among the list's horses the list pays in that class or a
// better one. An arrival is an ordered sequence of different horses of the
// list, as many as the class reads ("12-3-7" for a Bonus 3).

#include "ticket/Arrival.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace torvanel {

struct CoverageRow {
    const bets::ClassRule* rule = nullptr;
    std::uint64_t paid = 0;  // arrivals the list pays in this class or a better one
    std::uint64_t all = 0;   // arrivals of as many different horses of the list as the class reads
};

class Coverage {
public:
    // The list's horses, in increasing order.
    const std::vector<bets::Horse>& horses() const { return horses_; }
    // One row a class of the bet, best first.
    const std::vector<CoverageRow>& rows() const { return rows_; }

    // Calls visit(arrival) for each arrival of row `row` that the list does
    // not pay, in increasing order of its first horse, then its second…;
    // false from visit stops.
    void forEachUnpaid(std::size_t row, const std::function<bool(std::span<const bets::Horse>)>& visit) const;

private:
    friend std::optional<Coverage> Cover(const ShownLines& lines, BetType bet, const KeepGoing& keepGoing);

    std::vector<bets::Horse> horses_;
    std::vector<CoverageRow> rows_;
    // One bit per sequence of horse indices i0, i1, … (at i0 + H i1 + H² i2 …),
    // a row: set where the list pays that arrival in the row's class or better.
    std::vector<std::vector<std::uint64_t>> paid_;
};

// Why working out the coverage of `lines` would take too long, or needs
// more memory than it should, in French; empty when it can be worked out.
std::string CoverageRefusal(const ShownLines& lines, BetType bet);

// The coverage of `lines`. `keepGoing` hears the lines read so far now and
// then; nothing when it stopped the work.
std::optional<Coverage> Cover(const ShownLines& lines, BetType bet, const KeepGoing& keepGoing = {});

// The work Cover() does, in sequences of horses it reads a line against:
// what CoverageRefusal() weighs (and the benchmark times).
double CoverageWork(const ShownLines& lines, BetType bet);

}  // namespace torvanel
