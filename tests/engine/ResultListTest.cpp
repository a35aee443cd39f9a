#include "EngineTestSupport.h"
#include "ResultList.h"

#include <gtest/gtest.h>

using namespace torvanel;
using namespace torvanel::test;

TEST(ResultList, LinesOfSeveralBlocksFollowEachOther) {
    ResultList list;
    list.append({{1, 2, 3}, 2, {}, 0, 0});
    list.append({{7}, 1, {8, 9}, 1, 0});
    EXPECT_EQ(list.count(), 5u);
    EXPECT_EQ(Lines(list), (Texts{"01-02", "01-03", "02-03", "07-08", "07-09"}));
    EXPECT_EQ(list.lineAt(3), "07-08");
    EXPECT_EQ(list.lineAt(5), "");
    list.clear();
    EXPECT_TRUE(list.empty());
}
