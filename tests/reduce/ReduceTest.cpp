// The reduction engine: the checker on hand-made lists, every shipped
// design relabelled onto a full field, the base mapping of a fusion, the
// exact place constructions, the search over whole orbits of a symmetric
// list, the refusals and a cancelled search.

#include "generators/Generators.h"
#include "reduce/DesignTable.h"
#include "reduce/Orbits.h"
#include "reduce/Reduce.h"
#include "tests/engine/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>

using namespace torvanel;
using namespace torvanel::reduce;
using torvanel::test::Horses;

namespace {

ResultList FullField(int horses, int size) {
    ResultList list;
    AppendCombinations(list, Horses(1, horses), size);
    return list;
}

// Every line holding all of `bases` beside `outTake` of the outsiders.
ResultList AllBasesWith(int bases, int outs, int outTake) {
    ResultList list;
    list.append({Horses(1, bases), bases, Horses(bases + 1, bases + outs), outTake, 0});
    return list;
}

void ExpectSound(const ResultList& list, Payout payout, const Reduction& reduction) {
    EXPECT_TRUE(reduction.refusal.empty()) << reduction.refusal;
    EXPECT_TRUE(reduction.guaranteed);
    EXPECT_TRUE(std::is_sorted(reduction.kept.begin(), reduction.kept.end()));
    EXPECT_TRUE(CheckGuarantee(list, payout, reduction.kept));
}

}  // namespace

TEST(ReduceChecker, AcceptsCoversAndRejectsAGap) {
    // Quarté lines 1-2-3-4, 1-2-3-5, 1-2-4-5, 1-3-4-5, 2-3-4-5: any four of
    // them hold every three horses, two of them miss 3-4-5.
    const ResultList quarte = FullField(5, 4);
    EXPECT_TRUE(CheckGuarantee(quarte, Payout::QuarteBonus, {0, 1, 2, 3}));
    EXPECT_FALSE(CheckGuarantee(quarte, Payout::QuarteBonus, {0, 1}));
    EXPECT_FALSE(CheckGuarantee(quarte, Payout::QuarteBonus, {0, 1, 2, 3, 9}));
    // Couplé placé on 1..4: any three horses hold 1-2 or 3-4.
    const ResultList pairs = FullField(4, 2);  // 1-2 1-3 1-4 2-3 2-4 3-4
    EXPECT_TRUE(CheckGuarantee(pairs, Payout::CouplePlace, {0, 5}));
    EXPECT_FALSE(CheckGuarantee(pairs, Payout::CouplePlace, {0, 1}));  // 2-3-4 holds neither
}

TEST(ReduceTable, EveryShippedDesignCoversItsFullField) {
    // Each column as the lines that read it: the bases every line holds and the payout.
    struct Column {
        Cell cell;
        int bases;
        Payout payout;
    };
    const Column columns[] = {{{5, 4}, 0, Payout::QuinteBonus4}, {{5, 3}, 0, Payout::QuinteBonus3},
                              {{4, 3}, 0, Payout::QuarteBonus},  {{4, 2}, 1, Payout::QuinteBonus3},
                              {{3, 2}, 2, Payout::QuinteBonus4}};
    for (const auto& [cell, bases, payout] : columns)
        for (int v = kTableMinPoints; v <= kTableMaxPoints; ++v) {
            SCOPED_TRACE(std::to_string(v) + " " + std::to_string(cell.k) + " " + std::to_string(cell.t));
            const std::size_t shipped = TableDesign(v, cell.k, cell.t).size();
            ASSERT_GT(shipped, 0U);
            const ResultList list = bases == 0 ? FullField(v, cell.k) : AllBasesWith(bases, v, cell.k);
            const Reduction reduction = Reduce(list, payout);
            ExpectSound(list, payout, reduction);
            EXPECT_EQ(reduction.kept.size(), shipped);
        }
}

TEST(ReduceTable, FusionKeepsItsBasesAndPlaceBetsSplitTheField) {
    // Quinté, 2 bases + 3 of 8 outsiders, Bonus 4: 56 lines become C(8,3,2) = 11.
    const ResultList fusion = AllBasesWith(2, 8, 3);
    const Reduction bonus = Reduce(fusion, Payout::QuinteBonus4);
    ExpectSound(fusion, Payout::QuinteBonus4, bonus);
    EXPECT_EQ(bonus.kept.size(), 11U);
    EXPECT_EQ(bonus.quality, Quality::ProvenOptimal);
    for (std::uint64_t line : bonus.kept) EXPECT_EQ(fusion.lineAt(line).substr(0, 6), "01-02-");
    // 8 horses: three groups for the 2 sur 4 (7 pairs), two for the Couplé placé (12).
    const ResultList pairs = FullField(8, 2);
    EXPECT_EQ(Reduce(pairs, Payout::DeuxSurQuatre).kept.size(), 7U);
    EXPECT_EQ(Reduce(pairs, Payout::CouplePlace).kept.size(), 12U);
    ExpectSound(pairs, Payout::DeuxSurQuatre, Reduce(pairs, Payout::DeuxSurQuatre));
}

TEST(ReduceSearch, ReducesMixedListsAndStopsWithASoundList) {
    // Quarté 2 bases + 2 outs and 1 base + 3 outs: two base counts, no table.
    ResultList mixed;
    AppendFusion(mixed, Fuse2B2O, Horses(1, 3), Horses(4, 10));
    AppendFusion(mixed, Fuse1B3O, Horses(1, 3), Horses(4, 10));
    ReduceOptions quick;
    quick.timeLimit = std::chrono::milliseconds(200);
    const Reduction searched = Reduce(mixed, Payout::QuarteBonus, quick);
    ExpectSound(mixed, Payout::QuarteBonus, searched);
    EXPECT_LT(searched.kept.size(), mixed.count());
    EXPECT_EQ(searched.quality, Quality::Search);

    ReduceOptions cancelled;
    cancelled.progress = [](const ReduceProgress&) { return false; };
    ExpectSound(mixed, Payout::QuarteBonus, Reduce(mixed, Payout::QuarteBonus, cancelled));
}

TEST(ReduceSearch, SymmetricListsAreCoveredInWholeOrbits) {
    // Bonus 3 on 9 horses: turning 1..8 round, 9 staying put, maps the list
    // onto itself, and a cover of whole orbits spreads out into a cover.
    const ResultList field = FullField(9, 5);
    const CoverProblem problem = BuildProblem(field, RuleOf(Payout::QuinteBonus3)).problem;
    const std::vector<Turn> turns = TurnsToTry(problem);
    ASSERT_EQ(turns.size(), 2U);
    const auto orbits = OrbitsUnder(problem, turns.front());
    ASSERT_TRUE(orbits);
    EXPECT_EQ(orbits->order, 8U);
    SearchOptions quick;
    quick.timeLimit = std::chrono::milliseconds(50);
    std::vector<std::uint64_t> kept;
    for (std::uint32_t line : orbits->linesOf(FindCover(*orbits->instance, quick).cover))
        kept.push_back(problem.firstIndex[line]);
    EXPECT_EQ(kept.size() % 8, 0U);
    EXPECT_TRUE(CheckGuarantee(field, Payout::QuinteBonus3, kept));

    // 2 bases + 3 of 6 outsiders: the turns keep bases and outsiders apart
    // (the bases stay in every line, so an orbit has 5 lines); swapping a
    // base with an outsider is no symmetry.
    const CoverProblem fusion = BuildProblem(AllBasesWith(2, 6, 3), RuleOf(Payout::QuinteBonus4)).problem;
    const auto outsiders = OrbitsUnder(fusion, TurnsToTry(fusion).front());
    ASSERT_TRUE(outsiders);
    EXPECT_EQ(outsiders->order, 5U);
    Turn swap(fusion.horses.size());
    std::iota(swap.begin(), swap.end(), 0);
    std::swap(swap[0], swap[2]);
    EXPECT_FALSE(OrbitsUnder(fusion, swap));
}

TEST(ReduceRefusal, TooLongListsAndRepeatedHorsesKeepTheFullList) {
    const Reduction tooLong = Reduce(FullField(45, 5), Payout::QuinteBonus4);  // 1 221 759 lines
    EXPECT_TRUE(tooLong.kept.empty());
    EXPECT_EQ(tooLong.refusal, "La liste compte plus de 1 000 000 de lignes : elle est trop longue pour être "
                               "réduite. La liste complète est conservée.");
    ResultList twice;
    AppendCombinations(twice, {3, 5, 3, 7, 8}, 4);
    const Reduction repeated = Reduce(twice, Payout::QuarteBonus);
    EXPECT_TRUE(repeated.kept.empty());
    EXPECT_NE(repeated.refusal.find("deux fois le même cheval"), std::string::npos);
    const ShownLines reduced(std::make_shared<const ResultList>(FullField(8, 4)),
                             std::make_shared<const LineSelection>(LineSelection::FromIndices({0, 1}, 70)));
    EXPECT_NE(Reduce(reduced, Payout::QuarteBonus).refusal.find("déjà réduite"), std::string::npos);
}

TEST(ReducePayouts, EachBetTypeOffersWhatItCanGuarantee) {
    using bets::GuaranteeablePayouts;
    EXPECT_EQ(GuaranteeablePayouts(BetType::Quinte), (std::vector{Payout::QuinteBonus4, Payout::QuinteBonus3}));
    EXPECT_EQ(GuaranteeablePayouts(BetType::Couple), std::vector{Payout::CouplePlace});
    EXPECT_TRUE(GuaranteeablePayouts(BetType::Tierce).empty());
    EXPECT_NE(bets::GuaranteeSentence(Payout::QuinteBonus4, {2, 2}), bets::GuaranteeSentence(Payout::QuinteBonus4, {}));
}
