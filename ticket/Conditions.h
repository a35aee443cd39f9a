#pragma once
// The punter's own conditions on the lines of a list: groups of horses with
// at least and at most so many per line, forbidden associations, the longest
// run of consecutive numbers, the sum of the numbers, how many are even and
// how many are small. A line is kept when it meets every condition that is
// set. The numbers of a line are its horse numbers as the merge loaded them:
// a horse that stands twice in a line counts twice.
//
// Filtering walks the full list block by block, on several threads: a line's
// counts are the sum of precomputed counts of its first horses and of its
// last ones (eight counters packed in a 64-bit word), and its runs of numbers
// a few shifts of a 64-bit mask, so a line costs a handful of operations. A
// block where a number that stands twice belongs to an association takes the
// general path, which reads each line's numbers.

#include "generators/LineSelection.h"
#include "generators/ResultList.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace torvanel::conditions {

inline constexpr std::size_t kMostGroups = 6;

// low <= value <= high.
struct Range {
    std::int64_t low = 0;
    std::int64_t high = 0;
    bool holds(std::int64_t value) const { return low <= value && value <= high; }
    bool operator==(const Range&) const = default;
};

struct Group {
    std::string name;
    std::vector<HorseNumber> horses;  // a set: the order and repeats do not matter
    Range count;                      // how many of the line's horses are in it
    bool operator==(const Group&) const = default;
};

struct Conditions {
    std::vector<Group> groups;                        // at most kMostGroups
    std::vector<std::vector<HorseNumber>> forbidden;  // never all of one set together in a line
    std::optional<int> longestRun;                    // consecutive numbers, taken as a set
    std::optional<Range> sum;
    std::optional<Range> even;                        // how many even numbers
    std::optional<Range> small;                       // how many numbers at most smallLimit
    int smallLimit = 0;

    bool empty() const;
    bool operator==(const Conditions&) const = default;
};

// The conditions one by one, as the punter sets them and the dialog counts
// them: each group, then the associations (all together), the run, the sum,
// the even and the small numbers.
enum Item : unsigned {
    kFirstGroup = 0,
    kAssociations = kMostGroups,
    kRun,
    kSum,
    kEven,
    kSmall,
    kItemCount
};
inline constexpr std::uint32_t kEveryItem = (1u << kItemCount) - 1;

// Which items `line` meets (bit i for item i); an item that is not set is met.
std::uint32_t ItemsMet(const Conditions& conditions, std::span<const HorseNumber> line);

struct Counts {
    std::array<std::uint64_t, kItemCount> alone{};  // lines each item keeps alone
    std::uint64_t kept = 0;                         // lines that meet them all
};

struct WalkOptions {
    unsigned threads = 1;
    const std::atomic<bool>* stop = nullptr;     // when set, the walk ends soon and gives nothing
    std::atomic<std::uint64_t>* done = nullptr;  // lines walked so far, for a progress bar
    bool generalOnly = false;                    // every block through the general path
};

// The lines of `full` that meet `conditions`; nothing when stopped.
std::optional<LineSelection> Filter(const ResultList& full, const Conditions& conditions,
                                    const WalkOptions& options = {});
// How many lines of `full` each item keeps, and all of them; nothing when stopped.
std::optional<Counts> Count(const ResultList& full, const Conditions& conditions, const WalkOptions& options = {});

}  // namespace torvanel::conditions
