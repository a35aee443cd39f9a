#include "EngineTestSupport.h"
#include "MergeEngine.h"

#include <gtest/gtest.h>

using namespace torvanel;
using namespace torvanel::test;

TEST(Merge, DefaultTierceFusesTwoBasesWithOneOutsider) {
    MergeEngine engine;
    RecordingSink sink;
    MergeChoices choices;
    choices.split[1] = true;
    const MergeOutcome outcome = engine.cmdFusionner_Click(Starters("*7 *3 *5 1"), Starters("*12 *1 2"),
                                                           choices, sink);
    EXPECT_EQ(Lines(engine.result()),
              (Texts{"07-03-12", "07-03-01", "07-05-12", "07-05-01", "03-05-12", "03-05-01"}));
    EXPECT_TRUE(outcome.updated);
    EXPECT_EQ(outcome.countText, "6");
    EXPECT_EQ(outcome.costText, " 6 Euros");
    EXPECT_TRUE(sink.messages.empty());
}
