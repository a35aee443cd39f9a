#include "ticket/Gains.h"

#include "generators/Numbers.h"

#include <cctype>

namespace torvanel {
namespace {

// "€" as typed after an amount.
constexpr std::string_view kEuro = "\xE2\x82\xAC";

// The amount without its blanks (thousands are often set apart, by a
// no-break space in French) and without a final "€".
std::string Bare(std::string_view typed)
{
    std::string bare;
    for (std::size_t i = 0; i < typed.size(); ++i) {
        if (typed[i] == ' ' || typed[i] == '\t') continue;
        if (typed.substr(i, 2) == "\xC2\xA0") { ++i; continue; }         // no-break space
        if (typed.substr(i, 3) == "\xE2\x80\xAF") { i += 2; continue; }  // narrow no-break space
        bare += typed[i];
    }
    if (bare.ends_with(kEuro)) bare.resize(bare.size() - kEuro.size());
    return bare;
}

}  // namespace

PayoutReading ReadPayout(std::string_view typed)
{
    const std::string bare = Bare(typed);
    if (bare.empty()) return {};
    std::string plain;  // with "." for the decimal comma
    int separators = 0;
    for (char c : bare) {
        if (c == ',' || c == '.') {
            ++separators;
            plain += '.';
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            plain += c;
        } else {
            return {std::nullopt, true};
        }
    }
    if (separators > 1 || plain == ".") return {std::nullopt, true};
    return {ReadNumber(plain), false};
}

Gains Reckon(const ArrivalCheck& check, BetType bet, const std::map<bets::PayoutClass, std::string>& payouts,
             std::string_view stake, std::uint64_t listed)
{
    const double played = ReadNumber(stake);
    // Payouts are given for the bet's unit stake; another stake pays in proportion.
    const double stakes = played / ReadNumber(bets::RuleOf(bet).unitStake);
    Gains gains;
    gains.cost = listed == 0 ? 0.0 : static_cast<double>(listed) * played;  // as the merge prices a list
    for (const ClassCount& count : check.classes) {
        ClassGain row{count, {}, 0};
        if (const auto typed = payouts.find(count.rule->id); typed != payouts.end()) row.payout = ReadPayout(typed->second);
        if (count.reckoned && row.payout.amount) row.gain = static_cast<double>(count.lines) * *row.payout.amount * stakes;
        gains.total += row.gain;
        gains.classes.push_back(row);
    }
    return gains;
}

}  // namespace torvanel
