#include "EngineTestSupport.h"
#include "generators/Numbers.h"
#include "generators/ResultList.h"
#include "generators/ShownLines.h"

#include <gtest/gtest.h>

#include <random>

using namespace torvanel;
using namespace torvanel::test;

namespace {

// Reference lines of a block written as plain nested loops: one loop per
// horse, each position running from the previous one + 1 to n - take + m.
void ChoosePositions(const std::vector<HorseNumber>& group, int take, int m, std::size_t from,
                     std::vector<HorseNumber>& chosen, const std::function<void()>& inner) {
    if (m == take) return inner();
    for (std::size_t p = from; p + static_cast<std::size_t>(take - m) <= group.size(); ++p) {
        chosen.push_back(group[p]);
        ChoosePositions(group, take, m + 1, p + 1, chosen, inner);
        chosen.pop_back();
    }
}

Texts NestedLoopLines(const ResultBlock& block) {
    Texts lines;
    std::vector<HorseNumber> line;
    ChoosePositions(block.bases, block.baseTake, 0, 0, line, [&] {
        ChoosePositions(block.outs, block.outTake, 0, 0, line, [&] {
            std::string text;
            for (HorseNumber horse : line) {
                if (!text.empty()) text += '-';
                text += FormatHorseNumber(horse);
            }
            lines.push_back(text);
        });
    });
    return lines;
}

std::vector<HorseNumber> RandomGroup(std::mt19937& random, int size) {
    std::uniform_int_distribution<int> horse(-20, 120);  // repeats, 3 digits, negatives
    std::vector<HorseNumber> group(static_cast<std::size_t>(size));
    for (HorseNumber& h : group) h = static_cast<HorseNumber>(horse(random));
    return group;
}

}  // namespace

TEST(ResultList, LinesOfSeveralBlocksFollowEachOther) {
    ResultList list;
    list.append({{1, 2, 3}, 2, {}, 0, 0});
    list.append({{4}, 2, {}, 0, 0});  // no line: not kept
    list.append({{7}, 1, {8, 9}, 1, 0});
    EXPECT_EQ(list.count(), 5u);
    EXPECT_EQ(list.blocks().size(), 2u);
    EXPECT_EQ(list.blocks()[1].lineCount, 2u);
    EXPECT_EQ(Lines(list), (Texts{"01-02", "01-03", "02-03", "07-08", "07-09"}));
    EXPECT_EQ(list.lineAt(3), "07-08");
    EXPECT_EQ(list.lineAt(5), "");
    list.clear();
    EXPECT_TRUE(list.empty());
    EXPECT_TRUE(Lines(list).empty());
}

TEST(ResultList, OnDemandLinesMatchNestedLoopsForRandomSelections) {
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> groupSize(0, 11), take(0, 5);
    for (int round = 0; round < 300; ++round) {
        ResultList list;
        Texts expected;
        for (int b = 0; b < 3; ++b) {
            ResultBlock block{RandomGroup(random, groupSize(random)), take(random),
                              RandomGroup(random, groupSize(random)), take(random) % 3, 0};
            const Texts lines = NestedLoopLines(block);
            if (block.baseTake + block.outTake > 0) expected.insert(expected.end(), lines.begin(), lines.end());
            list.append(block);
        }
        ASSERT_EQ(list.count(), expected.size()) << "round " << round;
        ASSERT_EQ(Lines(list), expected) << "round " << round;
        for (std::size_t i = 0; i < expected.size(); ++i)
            ASSERT_EQ(list.lineAt(i), expected[i]) << "round " << round << ", line " << i;
        if (expected.empty()) continue;
        const std::size_t first = std::uniform_int_distribution<std::size_t>(0, expected.size() - 1)(random);
        ASSERT_EQ(Lines(list, first), Texts(expected.begin() + static_cast<std::ptrdiff_t>(first), expected.end()));
    }
}

TEST(ResultList, WalkingStopsWhenTheVisitorSaysSo) {
    ResultList list;
    list.append({Horses(1, 6), 2, {}, 0, 0});
    EXPECT_EQ(Lines(list, 4, 3), (Texts{"01-06", "02-03", "02-04"}));
}

TEST(ResultList, LargeBlocksAreUnrankedWithoutMakingTheirLines) {
    ResultList list;
    list.append({Horses(1, 100), 5, {}, 0, 0});
    ASSERT_EQ(list.count(), 75287520u);
    EXPECT_EQ(list.lineAt(0), "01-02-03-04-05");
    EXPECT_EQ(list.lineAt(1), "01-02-03-04-06");
    EXPECT_EQ(list.lineAt(95), "01-02-03-04-100");
    EXPECT_EQ(list.lineAt(96), "01-02-03-05-06");
    EXPECT_EQ(list.lineAt(75287519), "96-97-98-99-100");

    ResultList wide;
    wide.append({Horses(1, 32767), 3, Horses(1, 32767), 2, 0});  // beyond 64 bits
    EXPECT_EQ(wide.count(), UINT64_MAX);
    EXPECT_EQ(wide.exactCount(), SaturatingMul(Binomial(32767, 3), Binomial(32767, 2)));
    EXPECT_EQ(wide.exactCount() / Binomial(32767, 2), Binomial(32767, 3));
}

TEST(ResultList, LineAtAgreesWithTheWalkInsideAHugeBlock) {
    ResultList list;
    list.append({Horses(1, 3000), 2, Horses(1, 500), 3, 0});
    std::mt19937_64 random(7);
    std::uniform_int_distribution<std::uint64_t> line(0, list.count() - 2);
    for (int i = 0; i < 200; ++i) {
        const std::uint64_t at = line(random);
        ASSERT_EQ(Lines(list, at, 2), (Texts{list.lineAt(at), list.lineAt(at + 1)})) << at;
    }
    EXPECT_EQ(list.lineAt(list.count() - 1), "2999-3000-498-499-500");
}

TEST(Binomial, CountsWithoutOverflow) {
    EXPECT_EQ(Binomial(18, 5), 8568u);
    EXPECT_EQ(Binomial(4, 5), 0u);
    EXPECT_EQ(Binomial(7, 0), 1u);
    EXPECT_EQ(DecimalText(Binomial(32767, 5)), "314680341923484196863");
    EXPECT_EQ(Binomial(UINT64_MAX, 5), kWideCountMax);
    EXPECT_EQ(SaturatingAdd(kWideCountMax, 1), kWideCountMax);
}

TEST(ShownLines, ASelectionIsReadThroughItsKeptLines) {
    ResultList list;
    list.append({{1, 2, 3}, 2, {}, 0, 0});   // 01-02 01-03 02-03
    list.append({{7}, 1, {8, 9}, 1, 0});     // 07-08 07-09
    const auto full = std::make_shared<const ResultList>(list);
    const ShownLines shown(full, std::make_shared<const LineSelection>(
                                     LineSelection::FromIndices({1, 3, 4, 99}, 5)));  // past the end: dropped
    EXPECT_FALSE(shown.isFull());
    EXPECT_EQ(shown.count(), 3u);
    EXPECT_EQ(shown.full().count(), 5u);
    EXPECT_EQ(shown.lineAt(0), "01-03");
    EXPECT_EQ(shown.lineAt(3), "");
    EXPECT_EQ(Lines(shown, 1), (Texts{"07-08", "07-09"}));
    EXPECT_EQ(Lines(shown), (Texts{"01-03", "07-08", "07-09"}));
    const LineHorses fusion = shown.horsesAt(2);
    EXPECT_EQ(std::vector<HorseNumber>(fusion.view().begin(), fusion.view().end()), (std::vector<HorseNumber>{7, 9}));
    EXPECT_EQ(fusion.bases, 1);
}

// Both forms of a selection (sorted indices, one bit per line) against a
// plain vector of flags, on random sets of every density.
TEST(LineSelection, SelectWalkAndNarrowAgreeWithAPlainSet) {
    std::mt19937_64 random(7);
    for (const std::uint64_t universe : {1u, 63u, 64u, 65u, 700u, 5000u})
        for (const double density : {0.0, 0.005, 0.3, 1.0}) {
            std::vector<bool> flags(universe);
            std::vector<std::uint64_t> indices, words((universe + 63) / 64);
            for (std::uint64_t i = 0; i < universe; ++i)
                if (std::bernoulli_distribution(density)(random)) {
                    flags[i] = true;
                    indices.push_back(i);
                    words[i / 64] |= std::uint64_t{1} << (i % 64);
                }
            for (const LineSelection& selection :
                 {LineSelection::FromIndices(indices, universe), LineSelection::FromBits(words, universe)}) {
                ASSERT_EQ(selection.count(), indices.size());
                for (std::uint64_t i = 0; i < universe; ++i) ASSERT_EQ(selection.contains(i), flags[i]) << i;
                for (std::size_t r = 0; r < indices.size(); ++r) ASSERT_EQ(selection.select(r), indices[r]);
                const std::uint64_t from = indices.size() / 3;
                std::vector<std::uint64_t> walked;
                selection.forEach([&walked](std::uint64_t i) { walked.push_back(i); return true; }, from);
                EXPECT_EQ(walked, std::vector<std::uint64_t>(indices.begin() + static_cast<long>(from), indices.end()));
                // The smaller form, never more than about a bit per line.
                EXPECT_LE(selection.bytes() * 8, std::min<std::uint64_t>(universe, indices.size() * 64) * 9 / 8 + 512);
                std::vector<std::uint64_t> everyOther, expected;
                for (std::size_t r = 0; r < indices.size(); r += 2) everyOther.push_back(r), expected.push_back(indices[r]);
                const LineSelection narrowed = selection.narrowed(everyOther);
                std::vector<std::uint64_t> kept;
                narrowed.forEach([&kept](std::uint64_t i) { kept.push_back(i); return true; });
                EXPECT_EQ(kept, expected);
            }
        }
}
