#pragma once
// The state one merge works on: the fusion mode, the ClearFirst flag and the
// two groups of selected horses loaded from the starter lists, with the
// procedures that count and load them.

#include "generators/Generators.h"
#include "generators/ResultList.h"
#include "merge/MergeTypes.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace torvanel {

// A selected entry whose number cannot be a horse number (outside -32768 to
// 32767 once rounded).
struct BadEntry {
    Group group;
    std::size_t index;  // 0-based place in its list
    std::string text;
};

// Horse number of an entry text: ReadNumber rounded half to even; nothing
// when it lies outside the 16-bit range.
std::optional<HorseNumber> EntryHorseNumber(const std::string& text);

struct SelectionState {
    FusionType FusionMode = FusionType::Fused;
    bool ClearFirst = false;
    // The selected horses of each list in list order (0-based here: the horse
    // at place p of the selection is at index p - 1).
    std::vector<HorseNumber> BaseNumbers;
    std::vector<HorseNumber> OutNumbers;
    int BaseCount = 0;
    int OutCount = 0;
    int Counter = 0;  // left by the count procedures for the minimum test

    // Counts the selected entries of the group's list into its count and
    // Counter; loads the selected entries counted last (Counter of them). On
    // an entry that is no horse number the group is left empty and the entry
    // returned.
    void CountSelected(Group group, const StarterList& list);
    std::optional<BadEntry> LoadSelected(Group group, const StarterList& list);
    void ResetGroup(Group group);
    std::vector<HorseNumber>& Numbers(Group group);
    int& Count(Group group);
    // The loaded horses of a group: a group refused for too few horses keeps
    // its count but has no numbers.
    std::span<const HorseNumber> Loaded(Group group) const;
};

}  // namespace torvanel
