// An arrival checked against the list and what a list covers, against a
// reference written here from the rules as a punter reads them: every line
// read against the arrival, every arrival against every line.

#include "EngineTestSupport.h"
#include "generators/Generators.h"
#include "reduce/Reduce.h"
#include "ticket/Coverage.h"
#include "ticket/Gains.h"
#include "ticket/Ticket.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

using namespace torvanel;
using bets::Horse;
using Line = std::vector<Horse>;

namespace {

// ---- The rules as written ---------------------------------------------------
// Order: the line is the first finishers in its written order; Same: the
// same horses in another order; Holds: the first finishers are all in the
// line; Among: the line's horses all finished among the first.
enum class How { Order, Same, Holds, Among };
struct WrittenClass {
    int finishers;
    How how;
};

const std::map<BetType, std::vector<WrittenClass>> kWritten = {
    {BetType::Couple, {{2, How::Same}, {3, How::Among}}},
    {BetType::DeuxSurQuatre, {{4, How::Among}}},
    {BetType::Tierce, {{3, How::Order}, {3, How::Same}}},
    {BetType::Quarte, {{4, How::Order}, {4, How::Same}, {3, How::Holds}}},
    {BetType::Quinte, {{5, How::Order}, {5, How::Same}, {4, How::Holds}, {3, How::Holds}}},
};

bool In(const Line& horses, Horse horse) { return std::find(horses.begin(), horses.end(), horse) != horses.end(); }

bool WrittenPays(WrittenClass rule, const Line& line, const Line& arrival)
{
    if (int(arrival.size()) < rule.finishers) return false;
    const Line first(arrival.begin(), arrival.begin() + rule.finishers);
    Line sortedLine = line, sortedFirst = first;
    std::sort(sortedLine.begin(), sortedLine.end());
    std::sort(sortedFirst.begin(), sortedFirst.end());
    switch (rule.how) {
    case How::Order: return line == first;
    case How::Same: return sortedLine == sortedFirst;
    case How::Holds: return std::all_of(first.begin(), first.end(), [&](Horse h) { return In(line, h); });
    case How::Among: return std::all_of(line.begin(), line.end(), [&](Horse h) { return In(first, h); });
    }
    return false;
}

// The best class `arrival` pays `line` in, by its index; -1 for none.
int WrittenBest(BetType bet, const Line& line, const Line& arrival)
{
    const std::vector<WrittenClass>& classes = kWritten.at(bet);
    for (std::size_t c = 0; c < classes.size(); ++c)
        if (WrittenPays(classes[c], line, arrival)) return int(c);
    return -1;
}

// ---- Lists and their lines ------------------------------------------------
// The lines of a block as nested loops: positions increasing, bases first.
void Choose(const Line& group, int take, std::size_t from, Line& chosen, const std::function<void()>& inner)
{
    if (take == 0) return inner();
    for (std::size_t p = from; p + std::size_t(take) <= group.size(); ++p) {
        chosen.push_back(group[p]);
        Choose(group, take - 1, p + 1, chosen, inner);
        chosen.pop_back();
    }
}

std::vector<Line> LinesOf(const ResultList& list)
{
    std::vector<Line> lines;
    for (const ResultBlock& block : list.blocks()) {
        Line line;
        Choose(block.bases, block.baseTake, 0, line,
               [&] { Choose(block.outs, block.outTake, 0, line, [&] { lines.push_back(line); }); });
    }
    return lines;
}

// Lines paid in each class, and the indices of the paid ones, by the rules.
struct Reference {
    std::vector<std::uint64_t> counts;
    std::vector<std::uint64_t> paid;
};

Reference WrittenCheck(BetType bet, const std::vector<Line>& lines, const std::vector<std::uint64_t>& indices,
                       const Line& arrival)
{
    Reference reference{std::vector<std::uint64_t>(kWritten.at(bet).size(), 0), {}};
    for (std::uint64_t index : indices)
        if (const int best = WrittenBest(bet, lines[index], arrival); best >= 0) {
            ++reference.counts[std::size_t(best)];
            reference.paid.push_back(index);
        }
    return reference;
}

std::vector<std::uint64_t> Counts(const ArrivalCheck& check)
{
    std::vector<std::uint64_t> counts;
    for (const ClassCount& count : check.classes) counts.push_back(count.lines);
    return counts;
}

std::vector<std::uint64_t> Indices(const LineSelection& selection)
{
    std::vector<std::uint64_t> indices;
    selection.forEach([&](std::uint64_t index) { indices.push_back(index); return true; });
    return indices;
}

// A list of `bet` lines with the order the punter gave his horses, a horse
// typed twice in the bases, and fusions beside a single group; a narrow one
// holds horses 1 to 9 only.
ResultList PuntersList(BetType bet, bool narrow = false)
{
    const int size = bets::RuleOf(bet).lineSize;
    ResultList list;
    list.append({{7, 2, 9, 4, 1, 6}, size, {}, 0, 0});
    if (narrow) {
        list.append({{5, 3, 5}, 1, {8, 3, 1, 2}, size - 1, 0});
        return list;
    }
    list.append({{5, 3, 5}, 1, {8, 3, 1, 2, 10}, size - 1, 0});
    if (size > 2) list.append({{4, 11, 2}, 2, {6, 12, 1}, size - 2, 0});
    return list;
}

// The arrivals read against it: each run of its horses in a shuffled order,
// with horse 99 (in no line) among them now and then.
std::vector<Line> Arrivals(std::mt19937& random, int count)
{
    std::vector<Line> arrivals;
    Line horses{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 99};
    for (int i = 0; i < count; ++i) {
        std::shuffle(horses.begin(), horses.end(), random);
        arrivals.emplace_back(horses.begin(), horses.begin() + 1 + i % 6);
    }
    arrivals.push_back({7, 2, 9, 4, 1});  // the first line, in order
    arrivals.push_back({2, 7, 9, 4, 1});
    return arrivals;
}

// Every other line of the full list, from line `from`: a stage.
ShownLines EveryOtherLine(const ResultList& list, std::uint64_t from)
{
    std::vector<std::uint64_t> kept;
    for (std::uint64_t i = from; i < list.count(); i += 2) kept.push_back(i);
    return ShownLines(std::make_shared<const ResultList>(list),
                      std::make_shared<const LineSelection>(LineSelection::FromIndices(kept, list.count())));
}

std::vector<std::uint64_t> AllIndices(std::uint64_t count)
{
    std::vector<std::uint64_t> all(count);
    for (std::uint64_t i = 0; i < count; ++i) all[i] = i;
    return all;
}

}  // namespace

TEST(Arrival, EachBetPaysAsTheWrittenRulesOnFullListsAndStages)
{
    std::mt19937 random(26);
    for (const bets::BetRule& bet : bets::AllBets()) {
        const ResultList list = PuntersList(bet.type);
        const std::vector<Line> lines = LinesOf(list);
        ASSERT_EQ(lines.size(), list.count());
        const ShownLines full(list);
        const ShownLines stage = EveryOtherLine(list, 1);
        for (const Line& arrival : Arrivals(random, 60)) {
            SCOPED_TRACE(std::string(bet.name) + " " + ArrivalText(arrival));
            const Reference all = WrittenCheck(bet.type, lines, AllIndices(list.count()), arrival);
            EXPECT_EQ(Counts(*CheckArrival(full, bet.type, arrival)), all.counts);
            EXPECT_EQ(Counts(*CheckByWalk(full, bet.type, arrival)), all.counts);
            EXPECT_EQ(Indices(*PaidLines(full, bet.type, arrival)), all.paid);
            const Reference kept = WrittenCheck(bet.type, lines, Indices(*stage.kept()), arrival);
            EXPECT_EQ(Counts(*CheckArrival(stage, bet.type, arrival)), kept.counts);
            EXPECT_EQ(Indices(*PaidLines(stage, bet.type, arrival)), kept.paid);
        }
    }
}

TEST(Arrival, AStageOfFewLinesIsReadLineByLine)
{
    ResultList quinte;
    AppendCombinations(quinte, test::Horses(1, 10), 5);
    const std::vector<std::uint64_t> kept{3, 100, 130, 251};
    const ShownLines stage(std::make_shared<const ResultList>(quinte),
                           std::make_shared<const LineSelection>(LineSelection::FromIndices(kept, quinte.count())));
    const Line arrival{6, 7, 8, 9, 10};  // line 251, in order
    const Reference reference = WrittenCheck(BetType::Quinte, LinesOf(quinte), kept, arrival);
    EXPECT_EQ(Counts(*CheckArrival(stage, BetType::Quinte, arrival)), reference.counts);
    EXPECT_EQ(Indices(*PaidLines(stage, BetType::Quinte, arrival)), reference.paid);
    EXPECT_EQ(reference.paid.back(), 251U);
}

TEST(Arrival, ClassesNeedingMoreFinishersAreNotReckoned)
{
    const ShownLines quinte(PuntersList(BetType::Quinte));
    const ArrivalCheck check = *CheckArrival(quinte, BetType::Quinte, Line{7, 2, 9});
    std::vector<bool> reckoned;
    for (const ClassCount& count : check.classes) reckoned.push_back(count.reckoned);
    EXPECT_EQ(reckoned, (std::vector<bool>{false, false, false, true}));
    EXPECT_EQ(Counts(check), (std::vector<std::uint64_t>{0, 0, 0, 3}));  // 7-2-9 and two of 4, 1, 6
}

TEST(Arrival, BlocksCountAsTheWalkOnRandomFusions)
{
    std::mt19937 random(2026);
    std::uniform_int_distribution<int> horse(-3, 12);  // repeats and negative numbers
    for (int round = 0; round < 400; ++round) {
        const bets::BetRule& bet = bets::AllBets()[std::size_t(round) % bets::AllBets().size()];
        ResultList list;
        for (int b = 0; b < 3; ++b) {
            const int baseTake = std::uniform_int_distribution<int>(1, bet.lineSize)(random);
            Line bases(std::size_t(std::uniform_int_distribution<int>(baseTake, baseTake + 5)(random)));
            Line outs(baseTake == bet.lineSize ? 0 : std::size_t(bet.lineSize - baseTake + 4));
            for (Horse& h : bases) h = Horse(horse(random));
            for (Horse& h : outs) h = Horse(horse(random));
            list.append({bases, baseTake, outs, bet.lineSize - baseTake, 0});
        }
        Line arrival{-3, -2, -1, 0, 1, 2, 3, 4, 5, 6, 7, 8};
        std::shuffle(arrival.begin(), arrival.end(), random);
        arrival.resize(std::size_t(1 + round % 6));
        SCOPED_TRACE(std::string(bet.name) + " " + ArrivalText(arrival));
        EXPECT_EQ(CheckByBlocks(list, bet.type, arrival), *CheckByWalk(ShownLines(list), bet.type, arrival));
    }
}

TEST(Arrival, ABigListIsCountedWithoutAWalkAndAWalkCanBeStopped)
{
    ResultList couple;  // 2 147 385 345 lines
    couple.append({test::Horses(-32767, 32767), 2, {}, 0, 0});
    const ArrivalCheck check = *CheckArrival(ShownLines(couple), BetType::Couple, Line{3, -536, 12});
    EXPECT_EQ(Counts(check), (std::vector<std::uint64_t>{1, 2}));
    std::uint64_t walked = 0;
    const auto stopAtOnce = [&walked](std::uint64_t lines) { walked = lines; return false; };
    EXPECT_FALSE(CheckByWalk(ShownLines(couple), BetType::Couple, Line{3, -536}, stopAtOnce));
    EXPECT_GT(walked, 0U);
    EXPECT_FALSE(PaidLines(ShownLines(couple), BetType::Couple, Line{32767, 32766}, stopAtOnce));
}

TEST(Arrival, TypedFinishersAreReadOrRefused)
{
    EXPECT_EQ(ReadArrival(" 12 3,7-1  05 ").finishers, (Line{12, 3, 7, 1, 5}));
    EXPECT_EQ(ArrivalText(ReadArrival("12,3,7").finishers), "12-3-7");
    const std::map<std::string, std::string> refusals = {
        {"", "Tapez l'arrivée : les numéros des premiers dans l'ordre, par exemple 12-3-7-1-5."},
        {" - ,, ", "Tapez l'arrivée : les numéros des premiers dans l'ordre, par exemple 12-3-7-1-5."},
        {"12-3.5-7", "« 3.5 » n'est pas un numéro de cheval : tapez des nombres entiers, séparés par des tirets, "
                     "des virgules ou des blancs."},
        {"12 trois", "« trois » n'est pas un numéro de cheval : tapez des nombres entiers, séparés par des tirets, "
                     "des virgules ou des blancs."},
        {"4-40000", "« 40000 » n'est pas un numéro de cheval : un numéro va de 0 à 32767."},
        {"7-3-07", "Le 7 est tapé deux fois : un cheval n'arrive qu'à une place."},
    };
    for (const auto& [typed, refusal] : refusals) {
        const ArrivalReading reading = ReadArrival(typed);
        EXPECT_EQ(reading.refusal, refusal) << typed;
        EXPECT_TRUE(reading.finishers.empty()) << typed;
    }
}

TEST(Gains, PayoutsTimesLinesAtTheStakePlayedAgainstTheCost)
{
    EXPECT_EQ(ReadPayout("1 234,50 €").amount, 1234.5);
    EXPECT_EQ(ReadPayout("12.4").amount, 12.4);
    EXPECT_EQ(ReadPayout("8\xE2\x80\xAF" "000").amount, 8000);
    EXPECT_FALSE(ReadPayout("  ").amount);
    EXPECT_FALSE(ReadPayout("  ").refused);
    for (const char* refused : {"12,4,0", "-3", "douze", ","}) EXPECT_TRUE(ReadPayout(refused).refused) << refused;

    // Quinté, unit 2: at a stake of 3 each payout counts one and a half times.
    // The first block's lines leave out one horse each: 6 (ordre), 1 (bonus 4), 4 (bonus 3).
    const ArrivalCheck check =
        *CheckArrival(ShownLines(PuntersList(BetType::Quinte)), BetType::Quinte, Line{7, 2, 9, 4, 1});
    ASSERT_EQ(Counts(check), (std::vector<std::uint64_t>{1, 0, 1, 1}));
    using enum bets::PayoutClass;
    const Gains gains = Reckon(check, BetType::Quinte,
                               {{QuinteOrdre, "1000"}, {QuinteBonus4, "20,40"}, {QuinteBonus3, "oups"}}, "3", 100);
    EXPECT_DOUBLE_EQ(gains.classes[0].gain, 1500);
    EXPECT_DOUBLE_EQ(gains.classes[2].gain, 20.4 * 1.5);
    EXPECT_TRUE(gains.classes[3].payout.refused);
    EXPECT_DOUBLE_EQ(gains.classes[3].gain, 0);
    EXPECT_DOUBLE_EQ(gains.total, 1500 + 30.6);
    EXPECT_DOUBLE_EQ(gains.cost, 300);
    EXPECT_DOUBLE_EQ(gains.balance(), 1230.6);
}

TEST(Ticket, AnArrivalStageReplacesTheLastOneAndKeepsTheListPlayed)
{
    Ticket ticket;
    test::RecordingSink messages;
    MergeChoices choices;
    choices.betType = BetType::Tierce;
    choices.fusionMode = FusionType::BasesOnly;
    ticket.merge(test::AllSelected("1 2 3 4 5 6"), {}, choices, messages);
    ASSERT_EQ(ticket.full().count(), 20U);
    ASSERT_TRUE(ticket.pushStage(StageKind::Conditions, std::vector<std::uint64_t>{0, 1, 2, 3, 4}, "a", "1", messages));
    const auto played = Indices(*ticket.playedLines().kept());
    ticket.pushArrivalStage(*PaidLines(ticket.playedLines(), BetType::Tierce, Line{1, 2, 3}), {1, 2, 3}, "b", "1", messages);
    const auto labels = ticket.pushArrivalStage(*PaidLines(ticket.playedLines(), BetType::Tierce, Line{2, 1, 4}),
                                                {2, 1, 4}, "c", "1", messages);
    ASSERT_TRUE(labels);
    EXPECT_EQ(labels->countText, "1");
    ASSERT_EQ(ticket.stages().size(), 2U);
    EXPECT_EQ(ticket.stages().back().arrival, (Line{2, 1, 4}));
    EXPECT_EQ(ticket.shown().lineAt(0), "01-02-04");
    EXPECT_EQ(Indices(*ticket.playedLines().kept()), played);
}

// ---- Coverage ---------------------------------------------------------------
namespace {

// Paid arrivals per class, every arrival of the list's horses against every line.
std::vector<std::uint64_t> WrittenCoverage(BetType bet, const std::vector<Line>& lines)
{
    Line horses;
    for (const Line& line : lines)
        for (Horse h : line)
            if (!In(horses, h)) horses.push_back(h);
    std::vector<std::uint64_t> paid;
    const std::vector<WrittenClass>& classes = kWritten.at(bet);
    for (std::size_t c = 0; c < classes.size(); ++c) {
        std::uint64_t count = 0;
        Line arrival;
        std::function<void()> extend = [&] {
            if (int(arrival.size()) == classes[c].finishers) {
                count += std::any_of(lines.begin(), lines.end(), [&](const Line& line) {
                    const int best = WrittenBest(bet, line, arrival);
                    return best >= 0 && best <= int(c);
                });
                return;
            }
            for (Horse h : horses)
                if (!In(arrival, h)) {
                    arrival.push_back(h);
                    extend();
                    arrival.pop_back();
                }
        };
        extend();
        paid.push_back(count);
    }
    return paid;
}

std::vector<std::uint64_t> Paid(const Coverage& coverage)
{
    std::vector<std::uint64_t> paid;
    for (const CoverageRow& row : coverage.rows()) paid.push_back(row.paid);
    return paid;
}

}  // namespace

TEST(Coverage, EachBetCoversAsTheWrittenRules)
{
    for (const bets::BetRule& bet : bets::AllBets()) {
        SCOPED_TRACE(bet.name);
        const ResultList list = PuntersList(bet.type, true);
        const std::vector<Line> lines = LinesOf(list);
        const ShownLines stage = EveryOtherLine(list, 0);
        std::vector<Line> kept;
        for (std::uint64_t index : Indices(*stage.kept())) kept.push_back(lines[index]);
        ASSERT_EQ(CoverageRefusal(ShownLines(list), bet.type), "");
        EXPECT_EQ(Paid(*Cover(ShownLines(list), bet.type)), WrittenCoverage(bet.type, lines));
        EXPECT_EQ(Paid(*Cover(stage, bet.type)), WrittenCoverage(bet.type, kept));
    }
}

TEST(Coverage, ATierceFullListPaysInOrderOneArrivalInSix)
{
    ResultList tierce;
    AppendCombinations(tierce, test::Horses(1, 9), 3);
    const Coverage coverage = *Cover(ShownLines(tierce), BetType::Tierce);
    ASSERT_EQ(coverage.rows().size(), 2U);
    EXPECT_EQ(coverage.rows()[0].all, 9U * 8 * 7);
    EXPECT_EQ(coverage.rows()[0].paid * 6, coverage.rows()[0].all);
    EXPECT_EQ(coverage.rows()[1].paid, coverage.rows()[1].all);
    // The unpaid arrivals in order: those not written in increasing order.
    std::vector<std::string> unpaid;
    coverage.forEachUnpaid(0, [&](std::span<const Horse> arrival) {
        unpaid.push_back(ArrivalText(arrival));
        return unpaid.size() < 3;
    });
    EXPECT_EQ(unpaid, (std::vector<std::string>{"1-3-2", "1-4-2", "1-4-3"}));
}

TEST(Coverage, AListReducedForTheBonus4PaysItWheneverTheFullListDoes)
{
    ResultList quinte;
    AppendCombinations(quinte, test::Horses(1, 10), 5);
    const reduce::Reduction reduction = reduce::Reduce(quinte, bets::PayoutClass::QuinteBonus4);
    ASSERT_LT(reduction.kept.size(), quinte.count());
    const ShownLines reduced(std::make_shared<const ResultList>(quinte),
                             std::make_shared<const LineSelection>(LineSelection::FromIndices(reduction.kept, quinte.count())));
    const Coverage full = *Cover(ShownLines(quinte), BetType::Quinte);
    const Coverage kept = *Cover(reduced, BetType::Quinte);
    EXPECT_EQ(kept.rows()[2].paid, full.rows()[2].paid);
    EXPECT_EQ(kept.rows()[2].paid, kept.rows()[2].all);
    EXPECT_LT(kept.rows()[1].paid, full.rows()[1].paid);  // fewer lines: fewer Quinté désordre
}

TEST(Coverage, TooLongIsRefusedAndAStopEndsTheWork)
{
    ResultList couple;
    couple.append({test::Horses(1, 2000), 2, {}, 0, 0});
    EXPECT_EQ(CoverageRefusal(ShownLines(couple), BetType::Couple),
              "La couverture d'une liste de 1\u00A0999\u00A0000 combinaisons sur 2\u00A0000 chevaux demanderait "
              "plus de 10 secondes.\r\n"
              "Réduisez la liste ou choisissez moins de chevaux.");
    EXPECT_NE(CoverageRefusal(ShownLines(ResultList()), BetType::Couple), "");
    ResultList quinte;
    AppendCombinations(quinte, test::Horses(1, 20), 5);
    EXPECT_EQ(CoverageRefusal(ShownLines(quinte), BetType::Quinte), "");
    EXPECT_FALSE(Cover(ShownLines(quinte), BetType::Quinte, [](std::uint64_t) { return false; }));
}
