#include "EngineTestSupport.h"
#include "generators/Generators.h"

#include <gtest/gtest.h>

using namespace torvanel;
using namespace torvanel::test;

namespace {

Texts Combinations(const std::vector<HorseNumber>& group, int size) {
    ResultList list;
    AppendCombinations(list, group, size);
    return Lines(list);
}

Texts Fusion(const FusionGenerator& generator, const std::vector<HorseNumber>& bases,
             const std::vector<HorseNumber>& outs) {
    ResultList list;
    AppendFusion(list, generator, bases, outs);
    return Lines(list);
}

}  // namespace

TEST(SingleGroup, KeepsListOrderInsideAndBetweenLines) {
    EXPECT_EQ(Combinations({7, 3, 12, 1}, 2),
              (Texts{"07-03", "07-12", "07-01", "03-12", "03-01", "12-01"}));
    EXPECT_EQ(Combinations({7, 3, 12, 1}, 3),
              (Texts{"07-03-12", "07-03-01", "07-12-01", "03-12-01"}));
    EXPECT_EQ(Combinations({12, 3, 15, 7, 11}, 5), (Texts{"12-03-15-07-11"}));
}

TEST(SingleGroup, TooFewHorsesMakeNoLineAndRepeatsStay) {
    EXPECT_TRUE(Combinations({4, 8}, 3).empty());
    EXPECT_TRUE(Combinations({}, 2).empty());
    EXPECT_EQ(Combinations({5, 5}, 2), (Texts{"05-05"}));
}

TEST(SingleGroup, CountsOfTheDefaultField) {
    const std::vector<HorseNumber> field = Horses(1, 18);
    const std::uint64_t expected[] = {153, 816, 3060, 8568};
    for (int size = 2; size <= 5; ++size) {
        ResultList list;
        AppendCombinations(list, field, size);
        EXPECT_EQ(list.count(), expected[size - 2]);
    }
}

TEST(Fusion, TwoAndThreeHorseWorkedExample) {
    const std::vector<HorseNumber> bases{7, 3, 5}, outs{12, 1};
    EXPECT_EQ(Fusion(Fuse1B1O, bases, outs),
              (Texts{"07-12", "07-01", "03-12", "03-01", "05-12", "05-01"}));
    EXPECT_EQ(Fusion(Fuse2B1O, bases, outs),
              (Texts{"07-03-12", "07-03-01", "07-05-12", "07-05-01", "03-05-12", "03-05-01"}));
    EXPECT_EQ(Fusion(Fuse1B2O, bases, outs), (Texts{"07-12-01", "03-12-01", "05-12-01"}));
}

TEST(Fusion, FourHorseWorkedExample) {
    const std::vector<HorseNumber> bases{7, 3, 5}, outs{12, 1, 9};
    EXPECT_EQ(Fusion(Fuse2B2O, bases, outs),
              (Texts{"07-03-12-01", "07-03-12-09", "07-03-01-09", "07-05-12-01", "07-05-12-09",
                     "07-05-01-09", "03-05-12-01", "03-05-12-09", "03-05-01-09"}));
    EXPECT_EQ(Fusion(Fuse1B3O, bases, outs),
              (Texts{"07-12-01-09", "03-12-01-09", "05-12-01-09"}));
    EXPECT_EQ(Fusion(Fuse3B1O, bases, outs),
              (Texts{"07-03-05-12", "07-03-05-01", "07-03-05-09"}));
}

TEST(Fusion, FiveHorseWorkedExample) {
    const std::vector<HorseNumber> bases{7, 3, 5, 14}, outs{12, 1, 9};
    EXPECT_EQ(Fusion(Fuse3B2O, bases, outs),
              (Texts{"07-03-05-12-01", "07-03-05-12-09", "07-03-05-01-09", "07-03-14-12-01",
                     "07-03-14-12-09", "07-03-14-01-09", "07-05-14-12-01", "07-05-14-12-09",
                     "07-05-14-01-09", "03-05-14-12-01", "03-05-14-12-09", "03-05-14-01-09"}));
    EXPECT_EQ(Fusion(Fuse2B3O, bases, outs),
              (Texts{"07-03-12-01-09", "07-05-12-01-09", "07-14-12-01-09", "03-05-12-01-09",
                     "03-14-12-01-09", "05-14-12-01-09"}));
    EXPECT_EQ(Fusion(Fuse4B1O, bases, outs),
              (Texts{"07-03-05-14-12", "07-03-05-14-01", "07-03-05-14-09"}));
}

TEST(Fusion, EveryMemberNeedsItsBasesAndOutsiders) {
    for (const FusionGenerator& generator : FusionGenerators()) {
        const std::vector<HorseNumber> bases = Horses(1, generator.baseTake);
        const std::vector<HorseNumber> outs = Horses(20, 19 + generator.outTake);
        EXPECT_EQ(Fusion(generator, bases, outs).size(), 1u) << generator.name;
        EXPECT_TRUE(Fusion(generator, {bases.begin() + 1, bases.end()}, outs).empty())
            << generator.name;
        EXPECT_TRUE(Fusion(generator, bases, {outs.begin() + 1, outs.end()}).empty())
            << generator.name;
    }
}

TEST(Fusion, ARepeatedBaseCountsAsTwoHorses) {
    EXPECT_EQ(Fusion(Fuse2B1O, {4, 4}, {9}), (Texts{"04-04-09"}));
}
