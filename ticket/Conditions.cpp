#include "ticket/Conditions.h"

#include "generators/Combinatorics.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <thread>
#include <type_traits>
#include <utility>

namespace torvanel::conditions {
namespace {

// ---- The general path: one line's numbers ----------------------------------

std::vector<HorseNumber> SortedSet(std::vector<HorseNumber> horses) {
    std::sort(horses.begin(), horses.end());
    horses.erase(std::unique(horses.begin(), horses.end()), horses.end());
    return horses;
}

bool Holds(const std::vector<HorseNumber>& sortedSet, HorseNumber horse) {
    return std::binary_search(sortedSet.begin(), sortedSet.end(), horse);
}

std::int64_t CountIf(std::span<const HorseNumber> line, auto predicate) {
    return std::count_if(line.begin(), line.end(), predicate);
}

// Longest run of consecutive numbers among the line's numbers taken as a set.
int LongestRun(std::span<const HorseNumber> line) {
    std::array<HorseNumber, LineHorses::kMost> numbers{};
    const std::size_t size = std::min(line.size(), numbers.size());
    std::copy_n(line.begin(), size, numbers.begin());
    std::sort(numbers.begin(), numbers.begin() + static_cast<std::ptrdiff_t>(size));
    int longest = size > 0 ? 1 : 0;
    for (std::size_t i = 1, run = 1; i < size; ++i) {
        if (numbers[i] == numbers[i - 1]) continue;
        run = numbers[i] == numbers[i - 1] + 1 ? run + 1 : 1;
        longest = std::max(longest, static_cast<int>(run));
    }
    return longest;
}

bool HoldsAll(std::span<const HorseNumber> line, const std::vector<HorseNumber>& association) {
    return std::all_of(association.begin(), association.end(), [line](HorseNumber horse) {
        return std::find(line.begin(), line.end(), horse) != line.end();
    });
}

// ---- The fast path: counters packed eight to a 64-bit word -----------------
// Each condition that counts horses of a line (a group, the even numbers, the
// small numbers, an association) is a lane: one byte of a word, which holds
// how many of the line's horses it counts (at most 8). A line's words are the
// sums of its horses' words, and every lane is tested at once against its
// bounds. Word 0: the groups in lanes 0-5, even 6, small 7; the next words:
// the associations, eight to a word (a line breaks one when it holds all of
// its horses, so its bound is "at most its size - 1").

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
constexpr std::size_t kLanesPerWord = 8;
constexpr std::size_t kEvenLane = kMostGroups;  // after the groups
constexpr std::size_t kSmallLane = kEvenLane + 1;
constexpr std::int64_t kLaneTop = 127;  // a lane's bound never needs more
static_assert(kMostGroups == 6 && kSmallLane == 7);

// High bit of each byte where low <= counter <= high (bytes up to 127).
inline std::uint64_t LanesInRange(std::uint64_t counters, std::uint64_t low, std::uint64_t high) {
    return ((counters | kHighBits) - low) & ((high | kHighBits) - counters) & kHighBits;
}

struct LaneBounds {
    std::uint64_t low = 0;
    std::uint64_t high = 0;
};

void SetLane(LaneBounds& word, std::size_t lane, std::int64_t low, std::int64_t high) {
    // A range no count meets keeps no line: low 1, high 0.
    if (high < low || high < 0) low = 1, high = 0;
    low = std::clamp<std::int64_t>(low, 0, kLaneTop);
    high = std::clamp<std::int64_t>(high, 0, kLaneTop);
    const unsigned shift = static_cast<unsigned>(8 * lane);
    word.low = (word.low & ~(std::uint64_t{0xFF} << shift)) | (static_cast<std::uint64_t>(low) << shift);
    word.high = (word.high & ~(std::uint64_t{0xFF} << shift)) | (static_cast<std::uint64_t>(high) << shift);
}

// The conditions made ready for the fast path.
class Plan {
public:
    explicit Plan(const Conditions& conditions) : conditions_(conditions) {
        for (const Group& group : conditions.groups) groupSets_.push_back(SortedSet(group.horses));
        for (const auto& association : conditions.forbidden) associationSets_.push_back(SortedSet(association));
        words_ = 1 + (associationSets_.size() + kLanesPerWord - 1) / kLanesPerWord;
        bounds_.resize(words_);
        for (std::size_t w = 0; w < words_; ++w)
            for (std::size_t lane = 0; lane < kLanesPerWord; ++lane) SetLane(bounds_[w], lane, 0, kLaneTop);
        for (std::size_t g = 0; g < groupSets_.size() && g < kMostGroups; ++g)
            SetLane(bounds_[0], g, conditions.groups[g].count.low, conditions.groups[g].count.high);
        if (conditions.even) SetLane(bounds_[0], kEvenLane, conditions.even->low, conditions.even->high);
        if (conditions.small) SetLane(bounds_[0], kSmallLane, conditions.small->low, conditions.small->high);
        for (std::size_t a = 0; a < associationSets_.size(); ++a)
            SetLane(bounds_[1 + a / kLanesPerWord], a % kLanesPerWord, 0,
                    static_cast<std::int64_t>(associationSets_[a].size()) - 1);
        if (conditions.sum) {
            sumLow_ = conditions.sum->low;
            sumSpan_ = conditions.sum->high < conditions.sum->low
                           ? 0
                           : static_cast<std::uint64_t>(conditions.sum->high) - static_cast<std::uint64_t>(sumLow_);
            if (conditions.sum->high < conditions.sum->low) sumLow_ = std::numeric_limits<std::int64_t>::max();
        }
        // A run as long as a line is no condition at all.
        if (conditions.longestRun && *conditions.longestRun < static_cast<int>(LineHorses::kMost))
            run_ = std::max(*conditions.longestRun, 0);
    }

    // The general path: which items the line meets.
    std::uint32_t itemsMet(std::span<const HorseNumber> line) const {
        std::uint32_t met = kEveryItem;
        const auto unmet = [&met](unsigned item) { met &= ~(1u << item); };
        for (std::size_t g = 0; g < groupSets_.size() && g < kMostGroups; ++g) {
            const std::vector<HorseNumber>& set = groupSets_[g];
            if (!conditions_.groups[g].count.holds(CountIf(line, [&set](HorseNumber h) { return Holds(set, h); })))
                unmet(kFirstGroup + static_cast<unsigned>(g));
        }
        for (const auto& association : associationSets_)
            if (HoldsAll(line, association)) unmet(kAssociations);
        if (conditions_.longestRun && LongestRun(line) > *conditions_.longestRun) unmet(kRun);
        if (conditions_.sum && !conditions_.sum->holds(std::accumulate(line.begin(), line.end(), std::int64_t{0})))
            unmet(kSum);
        if (conditions_.even && !conditions_.even->holds(CountIf(line, [](HorseNumber h) { return h % 2 == 0; })))
            unmet(kEven);
        const int limit = conditions_.smallLimit;
        if (conditions_.small && !conditions_.small->holds(CountIf(line, [limit](HorseNumber h) { return h <= limit; })))
            unmet(kSmall);
        return met;
    }

    std::size_t words() const { return words_; }
    const std::vector<LaneBounds>& bounds() const { return bounds_; }
    std::int64_t sumLow() const { return sumLow_; }
    std::uint64_t sumSpan() const { return sumSpan_; }
    // 0: no test; else the longest run allowed (a run of 0 keeps no line).
    bool testsRun() const { return run_ >= 0; }
    int run() const { return run_; }

    // The words a horse adds to a line's counters.
    void addCounters(HorseNumber horse, std::uint64_t* words) const {
        for (std::size_t g = 0; g < groupSets_.size() && g < kMostGroups; ++g)
            if (Holds(groupSets_[g], horse)) words[0] += std::uint64_t{1} << (8 * g);
        if (conditions_.even && horse % 2 == 0) words[0] += std::uint64_t{1} << (8 * kEvenLane);
        if (conditions_.small && horse <= conditions_.smallLimit) words[0] += std::uint64_t{1} << (8 * kSmallLane);
        for (std::size_t a = 0; a < associationSets_.size(); ++a)
            if (Holds(associationSets_[a], horse))
                words[1 + a / kLanesPerWord] += std::uint64_t{1} << (8 * (a % kLanesPerWord));
    }

private:
    const Conditions& conditions_;
    std::vector<std::vector<HorseNumber>> groupSets_;
    std::vector<std::vector<HorseNumber>> associationSets_;
    std::size_t words_ = 1;
    std::vector<LaneBounds> bounds_;
    std::int64_t sumLow_ = std::numeric_limits<std::int64_t>::min();
    std::uint64_t sumSpan_ = std::numeric_limits<std::uint64_t>::max();
    int run_ = -1;
};

// Whether a line's set of numbers (bit n - lowest for number n) holds a run
// longer than `run`: a run of run + 1 leaves a bit after run shifts.
inline bool RunAtMost(std::uint64_t mask, int run) {
    std::uint64_t longer = mask;
    for (int i = 1; i <= run; ++i) longer &= mask >> i;
    return run > 0 ? longer == 0 : mask == 0;
}

// ---- Choices of positions in lexicographic order ----------------------------

std::uint64_t Ways(std::size_t n, std::size_t take) { return ClampTo64(Binomial(n, take)); }

// Rank of increasing positions among the choices of positions.size() out of n.
std::uint64_t RankOf(std::span<const std::size_t> positions, std::size_t n) {
    std::uint64_t rank = 0;
    std::size_t next = 0;
    for (std::size_t i = 0; i < positions.size(); ++i) {
        for (std::size_t v = next; v < positions[i]; ++v) rank += Ways(n - v - 1, positions.size() - i - 1);
        next = positions[i] + 1;
    }
    return rank;
}

void PositionsOf(std::uint64_t rank, std::size_t n, std::span<std::size_t> positions) {
    std::size_t v = 0;
    for (std::size_t i = 0; i < positions.size(); ++i, ++v) {
        for (;; ++v) {
            const std::uint64_t ways = Ways(n - v - 1, positions.size() - i - 1);
            if (rank < ways) break;
            rank -= ways;
        }
        positions[i] = v;
    }
}

// The next choice of positions.size() out of n; false after the last.
bool NextChoice(std::span<std::size_t> positions, std::size_t n) {
    const std::size_t take = positions.size();
    std::size_t i = take;
    while (i > 0 && positions[i - 1] == n - take + (i - 1)) --i;
    if (i == 0) return false;
    ++positions[i - 1];
    for (std::size_t j = i; j < take; ++j) positions[j] = positions[j - 1] + 1;
    return true;
}

void FirstChoice(std::span<std::size_t> positions) {
    for (std::size_t j = 0; j < positions.size(); ++j) positions[j] = j;
}

// ---- One block as heads and tails --------------------------------------------
// A line of a block is its bases' positions then its outsiders' (each group a
// part). The last items of a line form its tail, the others its head; every
// tail's counters, sum and mask are made once per block in a table, in list
// order, so that the lines of one head are the head's values added to a run of
// the table: the tails whose first position in the part where the tail begins
// comes after the head's last one, which is the end of the table.

constexpr std::uint64_t kTailTableMost = 1u << 13;

struct Part {
    const std::vector<HorseNumber>* horses;
    std::size_t take;
    std::size_t size() const { return horses->size(); }
};

// What one horse adds to a line.
struct HorseValues {
    std::vector<std::uint64_t> counters;  // words per horse
    std::vector<std::int32_t> sums;
    std::vector<std::uint64_t> masks;
};

struct TailTable {
    std::vector<std::uint64_t> counters;  // plan.words() per tail
    std::vector<std::int32_t> sums;
    std::vector<std::uint64_t> masks;
    std::vector<std::uint64_t> startAt;  // first tail whose first position in the split part is >= q
    std::uint64_t size() const { return sums.size(); }
};

// Whether the block's horses are distinct and, when the run is tested, all
// within 64 consecutive numbers: then a line's set is its mask.
bool FastBlock(const ResultBlock& block, const Plan& plan, HorseNumber& lowest) {
    std::vector<HorseNumber> all(block.bases.begin(), block.bases.end());
    all.insert(all.end(), block.outs.begin(), block.outs.end());
    std::sort(all.begin(), all.end());
    if (std::adjacent_find(all.begin(), all.end()) != all.end()) return false;
    lowest = all.empty() ? 0 : all.front();
    return !plan.testsRun() || all.empty() || all.back() - all.front() < 64;
}

class BlockWalk {
public:
    BlockWalk(const ResultBlock& block, const Plan& plan, HorseNumber lowest) : plan_(plan) {
        if (block.baseTake > 0) parts_.push_back({&block.bases, static_cast<std::size_t>(block.baseTake)});
        if (block.outTake > 0) parts_.push_back({&block.outs, static_cast<std::size_t>(block.outTake)});
        for (const Part& part : parts_) values_.push_back(ValuesOf(part, lowest));
        chooseTail();
        buildTable();
    }

    // Walks lines [from, to) of the block (from the block's first line),
    // handing each head's run of tails to visit(head counters, sum, mask,
    // first tail, end tail); false from visit stops.
    template <typename Visit>
    void walk(std::uint64_t from, std::uint64_t to, Visit&& visit) {
        std::vector<std::size_t> head = seek(from);
        std::uint64_t tail = firstTail_;
        std::vector<std::uint64_t> counters(plan_.words());
        for (std::uint64_t left = to - from; left > 0;) {
            std::int32_t sum = 0;
            std::uint64_t mask = 0;
            headValues(head, counters.data(), sum, mask);
            const std::uint64_t end = tail + std::min(left, table_.size() - tail);
            if (!visit(counters.data(), sum, mask, tail, end)) return;
            left -= end - tail;
            if (left == 0 || !nextHead(head)) return;
            tail = tailStartOf(head);
        }
    }

    const TailTable& table() const { return table_; }

private:
    HorseValues ValuesOf(const Part& part, HorseNumber lowest) const {
        HorseValues values;
        values.counters.assign(part.size() * plan_.words(), 0);
        for (std::size_t h = 0; h < part.size(); ++h) {
            const HorseNumber horse = (*part.horses)[h];
            plan_.addCounters(horse, values.counters.data() + h * plan_.words());
            values.sums.push_back(horse);
            const int bit = horse - lowest;
            values.masks.push_back(bit >= 0 && bit < 64 ? std::uint64_t{1} << bit : 0);
        }
        return values;
    }

    // The longest tail whose table stays small (one item at least).
    void chooseTail() {
        std::size_t items = 0;
        for (const Part& part : parts_) items += part.take;
        std::size_t best = 1;
        for (std::size_t tail = 1; tail <= items; ++tail)
            if (tableSize(tail) <= kTailTableMost) best = tail;
        split_ = parts_.size() - 1;
        std::size_t rest = best;
        while (rest > parts_[split_].take) rest -= parts_[split_--].take;
        splitTail_ = rest;
    }

    std::uint64_t tableSize(std::size_t tail) const {
        std::uint64_t size = 1;
        for (std::size_t p = parts_.size(); p-- > 0 && tail > 0;) {
            const std::size_t take = std::min(tail, parts_[p].take);
            size = ClampTo64(SaturatingMul(size, Binomial(parts_[p].size(), take)));
            tail -= take;
        }
        return size;
    }

    std::size_t splitHead() const { return parts_[split_].take - splitTail_; }

    // The tail's parts: the split part's last items, then every later part.
    void buildTable() {
        std::vector<std::vector<std::size_t>> positions;
        positions.emplace_back(splitTail_);
        for (std::size_t p = split_ + 1; p < parts_.size(); ++p) positions.emplace_back(parts_[p].take);
        for (auto& choice : positions) FirstChoice(choice);
        const std::size_t splitSize = parts_[split_].size();
        table_.startAt.assign(splitSize + 1, 0);
        std::size_t nextStart = 0;
        const std::size_t words = plan_.words();
        for (;;) {
            for (; nextStart <= positions[0][0]; ++nextStart) table_.startAt[nextStart] = table_.size();
            table_.counters.resize(table_.counters.size() + words, 0);
            std::int32_t sum = 0;
            std::uint64_t mask = 0;
            for (std::size_t k = 0; k < positions.size(); ++k)
                add(split_ + k, positions[k], table_.counters.data() + table_.size() * words, sum, mask);
            table_.sums.push_back(sum);
            table_.masks.push_back(mask);
            std::size_t k = positions.size();
            while (k > 0 && !NextChoice(positions[k - 1], parts_[split_ + k - 1].size())) FirstChoice(positions[--k]);
            if (k == 0) break;
        }
        for (; nextStart <= splitSize; ++nextStart) table_.startAt[nextStart] = table_.size();
    }

    void add(std::size_t part, std::span<const std::size_t> positions, std::uint64_t* counters, std::int32_t& sum,
             std::uint64_t& mask) const {
        const HorseValues& values = values_[part];
        const std::size_t words = plan_.words();
        for (std::size_t p : positions) {
            for (std::size_t w = 0; w < words; ++w) counters[w] += values.counters[p * words + w];
            sum += values.sums[p];
            mask |= values.masks[p];
        }
    }

    // The head of line `line` (its positions part after part, the split
    // part's first items only), and its tail's place in the table.
    std::vector<std::size_t> seek(std::uint64_t line) {
        std::vector<std::size_t> head;
        std::uint64_t tailRank = 0;
        std::uint64_t below = 1;  // lines of one choice of the parts after p
        std::vector<std::uint64_t> ranks(parts_.size());
        for (std::size_t p = parts_.size(); p-- > 0;) {
            const std::uint64_t ways = Ways(parts_[p].size(), parts_[p].take);
            ranks[p] = (line / below) % ways;
            below = ClampTo64(SaturatingMul(below, ways));
        }
        std::uint64_t tailBelow = 1;
        for (std::size_t p = parts_.size(); p-- > split_ + 1;) {
            tailRank += ranks[p] * tailBelow;
            tailBelow *= Ways(parts_[p].size(), parts_[p].take);
        }
        for (std::size_t p = 0; p <= split_; ++p) {
            std::vector<std::size_t> positions(parts_[p].take);
            PositionsOf(ranks[p], parts_[p].size(), positions);
            const std::size_t inHead = p < split_ ? positions.size() : splitHead();
            head.insert(head.end(), positions.begin(), positions.begin() + static_cast<std::ptrdiff_t>(inHead));
            if (p == split_)
                tailRank += RankOf(std::span(positions).subspan(inHead), parts_[p].size()) * tailBelow;
        }
        firstTail_ = tailRank;
        return head;
    }

    // Head positions part by part: each part before the split takes its
    // whole choice, the split part only its first items, among the positions
    // that leave room for the tail's.
    template <typename Each>
    void forEachHeadPart(std::vector<std::size_t>& head, Each&& each) const {
        std::size_t at = 0;
        for (std::size_t p = 0; p <= split_; ++p) {
            const std::size_t take = p < split_ ? parts_[p].take : splitHead();
            const std::size_t room = p < split_ ? parts_[p].size() : parts_[p].size() - splitTail_;
            if (!each(p, std::span(head).subspan(at, take), room)) return;
            at += take;
        }
    }

    void headValues(std::vector<std::size_t>& head, std::uint64_t* counters, std::int32_t& sum,
                    std::uint64_t& mask) const {
        std::fill_n(counters, plan_.words(), 0);
        forEachHeadPart(head, [&](std::size_t p, std::span<std::size_t> positions, std::size_t) {
            add(p, positions, counters, sum, mask);
            return true;
        });
    }

    bool nextHead(std::vector<std::size_t>& head) const {
        std::vector<std::pair<std::span<std::size_t>, std::size_t>> choices;
        forEachHeadPart(head, [&](std::size_t, std::span<std::size_t> positions, std::size_t room) {
            choices.emplace_back(positions, room);
            return true;
        });
        for (std::size_t k = choices.size(); k-- > 0;) {
            if (NextChoice(choices[k].first, choices[k].second)) return true;
            FirstChoice(choices[k].first);
        }
        return false;
    }

    std::uint64_t tailStartOf(const std::vector<std::size_t>& head) const {
        return splitHead() == 0 ? 0 : table_.startAt[head.back() + 1];
    }

    const Plan& plan_;
    std::vector<Part> parts_;
    std::vector<HorseValues> values_;
    std::size_t split_ = 0;      // the part where the tail begins
    std::size_t splitTail_ = 0;  // its items in the tail
    TailTable table_;
    std::uint64_t firstTail_ = 0;
};

// ---- What a walk makes of the lines ------------------------------------------

// One bit per line, written a word at a time; a walk begins on a word.
class BitSink {
public:
    BitSink(std::uint64_t* words, std::uint64_t first) : out_(words + first / 64) {}
    // Writes the last word, when the walk ends inside it.
    void finish() {
        if (bit_ > 0) *out_ = word_;
    }

    void put(bool kept) {
        word_ |= static_cast<std::uint64_t>(kept) << bit_;
        if (++bit_ == 64) {
            *out_++ = word_;
            word_ = 0;
            bit_ = 0;
        }
    }
    void general(std::uint32_t met) { put(met == kEveryItem); }

    void fast(const Plan& plan, const TailTable& table, const std::uint64_t* head, std::int32_t headSum,
              std::uint64_t headMask, std::uint64_t first, std::uint64_t end) {
        const std::size_t words = plan.words();
        const LaneBounds* bounds = plan.bounds().data();
        const std::int64_t sumLow = plan.sumLow();
        const std::uint64_t sumSpan = plan.sumSpan();
        const bool testsRun = plan.testsRun();
        const int run = plan.run();
        for (std::uint64_t t = first; t < end; ++t) {
            bool kept = true;
            const std::uint64_t* counters = table.counters.data() + t * words;
            for (std::size_t w = 0; w < words; ++w)
                kept &= LanesInRange(head[w] + counters[w], bounds[w].low, bounds[w].high) == kHighBits;
            const std::int64_t sum = headSum + table.sums[t];
            kept &= static_cast<std::uint64_t>(sum) - static_cast<std::uint64_t>(sumLow) <= sumSpan;
            if (testsRun) kept &= RunAtMost(headMask | table.masks[t], run);
            put(kept);
        }
    }

private:
    std::uint64_t* out_;
    std::uint64_t word_ = 0;
    unsigned bit_ = 0;
};

// How many lines each item keeps alone, and all together.
class CountSink {
public:
    void general(std::uint32_t met) {
        for (unsigned item = 0; item < kItemCount; ++item) counts_.alone[item] += (met >> item) & 1;
        counts_.kept += met == kEveryItem;
    }

    void fast(const Plan& plan, const TailTable& table, const std::uint64_t* head, std::int32_t headSum,
              std::uint64_t headMask, std::uint64_t first, std::uint64_t end) {
        const std::size_t words = plan.words();
        const LaneBounds* bounds = plan.bounds().data();
        for (std::uint64_t t = first; t < end; ++t) {
            const std::uint64_t* counters = table.counters.data() + t * words;
            const std::uint64_t lanes = LanesInRange(head[0] + counters[0], bounds[0].low, bounds[0].high);
            bool associations = true;
            for (std::size_t w = 1; w < words; ++w)
                associations &= LanesInRange(head[w] + counters[w], bounds[w].low, bounds[w].high) == kHighBits;
            const std::int64_t sum = headSum + table.sums[t];
            const bool sumMet =
                static_cast<std::uint64_t>(sum) - static_cast<std::uint64_t>(plan.sumLow()) <= plan.sumSpan();
            const bool runMet = !plan.testsRun() || RunAtMost(headMask | table.masks[t], plan.run());
            std::uint32_t met = 0;
            for (unsigned lane = 0; lane < kLanesPerWord; ++lane)
                met |= static_cast<std::uint32_t>((lanes >> (8 * lane + 7)) & 1) << lane;
            // Lanes 6 and 7 are the even and small numbers, items kEven and kSmall.
            met = (met & ((1u << kMostGroups) - 1)) | ((met >> kEvenLane) << kEven);
            met |= static_cast<std::uint32_t>(associations) << kAssociations;
            met |= static_cast<std::uint32_t>(runMet) << kRun;
            met |= static_cast<std::uint32_t>(sumMet) << kSum;
            general(met);
        }
    }

    void finish() {}
    const Counts& counts() const { return counts_; }

private:
    Counts counts_;
};

// ---- Walking a range of the list -----------------------------------------------

constexpr std::uint64_t kProgressStep = 1u << 16;

class RangeWalk {
public:
    RangeWalk(const ResultList& full, const Plan& plan, const WalkOptions& options)
        : full_(full), plan_(plan), options_(options) {}

    // Lines [from, to) into `sink`; false when stopped.
    template <typename Sink>
    bool walk(std::uint64_t from, std::uint64_t to, Sink& sink) {
        const auto& ends = full_.blockEnds();
        for (std::size_t b = full_.blockOf(from); b < ends.size() && from < to; ++b) {
            const std::uint64_t start = b == 0 ? 0 : ends[b - 1];
            const std::uint64_t stop = std::min(to, ends[b]);
            HorseNumber lowest = 0;
            const ResultBlock& block = full_.blocks()[b];
            const bool fast = !options_.generalOnly && FastBlock(block, plan_, lowest);
            if (!(fast ? walkFast(block, lowest, from - start, stop - start, sink) : walkGeneral(from, stop, sink)))
                return false;
            from = stop;
        }
        report();
        return true;
    }

private:
    template <typename Sink>
    bool walkFast(const ResultBlock& block, HorseNumber lowest, std::uint64_t from, std::uint64_t to, Sink& sink) {
        BlockWalk walk(block, plan_, lowest);
        bool going = true;
        walk.walk(from, to, [&](const std::uint64_t* head, std::int32_t sum, std::uint64_t mask, std::uint64_t first,
                                std::uint64_t end) {
            sink.fast(plan_, walk.table(), head, sum, mask, first, end);
            going = advance(end - first);
            return going;
        });
        return going;
    }

    template <typename Sink>
    bool walkGeneral(std::uint64_t from, std::uint64_t to, Sink& sink) {
        constexpr std::uint64_t kLookEvery = 1024;
        std::uint64_t left = to - from;
        std::uint64_t walked = 0;
        bool going = true;
        full_.forEachHorses(
            [&](const LineHorses& line) {
                sink.general(plan_.itemsMet(line.view()));
                if (++walked == kLookEvery) going = advance(std::exchange(walked, 0));
                return --left > 0 && going;
            },
            from);
        return going && advance(walked);
    }

    // Counts lines walked; false once the walk is asked to stop.
    bool advance(std::uint64_t lines) {
        unreported_ += lines;
        if (unreported_ >= kProgressStep) report();
        return !(options_.stop && options_.stop->load(std::memory_order_relaxed));
    }

    void report() {
        if (options_.done) options_.done->fetch_add(unreported_, std::memory_order_relaxed);
        unreported_ = 0;
    }

    const ResultList& full_;
    const Plan& plan_;
    const WalkOptions& options_;
    std::uint64_t unreported_ = 0;
};

// Walks the list on options.threads threads, each a range beginning on a
// multiple of 64 lines, with a sink of its own made by makeSink(first line).
template <typename MakeSink, typename Sink = std::invoke_result_t<MakeSink, std::uint64_t>>
std::optional<std::vector<Sink>> WalkAll(const ResultList& full, const Conditions& conditions,
                                         const WalkOptions& options, MakeSink makeSink) {
    const Plan plan(conditions);
    const std::uint64_t count = full.count();
    const std::uint64_t threads = std::clamp<std::uint64_t>(options.threads, 1, std::max<std::uint64_t>(1, count / 4096));
    const std::uint64_t share = (count / threads + 63) / 64 * 64;
    std::vector<Sink> sinks;
    std::vector<std::uint64_t> firsts;
    for (std::uint64_t t = 0; t < threads; ++t) {
        firsts.push_back(std::min(count, t * share));
        sinks.push_back(makeSink(firsts.back()));
    }
    std::vector<char> finished(threads, 0);
    const auto work = [&](std::size_t t) {
        const std::uint64_t to = t + 1 == threads ? count : firsts[t + 1];
        finished[t] = RangeWalk(full, plan, options).walk(firsts[t], to, sinks[t]);
        sinks[t].finish();
    };
    {
        std::vector<std::jthread> workers;
        for (std::size_t t = 1; t < threads; ++t) workers.emplace_back(work, t);
        work(0);
    }
    if (std::find(finished.begin(), finished.end(), 0) != finished.end()) return std::nullopt;
    return sinks;
}

}  // namespace

bool Conditions::empty() const {
    return groups.empty() && forbidden.empty() && !longestRun && !sum && !even && !small;
}

std::uint32_t ItemsMet(const Conditions& conditions, std::span<const HorseNumber> line) {
    return Plan(conditions).itemsMet(line);
}

std::optional<LineSelection> Filter(const ResultList& full, const Conditions& conditions,
                                    const WalkOptions& options) {
    std::vector<std::uint64_t> words(static_cast<std::size_t>((full.count() + 63) / 64), 0);
    const auto walked =
        WalkAll(full, conditions, options, [&words](std::uint64_t first) { return BitSink(words.data(), first); });
    if (!walked) return std::nullopt;
    return LineSelection::FromBits(std::move(words), full.count());
}

std::optional<Counts> Count(const ResultList& full, const Conditions& conditions, const WalkOptions& options) {
    const auto walked = WalkAll(full, conditions, options, [](std::uint64_t) { return CountSink(); });
    if (!walked) return std::nullopt;
    Counts total;
    for (const CountSink& sink : *walked) {
        for (unsigned item = 0; item < kItemCount; ++item) total.alone[item] += sink.counts().alone[item];
        total.kept += sink.counts().kept;
    }
    return total;
}

}  // namespace torvanel::conditions
