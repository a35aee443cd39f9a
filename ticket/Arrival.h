#pragma once
// An arrival checked against the list: the finishers the punter types, how
// many lines of the list it pays in each payout class of the bet (a line in
// its best class only), and which lines those are. A full list is counted on
// its blocks by combinatorics, whatever its size; a stage is walked line by
// line.

#include "bets/BetRules.h"
#include "generators/LineSelection.h"
#include "generators/ShownLines.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace torvanel {

// What the punter typed of the race's result, kept from one check to the
// next (and in saved forecasts): the finishers and the official payouts,
// both as typed.
struct ArrivalEntry {
    std::string finishers;                             // "12-3-7-1-5"
    std::map<bets::PayoutClass, std::string> payouts;  // for one unit stake: "12,40"
    bool operator==(const ArrivalEntry&) const = default;
};

// The finishers read from what the punter typed, or why they cannot be.
struct ArrivalReading {
    std::vector<bets::Horse> finishers;  // in order, all different
    std::string refusal;                 // in French; empty when read
};

// Reads "12-3-7-1-5": whole numbers in finishing order, with blanks, "-" or
// "," between them. Refuses a text without a number, a number that is not a
// whole horse number, and a horse that finishes twice.
ArrivalReading ReadArrival(std::string_view typed);

// The finishers as the program writes them: "12-3-7-1-5".
std::string ArrivalText(std::span<const bets::Horse> finishers);

// How many lines an arrival pays in one class of the bet.
struct ClassCount {
    const bets::ClassRule* rule = nullptr;
    bool reckoned = false;    // false: the arrival has fewer finishers than the class reads
    std::uint64_t lines = 0;  // lines whose best class this is
};

struct ArrivalCheck {
    std::vector<ClassCount> classes;  // every class of the bet, best first
    std::uint64_t paidLines() const;
    bool operator==(const ArrivalCheck& other) const;
};

// Calls visit(index in the full list, line) for each line of `lines`, in
// order; false from visit stops.
void ForEachShownLine(const ShownLines& lines, const std::function<bool(std::uint64_t, const LineHorses&)>& visit);

// Called every so many lines of a walk with the lines walked so far; false
// stops the walk.
using KeepGoing = std::function<bool(std::uint64_t walked)>;

// The lines of `lines` that `arrival` pays, by class: a full list by
// combinatorics on its blocks, a stage by walking its lines. Nothing when
// `keepGoing` stopped the walk.
std::optional<ArrivalCheck> CheckArrival(const ShownLines& lines, BetType bet, std::span<const bets::Horse> arrival,
                                         const KeepGoing& keepGoing = {});

// The two ways, apart: every line read against the arrival, and the full
// list's blocks counted without writing a line.
std::optional<ArrivalCheck> CheckByWalk(const ShownLines& lines, BetType bet, std::span<const bets::Horse> arrival,
                                        const KeepGoing& keepGoing = {});
ArrivalCheck CheckByBlocks(const ResultList& full, BetType bet, std::span<const bets::Horse> arrival);

// The lines of `lines` that `arrival` pays, as lines of the full list. On a
// full list only the blocks holding paid lines are walked, each up to its
// last paid line. Nothing when `keepGoing` stopped it.
std::optional<LineSelection> PaidLines(const ShownLines& lines, BetType bet, std::span<const bets::Horse> arrival,
                                       const KeepGoing& keepGoing = {});

}  // namespace torvanel
