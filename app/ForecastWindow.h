#pragma once
// The window's side of a forecast: what its controls and its ticket hold,
// read as a forecast; a forecast checked against the merge it describes; and
// the window rebuilt from a checked forecast by working its controls as the
// punter would (texts typed, entries put in the lists, buttons clicked), so
// that every handler runs as it always does, then the conditions, the
// reduction and the arrival put back.

#include "app/ForecastFile.h"
#include "generators/LineSelection.h"
#include "merge/MergeTypes.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class ControlRegistry;
class ResultHost;

class ForecastWindow {
public:
    ForecastWindow(const ControlRegistry& controls, ResultHost& host);

    // The forecast the window shows (no note, no race: the window has none).
    // The kept lines of a reduction are written out only `withLines`.
    forecast::Forecast current(bool withLines) const;
    // The lines the stage shown now keeps (null for the full list): what a
    // forecast read without its lines cannot tell apart.
    std::shared_ptr<const torvanel::LineSelection> shownStage() const;

    // A forecast checked against the window, with what applying it needs.
    struct Checked {
        QString problem;  // what is wrong, as the end of a sentence; empty when it can be applied
        std::shared_ptr<const torvanel::LineSelection> keptByConditions;  // lines of the merge's full list
        std::vector<std::uint64_t> kept;  // the reduction's lines among those the conditions keep
        std::string reductionTitle;       // what the title bar says of the reduction
        bool cancelled = false;           // the user stopped the conditions' filtering
    };
    // Merges what `forecast` describes apart from the window, filters it by
    // the conditions (on a worker thread for a long list, which the user may
    // cancel) and finds the reduction's lines in what they keep; the window
    // does not change.
    Checked check(const forecast::Forecast& forecast) const;
    // Whether the list the window shows is the merge of what its controls
    // hold now (a reduction saved from it can be rebuilt).
    bool showsTheMergeOfItsControls() const;

    // Rebuilds the window from `forecast`, which check() accepted.
    void apply(const forecast::Forecast& forecast, const Checked& checked);

private:
    const ControlRegistry& controls_;
    ResultHost& host_;
};
