#pragma once
// The merge behind "Fusionner": selection state, the single-group and fusion
// generators chosen by bet type, fusion type, split and include boxes, the
// base/outsider conflict check, and the count and cost of the result.

#include "generators/ResultList.h"
#include "merge/MergeTypes.h"
#include "merge/SelectionState.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace torvanel {

class MergeEngine {
public:
    // Largest number of lines the window can show, and longest cost text
    // (" 6 Euros") its cost label can show whole: a merge above either is
    // refused with a message and leaves the result list empty.
    explicit MergeEngine(std::uint64_t maxLines = 2147483647ULL,
                         std::size_t maxCostTextLength = std::string::npos);

    // Runs one merge (cmdFusionner_Click) over the two starter lists.
    MergeOutcome cmdFusionner_Click(const StarterList& bases, const StarterList& outs,
                                    const MergeChoices& choices, MessageSink& messages);

    const ResultList& result() const;
    // "Vider" of lstResultat: drops the lines, keeps everything else.
    void clearResult();
    // The count and cost of `lines` lines at `stake`, written as a merge
    // writes them; nothing, after its message, for a stake a merge refuses
    // (one whose cost cannot be computed or shown whole, or a negative one).
    std::optional<MergeOutcome> price(std::uint64_t lines, const std::string& stake, MessageSink& messages) const;

    std::uint64_t maxLines() const;
    std::size_t maxCostTextLength() const;

    // The selection state the last merge left (counts, loaded groups,
    // ClearFirst, FusionMode).
    const SelectionState& selection() const;
    // The fusion type chosen in the window, which the next merge uses.
    void setFusionMode(FusionType mode);

private:
    SelectionState state_;
    ResultList result_;
    std::uint64_t maxLines_;
    std::size_t maxCostTextLength_;
};

}  // namespace torvanel
