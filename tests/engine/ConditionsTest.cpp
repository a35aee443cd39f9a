#include "EngineTestSupport.h"
#include "generators/Generators.h"
#include "ticket/Conditions.h"
#include "ticket/Ticket.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

using namespace torvanel;
using namespace torvanel::conditions;
using namespace torvanel::test;

namespace {

// ---- The reference: each condition read straight off a line's numbers ----

std::int64_t InSet(const std::vector<int>& line, const std::vector<HorseNumber>& horses) {
    const std::set<int> set(horses.begin(), horses.end());
    std::int64_t count = 0;
    for (int horse : line) count += set.count(horse) > 0 ? 1 : 0;
    return count;
}

int ReferenceRun(const std::vector<int>& line) {
    const std::set<int> numbers(line.begin(), line.end());
    int longest = 0;
    for (int n : numbers) {
        int run = 0;
        while (numbers.count(n + run)) ++run;
        longest = std::max(longest, run);
    }
    return longest;
}

std::uint32_t ReferenceItems(const Conditions& c, const std::vector<int>& line) {
    std::uint32_t met = kEveryItem;
    for (std::size_t g = 0; g < c.groups.size(); ++g)
        if (!c.groups[g].count.holds(InSet(line, c.groups[g].horses))) met &= ~(1u << g);
    for (const auto& association : c.forbidden) {
        bool all = true;
        for (HorseNumber horse : association) all = all && InSet(line, {horse}) > 0;
        if (all) met &= ~(1u << kAssociations);
    }
    if (c.longestRun && ReferenceRun(line) > *c.longestRun) met &= ~(1u << kRun);
    std::int64_t sum = 0, even = 0, small = 0;
    for (int horse : line) {
        sum += horse;
        even += (horse % 2 == 0);
        small += (horse <= c.smallLimit);
    }
    if (c.sum && !c.sum->holds(sum)) met &= ~(1u << kSum);
    if (c.even && !c.even->holds(even)) met &= ~(1u << kEven);
    if (c.small && !c.small->holds(small)) met &= ~(1u << kSmall);
    return met;
}

struct Reference {
    std::vector<std::uint64_t> kept;  // indices of the full list
    Counts counts;
};

Reference ReferenceOf(const ResultList& list, const Conditions& c) {
    Reference reference;
    for (std::uint64_t i = 0; i < list.count(); ++i) {
        const LineHorses horses = list.horsesAt(i);
        const std::uint32_t met = ReferenceItems(c, std::vector<int>(horses.view().begin(), horses.view().end()));
        for (unsigned item = 0; item < kItemCount; ++item) reference.counts.alone[item] += (met >> item) & 1;
        if (met == kEveryItem) {
            reference.kept.push_back(i);
            ++reference.counts.kept;
        }
    }
    return reference;
}

std::vector<std::uint64_t> Indices(const LineSelection& selection) {
    std::vector<std::uint64_t> indices;
    selection.forEach([&indices](std::uint64_t i) { indices.push_back(i); return true; });
    return indices;
}

void ExpectAsReference(const ResultList& list, const Conditions& c, const WalkOptions& options) {
    const Reference reference = ReferenceOf(list, c);
    const std::optional<LineSelection> kept = Filter(list, c, options);
    ASSERT_TRUE(kept);
    EXPECT_EQ(Indices(*kept), reference.kept);
    const std::optional<Counts> counts = Count(list, c, options);
    ASSERT_TRUE(counts);
    EXPECT_EQ(counts->alone, reference.counts.alone);
    EXPECT_EQ(counts->kept, reference.counts.kept);
}

Conditions OneGroup(std::vector<HorseNumber> horses, std::int64_t low, std::int64_t high) {
    Conditions c;
    c.groups.push_back({"Favoris", std::move(horses), {low, high}});
    return c;
}

}  // namespace

// Horses in the order the punter put them (not sorted), horse 3 twice in the
// bases, a fusion beside them: each condition alone, then all together.
TEST(Conditions, EachConditionKeepsTheLinesABruteForceCheckKeeps) {
    ResultList list;
    AppendCombinations(list, {7, 3, 12, 1, 3, 8, 2}, 3);
    AppendFusion(list, Fuse2B1O, {9, 4, 5}, {10, 6, 11, 13});
    std::vector<Conditions> cases;
    cases.push_back(OneGroup({3, 12, 12}, 1, 2));  // a line "03-..-03" holds 3 twice: 2
    cases.push_back(OneGroup({1, 2, 3, 4, 5, 6}, 2, 3));
    {
        Conditions c = OneGroup({7, 9}, 0, 0);
        c.groups.push_back({"Écurie", {3, 8, 10}, {1, 3}});
        cases.push_back(c);
    }
    for (const std::vector<HorseNumber>& association : {std::vector<HorseNumber>{3, 7}, {9, 4, 6}}) {
        Conditions c;
        c.forbidden = {association, {12, 1}};
        cases.push_back(c);
    }
    for (int run : {1, 2}) {
        Conditions c;
        c.longestRun = run;  // 7-3-8 and 1-2-3 are runs whatever the written order
        cases.push_back(c);
    }
    for (auto [field, low, high] : {std::tuple{0, 15, 20}, {1, 1, 1}, {1, 2, 3}, {2, 2, 3}}) {
        Conditions c;
        (field == 0 ? c.sum : field == 1 ? c.even : c.small) = Range{low, high};
        c.smallLimit = 6;
        cases.push_back(c);
    }
    Conditions all = OneGroup({3, 8, 9}, 1, 3);
    all.forbidden = {{4, 6}};
    all.longestRun = 2;
    all.sum = Range{10, 30};
    all.even = Range{1, 2};
    all.small = Range{1, 3};
    all.smallLimit = 9;
    cases.push_back(all);
    for (const Conditions& c : cases) {
        SCOPED_TRACE(testing::PrintToString(Indices(*Filter(list, c))));
        ExpectAsReference(list, c, {});
        ExpectAsReference(list, c, {.generalOnly = true});
    }
}

// Random lists and conditions, big enough for two threads (each starting in
// the middle of a block) and for tails split inside a group: the fast path,
// the general path and the reference give the same lines and counts. Some
// blocks have repeated, negative or far-apart numbers.
TEST(Conditions, FastPathAgreesWithTheGeneralPathOnRandomLists) {
    std::mt19937 random(20260125);
    const auto uniform = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    const auto horses = [&](int count, bool odd, int top = 40) {
        std::vector<HorseNumber> group;
        std::set<int> used;
        while (static_cast<int>(group.size()) < count) {
            const int horse = odd ? uniform(-5, 90) : uniform(1, top);
            if (odd || used.insert(horse).second) group.push_back(static_cast<HorseNumber>(horse));
        }
        return group;
    };
    for (int round = 0; round < 16; ++round) {
        ResultList list;
        for (int block = uniform(1, 3); block > 0; --block) {
            const bool odd = uniform(0, 4) == 0;
            const int top = uniform(0, 1) ? 40 : 300;
            if (uniform(0, 1) == 0) {
                AppendCombinations(list, horses(uniform(8, 26), odd, top), uniform(2, 5));
            } else {
                const FusionGenerator& fusion = FusionGenerators()[static_cast<std::size_t>(uniform(0, 8))];
                const std::vector<HorseNumber> both = horses(uniform(12, 34), odd, top);
                const auto cut = static_cast<std::ptrdiff_t>(uniform(5, static_cast<int>(both.size()) - 5));
                AppendFusion(list, fusion, {both.begin(), both.begin() + cut}, {both.begin() + cut, both.end()});
            }
        }
        // A block too big for one table: heads of two horses, tails of three.
        if (round % 4 == 0) AppendCombinations(list, horses(32, false, 60), 5);
        Conditions c;
        for (int g = uniform(0, 3); g > 0; --g) {
            const int low = uniform(0, 1);
            c.groups.push_back({"", horses(uniform(1, 10), false), {low, low + uniform(0, 3)}});
        }
        for (int a = uniform(0, 1) * uniform(0, 11); a > 0; --a) c.forbidden.push_back(horses(uniform(2, 3), false));
        if (uniform(0, 1)) c.longestRun = uniform(0, 1) ? 1 : uniform(2, 4);
        if (uniform(0, 2) == 0) c.sum = Range{uniform(0, 100), uniform(100, 400)};
        if (uniform(0, 2) == 0) c.even = Range{uniform(0, 2), uniform(2, 4)};
        if (uniform(0, 2) == 0) c.small = Range{uniform(0, 2), uniform(2, 4)};
        c.smallLimit = uniform(-2, 30);
        if (round % 4 == 0) c.longestRun = 1 + round % 8 / 4;  // runs across heads of two horses and tails
        SCOPED_TRACE("round " + std::to_string(round) + ", " + std::to_string(list.count()) + " lines");
        ExpectAsReference(list, c, {.threads = 2});
        EXPECT_EQ(Indices(*Filter(list, c, {.threads = 2})), Indices(*Filter(list, c, {.generalOnly = true})));
    }
}

TEST(Conditions, AStoppedWalkGivesNothing) {
    ResultList list;
    AppendCombinations(list, Horses(1, 30), 5);
    const std::atomic<bool> stop{true};
    std::atomic<std::uint64_t> done{0};
    EXPECT_FALSE(Filter(list, OneGroup({1}, 1, 1), {.threads = 2, .stop = &stop, .done = &done}));
    EXPECT_FALSE(Count(list, OneGroup({1}, 1, 1), {.stop = &stop}));
    EXPECT_LT(done.load(), list.count());
}

// The ticket keeps the conditions across merges and "Vider", prices the kept
// lines, and drops them with the stages or with empty conditions.
TEST(Conditions, TheTicketFiltersEveryNewListUntilTheConditionsAreRemoved) {
    Ticket ticket;
    RecordingSink sink;
    MergeChoices choices;
    choices.betType = BetType::Tierce;
    choices.fusionMode = FusionType::BasesOnly;
    choices.stake = "2";
    const StarterList bases = AllSelected("7 3 12 1 5");
    ticket.merge(bases, {}, choices, sink);
    const Conditions noThree = OneGroup({3}, 0, 0);
    // A stake too large to price: refused, nothing changes.
    EXPECT_FALSE(ticket.setConditions(noThree, *Filter(ticket.full(), noThree), "1E308", sink));
    EXPECT_FALSE(ticket.hasConditions());
    EXPECT_EQ(ticket.shown().count(), 10u);

    const std::optional<MergeOutcome> labels = ticket.setConditions(noThree, *Filter(ticket.full(), noThree), "2", sink);
    ASSERT_TRUE(labels);
    EXPECT_EQ(labels->countText, "4");
    EXPECT_EQ(labels->costText, " 8 Euros");
    EXPECT_EQ(Lines(ticket.shown()), (Texts{"07-12-01", "07-12-05", "07-01-05", "12-01-05"}));
    EXPECT_EQ(ticket.stageTitle(), kConditionsTitle);

    choices.betType = BetType::Couple;  // an option click merges again
    EXPECT_EQ(ticket.merge(bases, {}, choices, sink).countText, "6");
    EXPECT_EQ(ticket.full().count(), 10u);
    ticket.clearResult();
    EXPECT_EQ(ticket.stageTitle(), kConditionsTitle);
    EXPECT_EQ(ticket.merge(bases, {}, choices, sink).countText, "6");

    // A filtering cancelled shows the full list, without conditions.
    const Ticket::Filtering cancelled = [](const ResultList&, const Conditions&) { return std::nullopt; };
    EXPECT_EQ(ticket.merge(bases, {}, choices, sink, cancelled).countText, "10");
    EXPECT_FALSE(ticket.hasConditions());
    EXPECT_FALSE(ticket.hasStage());

    ticket.setConditions(noThree, *Filter(ticket.full(), noThree), "2", sink);
    EXPECT_EQ(ticket.dropStages("2", sink)->countText, "10");
    EXPECT_FALSE(ticket.hasConditions());
    ticket.setConditions(noThree, *Filter(ticket.full(), noThree), "2", sink);
    EXPECT_EQ(ticket.setConditions({}, {}, "2", sink)->countText, "10");
    EXPECT_FALSE(ticket.hasConditions());
    EXPECT_EQ(ticket.merge(bases, {}, choices, sink).countText, "10");
    EXPECT_EQ(sink.messages.size(), 1u);  // the refused stake's
}
