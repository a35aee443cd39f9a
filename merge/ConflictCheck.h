#pragma once
// Refuses a selection in which one horse is both a base and an outsider: a
// line would then hold the same horse twice.

#include "merge/MergeTypes.h"
#include "merge/SelectionState.h"

#include <string>

namespace torvanel {

// "NOok" after telling the user about the first horse found in both groups
// (bases in their order, for each the outsiders in theirs), "ok" otherwise.
// Reads the loaded groups only.
std::string CheckBaseOutConflict(const SelectionState& state, MessageSink& messages);

}  // namespace torvanel
