#pragma once
// What a checked arrival brings: the official payouts the punter types (for
// one unit stake of the bet), the gain of each class at the stake played,
// the cost of the list and the balance.

#include "ticket/Arrival.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace torvanel {

// A payout as typed: "12,40", "12.4", "1 234,50", "8 €". Nothing for an
// empty text; `refused` for a text that is not an amount.
struct PayoutReading {
    std::optional<double> amount;
    bool refused = false;
};
PayoutReading ReadPayout(std::string_view typed);

struct ClassGain {
    ClassCount count;
    PayoutReading payout;
    double gain = 0;  // 0 without a payout, or when the class is not reckoned
};

struct Gains {
    std::vector<ClassGain> classes;  // best first, as in the check
    double total = 0;
    double cost = 0;  // of the lines the arrival was checked against
    double balance() const { return total - cost; }
};

// The gains of `check` at `stake` (the text of the stake box, read as the
// merge reads it) for the payouts typed per class, and the balance against
// the cost of `listed` lines at that stake.
Gains Reckon(const ArrivalCheck& check, BetType bet, const std::map<bets::PayoutClass, std::string>& payouts,
             std::string_view stake, std::uint64_t listed);

}  // namespace torvanel
