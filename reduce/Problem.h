#pragma once
// The covering problem behind a reduction: the distinct shown lines as
// candidates, the arrivals they pay on as events.

#include "reduce/CoverSearch.h"
#include "reduce/Reduce.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace torvanel::reduce {

using Mask = std::uint64_t;  // a set of the punter's horses, one bit each

struct CoverProblem {
    std::vector<HorseNumber> horses;         // bit i is horses[i]
    std::vector<Mask> lines;                 // distinct lines, in list order
    std::vector<std::uint64_t> firstIndex;   // where each stands first among the shown lines
    std::vector<Mask> events;                // the arrivals that must stay paid, by event id
    std::optional<CoverInstance> instance;
};

// Distinct masks numbered in the order they first come, by open addressing:
// on the lines of a long list several times faster than std::unordered_map.
class MaskIndex {
public:
    static constexpr std::uint32_t kAbsent = ~std::uint32_t{0};

    // Room for `count` masks without growing (a long pause on a long list).
    void reserve(std::size_t count);
    // The id of `mask`, a new one when it is new.
    std::uint32_t insert(Mask mask);
    std::uint32_t find(Mask mask) const;  // kAbsent when not there
    const std::vector<Mask>& masks() const { return masks_; }  // by id

private:
    std::size_t slotOf(Mask mask) const;
    void rehash(std::size_t slots);

    std::vector<Mask> masks_;
    std::vector<std::uint32_t> slots_ = std::vector<std::uint32_t>(16, kAbsent);  // ids; a power of two
};

// What long loops ask between their steps: false once a stop is asked.
// Empty: never stop.
using KeepGoing = std::function<bool()>;

// Asks `keepGoing` at the first step and then once every few hundred, and
// remembers a "no": a loop stays cheap and still stops within a moment.
class Poll {
public:
    explicit Poll(KeepGoing keepGoing) : keepGoing_(std::move(keepGoing)) {}
    bool operator()() {
        if (!stopped_ && keepGoing_ && steps_++ % kStride == 0) stopped_ = !keepGoing_();
        return !stopped_;
    }
    bool stopped() const { return stopped_; }

private:
    static constexpr std::uint32_t kStride = 512;
    KeepGoing keepGoing_;
    std::uint32_t steps_ = 0;
    bool stopped_ = false;
};

// The punter's horses: every horse of the full list, first come first
// served (bases then outsiders, block by block); bit i of a Mask is horses[i].
std::vector<HorseNumber> PuntersHorses(const ResultList& full);

// The shown lines as sets of the punter's horses, read as numbers: each
// line, and the bases it holds in a fusion (0 elsewhere).
struct LineSets {
    std::vector<HorseNumber> horses;
    std::vector<Mask> lines;
    std::vector<Mask> bases;
    std::string refusal;  // French: why the lines cannot be read as sets
    bool stopped = false;
};
LineSets ReadLineSets(const ShownLines& shown, int lineSize, Poll& poll);

// Why a list is not reduced, in French.
inline constexpr std::string_view kEmptyList = "La liste est vide : il n'y a rien à réduire.";
inline constexpr std::string_view kTooManyLines =
    "La liste compte plus de 1 000 000 de lignes : elle est trop longue pour être réduite.";
inline constexpr std::string_view kTooManyHorses =
    "La liste compte plus de 64 chevaux différents : elle ne peut pas être réduite.";
inline constexpr std::string_view kTooManyArrivals =
    "La réduction demanderait d'examiner plus de 10 000 000 d'arrivées : "
    "c'est trop pour la mémoire et le temps disponibles.";

// Whether `distinctLines` lines among `horseCount` horses pay on more
// (line, arrival) pairs than a reduction takes on.
bool TooManyArrivals(const PayoutRule& rule, std::uint64_t distinctLines, int horseCount);

// The problem on the shown lines (candidates numbered in shown order,
// firstIndex in the shown list), or the French reason why they are not
// reduced, or `stopped` when keepGoing said no.
struct BuiltProblem {
    CoverProblem problem;
    std::string refusal;
    bool stopped = false;
};
BuiltProblem BuildProblem(const ShownLines& shown, const PayoutRule& rule, const KeepGoing& keepGoing = {});

// Calls visit(subset) for every subset of `mask` with `size` bits.
template <typename Visit>
void ForEachSubset(Mask mask, int size, Visit&& visit, Mask chosen = 0) {
    if (size == 0) return visit(chosen);
    while (mask != 0 && __builtin_popcountll(mask) >= size) {
        const Mask low = mask & (~mask + 1);
        mask ^= low;
        ForEachSubset(mask, size - 1, visit, chosen | low);
    }
}

}  // namespace torvanel::reduce
