#include "merge/EntryRules.h"

#include <gtest/gtest.h>

using namespace torvanel::entry;
using Verdict = InsertDecision::Verdict;
using Kind = PositionAnswer::Kind;

TEST(EntryRules, InsertAppendsUpToTheStartersAndTheListLimit) {
    EXPECT_EQ(DecideInsert("18", "18", 0).verdict, Verdict::Append);
    EXPECT_EQ(DecideInsert("18", "abc", 0).verdict, Verdict::Append);  // dropped later by the purge
    EXPECT_EQ(DecideInsert("18", "19", 0).verdict, Verdict::RefuseAndClear);
    EXPECT_EQ(DecideInsert(" abc", "5", 0).verdict, Verdict::RefuseAndKeep);
    EXPECT_EQ(DecideInsert("40000", "32767.5", 0).verdict, Verdict::RefuseAndKeep);  // rounds to 32768
    EXPECT_EQ(DecideInsert("18", "-32768.5", 0).verdict, Verdict::Append);          // rounds to -32768
    EXPECT_EQ(DecideInsert("40000", "5", kMaxEntries - 1).verdict, Verdict::Append);
    EXPECT_EQ(DecideInsert("40000", "5", kMaxEntries).verdict, Verdict::RefuseAndKeep);
}

TEST(EntryRules, ThePurgeDropsWhatReadsAsZero) {
    for (const char* entry : {"", "0", "abc", " - 0.0"})
        EXPECT_TRUE(IsWorthless(entry)) << entry;
    for (const char* entry : {"-2", ".5", "5abc"})
        EXPECT_FALSE(IsWorthless(entry)) << entry;
}

TEST(EntryRules, ThePositionAnswerIsAPlaceInTheList) {
    EXPECT_EQ(PositionQuestion("8"), "En quelle position est-ce que le cheval 8 va aller?");
    EXPECT_EQ(PositionQuestion("-2"), "En quelle position est-ce que le cheval-2 va aller?");
    EXPECT_EQ(ReadPositionAnswer("", 3).kind, Kind::Nothing);
    EXPECT_EQ(ReadPositionAnswer("3", 3).row, 2);
    EXPECT_EQ(ReadPositionAnswer("2.5", 3).row, 2);  // 1.5 rounds to the even 2
    EXPECT_EQ(ReadPositionAnswer("1.5", 3).row, 0);  // 0.5 rounds to the even 0
    for (const char* answer : {"0", "4", "abc", "."})
        EXPECT_EQ(ReadPositionAnswer(answer, 3).kind, Kind::Refused) << answer;
}
