// The reduction engine: the checker on hand-made lists, every shipped
// design relabelled onto a full field, the base mapping of a fusion, the
// exact place constructions, the search over whole orbits of a symmetric
// list, a negative horse number, a list kept by a stage, the refusals and
// stopped reductions. Reduced lists are checked against the plain reference
// of tests/reduce/GuaranteeOracle.h.

#include "generators/Generators.h"
#include "reduce/DesignTable.h"
#include "reduce/Orbits.h"
#include "reduce/Reduce.h"
#include "tests/engine/EngineTestSupport.h"
#include "tests/reduce/GuaranteeOracle.h"

#include <gtest/gtest.h>

#include <numeric>
#include <random>
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

// The kept lines (indices of the shown lines) pay every arrival the shown
// lines pay, by the plain reference.
::testing::AssertionResult Guarantees(const ShownLines& shown, Payout payout, const std::vector<std::uint64_t>& kept) {
    if (!std::is_sorted(kept.begin(), kept.end()) || (!kept.empty() && kept.back() >= shown.count()))
        return ::testing::AssertionFailure() << "kept indices out of order or past the shown lines";
    const auto unpaid = test::UnpaidArrival(test::PlainLines(shown), test::PlainLines(shown, kept),
                                            test::PuntersHorsesOf(shown.full()), payout);
    if (!unpaid) return ::testing::AssertionSuccess();
    auto failure = ::testing::AssertionFailure() << "unpaid arrival:";
    for (int h : *unpaid) failure << ' ' << h;
    return failure;
}

void ExpectSound(const ShownLines& list, Payout payout, const Reduction& reduction) {
    EXPECT_TRUE(reduction.refusal.empty()) << reduction.refusal;
    EXPECT_TRUE(Guarantees(list, payout, reduction.kept));
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

TEST(ReduceChecker, AgreesWithThePlainReferenceOnRandomSubLists) {
    // Bases 1 and -3 with 3 of 5 outsiders, and pairs holding -3: the
    // checker reads each line's bases and negative numbers as numbers.
    ResultList fusion;
    fusion.append({{1, -3}, 2, Horses(4, 8), 3, 0});
    ResultList pairs;
    AppendCombinations(pairs, {1, 2, -3, 4, 5}, 2);
    const std::pair<const ResultList*, Payout> cases[] = {{&fusion, Payout::QuinteBonus4},
                                                          {&fusion, Payout::QuinteBonus3},
                                                          {&pairs, Payout::CouplePlace},
                                                          {&pairs, Payout::DeuxSurQuatre}};
    std::mt19937 random(7);
    int held = 0, failed = 0;
    for (const auto& [list, payout] : cases)
        for (int trial = 0; trial < 100; ++trial) {
            std::vector<std::uint64_t> kept;
            for (std::uint64_t i = 0; i < list->count(); ++i)
                if (random() % 3 != 0) kept.push_back(i);
            const bool holds = Guarantees(*list, payout, kept);
            EXPECT_EQ(CheckGuarantee(*list, payout, kept), holds) << list->count() << " lines, payout " << int(payout);
            (holds ? held : failed) += 1;
        }
    EXPECT_GT(held, 20) << failed;
    EXPECT_GT(failed, 20);
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

    int asked = 0;
    ReduceOptions cancelled;
    cancelled.progress = [&asked](const ReduceProgress&) { return ++asked > 1; };
    const Reduction stopped = Reduce(mixed, Payout::QuarteBonus, cancelled);
    ExpectSound(mixed, Payout::QuarteBonus, stopped);
    EXPECT_EQ(asked, 1);  // asked once, never again after "stop"
    EXPECT_EQ(stopped.kept.size(), mixed.count());
}

TEST(ReduceSearch, AStopInAnyPhaseEndsAtOnceWithTheWholeList) {
    // 15 504 lines, no table: every phase (reading, building, orbits,
    // search, check) asks whether to go on; "stop" comes at the n-th question.
    const ShownLines field = FullField(20, 5);
    for (const int stopAt : {1, 2, 3, 5, 10, 40}) {
        SCOPED_TRACE(stopAt);
        int asked = 0;
        ReduceOptions options;
        options.useTable = false;
        options.timeLimit = std::chrono::milliseconds(300);
        options.progress = [&](const ReduceProgress&) { return ++asked < stopAt; };
        const Reduction reduction = Reduce(field, Payout::QuinteBonus3, options);
        EXPECT_LE(asked, stopAt);
        ExpectSound(field, Payout::QuinteBonus3, reduction);
        if (asked == stopAt) {
            EXPECT_EQ(reduction.kept.size(), field.count());
        }
    }
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
    std::sort(kept.begin(), kept.end());
    EXPECT_TRUE(Guarantees(field, Payout::QuinteBonus3, kept));

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

TEST(ReduceHorseNumbers, ANegativeHorseIsReducedLikeAnyOther) {
    // Starters 8 and "-3" among the bases, Couplé, bases only: 36 lines, the
    // negative horse written "0-3" in its lines.
    ResultList pairs;
    AppendCombinations(pairs, {1, 2, 3, 4, 5, 6, 7, 8, -3}, 2);
    ASSERT_EQ(pairs.count(), 36U);
    ASSERT_EQ(pairs.lineAt(35), "08-0-3");
    const Reduction placed = Reduce(pairs, Payout::CouplePlace);
    ExpectSound(pairs, Payout::CouplePlace, placed);
    EXPECT_EQ(placed.kept.size(), 16U);  // the pairs inside groups of 5 and 4 horses
    EXPECT_TRUE(CheckGuarantee(pairs, Payout::CouplePlace, placed.kept));
    ReduceOptions search;
    search.useTable = false;
    search.timeLimit = std::chrono::milliseconds(200);
    const Reduction searched = Reduce(pairs, Payout::CouplePlace, search);
    ExpectSound(pairs, Payout::CouplePlace, searched);
    EXPECT_LT(searched.kept.size(), 36U);

    // A fusion with the negative horse as a base, searched: its lines hold it.
    ResultList fusion;
    fusion.append({{-3}, 1, Horses(1, 8), 4, 0});
    const Reduction bonus = Reduce(fusion, Payout::QuinteBonus3, search);
    ExpectSound(fusion, Payout::QuinteBonus3, bonus);
    EXPECT_LT(bonus.kept.size(), fusion.count());
}

TEST(ReduceStage, AListKeptByAStageIsReducedWithinItsOwnLines) {
    // A Quarté on 10 horses (210 lines) of which a stage keeps two lines in
    // three: the reduction picks among those 140 and pays what they pay.
    const auto full = std::make_shared<const ResultList>(FullField(10, 4));
    std::vector<std::uint64_t> twoInThree;
    for (std::uint64_t i = 0; i < full->count(); ++i)
        if (i % 3 != 0) twoInThree.push_back(i);
    const ShownLines stage(full, std::make_shared<const LineSelection>(LineSelection::FromIndices(twoInThree, 210)));
    ReduceOptions quick;
    quick.timeLimit = std::chrono::milliseconds(200);
    const Reduction bonus = Reduce(stage, Payout::QuarteBonus, quick);
    ExpectSound(stage, Payout::QuarteBonus, bonus);
    EXPECT_LT(bonus.kept.size(), 140U);
    EXPECT_LT(bonus.kept.back(), 140U);

    // Couplé on 9 horses without the pairs of horse 9 but 1-9: an arrival
    // 2-3-9 is still paid by 2-3, and must stay paid.
    const auto couple = std::make_shared<const ResultList>(FullField(9, 2));
    std::vector<std::uint64_t> without9;
    for (std::uint64_t i = 0; i < couple->count(); ++i) {
        const LineHorses line = couple->horsesAt(i);
        if (line.horses[1] != 9 || line.horses[0] == 1) without9.push_back(i);
    }
    const ShownLines pairs(couple, std::make_shared<const LineSelection>(LineSelection::FromIndices(without9, 36)));
    const Reduction placed = Reduce(pairs, Payout::CouplePlace, quick);
    ExpectSound(pairs, Payout::CouplePlace, placed);
    EXPECT_LT(placed.kept.size(), pairs.count());
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
}

TEST(ReducePayouts, EachBetTypeOffersWhatItCanGuarantee) {
    using bets::GuaranteeablePayouts;
    EXPECT_EQ(GuaranteeablePayouts(BetType::Quinte), (std::vector{Payout::QuinteBonus4, Payout::QuinteBonus3}));
    EXPECT_EQ(GuaranteeablePayouts(BetType::Couple), std::vector{Payout::CouplePlace});
    EXPECT_TRUE(GuaranteeablePayouts(BetType::Tierce).empty());
    EXPECT_NE(bets::GuaranteeSentence(Payout::QuinteBonus4, {2, 2}), bets::GuaranteeSentence(Payout::QuinteBonus4, {}));
}
