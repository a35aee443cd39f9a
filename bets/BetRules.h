#pragma once
// The rules of the five bet types in one place: how many horses a line holds,
// the unit stake, the stem of a saved file's name, and the payout classes,
// best first, each with the rule that says whether an arrival pays a line.
// Everything that needs a bet's rule reads it here.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace torvanel {

enum class BetType { Couple = 0, DeuxSurQuatre = 1, Tierce = 2, Quarte = 3, Quinte = 4 };

}  // namespace torvanel

namespace torvanel::bets {

using Horse = std::int16_t;

// How a class compares a written line with the first finishers.
enum class Relation {
    InOrder,     // the line is the first finishers in its written order
    SameHorses,  // the line holds exactly the first finishers, in any order
    HoldsFirst,  // the first finishers are all in the line (the bonuses)
    AmongFirst,  // the line's horses all finished among the first (the place payouts)
};

// Every payout class of every bet type. The five that a reduction can
// guarantee keep the names the reductions have always used.
enum class PayoutClass {
    CoupleGagnant,
    CouplePlace,
    DeuxSurQuatre,
    TierceOrdre,
    TierceDesordre,
    QuarteOrdre,
    QuarteDesordre,
    QuarteBonus,
    QuinteOrdre,
    QuinteDesordre,
    QuinteBonus4,
    QuinteBonus3,
};

struct ClassRule {
    PayoutClass id;
    BetType bet;
    std::string_view key;   // its name in files: "ordre", "bonus4", "place"
    std::string_view name;  // as the punter reads it: "Bonus 4", "Couplé placé"
    int finishers;          // how many finishers the class reads
    Relation relation;
    bool guaranteeable;     // a shorter list can still guarantee it
};

struct BetRule {
    BetType type;
    std::string_view name;       // "Quinté"
    std::string_view key;        // its name in files: "quinte"
    std::string_view fileStem;   // the start of a saved list's name: "quinte"
    int lineSize;                // horses per line
    std::string_view unitStake;  // written into the stake box when the bet is chosen
    std::span<const ClassRule> classes;  // best first
};

inline constexpr int kBetTypeCount = 5;

const BetRule& RuleOf(BetType bet);
const ClassRule& ClassOf(PayoutClass payout);
// The five bet types in the order of their buttons.
std::span<const BetRule> AllBets();

// Whether `arrival` (the finishers in order) pays `line` (its horses as
// written) in `rule`'s class. An arrival shorter than the class reads pays
// nothing there.
bool Pays(const ClassRule& rule, std::span<const Horse> line, std::span<const Horse> arrival);

// The class in which `arrival` pays `line`: a line is paid in its best class
// only. Nothing when it pays in none.
const ClassRule* BestClass(BetType bet, std::span<const Horse> line, std::span<const Horse> arrival);

// The classes of a bet type that a shorter list can guarantee, best first
// (none for the Tiercé: only its exact line pays).
std::vector<PayoutClass> GuaranteeablePayouts(BetType bet);

// The bases of a list's lines: how many each line holds, out of how many
// the punter chose (none in a list of one group among itself).
struct LineBases {
    int perLine = 0;
    int chosen = 0;
};

// What a list reduced for `payout` guarantees, said as a punter says it:
// "Si vos 2 bases et 2 de vos outsiders font les 4 premiers, le Bonus 4 est
// assuré."
std::string GuaranteeSentence(PayoutClass payout, LineBases bases);

// Which arrivals a reduced list's figures count, as the end of "Ces 30
// lignes paient le Bonus 4 pour 150 des 330 arrivées (45,5 %) …": the
// arrivals the full guarantee would keep paid ("que paie la liste complète").
std::string CountedArrivals(PayoutClass payout, LineBases bases);

// The class as a sentence names it: "le Bonus du Quarté", "le 2 sur 4".
std::string ClassInSentence(PayoutClass payout);

}  // namespace torvanel::bets
