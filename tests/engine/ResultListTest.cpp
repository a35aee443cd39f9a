#include "EngineTestSupport.h"
#include "generators/Numbers.h"
#include "generators/ResultList.h"

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

TEST(ResultList, ASubListIsReadThroughItsKeptLinesUntilTheListChanges) {
    ResultList list;
    list.append({{1, 2, 3}, 2, {}, 0, 0});   // 01-02 01-03 02-03
    list.append({{7}, 1, {8, 9}, 1, 0});     // 07-08 07-09
    list.keepOnly({1, 3, 4, 99});            // an index past the end is dropped
    EXPECT_TRUE(list.isSubList());
    EXPECT_EQ(list.count(), 3u);
    EXPECT_EQ(list.fullCount(), 5u);
    EXPECT_EQ(list.lineAt(0), "01-03");
    EXPECT_EQ(list.lineAt(3), "");
    EXPECT_EQ(Lines(list, 1), (Texts{"07-08", "07-09"}));
    EXPECT_EQ(Lines(list), (Texts{"01-03", "07-08", "07-09"}));

    list.append({{4, 5}, 2, {}, 0, 0});      // what a merge does: the full list again
    EXPECT_FALSE(list.isSubList());
    EXPECT_EQ(list.count(), 6u);
    list.keepOnly({0});
    list.clear();
    EXPECT_FALSE(list.isSubList());
    EXPECT_TRUE(list.empty());
}
