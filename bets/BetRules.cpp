#include "bets/BetRules.h"

#include <algorithm>
#include <array>

namespace torvanel::bets {
namespace {

using enum PayoutClass;
using enum Relation;

constexpr std::array kCoupleClasses{
    ClassRule{CoupleGagnant, BetType::Couple, "gagnant", "Couplé gagnant", 2, SameHorses, false},
    ClassRule{CouplePlace, BetType::Couple, "place", "Couplé placé", 3, AmongFirst, true},
};
constexpr std::array kDeuxSurQuatreClasses{
    ClassRule{DeuxSurQuatre, BetType::DeuxSurQuatre, "2sur4", "2 sur 4", 4, AmongFirst, true},
};
constexpr std::array kTierceClasses{
    ClassRule{TierceOrdre, BetType::Tierce, "ordre", "Tiercé ordre", 3, InOrder, false},
    ClassRule{TierceDesordre, BetType::Tierce, "desordre", "Tiercé désordre", 3, SameHorses, false},
};
constexpr std::array kQuarteClasses{
    ClassRule{QuarteOrdre, BetType::Quarte, "ordre", "Quarté ordre", 4, InOrder, false},
    ClassRule{QuarteDesordre, BetType::Quarte, "desordre", "Quarté désordre", 4, SameHorses, false},
    ClassRule{QuarteBonus, BetType::Quarte, "bonus", "Bonus", 3, HoldsFirst, true},
};
constexpr std::array kQuinteClasses{
    ClassRule{QuinteOrdre, BetType::Quinte, "ordre", "Quinté ordre", 5, InOrder, false},
    ClassRule{QuinteDesordre, BetType::Quinte, "desordre", "Quinté désordre", 5, SameHorses, false},
    ClassRule{QuinteBonus4, BetType::Quinte, "bonus4", "Bonus 4", 4, HoldsFirst, true},
    ClassRule{QuinteBonus3, BetType::Quinte, "bonus3", "Bonus 3", 3, HoldsFirst, true},
};

const std::array<BetRule, kBetTypeCount> kBets{{
    {BetType::Couple, "Couplé", "couple", "couple", 2, "1", kCoupleClasses},
    {BetType::DeuxSurQuatre, "2 sur 4", "2sur4", "2-sur-4", 2, "3", kDeuxSurQuatreClasses},
    {BetType::Tierce, "Tiercé", "tierce", "tierce", 3, "1", kTierceClasses},
    {BetType::Quarte, "Quarté", "quarte", "quarte", 4, "1.3", kQuarteClasses},
    {BetType::Quinte, "Quinté", "quinte", "quinte", 5, "2", kQuinteClasses},
}};

// "4 de vos chevaux", "vos 2 bases", "un de vos outsiders": `count` of the
// punter's `group`, all of it when `all`.
std::string SomeOf(int count, std::string_view group, bool all)
{
    const std::string number = std::to_string(count);
    if (group == "bases")
        return count == 1 ? (all ? "votre base" : "une de vos bases") : (all ? "vos " + number + " " : number + " de vos ") + "bases";
    return (count == 1 ? std::string("un") : number) + " de vos " + std::string(group);
}

// Who must finish first for a bonus to pay a line: "vos 2 bases et 2 de vos
// outsiders", or "4 de vos chevaux" in a list without bases.
std::string FirstFinishers(int finishers, LineBases bases)
{
    if (bases.perLine == 0)
        return SomeOf(finishers, "chevaux", false);
    const int held = std::min(finishers, bases.perLine);
    std::string who = SomeOf(held, "bases", held == bases.chosen);
    if (held < finishers)
        who += " et " + SomeOf(finishers - held, "outsiders", false);
    return who;
}

bool Holds(std::span<const Horse> horses, Horse horse)
{
    return std::find(horses.begin(), horses.end(), horse) != horses.end();
}

}  // namespace

const BetRule& RuleOf(BetType bet)
{
    const auto index = static_cast<std::size_t>(bet);
    return kBets.at(index < kBets.size() ? index : static_cast<std::size_t>(BetType::Tierce));
}

std::span<const BetRule> AllBets() { return kBets; }

const ClassRule& ClassOf(PayoutClass payout)
{
    for (const BetRule& bet : kBets)
        for (const ClassRule& rule : bet.classes)
            if (rule.id == payout) return rule;
    return kQuinteClasses.front();  // every class is in the table
}

bool Pays(const ClassRule& rule, std::span<const Horse> line, std::span<const Horse> arrival)
{
    const auto finishers = static_cast<std::size_t>(rule.finishers);
    if (arrival.size() < finishers) return false;
    const std::span<const Horse> first = arrival.first(finishers);
    switch (rule.relation) {
    case InOrder:
        return std::equal(line.begin(), line.end(), first.begin(), first.end());
    case SameHorses:
        return std::is_permutation(line.begin(), line.end(), first.begin(), first.end());
    case HoldsFirst:
        return std::all_of(first.begin(), first.end(), [line](Horse h) { return Holds(line, h); });
    case AmongFirst:
        return std::all_of(line.begin(), line.end(), [first](Horse h) { return Holds(first, h); });
    }
    return false;
}

const ClassRule* BestClass(BetType bet, std::span<const Horse> line, std::span<const Horse> arrival)
{
    for (const ClassRule& rule : RuleOf(bet).classes)
        if (Pays(rule, line, arrival)) return &rule;
    return nullptr;
}

std::vector<PayoutClass> GuaranteeablePayouts(BetType bet)
{
    std::vector<PayoutClass> payouts;
    for (const ClassRule& rule : RuleOf(bet).classes)
        if (rule.guaranteeable) payouts.push_back(rule.id);
    return payouts;
}

std::string ClassInSentence(PayoutClass payout)
{
    if (payout == QuarteBonus)
        return "le Bonus du Quarté";
    return "le " + std::string(ClassOf(payout).name);
}

std::string GuaranteeSentence(PayoutClass payout, LineBases bases)
{
    const ClassRule& rule = ClassOf(payout);
    const std::string first = "les " + std::to_string(rule.finishers) + " premiers";
    const std::string paid = ", " + ClassInSentence(payout) + " est assuré.";
    if (rule.relation == AmongFirst)
        return "Si " + first + " sont tous parmi vos chevaux" +
               (bases.perLine > 0 ? " et que la liste complète y gagne" : "") + paid;
    return "Si " + FirstFinishers(rule.finishers, bases) + " font " + first + paid;
}

std::string CountedArrivals(PayoutClass payout, LineBases bases)
{
    const ClassRule& rule = ClassOf(payout);
    const std::string first = "les " + std::to_string(rule.finishers) + " premiers";
    if (rule.relation == AmongFirst)
        return bases.perLine > 0 ? "que paie la liste complète quand " + first + " sont tous parmi vos chevaux"
                                 : "où " + first + " sont tous parmi vos chevaux";
    if (bases.perLine == 0)
        return "que paie la liste complète";
    return "où " + FirstFinishers(rule.finishers, bases) + " font " + first;
}

}  // namespace torvanel::bets
