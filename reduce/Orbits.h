#pragma once
// Symmetric lists. A full field, or bases and outsiders each taken alike,
// looks the same after its horses are turned round: a turn maps every line
// and every arrival of the list onto another. A cover made of whole orbits of
// lines under such a turn is a cover, and looking for one is a problem as
// many times smaller as an orbit has lines; the search over single lines
// then starts from the best such cover. Long cycles with a fixed point are
// how many of the best-known coverings are built.

#include "reduce/CoverSearch.h"
#include "reduce/Problem.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace torvanel::reduce {

// A permutation of the problem's horses: bit i goes to bit image[i].
using Turn = std::vector<int>;

// The image of a set of horses under the turn.
Mask Turned(Mask set, const Turn& turn);

// The turns worth trying: horses on as many lines are cycled among
// themselves, either all of them or all but one, which stays put.
std::vector<Turn> TurnsToTry(const CoverProblem& problem);

// The problem read in whole orbits of `turn`: candidate o stands for the
// lines members[o * order .. (o + 1) * order - 1] (only the longest orbits
// are candidates), and the events are the orbits of arrivals.
struct OrbitProblem {
    std::uint32_t order = 1;
    std::vector<std::uint32_t> members;
    std::optional<CoverInstance> instance;

    // The lines of the chosen orbits, increasing.
    std::vector<std::uint32_t> linesOf(const std::vector<std::uint32_t>& orbits) const;
};

// Nothing when the turn does not map the lines and arrivals onto
// themselves, leaves every line in place, or when its longest orbits cannot
// pay every arrival; nothing too when keepGoing said no.
std::optional<OrbitProblem> OrbitsUnder(const CoverProblem& problem, const Turn& turn,
                                        const KeepGoing& keepGoing = {});

}  // namespace torvanel::reduce
