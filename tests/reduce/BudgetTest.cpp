// Reductions to a budget: the stated figure against a count written here,
// arrival by arrival, for each payout; the packings reaching b * C(k, t);
// the full guarantee once the budget holds it; a stopped search; a list kept
// by conditions reduced within its own lines; and every
// shipped packing checked t-set by t-set.

#include "bets/BetRules.h"
#include "reduce/Budget.h"
#include "reduce/PackingTable.h"
#include "tests/engine/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

using namespace torvanel;
using namespace torvanel::reduce;
using torvanel::test::FullField;
using torvanel::test::Horses;

namespace {

using HorseSet = std::vector<HorseNumber>;

// Every choice of `size` of `from`, in increasing order.
void Choose(const HorseSet& from, std::size_t size, std::size_t first, HorseSet& chosen, std::vector<HorseSet>& out) {
    if (chosen.size() == size) return out.push_back(chosen);
    for (std::size_t i = first; i < from.size(); ++i) {
        chosen.push_back(from[i]);
        Choose(from, size, i + 1, chosen, out);
        chosen.pop_back();
    }
}

std::vector<HorseSet> Choices(const HorseSet& from, std::size_t size) {
    std::vector<HorseSet> out;
    HorseSet chosen;
    Choose(from, size, 0, chosen, out);
    return out;
}

bool Within(const HorseSet& small, const HorseSet& large) {
    return std::all_of(small.begin(), small.end(),
                       [&](HorseNumber h) { return std::find(large.begin(), large.end(), h) != large.end(); });
}

// The arrivals the list pays in `payout`'s class, as sets of the punter's
// horses; with bases, only those holding as many of a paying line's bases
// as the arrival can.
std::vector<HorseSet> PaidArrivals(const ResultList& list, Payout payout) {
    const bets::ClassRule& rule = bets::ClassOf(payout);
    std::set<HorseNumber> horses;
    list.forEachHorses([&](const LineHorses& line) {
        horses.insert(line.view().begin(), line.view().end());
        return true;
    });
    std::vector<HorseSet> paid;
    for (const HorseSet& arrival : Choices({horses.begin(), horses.end()}, static_cast<std::size_t>(rule.finishers))) {
        bool pays = false;
        list.forEachHorses([&](const LineHorses& line) {
            const HorseSet bases(line.horses.begin(), line.horses.begin() + line.bases);
            const auto heldBases = std::count_if(arrival.begin(), arrival.end(),
                                                 [&](HorseNumber h) { return Within({h}, bases); });
            const bool holdsEnough = rule.relation == bets::Relation::AmongFirst ||
                                     heldBases == std::min<long>(rule.finishers, line.bases);
            pays = holdsEnough && bets::Pays(rule, line.view(), arrival);
            return !pays;
        });
        if (pays) paid.push_back(arrival);
    }
    return paid;
}

// How many of `arrivals` one of the lines `kept` pays.
std::uint64_t CountPaid(const ResultList& list, Payout payout, const std::vector<std::uint64_t>& kept,
                        const std::vector<HorseSet>& arrivals) {
    std::uint64_t count = 0;
    for (const HorseSet& arrival : arrivals)
        count += std::any_of(kept.begin(), kept.end(), [&](std::uint64_t index) {
            return bets::Pays(bets::ClassOf(payout), list.horsesAt(index).view(), arrival);
        }) ? 1 : 0;
    return count;
}

// A budget reduction is a list of at most `budget` distinct lines of the
// list whose figures are the brute-force count; returns that count.
std::uint64_t ExpectExact(const ResultList& list, Payout payout, std::uint64_t budget, const BudgetReduction& reduced) {
    EXPECT_TRUE(reduced.refusal.empty()) << reduced.refusal;
    EXPECT_LE(reduced.kept.size(), budget);
    if (reduced.kept.empty()) {
        ADD_FAILURE() << "no line kept";
        return 0;
    }
    EXPECT_TRUE(std::adjacent_find(reduced.kept.begin(), reduced.kept.end(), std::greater_equal<>()) == reduced.kept.end());
    EXPECT_LT(reduced.kept.back(), list.count());
    const std::vector<HorseSet> arrivals = PaidArrivals(list, payout);
    EXPECT_EQ(reduced.total, arrivals.size());
    const std::uint64_t paid = CountPaid(list, payout, reduced.kept, arrivals);
    EXPECT_EQ(reduced.covered, paid);
    return paid;
}

BudgetOptions Quick() {
    BudgetOptions options;
    options.timeLimit = std::chrono::milliseconds(200);
    return options;
}

}  // namespace

TEST(Budget, TheStatedFigureIsTheCountOfEachPayout) {
    struct Case {
        const char* name;
        ResultList list;
        Payout payout;
        std::uint64_t budget;
    };
    ResultList bases;  // two bases in every line beside three of six outsiders
    bases.append({Horses(1, 2), 2, Horses(3, 8), 3, 0});
    ResultList someBases;  // two of three bases beside three of five outsiders
    someBases.append({Horses(1, 3), 2, Horses(4, 8), 3, 0});
    const Case cases[] = {
        {"Bonus 4, 9 horses", FullField(9, 5), Payout::QuinteBonus4, 12},
        {"Bonus 3, 9 horses", FullField(9, 5), Payout::QuinteBonus3, 4},
        {"Bonus 4, two bases", bases, Payout::QuinteBonus4, 5},
        {"Bonus 3, two of three bases", someBases, Payout::QuinteBonus3, 4},
        {"Quarté bonus, 9 horses", FullField(9, 4), Payout::QuarteBonus, 10},
        {"2 sur 4, 7 horses", FullField(7, 2), Payout::DeuxSurQuatre, 2},
        {"Couplé placé, 7 horses", FullField(7, 2), Payout::CouplePlace, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const BudgetReduction reduced = ReduceToBudget(c.list, c.payout, c.budget, Quick());
        const std::uint64_t paid = ExpectExact(c.list, c.payout, c.budget, reduced);
        EXPECT_GT(paid, 0U);
        EXPECT_LT(paid, reduced.total);  // each budget is below the full guarantee
        EXPECT_FALSE(reduced.fullGuarantee);
    }
}

TEST(Budget, BelowTheSteinerSystemEveryLinePaysItsOwnArrivals) {
    // S(4,5,11): 66 lines, no two of which hold the same four horses; the
    // full guarantee needs all 66, and 40 lines pay 40 x 5 arrivals.
    const ResultList eleven = FullField(11, 5);
    const BudgetReduction bonus4 = ReduceToBudget(eleven, Payout::QuinteBonus4, 40, Quick());
    EXPECT_EQ(ExpectExact(eleven, Payout::QuinteBonus4, 40, bonus4), 40U * 5);
    EXPECT_TRUE(bonus4.optimal);
    // SQS(14) for the Quarté bonus: 91 lines; 60 of them pay 60 x 4.
    const ResultList fourteen = FullField(14, 4);
    const BudgetReduction bonus = ReduceToBudget(fourteen, Payout::QuarteBonus, 60, Quick());
    EXPECT_EQ(ExpectExact(fourteen, Payout::QuarteBonus, 60, bonus), 60U * 4);
}

TEST(Budget, AboveThePackingItPaysAtLeastWhatAGreedyChoiceDoes) {
    // 12 horses, Bonus 3: no 5-line packing of triples beyond 12 lines.
    const ResultList twelve = FullField(12, 5);
    const std::uint64_t budget = 20;
    const std::vector<HorseSet> arrivals = PaidArrivals(twelve, Payout::QuinteBonus3);
    // The line paying the most arrivals not yet paid, first in list order.
    std::vector<std::vector<HorseSet>> arrivalsOf;
    twelve.forEachHorses([&](const LineHorses& line) {
        arrivalsOf.push_back(Choices(HorseSet(line.view().begin(), line.view().end()), 3));
        return true;
    });
    std::set<HorseSet> paid;
    for (std::uint64_t taken = 0; taken < budget; ++taken) {
        std::size_t best = 0, bestGain = 0;
        for (std::size_t i = 0; i < arrivalsOf.size(); ++i) {
            const auto gain = std::size_t(std::count_if(arrivalsOf[i].begin(), arrivalsOf[i].end(),
                                                        [&](const HorseSet& a) { return paid.count(a) == 0; }));
            if (gain > bestGain) best = i, bestGain = gain;
        }
        paid.insert(arrivalsOf[best].begin(), arrivalsOf[best].end());
    }
    const BudgetReduction reduced = ReduceToBudget(twelve, Payout::QuinteBonus3, budget, Quick());
    EXPECT_GE(ExpectExact(twelve, Payout::QuinteBonus3, budget, reduced), paid.size());
    EXPECT_LT(reduced.covered, budget * 10);  // above the packing number, C(k, t) a line is out of reach
}

TEST(Budget, ABudgetHoldingTheFullGuaranteeGetsIt) {
    const ResultList ten = FullField(10, 5);
    const Reduction full = Reduce(ten, Payout::QuinteBonus4);
    for (std::uint64_t budget : {full.kept.size(), full.kept.size() + 7}) {
        const BudgetReduction reduced = ReduceToBudget(ten, Payout::QuinteBonus4, budget, Quick());
        EXPECT_TRUE(reduced.fullGuarantee);
        EXPECT_EQ(reduced.kept, full.kept);
        EXPECT_EQ(ExpectExact(ten, Payout::QuinteBonus4, budget, reduced), reduced.total);
    }
}

TEST(Budget, AStoppedSearchKeepsAValidList) {
    // 16 horses, Bonus 3, 52 lines: beyond the packing (48 lines) and below
    // any full guarantee (560 arrivals, 10 a line), a search.
    const ResultList sixteen = FullField(16, 5);
    BudgetOptions options;
    int calls = 0;
    options.progress = [&calls](const BudgetProgress& progress) {
        EXPECT_LE(progress.covered, progress.total);
        return ++calls < 3;
    };
    const BudgetReduction reduced = ReduceToBudget(sixteen, Payout::QuinteBonus3, 52, options);
    EXPECT_TRUE(reduced.stopped);
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(ExpectExact(sixteen, Payout::QuinteBonus3, 52, reduced), reduced.covered);
    // Stopped before its greedy choice was whole, it keeps the packing's lines.
    EXPECT_GE(reduced.covered, 48U * 10);
}

TEST(Budget, WithinTheLinesConditionsKeepTheFigureCountsWhatTheyPay) {
    // Of the 126 Quinté lines of 9 horses, those whose numbers add up to an
    // even sum, as conditions would keep them.
    const ResultList full = FullField(9, 5);
    std::vector<std::uint64_t> even;
    std::vector<HorseSet> kept;
    for (std::uint64_t i = 0; i < full.count(); ++i) {
        const LineHorses horses = full.horsesAt(i);
        const auto line = horses.view();
        int sum = 0;
        for (HorseNumber h : line) sum += h;
        if (sum % 2 != 0) continue;
        even.push_back(i);
        kept.emplace_back(line.begin(), line.end());
    }
    const ShownLines shown(std::make_shared<const ResultList>(full),
                           std::make_shared<const LineSelection>(LineSelection::FromIndices(even, full.count())));
    const bets::ClassRule& bonus4 = bets::ClassOf(Payout::QuinteBonus4);
    std::vector<HorseSet> paidByKept;
    for (const HorseSet& arrival : Choices(Horses(1, 9), 4))
        if (std::any_of(kept.begin(), kept.end(), [&](const HorseSet& line) { return bets::Pays(bonus4, line, arrival); }))
            paidByKept.push_back(arrival);

    const BudgetReduction reduced = ReduceToBudget(shown, Payout::QuinteBonus4, 5, Quick());
    ASSERT_TRUE(reduced.refusal.empty()) << reduced.refusal;
    ASSERT_FALSE(reduced.kept.empty());
    ASSERT_LE(reduced.kept.size(), 5u);
    EXPECT_EQ(reduced.total, paidByKept.size());
    std::uint64_t covered = 0;
    for (const HorseSet& arrival : paidByKept)
        covered += std::any_of(reduced.kept.begin(), reduced.kept.end(), [&](std::uint64_t index) {
            EXPECT_LT(index, kept.size());
            return index < kept.size() && bets::Pays(bonus4, kept[index], arrival);
        }) ? 1 : 0;
    EXPECT_EQ(reduced.covered, covered);
    // A reopened forecast states the same figure for the same lines.
    const KeptCoverage again = CoverageOfKept(shown, Payout::QuinteBonus4, reduced.kept);
    EXPECT_EQ(again.covered, covered);
    EXPECT_EQ(again.total, paidByKept.size());
}

TEST(PackingTable, EveryShippedPackingHoldsEachTSetOnce) {
    for (const Cell& cell : kPackingCells)
        for (int v = kPackingMinPoints; v <= kPackingMaxPoints; ++v) {
            SCOPED_TRACE(testing::Message() << "v=" << v << " k=" << cell.k << " t=" << cell.t);
            const std::vector<Block> packing = TablePacking(v, cell.k, cell.t);
            ASSERT_FALSE(packing.empty());
            std::set<std::vector<HorseNumber>> seen;
            for (const Block& block : packing) {
                const HorseSet points(block.begin(), block.end());
                ASSERT_EQ(std::set<HorseNumber>(points.begin(), points.end()).size(), std::size_t(std::min(v, cell.k)));
                ASSERT_TRUE(std::all_of(points.begin(), points.end(), [v](HorseNumber p) { return p >= 0 && p < v; }));
                for (const HorseSet& tSet : Choices(points, static_cast<std::size_t>(cell.t)))
                    ASSERT_TRUE(seen.insert(tSet).second);
            }
            // No packing passes a proven packing number.
            const auto record = BestKnownPacking(v, cell.k, cell.t);
            if (record && record->proven) {
                EXPECT_LE(int(packing.size()), record->size);
            }
        }
}

TEST(BudgetSentences, SayWhoMustFinishFirstAsAPunterDoes) {
    using bets::GuaranteeSentence;
    using bets::CountedArrivals;
    const bets::LineBases none;
    EXPECT_EQ(GuaranteeSentence(Payout::QuinteBonus4, none), "Si 4 de vos chevaux font les 4 premiers, le Bonus 4 est assuré.");
    EXPECT_EQ(GuaranteeSentence(Payout::QuinteBonus4, {2, 2}),
              "Si vos 2 bases et 2 de vos outsiders font les 4 premiers, le Bonus 4 est assuré.");
    EXPECT_EQ(GuaranteeSentence(Payout::QuinteBonus3, {2, 3}),
              "Si 2 de vos bases et un de vos outsiders font les 3 premiers, le Bonus 3 est assuré.");
    EXPECT_EQ(GuaranteeSentence(Payout::QuinteBonus3, {4, 5}), "Si 3 de vos bases font les 3 premiers, le Bonus 3 est assuré.");
    EXPECT_EQ(GuaranteeSentence(Payout::QuarteBonus, {1, 1}),
              "Si votre base et 2 de vos outsiders font les 3 premiers, le Bonus du Quarté est assuré.");
    EXPECT_EQ(GuaranteeSentence(Payout::DeuxSurQuatre, none), "Si les 4 premiers sont tous parmi vos chevaux, le 2 sur 4 est assuré.");
    EXPECT_EQ(GuaranteeSentence(Payout::CouplePlace, {1, 2}),
              "Si les 3 premiers sont tous parmi vos chevaux et que la liste complète y gagne, le Couplé placé est assuré.");
    EXPECT_EQ(CountedArrivals(Payout::QuinteBonus4, none), "que paie la liste complète");
    EXPECT_EQ(CountedArrivals(Payout::QuinteBonus4, {2, 2}), "où vos 2 bases et 2 de vos outsiders font les 4 premiers");
    EXPECT_EQ(CountedArrivals(Payout::DeuxSurQuatre, none), "où les 4 premiers sont tous parmi vos chevaux");
}
