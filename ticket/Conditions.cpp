#include "ticket/Conditions.h"

#include "generators/Combinatorics.h"

#include <algorithm>
#include <bit>
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
// bounds. An association is broken by a line that holds all of its horses,
// so its bound is "at most its size - 1". One more lane holds the longest run
// of the tail of a line (see BlockWalk), set per tail rather than per horse.

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
constexpr std::size_t kLanesPerWord = 8;
constexpr std::int64_t kLaneTop = 127;  // a lane's bound never needs more

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
    const unsigned shift = static_cast<unsigned>(8 * (lane % kLanesPerWord));
    word.low = (word.low & ~(std::uint64_t{0xFF} << shift)) | (static_cast<std::uint64_t>(low) << shift);
    word.high = (word.high & ~(std::uint64_t{0xFF} << shift)) | (static_cast<std::uint64_t>(high) << shift);
}

enum class LaneKind { Group, Even, Small, Association, TailRun };

struct Lane {
    LaneKind kind;
    unsigned item;
    std::vector<HorseNumber> set;  // a group's or an association's horses, sorted
    Range bounds;
};

// The conditions made ready for both paths.
class Plan {
public:
    explicit Plan(const Conditions& conditions) : conditions_(conditions) {
        // A run as long as a line is no condition at all.
        if (conditions.longestRun && *conditions.longestRun < static_cast<int>(LineHorses::kMost))
            run_ = std::max(*conditions.longestRun, 0);
        for (std::size_t g = 0; g < conditions.groups.size() && g < kMostGroups; ++g)
            lanes_.push_back({LaneKind::Group, kFirstGroup + static_cast<unsigned>(g),
                              SortedSet(conditions.groups[g].horses), conditions.groups[g].count});
        if (conditions.even) lanes_.push_back({LaneKind::Even, kEven, {}, *conditions.even});
        if (conditions.small) lanes_.push_back({LaneKind::Small, kSmall, {}, *conditions.small});
        if (testsRun()) lanes_.push_back({LaneKind::TailRun, kRun, {}, {0, run_}});
        for (const auto& association : conditions.forbidden) {
            std::vector<HorseNumber> set = SortedSet(association);
            const auto size = static_cast<std::int64_t>(set.size());
            lanes_.push_back({LaneKind::Association, kAssociations, std::move(set), {0, size - 1}});
        }
        words_ = std::max<std::size_t>(1, (lanes_.size() + kLanesPerWord - 1) / kLanesPerWord);
        bounds_.resize(words_);
        for (std::size_t lane = 0; lane < words_ * kLanesPerWord; ++lane)
            SetLane(bounds_[lane / kLanesPerWord], lane, 0, kLaneTop);  // a lane no condition uses
        for (std::size_t lane = 0; lane < lanes_.size(); ++lane)
            SetLane(bounds_[lane / kLanesPerWord], lane, lanes_[lane].bounds.low, lanes_[lane].bounds.high);
        if (conditions.sum) {
            const Range sum = *conditions.sum;
            sumLow_ = sum.high < sum.low ? std::numeric_limits<std::int64_t>::max() : sum.low;
            sumSpan_ = sum.high < sum.low ? 0 : static_cast<std::uint64_t>(sum.high) - static_cast<std::uint64_t>(sum.low);
        }
    }

    // The general path: which items the line meets.
    std::uint32_t itemsMet(std::span<const HorseNumber> line) const {
        std::uint32_t met = kEveryItem;
        for (const Lane& lane : lanes_) {
            if (lane.kind == LaneKind::TailRun) continue;  // the run is read off the whole line below
            const bool broken = lane.kind == LaneKind::Association
                                    ? HoldsAll(line, lane.set)
                                    : !lane.bounds.holds(CountIf(line, [&](HorseNumber h) { return counts(lane, h); }));
            if (broken) met &= ~(1u << lane.item);
        }
        if (testsRun() && LongestRun(line) > run_) met &= ~(1u << kRun);
        if (conditions_.sum && !conditions_.sum->holds(std::accumulate(line.begin(), line.end(), std::int64_t{0})))
            met &= ~(1u << kSum);
        return met;
    }

    std::size_t words() const { return words_; }
    const std::vector<LaneBounds>& bounds() const { return bounds_; }
    // The lane of an item that has one lane of its own (a group, the even
    // or the small numbers), when it is set.
    std::optional<std::size_t> laneOf(unsigned item) const {
        for (std::size_t lane = 0; lane < lanes_.size(); ++lane)
            if (lanes_[lane].item == item && item != kAssociations && item != kRun) return lane;
        return std::nullopt;
    }
    // High bits of the lanes of `kind` in word `word`.
    std::uint64_t laneBits(LaneKind kind, std::size_t word) const {
        std::uint64_t bits = 0;
        for (std::size_t lane = word * kLanesPerWord; lane < lanes_.size() && lane < (word + 1) * kLanesPerWord; ++lane)
            if (lanes_[lane].kind == kind) bits |= LaneOne(lane) << 7;
        return bits;
    }
    bool inAnAssociation(HorseNumber horse) const {
        return std::any_of(lanes_.begin(), lanes_.end(), [horse](const Lane& lane) {
            return lane.kind == LaneKind::Association && Holds(lane.set, horse);
        });
    }
    std::int64_t sumLow() const { return sumLow_; }
    std::uint64_t sumSpan() const { return sumSpan_; }
    bool testsRun() const { return run_ >= 0; }
    // The longest run allowed (0 keeps no line).
    int run() const { return run_; }

    // The words a horse adds to a line's counters.
    void addCounters(HorseNumber horse, std::uint64_t* words) const {
        for (std::size_t lane = 0; lane < lanes_.size(); ++lane)
            if (counts(lanes_[lane], horse)) words[lane / kLanesPerWord] += LaneOne(lane);
    }
    // The words a tail's own longest run adds.
    void addTailRun(int run, std::uint64_t* words) const {
        for (std::size_t lane = 0; lane < lanes_.size(); ++lane)
            if (lanes_[lane].kind == LaneKind::TailRun)
                words[lane / kLanesPerWord] += LaneOne(lane) * static_cast<std::uint64_t>(run);
    }

private:
    static std::uint64_t LaneOne(std::size_t lane) { return std::uint64_t{1} << (8 * (lane % kLanesPerWord)); }

    bool counts(const Lane& lane, HorseNumber horse) const {
        switch (lane.kind) {
        case LaneKind::Group:
        case LaneKind::Association:
            return Holds(lane.set, horse);
        case LaneKind::Even:
            return horse % 2 == 0;
        case LaneKind::Small:
            return horse <= conditions_.smallLimit;
        case LaneKind::TailRun:
            break;
        }
        return false;
    }

    const Conditions& conditions_;
    std::vector<Lane> lanes_;
    std::size_t words_ = 1;
    std::vector<LaneBounds> bounds_;
    std::int64_t sumLow_ = std::numeric_limits<std::int64_t>::min();
    std::uint64_t sumSpan_ = std::numeric_limits<std::uint64_t>::max();
    int run_ = -1;
};

// Whether a set of numbers as bits (adjacent numbers on adjacent bits) holds
// no run longer than `run`: a run of run + 1 leaves a bit after run shifts.
inline bool RunAtMost(std::uint64_t bits, int run) {
    std::uint64_t longer = bits;
    for (int i = 1; i <= run; ++i) longer &= bits >> i;
    return run > 0 ? longer == 0 : bits == 0;
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
// tail's counters and sum are made once per block in a table, in list order,
// so that the lines of one head are the head's values added to a run of the
// table: the tails whose first position in the part where the tail begins
// comes after the head's last one, which is the end of the table.
//
// Runs of consecutive numbers: a run within the tail is the tail's own (its
// lane); a run that holds a head number h lies within h - r .. h + r, so each
// head number gets a segment of 2r + 1 bits (and a blank bit) where its
// neighbours stand, and a line's run is tested on the head's bits ORed with
// the segment bits of its tail horses, which each head sets afresh.

constexpr std::uint64_t kTailTableMost = 1u << 15;

struct Part {
    const std::vector<HorseNumber>* horses;
    std::size_t take;
    std::size_t firstHorse;  // its horses' index among the block's
    std::size_t size() const { return horses->size(); }
};

struct TailTable {
    std::size_t items = 0;                // horses per tail
    std::vector<std::uint64_t> counters;  // plan.words() per tail
    std::vector<std::int32_t> sums;
    std::vector<std::uint16_t> horses;    // items per tail: index among the block's horses
    std::vector<std::uint64_t> startAt;   // first tail whose first position in the split part is >= q
    std::uint64_t size() const { return sums.size(); }
};

// What a head gives each of its lines.
struct Head {
    const std::uint64_t* counters;
    std::int32_t sum;
    std::uint64_t runBits;           // the head's numbers in their segments
    const std::uint64_t* neighbours; // per block horse: its bits in the head's segments
    bool crossing;                   // whether runs across head and tail are tested
};

// Whether the fast path counts the block's lines right: a horse number that
// stands twice in the block counts twice in a line's groups, even and small
// numbers and sum, and once in its set of numbers, as it should; only an
// association counts horses, not numbers, so it must not hold such a number.
// Block horses are indexed in 16 bits.
bool FastBlock(const ResultBlock& block, const Plan& plan) {
    if (block.bases.size() + block.outs.size() > UINT16_MAX) return false;
    std::vector<HorseNumber> all(block.bases.begin(), block.bases.end());
    all.insert(all.end(), block.outs.begin(), block.outs.end());
    std::sort(all.begin(), all.end());
    for (auto twice = std::adjacent_find(all.begin(), all.end()); twice != all.end();
         twice = std::adjacent_find(twice + 1, all.end()))
        if (plan.inAnAssociation(*twice)) return false;
    return true;
}

class BlockWalk {
public:
    BlockWalk(const ResultBlock& block, const Plan& plan) : plan_(plan) {
        if (block.baseTake > 0) parts_.push_back({&block.bases, static_cast<std::size_t>(block.baseTake), 0});
        if (block.outTake > 0)
            parts_.push_back({&block.outs, static_cast<std::size_t>(block.outTake), block.bases.size()});
        for (const Part& part : parts_)
            for (HorseNumber horse : *part.horses) {
                numbers_.push_back(horse);
                counters_.resize(counters_.size() + plan_.words(), 0);
                plan_.addCounters(horse, counters_.data() + counters_.size() - plan_.words());
            }
        chooseTail();
        buildTable();
        crossing_ = plan_.testsRun() && headItems() > 0;
        if (crossing_) prepareNeighbours();
    }

    // Whether every head's segments fit in 64 bits.
    bool fits() const { return !crossing_ || headItems() * SegmentBits(plan_.run()) <= 64; }

    // Walks lines [from, to) of the block (from the block's first line),
    // handing each head's run of tails to visit(head, first tail, end tail);
    // false from visit stops.
    template <typename Visit>
    void walk(std::uint64_t from, std::uint64_t to, Visit&& visit) {
        std::vector<std::size_t> head = seek(from);
        std::uint64_t tail = firstTail_;
        std::vector<std::uint64_t> counters(plan_.words());
        neighbours_.assign(numbers_.size(), 0);
        for (std::uint64_t left = to - from; left > 0;) {
            const Head values = headValues(head, counters.data());
            const std::uint64_t end = tail + std::min(left, table_.size() - tail);
            if (!visit(values, tail, end)) return;
            left -= end - tail;
            if (left == 0 || !nextHead(head)) return;
            tail = tailStartOf(head);
        }
    }

    const TailTable& table() const { return table_; }

private:
    static std::size_t SegmentBits(int run) { return 2 * static_cast<std::size_t>(run) + 2; }

    std::size_t headItems() const {
        std::size_t items = 0;
        for (const Part& part : parts_) items += part.take;
        return items - table_.items;
    }

    // The longest tail whose table stays small (one item at least).
    void chooseTail() {
        std::size_t items = 0;
        for (const Part& part : parts_) items += part.take;
        std::size_t best = 1;
        for (std::size_t tail = 1; tail <= items; ++tail)
            if (tableSize(tail) <= kTailTableMost) best = tail;
        table_.items = best;
        split_ = parts_.size() - 1;
        while (best > parts_[split_].take) best -= parts_[split_--].take;
        splitTail_ = best;
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
        std::vector<HorseNumber> numbers;
        for (;;) {
            for (; nextStart <= positions[0][0]; ++nextStart) table_.startAt[nextStart] = table_.size();
            table_.counters.resize(table_.counters.size() + words, 0);
            std::uint64_t* counters = table_.counters.data() + table_.size() * words;
            numbers.clear();
            std::int32_t sum = 0;
            for (std::size_t k = 0; k < positions.size(); ++k)
                for (std::size_t position : positions[k]) {
                    const std::size_t horse = parts_[split_ + k].firstHorse + position;
                    addHorse(horse, counters, sum);
                    table_.horses.push_back(static_cast<std::uint16_t>(horse));
                    numbers.push_back(numbers_[horse]);
                }
            plan_.addTailRun(LongestRun(numbers), counters);
            table_.sums.push_back(sum);
            std::size_t k = positions.size();
            while (k > 0 && !NextChoice(positions[k - 1], parts_[split_ + k - 1].size())) FirstChoice(positions[--k]);
            if (k == 0) break;
        }
        for (; nextStart <= splitSize; ++nextStart) table_.startAt[nextStart] = table_.size();
    }

    void addHorse(std::size_t horse, std::uint64_t* counters, std::int32_t& sum) const {
        const std::size_t words = plan_.words();
        for (std::size_t w = 0; w < words; ++w) counters[w] += counters_[horse * words + w];
        sum += numbers_[horse];
    }

    // The tail's horses by number, to find a head number's neighbours.
    void prepareNeighbours() {
        for (std::size_t p = split_; p < parts_.size(); ++p)
            for (std::size_t h = 0; h < parts_[p].size(); ++h)
                byNumber_.emplace_back(numbers_[parts_[p].firstHorse + h], parts_[p].firstHorse + h);
        std::sort(byNumber_.begin(), byNumber_.end());
    }

    // The head of line `line` (its positions part after part, the split
    // part's first items only), and its tail's place in the table.
    std::vector<std::size_t> seek(std::uint64_t line) {
        std::vector<std::size_t> head;
        std::vector<std::uint64_t> ranks(parts_.size());
        for (std::size_t p = parts_.size(); p-- > 0;) {
            const std::uint64_t ways = Ways(parts_[p].size(), parts_[p].take);
            ranks[p] = line % ways;
            line /= ways;
        }
        std::uint64_t tailRank = 0;
        std::uint64_t tailBelow = 1;  // tails of one choice of the split part
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
    // that leave room for the tail's: each(part, positions, room).
    template <typename Each>
    void forEachHeadPart(std::vector<std::size_t>& head, Each&& each) const {
        std::size_t at = 0;
        for (std::size_t p = 0; p <= split_; ++p) {
            const std::size_t take = p < split_ ? parts_[p].take : splitHead();
            const std::size_t room = p < split_ ? parts_[p].size() : parts_[p].size() - splitTail_;
            each(p, std::span(head).subspan(at, take), room);
            at += take;
        }
    }

    Head headValues(std::vector<std::size_t>& head, std::uint64_t* counters) {
        std::fill_n(counters, plan_.words(), 0);
        std::int32_t sum = 0;
        headNumbers_.clear();
        forEachHeadPart(head, [&](std::size_t p, std::span<std::size_t> positions, std::size_t) {
            for (std::size_t position : positions) {
                addHorse(parts_[p].firstHorse + position, counters, sum);
                headNumbers_.push_back(numbers_[parts_[p].firstHorse + position]);
            }
        });
        return {counters, sum, crossing_ ? placeSegments() : 0, neighbours_.data(), crossing_};
    }

    // Gives each head number a segment, marks there the head's numbers and
    // the tail horses near it; returns the head's bits.
    std::uint64_t placeSegments() {
        for (std::size_t horse : marked_) neighbours_[horse] = 0;
        marked_.clear();
        const int run = plan_.run();
        std::uint64_t headBits = 0;
        for (std::size_t k = 0; k < headNumbers_.size(); ++k) {
            const int low = headNumbers_[k] - run;
            const std::size_t base = k * SegmentBits(run);
            const auto bit = [&](int number) { return std::uint64_t{1} << (base + static_cast<std::size_t>(number - low)); };
            for (HorseNumber other : headNumbers_)
                if (other >= low && other <= headNumbers_[k] + run) headBits |= bit(other);
            auto near = std::lower_bound(byNumber_.begin(), byNumber_.end(), std::pair<int, std::size_t>{low, 0});
            for (; near != byNumber_.end() && near->first <= headNumbers_[k] + run; ++near) {
                neighbours_[near->second] |= bit(near->first);
                marked_.push_back(near->second);
            }
        }
        return headBits;
    }

    bool nextHead(std::vector<std::size_t>& head) const {
        std::vector<std::pair<std::span<std::size_t>, std::size_t>> choices;
        forEachHeadPart(head, [&](std::size_t, std::span<std::size_t> positions, std::size_t room) {
            choices.emplace_back(positions, room);
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
    std::vector<HorseNumber> numbers_;     // the block's horses, bases then outsiders
    std::vector<std::uint64_t> counters_;  // plan.words() per horse
    std::size_t split_ = 0;                // the part where the tail begins
    std::size_t splitTail_ = 0;            // its items in the tail
    TailTable table_;
    std::uint64_t firstTail_ = 0;
    bool crossing_ = false;
    std::vector<std::pair<int, std::size_t>> byNumber_;  // tail parts' horses: number, index
    std::vector<HorseNumber> headNumbers_;
    std::vector<std::uint64_t> neighbours_;
    std::vector<std::size_t> marked_;
};

// ---- What a walk makes of the lines ------------------------------------------

// Whether a line of `head` with tail `t` has no run too long across them
// (for counting; filtering has its own loop).
inline bool CrossingRunMet(const Head& head, const TailTable& table, std::uint64_t t, int run) {
    std::uint64_t bits = head.runBits;
    const std::uint16_t* horses = table.horses.data() + t * table.items;
    for (std::size_t k = 0; k < table.items; ++k) bits |= head.neighbours[horses[k]];
    return RunAtMost(bits, run);
}

// Lines met by every condition, one bit per line, written a word at a time.
struct KeptBits {
    std::uint64_t* out;
    std::uint64_t word = 0;
    unsigned bit = 0;
};

constexpr std::size_t kAnyCount = 0;  // a count read at run time

// Whether each line of one head meets every condition, into `bits`. The
// words of counters and the horses of a tail are known at compile time in
// the common cases (Items 0: no run across head and tail).
template <std::size_t Words, std::size_t Items, bool Crossing, int Run = 0>
void KeepLines(KeptBits& bits, const Plan& plan, const TailTable& table, const Head& head, std::uint64_t first,
               std::uint64_t end) {
    const std::size_t words = Words == kAnyCount ? plan.words() : Words;
    const std::size_t items = Items == kAnyCount ? table.items : Items;
    const LaneBounds* bounds = plan.bounds().data();
    const std::uint64_t sumLow = static_cast<std::uint64_t>(plan.sumLow());
    const std::uint64_t sumSpan = plan.sumSpan();
    const int run = Run > 0 ? Run : plan.run();
    const std::uint64_t* counters = table.counters.data() + first * words;
    const std::uint16_t* horses = table.horses.data() + first * items;
    KeptBits local = bits;  // in registers: the stores below could alias the members
    for (std::uint64_t t = first; t < end; ++t, counters += words, horses += items) {
        bool kept = true;
        for (std::size_t w = 0; w < words; ++w)
            kept &= LanesInRange(head.counters[w] + counters[w], bounds[w].low, bounds[w].high) == kHighBits;
        kept &= static_cast<std::uint64_t>(head.sum + table.sums[t]) - sumLow <= sumSpan;
        if constexpr (Crossing) {
            std::uint64_t runBits = head.runBits;
            for (std::size_t k = 0; k < items; ++k) runBits |= head.neighbours[horses[k]];
            kept &= RunAtMost(runBits, run);
        }
        local.word |= static_cast<std::uint64_t>(kept) << local.bit;
        if (++local.bit == 64) {
            *local.out++ = local.word;
            local.word = 0;
            local.bit = 0;
        }
    }
    bits = local;
}

using KeepKernel = void (*)(KeptBits&, const Plan&, const TailTable&, const Head&, std::uint64_t, std::uint64_t);

template <std::size_t Words, int Run>
KeepKernel KeepKernelFor(std::size_t items) {
    switch (items) {
    case 1: return &KeepLines<Words, 1, true, Run>;
    case 2: return &KeepLines<Words, 2, true, Run>;
    case 3: return &KeepLines<Words, 3, true, Run>;
    default: return &KeepLines<Words, kAnyCount, true, Run>;
    }
}

template <std::size_t Words>
KeepKernel KeepKernelFor(std::size_t items, bool crossing, int run) {
    if (!crossing) return &KeepLines<Words, kAnyCount, false>;
    switch (run) {
    case 1: return KeepKernelFor<Words, 1>(items);
    case 2: return KeepKernelFor<Words, 2>(items);
    default: return KeepKernelFor<Words, 0>(items);
    }
}

KeepKernel KeepKernelFor(std::size_t words, std::size_t items, bool crossing, int run) {
    switch (words) {
    case 1: return KeepKernelFor<1>(items, crossing, run);
    case 2: return KeepKernelFor<2>(items, crossing, run);
    default: return KeepKernelFor<kAnyCount>(items, crossing, run);
    }
}

// One bit per line; a walk begins on a word.
class BitSink {
public:
    BitSink(std::uint64_t* words, std::uint64_t first) : bits_{words + first / 64} {}

    void general(std::uint32_t met) { KeepLine(met == kEveryItem); }
    // Writes the last word, when the walk ends inside it.
    void finish() {
        if (bits_.bit > 0) *bits_.out = bits_.word;
    }

    void fast(const Plan& plan, const TailTable& table, const Head& head, std::uint64_t first, std::uint64_t end) {
        KeepKernelFor(plan.words(), table.items, head.crossing, plan.run())(bits_, plan, table, head, first, end);
    }

private:
    void KeepLine(bool kept) {
        bits_.word |= static_cast<std::uint64_t>(kept) << bits_.bit;
        if (++bits_.bit == 64) {
            *bits_.out++ = bits_.word;
            bits_ = {bits_.out};
        }
    }

    KeptBits bits_;
};

// How many lines each item keeps alone, and all together. On the fast path
// the lanes that pass add one to a byte each, gathered every 255 lines.
class CountSink {
public:
    void general(std::uint32_t met) {
        for (unsigned item = 0; item < kItemCount; ++item) counts_.alone[item] += (met >> item) & 1;
        counts_.kept += met == kEveryItem;
    }

    void fast(const Plan& plan, const TailTable& table, const Head& head, std::uint64_t first, std::uint64_t end) {
        if (!plan_) start(plan);
        const std::size_t words = plan.words();
        const LaneBounds* bounds = plan.bounds().data();
        const std::uint64_t* counters = table.counters.data() + first * words;
        for (std::uint64_t t = first; t < end; ++t, counters += words) {
            bool allLanes = true, associations = true, tailRun = true;
            for (std::size_t w = 0; w < words; ++w) {
                const std::uint64_t met = LanesInRange(head.counters[w] + counters[w], bounds[w].low, bounds[w].high);
                passes_[w] += met >> 7;
                allLanes &= met == kHighBits;
                associations &= (met & associationBits_[w]) == associationBits_[w];
                tailRun &= (met & tailRunBits_[w]) == tailRunBits_[w];
            }
            const auto sum = static_cast<std::uint64_t>(head.sum + table.sums[t]);
            const bool sumMet = sum - static_cast<std::uint64_t>(plan.sumLow()) <= plan.sumSpan();
            const bool runMet = tailRun && (!head.crossing || CrossingRunMet(head, table, t, plan.run()));
            counts_.alone[kAssociations] += associations;
            counts_.alone[kRun] += runMet;
            counts_.alone[kSum] += sumMet;
            counts_.kept += allLanes && sumMet && runMet;
            if (++pending_ == 255) gather();
        }
    }

    // Gives each group, the even and the small numbers their lines.
    void finish() {
        if (!plan_) return;
        gather();
        for (unsigned item : {unsigned(kEven), unsigned(kSmall)}) counts_.alone[item] += linesOf(item);
        for (unsigned g = 0; g < kMostGroups; ++g) counts_.alone[kFirstGroup + g] += linesOf(kFirstGroup + g);
    }

    const Counts& counts() const { return counts_; }

private:
    void start(const Plan& plan) {
        plan_ = &plan;
        passes_.assign(plan.words(), 0);
        laneLines_.assign(plan.words() * kLanesPerWord, 0);
        for (std::size_t w = 0; w < plan.words(); ++w) {
            associationBits_.push_back(plan.laneBits(LaneKind::Association, w));
            tailRunBits_.push_back(plan.laneBits(LaneKind::TailRun, w));
        }
    }

    void gather() {
        for (std::size_t w = 0; w < passes_.size(); ++w) {
            for (std::size_t lane = 0; lane < kLanesPerWord; ++lane)
                laneLines_[w * kLanesPerWord + lane] += (passes_[w] >> (8 * lane)) & 0xFF;
            passes_[w] = 0;
        }
        fastLines_ += pending_;
        pending_ = 0;
    }

    // Fast-path lines that meet an item of one lane; all of them when it is not set.
    std::uint64_t linesOf(unsigned item) const {
        const std::optional<std::size_t> lane = plan_->laneOf(item);
        return lane ? laneLines_[*lane] : fastLines_;
    }

    Counts counts_;
    const Plan* plan_ = nullptr;
    std::vector<std::uint64_t> passes_;  // per word, a byte per lane
    std::vector<std::uint64_t> laneLines_;
    std::vector<std::uint64_t> associationBits_;
    std::vector<std::uint64_t> tailRunBits_;
    std::uint64_t pending_ = 0;
    std::uint64_t fastLines_ = 0;
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
            const ResultBlock& block = full_.blocks()[b];
            std::optional<BlockWalk> fast;
            if (!options_.generalOnly && FastBlock(block, plan_)) fast.emplace(block, plan_);
            const bool going = fast && fast->fits() ? walkFast(*fast, from - start, stop - start, sink)
                                                    : walkGeneral(from, stop, sink);
            if (!going) return false;
            from = stop;
        }
        report();
        return true;
    }

private:
    template <typename Sink>
    bool walkFast(BlockWalk& walk, std::uint64_t from, std::uint64_t to, Sink& sink) {
        bool going = true;
        walk.walk(from, to, [&](const Head& head, std::uint64_t first, std::uint64_t end) {
            sink.fast(plan_, walk.table(), head, first, end);
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
