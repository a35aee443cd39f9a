// The pieces the design table and its offline programs share: the text of
// the table both ways, the t-sets of a field and the cyclic groups.

#include "reduce/DesignParts.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

using namespace torvanel::reduce;

TEST(DesignText, ReadsAndWritesTheTableForm) {
    // The .inc form: raw-string delimiters around one line per cell.
    const std::string text = "R\"(\n6 4 2 abcd abef cdef\n7 3 2 abc ade afg bdf beg cdg cef\n)\"\n";
    const std::vector<CellDesign> cells = ReadDesigns(text);
    ASSERT_EQ(cells.size(), 2U);
    EXPECT_EQ(cells[0].v, 6);
    EXPECT_EQ(cells[0].k, 4);
    EXPECT_EQ(cells[0].t, 2);
    EXPECT_EQ(cells[0].blocks, (std::vector<Block>{{0, 1, 2, 3}, {0, 1, 4, 5}, {2, 3, 4, 5}}));
    EXPECT_EQ(cells[1].blocks.size(), 7U);
    EXPECT_EQ(DesignLine(cells[0]), "6 4 2 abcd abef cdef");
    EXPECT_EQ(DesignTableText(cells), text);
    EXPECT_TRUE(ReadDesigns("no cell here\n6 4\n").empty());
    EXPECT_TRUE(ReadDesignFile("/nonexistent/designs.txt").empty());
}

TEST(DesignText, MasksAndBlocksNameTheSamePoints) {
    EXPECT_EQ(MaskOf({0, 3, 63}), (1ULL << 0) | (1ULL << 3) | (1ULL << 63));
    EXPECT_EQ(BlockOf((1ULL << 0) | (1ULL << 3) | (1ULL << 63)), (Block{0, 3, 63}));
    EXPECT_TRUE(BlockOf(0).empty());
}

TEST(DesignGroups, SubsetsAreEveryTSetInIncreasingOrder) {
    for (int size = 0; size <= 4; ++size) {
        std::vector<Mask> expected;
        for (Mask set = 0; set < (Mask{1} << 7); ++set)
            if (__builtin_popcountll(set) == size) expected.push_back(set);
        EXPECT_EQ(SubsetsOf(7, size), expected) << size;
    }
}

TEST(DesignGroups, CyclesTurnTheirPointsAndLeaveTheOthers) {
    // Two 3-cycles, 0 -> 1 -> 2 -> 0 and 3 -> 4 -> 5 -> 3, and point 6 fixed.
    const int next[] = {1, 2, 0, 4, 5, 3, 6};
    const CyclicGroup group(7, 3, 2);
    for (Mask set : SubsetsOf(7, 3)) {
        std::set<Mask> images;
        Mask image = set;
        for (int by = 0; by < 3; ++by) {
            EXPECT_EQ(group.shifted(set, by), image);
            images.insert(image);
            Mask turned = 0;
            for (int p = 0; p < 7; ++p)
                if ((image >> p) & 1U) turned |= Mask{1} << next[p];
            image = turned;
        }
        EXPECT_EQ(image, set);  // three steps come back
        EXPECT_EQ(group.shifted(set, 3), set);
        EXPECT_EQ(group.orbit(set), std::vector<Mask>(images.begin(), images.end()));
    }
    EXPECT_THROW(CyclicGroup(7, 4, 2), std::invalid_argument);
    EXPECT_THROW(CyclicGroup(7, 0, 1), std::invalid_argument);
}
