#include "reduce/Orbits.h"

#include <algorithm>
#include <numeric>
#include <optional>
#include <unordered_map>

namespace torvanel::reduce {
namespace {

constexpr std::uint32_t kNone = ~std::uint32_t{0};

// The ids of the images of sets[i] under the turn, or nothing when one of
// them is not among the sets (or when a stop was asked).
std::optional<std::vector<std::uint32_t>> ImageIds(const std::vector<Mask>& sets, const Turn& turn, Poll& poll) {
    MaskIndex index;
    index.reserve(sets.size());
    for (std::size_t i = 0; i < sets.size(); ++i) {
        if (!poll()) return std::nullopt;
        index.insert(sets[i]);
    }
    std::vector<std::uint32_t> image(sets.size());
    for (std::size_t i = 0; i < sets.size(); ++i) {
        if (!poll()) return std::nullopt;
        image[i] = index.find(Turned(sets[i], turn));
        if (image[i] == MaskIndex::kAbsent) return std::nullopt;
    }
    return image;
}

// The orbits of `image`, a permutation of ids, one after the other; each
// id gets the number of its orbit (unfinished after a stop).
struct Orbits {
    std::vector<std::uint32_t> ids;
    std::vector<std::uint32_t> start{0};  // orbit o is ids[start[o] .. start[o + 1] - 1]
    std::vector<std::uint32_t> orbitOf;
};

Orbits OrbitsOf(const std::vector<std::uint32_t>& image, Poll& poll) {
    Orbits orbits;
    orbits.orbitOf.assign(image.size(), kNone);
    for (std::uint32_t first = 0; first < image.size() && poll(); ++first) {
        if (orbits.orbitOf[first] != kNone) continue;
        for (std::uint32_t i = first; orbits.orbitOf[i] == kNone; i = image[i]) {
            orbits.orbitOf[i] = static_cast<std::uint32_t>(orbits.start.size() - 1);
            orbits.ids.push_back(i);
        }
        orbits.start.push_back(static_cast<std::uint32_t>(orbits.ids.size()));
    }
    return orbits;
}

}  // namespace

Mask Turned(Mask set, const Turn& turn) {
    Mask image = 0;
    for (; set != 0; set &= set - 1) image |= Mask{1} << turn[static_cast<std::size_t>(__builtin_ctzll(set))];
    return image;
}

std::vector<Turn> TurnsToTry(const CoverProblem& problem) {
    const std::size_t n = problem.horses.size();
    std::vector<std::uint32_t> lineCount(n, 0);
    for (Mask line : problem.lines)
        for (Mask set = line; set != 0; set &= set - 1) ++lineCount[static_cast<std::size_t>(__builtin_ctzll(set))];
    std::unordered_map<std::uint32_t, std::vector<int>> classes;
    for (std::size_t h = 0; h < n; ++h) classes[lineCount[h]].push_back(static_cast<int>(h));
    std::vector<Turn> turns;
    for (const bool oneStays : {true, false}) {
        Turn turn(n);
        std::iota(turn.begin(), turn.end(), 0);
        for (const auto& [count, horses] : classes) {
            const std::size_t cycled = horses.size() - (oneStays && horses.size() > 2 ? 1 : 0);
            for (std::size_t i = 0; i < cycled; ++i) turn[static_cast<std::size_t>(horses[i])] = horses[(i + 1) % cycled];
        }
        if (std::find(turns.begin(), turns.end(), turn) == turns.end()) turns.push_back(turn);
    }
    return turns;
}

std::optional<OrbitProblem> OrbitsUnder(const CoverProblem& problem, const Turn& turn, const KeepGoing& keepGoing) {
    Poll poll(keepGoing);
    const auto lineImage = ImageIds(problem.lines, turn, poll);
    if (!lineImage) return std::nullopt;
    const auto eventImage = ImageIds(problem.events, turn, poll);
    if (!eventImage) return std::nullopt;
    const Orbits lines = OrbitsOf(*lineImage, poll);
    const Orbits events = OrbitsOf(*eventImage, poll);
    if (poll.stopped()) return std::nullopt;
    const std::size_t orbitCount = lines.start.size() - 1;
    auto lengthOf = [&lines](std::size_t o) { return lines.start[o + 1] - lines.start[o]; };

    // The candidates are the longest orbits, all of one length, so that a
    // cover of fewest orbits is a cover of fewest lines.
    OrbitProblem orbits;
    for (std::size_t o = 0; o < orbitCount; ++o) orbits.order = std::max(orbits.order, lengthOf(o));
    if (orbits.order < 2) return std::nullopt;
    std::vector<char> paid(events.start.size() - 1, 0);
    std::vector<std::vector<std::uint32_t>> eventsOf;
    for (std::size_t o = 0; o < orbitCount; ++o) {
        if (!poll()) return std::nullopt;
        if (lengthOf(o) != orbits.order) continue;
        const auto first = lines.ids.begin() + lines.start[o];
        orbits.members.insert(orbits.members.end(), first, first + orbits.order);
        // The images of a line pay on the images of its arrivals, so the
        // orbit pays on the orbits of the arrivals one of its lines pays on.
        std::vector<std::uint32_t> paidHere;
        for (std::uint32_t e : problem.instance->eventsOf(*first)) paidHere.push_back(events.orbitOf[e]);
        std::sort(paidHere.begin(), paidHere.end());
        paidHere.erase(std::unique(paidHere.begin(), paidHere.end()), paidHere.end());
        for (std::uint32_t e : paidHere) paid[e] = 1;
        eventsOf.push_back(std::move(paidHere));
    }
    if (std::find(paid.begin(), paid.end(), 0) != paid.end()) return std::nullopt;
    orbits.instance.emplace(static_cast<std::uint32_t>(paid.size()), eventsOf);
    return orbits;
}

std::vector<std::uint32_t> OrbitProblem::linesOf(const std::vector<std::uint32_t>& orbits) const {
    std::vector<std::uint32_t> lines;
    for (std::uint32_t o : orbits)
        lines.insert(lines.end(), members.begin() + o * order, members.begin() + (o + 1) * order);
    std::sort(lines.begin(), lines.end());
    return lines;
}

}  // namespace torvanel::reduce
