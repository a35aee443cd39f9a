#include "EngineTestSupport.h"
#include "ticket/Ticket.h"

#include <gtest/gtest.h>

using namespace torvanel;
using namespace torvanel::test;

namespace {

// The window's choices at start-up: Tiercé, fusion mode 3, splits 1, 2 and 5.
MergeChoices StartUpChoices() {
    MergeChoices choices;
    choices.split[1] = choices.split[2] = choices.split[5] = true;
    return choices;
}

// The start-up choices with another bet type, fusion mode, stake and
// include boxes (ChkInclure 0 and 1).
MergeChoices Choices(BetType betType, int fusionMode, const std::string& stake = "1",
                     std::array<bool, 2> include = {}) {
    MergeChoices choices = StartUpChoices();
    choices.betType = betType;
    choices.fusionMode = static_cast<FusionType>(fusionMode);
    choices.stake = stake;
    choices.include = include;
    return choices;
}

// `choices` with split `split` alone checked.
MergeChoices OnlySplit(MergeChoices choices, int split) {
    choices.split = {};
    choices.split[static_cast<std::size_t>(split)] = true;
    return choices;
}

class MergeTest : public ::testing::Test {
protected:
    MergeOutcome merge(const MergeChoices& choices) {
        return ticket.merge(bases, outs, choices, sink);
    }
    Texts lines() const { return Lines(ticket.shown()); }

    Ticket ticket;
    RecordingSink sink;
    StarterList bases;
    StarterList outs;
};

std::string Range(int from, int to) {
    std::string entries;
    for (int n = from; n <= to; ++n) entries += std::to_string(n) + " ";
    return entries;
}

}  // namespace

TEST_F(MergeTest, NothingSelectedAtStartUpGivesNoLineAndNoMessage) {
    bases = outs = Starters(Range(1, 18));
    const MergeOutcome outcome = merge(StartUpChoices());
    EXPECT_TRUE(lines().empty());
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_TRUE(outcome.updated);
    EXPECT_EQ(outcome.countText, "0");
    EXPECT_EQ(outcome.costText, " 0 Euros");
}

TEST_F(MergeTest, DefaultTierceFusesTwoBasesWithOneOutsider) {
    bases = Starters("*7 *3 *5 1");
    outs = Starters("*12 *1 2");
    const MergeOutcome outcome = merge(StartUpChoices());
    EXPECT_EQ(lines(), (Texts{"07-03-12", "07-03-01", "07-05-12", "07-05-01", "03-05-12", "03-05-01"}));
    EXPECT_EQ(outcome.countText, "6");
    EXPECT_EQ(outcome.costText, " 6 Euros");
    EXPECT_TRUE(sink.messages.empty());
}

TEST_F(MergeTest, CoupleAndDeuxSurQuatreMakeTheSameLinesAtTheirOwnStake) {
    bases = Starters("*1 4");
    outs = Starters("*2 *3");
    MergeOutcome outcome = merge(Choices(BetType::Couple, 3, "1"));
    EXPECT_EQ(lines(), (Texts{"01-02", "01-03"}));
    EXPECT_EQ(outcome.costText, " 2 Euros");
    outcome = merge(Choices(BetType::DeuxSurQuatre, 3, "3"));
    EXPECT_EQ(lines(), (Texts{"01-02", "01-03"}));
    EXPECT_EQ(outcome.countText, "2");
    EXPECT_EQ(outcome.costText, " 6 Euros");
}

TEST_F(MergeTest, EachSplitRunsItsOwnFusion) {
    bases = AllSelected("7 3 5 14");
    outs = AllSelected("12 1 9");
    const struct { BetType bet; int split; std::size_t lines; std::string first; } cases[] = {
        {BetType::Tierce, 0, 4 * 3, "07-12-01"},       {BetType::Tierce, 1, 6 * 3, "07-03-12"},
        {BetType::Quarte, 2, 6 * 3, "07-03-12-01"},    {BetType::Quarte, 3, 4, "07-12-01-09"},
        {BetType::Quarte, 4, 4 * 3, "07-03-05-12"},    {BetType::Quinte, 5, 4 * 3, "07-03-05-12-01"},
        {BetType::Quinte, 6, 6, "07-03-12-01-09"},     {BetType::Quinte, 7, 3, "07-03-05-14-12"},
    };
    for (const auto& c : cases) {
        merge(OnlySplit(Choices(c.bet, 3), c.split));
        EXPECT_EQ(ticket.full().count(), c.lines) << "split " << c.split;
        EXPECT_EQ(ticket.full().lineAt(0), c.first) << "split " << c.split;
    }
    EXPECT_TRUE(sink.messages.empty());
}

TEST_F(MergeTest, OneBaseIsEnoughToFuseAlsoAfterASingleGroupMerge) {
    bases = Starters("*4 6");
    outs = AllSelected("1 2 3");
    MergeChoices choices = OnlySplit(Choices(BetType::Tierce, 0), 0);
    merge(choices);  // too few bases for "Bases seulement": its message
    ASSERT_EQ(sink.messages.size(), 1u);
    choices.fusionMode = FusionType::Fused;
    const MergeOutcome outcome = merge(choices);
    EXPECT_EQ(lines(), (Texts{"04-01-02", "04-01-03", "04-02-03"}));
    EXPECT_EQ(outcome.countText, "3");
    EXPECT_EQ(sink.messages.size(), 1u);
}

TEST_F(MergeTest, AHorseInBothGroupsIsRefusedAndTheLabelsStay) {
    bases = Starters("*3 *5 7");
    outs = Starters("*9 *5 *3");
    const MergeOutcome outcome = merge(Choices(BetType::Tierce, 3, "1", {true, true}));
    EXPECT_FALSE(outcome.updated);
    EXPECT_TRUE(ticket.full().empty());
    EXPECT_EQ(sink.messages, (Texts{"Le 3 ne peut être à la fois base et outsider!\r\n"
                                    "Supprimez-le des bases ou des outsiders."}));
}

TEST_F(MergeTest, ConflictComparesHorseNumbersNotTexts) {
    bases = Starters("*07 *12");
    outs = Starters("*7.4");
    merge(Choices(BetType::Couple, 3));
    EXPECT_EQ(sink.messages, (Texts{"Le 7 ne peut être à la fois base et outsider!\r\n"
                                    "Supprimez-le des bases ou des outsiders."}));
    sink.messages.clear();
    bases = Starters("*5 *5");  // a repeat inside one group is no conflict
    outs = Starters("*6");
    merge(Choices(BetType::Tierce, 3));
    EXPECT_EQ(lines(), (Texts{"05-05-06"}));
    EXPECT_TRUE(sink.messages.empty());
}

TEST_F(MergeTest, IncludeBoxesAppendEachGroupAmongItselfAfterTheFusion) {
    bases = AllSelected("1 2 3");
    outs = AllSelected("4 5 6");
    const MergeOutcome outcome = merge(Choices(BetType::Tierce, 3, "1", {true, true}));
    const Texts all = lines();
    ASSERT_EQ(all.size(), 3 * 3 + 1 + 1u);
    EXPECT_EQ(all[0], "01-02-04");
    EXPECT_EQ(all[9], "01-02-03");
    EXPECT_EQ(all[10], "04-05-06");
    EXPECT_EQ(outcome.countText, "11");
}

TEST_F(MergeTest, BasesOnlyWithItsIncludeBoxRepeatsEveryLine) {
    bases = AllSelected("1 2 3 4");
    merge(Choices(BetType::Tierce, 0));
    const Texts once = lines();
    const MergeOutcome outcome = merge(Choices(BetType::Tierce, 0, "1", {true, false}));
    Texts twice = once;
    twice.insert(twice.end(), once.begin(), once.end());
    EXPECT_EQ(lines(), twice);
    EXPECT_EQ(outcome.countText, "8");
}

TEST_F(MergeTest, OutsidersOnlyWithTheBasesBoxAndNoBaseShowsNoMessage) {
    outs = AllSelected("4 5 6");
    merge(Choices(BetType::Tierce, 1, "1", {true, false}));
    EXPECT_EQ(lines(), (Texts{"04-05-06"}));
    EXPECT_TRUE(sink.messages.empty());
}

TEST_F(MergeTest, BasesAloneAndOutsidersAloneFollowEachOtherWithoutMessages) {
    bases = AllSelected("1 2");
    outs = AllSelected("4 5 6");
    merge(Choices(BetType::Tierce, 2));
    EXPECT_EQ(lines(), (Texts{"04-05-06"}));
    bases = AllSelected("1 2 3");
    merge(Choices(BetType::Tierce, 2));
    EXPECT_EQ(lines(), (Texts{"01-02-03", "04-05-06"}));
    EXPECT_TRUE(sink.messages.empty());
}

TEST_F(MergeTest, TooFewHorsesForASingleGroupShowItsMessage) {
    const struct { BetType bet; int mode; int selected; const char* message; } cases[] = {
        {BetType::Couple, 0, 1, "Vous devez sélectionner au moins 2 bases..."},
        {BetType::DeuxSurQuatre, 1, 1, "Vous devez sélectionner au moins 2 outs..."},
        {BetType::Tierce, 0, 2, "Vous devez sélectionner au moins 3 bases..."},
        {BetType::Tierce, 1, 0, "Vous devez sélectionner au moins 1 outsider..."},
        {BetType::Quarte, 0, 3, "Vous devez sélectionner au moins 4 bases..."},
        {BetType::Quarte, 1, 0, "Vous devez sélectionner au moins 1 outsider..."},
        {BetType::Quinte, 0, 4, "Vous devez sélectionner au moins 5 bases..."},
        {BetType::Quinte, 1, 0, "Vous devez sélectionner au moins 1 outsider..."},
    };
    for (const auto& c : cases) {
        sink.messages.clear();
        ticket.merge(AllSelected("1 2 3 4 5 6"), AllSelected("1 2 3 4 5 6"),
                                  Choices(BetType::Tierce, 0), sink);  // fills the list
        const StarterList few = AllSelected(Range(1, c.selected));
        const MergeOutcome outcome = ticket.merge(few, few, Choices(c.bet, c.mode), sink);
        EXPECT_EQ(sink.messages, (Texts{c.message}));
        EXPECT_TRUE(ticket.full().empty());
        EXPECT_EQ(outcome.countText, "0");
        EXPECT_EQ(outcome.costText, " 0 Euros");
    }
}

TEST_F(MergeTest, OneOrTwoOutsidersForThreeHorsesGiveNoLineAndNoMessage) {
    outs = AllSelected("4 5");
    merge(Choices(BetType::Tierce, 1));
    EXPECT_TRUE(ticket.full().empty());
    EXPECT_TRUE(sink.messages.empty());
}

TEST_F(MergeTest, TooFewBasesStillLetTheIncludeBoxAddLines) {
    bases = AllSelected("1 2");
    outs = AllSelected("4 5 6");
    const MergeOutcome outcome = merge(Choices(BetType::Tierce, 0, "1", {false, true}));
    EXPECT_EQ(sink.messages, (Texts{"Vous devez sélectionner au moins 3 bases..."}));
    EXPECT_EQ(lines(), (Texts{"04-05-06"}));
    EXPECT_EQ(outcome.countText, "1");
}

TEST_F(MergeTest, CostIsTheCountTimesTheStakeText) {
    bases = AllSelected(Range(1, 5));
    outs = AllSelected(Range(6, 7));
    MergeChoices quarte = Choices(BetType::Quarte, 3, "1.3");  // 10 x 1 lines
    EXPECT_EQ(merge(quarte).costText, " 13 Euros");
    bases = AllSelected("1 2 3");
    outs = AllSelected("4");
    EXPECT_EQ(merge(Choices(BetType::Tierce, 3, "1.3")).costText, " 3.9 Euros");
    EXPECT_EQ(merge(Choices(BetType::Tierce, 3, "1,3")).costText, " 3 Euros");
    EXPECT_EQ(merge(Choices(BetType::Tierce, 3, "")).costText, " 0 Euros");
    EXPECT_EQ(merge(Choices(BetType::Tierce, 3, "abc")).costText, " 0 Euros");
    bases = AllSelected("1 2");
    EXPECT_EQ(merge(Choices(BetType::Tierce, 3, "0.5")).costText, " .5 Euros");
}

TEST_F(MergeTest, KeptLinesArePricedLikeAMergeAndTheNextMergeBringsAllBack) {
    bases = AllSelected(Range(1, 5));
    outs = AllSelected("6 7");
    const MergeChoices quarte = Choices(BetType::Quarte, 3, "1.3");  // 2 of the bases with both outsiders
    merge(quarte);
    // A stake typed since the merge and too large to price: refused, all stays.
    EXPECT_FALSE(ticket.pushStage(StageKind::Reduction, {0, 1}, "liste réduite", "1E308", sink));
    EXPECT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(lines().size(), 10u);
    EXPECT_FALSE(ticket.hasStage());
    const std::optional<MergeOutcome> kept =
        ticket.pushStage(StageKind::Reduction, {0, 4, 9}, "liste réduite", quarte.stake, sink);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->countText, "3");
    EXPECT_EQ(kept->costText, " 3.9 Euros");
    EXPECT_EQ(lines(), (Texts{"01-02-06-07", "02-03-06-07", "04-05-06-07"}));
    EXPECT_EQ(ticket.stageTitle(), "liste réduite");
    // A stage of a stage counts in the lines shown, not in the full list.
    ASSERT_TRUE(ticket.pushStage(StageKind::Arrival, {2}, "lignes gagnantes", quarte.stake, sink));
    EXPECT_EQ(lines(), (Texts{"04-05-06-07"}));
    EXPECT_EQ(ticket.dropStages(quarte.stake, sink)->countText, "10");
    EXPECT_EQ(lines().size(), 10u);
    ticket.pushStage(StageKind::Reduction, {0}, "liste réduite", quarte.stake, sink);
    EXPECT_EQ(merge(quarte).countText, "10");
    EXPECT_EQ(lines().size(), 10u);
    EXPECT_EQ(ticket.stageTitle(), "");
}

TEST_F(MergeTest, LoadingTakesSelectedEntriesInListOrder) {
    bases = Starters("*5 2 *9");
    merge(Choices(BetType::Couple, 0));
    EXPECT_EQ(ticket.selection().BaseCount, 2);
    EXPECT_EQ(ticket.selection().BaseNumbers, (std::vector<HorseNumber>{5, 9}));
    EXPECT_EQ(lines(), (Texts{"05-09"}));
    bases = Starters("*9 2 *5");
    merge(Choices(BetType::Couple, 0));
    EXPECT_EQ(ticket.selection().BaseNumbers, (std::vector<HorseNumber>{9, 5}));
    EXPECT_EQ(lines(), (Texts{"09-05"}));
    EXPECT_TRUE(ticket.selection().ClearFirst);
    EXPECT_EQ(ticket.selection().FusionMode, FusionType::BasesOnly);
}

TEST_F(MergeTest, EntriesAreRoundedHalfToEven) {
    bases = AllSelected("2.5 3.5 abc 7.6");
    merge(Choices(BetType::Quarte, 0));
    EXPECT_EQ(lines(), (Texts{"02-04-00-08"}));
}

TEST_F(MergeTest, AnEntryOutsideTheHorseNumberRangeIsRefusedByName) {
    bases = Starters("*1 *2 *40000 *3");
    outs = Starters("*4");
    const MergeOutcome outcome = merge(Choices(BetType::Tierce, 3));
    EXPECT_EQ(sink.messages,
              (Texts{"L'entrée \"40000\" (place 3 des bases) ne peut pas servir de numéro de "
                     "cheval : un numéro doit être compris entre -32768 et 32767.\r\n"
                     "Corrigez-la ou retirez-la de la sélection."}));
    EXPECT_TRUE(ticket.full().empty());
    EXPECT_EQ(outcome.countText, "0");
    EXPECT_EQ(outcome.costText, " 0 Euros");
}

TEST_F(MergeTest, OnlyTheEntriesAMergeReadsAreChecked) {
    bases = Starters("*1 *2 *3 -32768.5 1E400");  // not selected: never read
    outs = Starters("*-32769 *1E400");            // not read by "Bases seulement"
    merge(Choices(BetType::Tierce, 0));
    EXPECT_EQ(lines(), (Texts{"01-02-03"}));
    EXPECT_TRUE(sink.messages.empty());
    merge(Choices(BetType::Tierce, 0, "1", {false, true}));
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_NE(sink.messages[0].find("\"-32769\" (place 1 des outsiders)"), std::string::npos);
    EXPECT_TRUE(ticket.full().empty());
}

TEST_F(MergeTest, TheLimitsOfTheHorseNumberRangeAreAccepted) {
    bases = AllSelected("-32768 32767 -32768.5");  // -32768.5 rounds to -32768
    merge(Choices(BetType::Tierce, 0));
    EXPECT_EQ(lines(), (Texts{"0-32768-32767-0-32768"}));
}

TEST_F(MergeTest, AMergeAboveTheCapIsRefusedWithItsCount) {
    MergeEngine limited(100);
    bases = AllSelected(Range(1, 9));  // C(9, 3) = 84 lines
    EXPECT_EQ(limited.cmdFusionner_Click(bases, outs, Choices(BetType::Tierce, 0), sink).countText, "84");
    const MergeOutcome outcome =  // 168 lines
        limited.cmdFusionner_Click(bases, outs, Choices(BetType::Tierce, 0, "1", {true, false}), sink);
    EXPECT_EQ(sink.messages,
              (Texts{"Cette fusion donnerait 168 lignes, mais la liste des résultats ne peut en "
                     "montrer que 100 au plus.\r\n"
                     "Sélectionnez moins de chevaux ou choisissez une autre fusion."}));
    EXPECT_TRUE(limited.result().empty());
    EXPECT_EQ(outcome.countText, "0");
}

TEST_F(MergeTest, CountsBeyondSixtyFourBitsAreGivenExactly) {
    bases = AllSelected(Range(1, 32767));
    merge(Choices(BetType::Quinte, 0));
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].rfind("Cette fusion donnerait 314680341923484196863 lignes, mais la "
                                     "liste des résultats ne peut en montrer que 2147483647 au plus.", 0),
              0u);
    EXPECT_TRUE(ticket.full().empty());
}

TEST_F(MergeTest, AStakeTooLargeToPriceIsRefused) {
    bases = AllSelected("1 2 3 4");
    const MergeOutcome outcome = merge(Choices(BetType::Tierce, 0, "1E308"));
    EXPECT_EQ(sink.messages,
              (Texts{"La mise unitaire \"1E308\" est trop grande : le coût de 4 lignes ne peut pas "
                     "être calculé.\r\nSaisissez une mise plus petite."}));
    EXPECT_TRUE(ticket.full().empty());
    EXPECT_EQ(outcome.costText, " 0 Euros");
}

TEST_F(MergeTest, ANegativeStakeIsRefusedLikeOneTooLargeAndAStageKeepsItsList) {
    bases = AllSelected("1 2 3 4");
    const MergeOutcome outcome = merge(Choices(BetType::Tierce, 0, "-2"));
    EXPECT_EQ(sink.messages, (Texts{"La mise unitaire \"-2\" ne convient pas : une mise ne peut pas être "
                                    "négative.\r\nSaisissez une mise positive."}));
    EXPECT_TRUE(ticket.full().empty());
    EXPECT_EQ(outcome.costText, " 0 Euros");
    // Nothing to price, nothing refused.
    bases = Starters("1 2 3");
    EXPECT_EQ(merge(Choices(BetType::Tierce, 3, "-2")).costText, " 0 Euros");
    EXPECT_EQ(sink.messages.size(), 1u);
    // Typed after the merge: a new stage is refused and the list stays.
    bases = AllSelected("1 2 3 4");
    merge(Choices(BetType::Tierce, 0, "1"));
    EXPECT_FALSE(ticket.pushStage(StageKind::Reduction, {0}, "liste réduite", "-0.5", sink));
    EXPECT_EQ(ticket.shown().count(), 4u);
}
