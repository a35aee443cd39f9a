#pragma once
// What the commands on the result list (copy, save, reduce) take from the
// window and hand back to it, so that they know nothing else of it.

#include "generators/ResultList.h"
#include "merge/MergeTypes.h"

#include <cstdint>
#include <vector>

class QListView;
class QWidget;

class ResultHost {
public:
    // The window: the parent of the commands' dialogues and the holder of
    // their shortcuts.
    virtual QWidget& hostWindow() = 0;
    virtual QListView& resultView() = 0;
    // The lines lstResultat shows.
    virtual const torvanel::ResultList& resultLines() const = 0;
    // The bet type whose button is checked in Frame2.
    virtual torvanel::BetType checkedBetType() const = 0;
    // Shows only the lines `kept` of the result, with their count and their
    // cost at the stake in txtUnite; false (and a message) when that stake is
    // refused, and the full list stays.
    virtual bool showKeptLines(std::vector<std::uint64_t> kept, torvanel::MessageSink& messages) = 0;

protected:
    ~ResultHost() = default;
};
