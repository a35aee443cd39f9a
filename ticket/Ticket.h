#pragma once
// The punter's ticket: the choices the window reads into it, the full list of
// the merge, and the stages of what the list shows, each keeping some lines of
// the one below (full list -> kept by conditions -> kept by a reduction ->
// the lines an arrival pays). It prices what is shown with the merge's own
// rule. Everything that reads "the list" (the view, printing, copying,
// saving, reducing) reads shown().

#include "bets/BetRules.h"
#include "ticket/Arrival.h"
#include "generators/LineSelection.h"
#include "generators/ShownLines.h"
#include "merge/MergeEngine.h"
#include "ticket/Conditions.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace torvanel {

enum class StageKind { Conditions, Reduction, Arrival };

// What a reduction stage was asked for: a payout class for every arrival,
// or within a budget of lines.
struct ReducedFor {
    bets::PayoutClass payout;
    std::uint64_t budgetLines = 0;  // 0: the full guarantee
    bool operator==(const ReducedFor&) const = default;
};

struct Stage {
    StageKind kind;
    std::shared_ptr<const LineSelection> kept;  // lines of the full list
    std::string title;  // what the window says of it: "liste réduite (Bonus 4 garanti)"
    std::vector<bets::Horse> arrival;  // an Arrival stage's finishers, whose paid lines it keeps
    std::optional<ReducedFor> reducedFor;  // a Reduction stage's request
};

// What the title bar says while the conditions keep the lines shown.
inline constexpr const char* kConditionsTitle = "liste filtrée par conditions";

class Ticket {
public:
    // How the conditions filter a new full list: the lines they keep, or
    // nothing when the filtering was cancelled.
    using Filtering =
        std::function<std::optional<LineSelection>(const ResultList& full, const conditions::Conditions& conditions)>;
    // Filtering on `threads` threads of the caller's.
    static Filtering FilterHere(unsigned threads = 1);

    explicit Ticket(std::uint64_t maxLines = 2147483647ULL, std::size_t maxCostTextLength = std::string::npos);

    // ---- Choices and the merge -------------------------------------------
    // Runs one merge ("Fusionner"); the list shown becomes the new full list,
    // filtered by the conditions when there are some: the labels then give
    // the kept lines. A filtering cancelled drops the conditions.
    MergeOutcome merge(const StarterList& bases, const StarterList& outs, const MergeChoices& choices,
                       MessageSink& messages, const Filtering& filtering = FilterHere());
    // The fusion type chosen in the window, which the next merge uses.
    void setFusionMode(FusionType mode);
    // "Vider" of the result list: no line, no stage but the conditions'.
    void clearResult();

    const SelectionState& selection() const { return engine_.selection(); }
    // The choices of the last merge, and its bet's rules.
    const MergeChoices& choices() const { return choices_; }
    const bets::BetRule& bet() const { return bets::RuleOf(choices_.betType); }
    std::uint64_t maxLines() const { return engine_.maxLines(); }
    std::size_t maxCostTextLength() const { return engine_.maxCostTextLength(); }

    // ---- What is shown ---------------------------------------------------
    const ResultList& full() const { return *full_; }
    // The full list as a value a worker thread can keep.
    ShownLines fullLines() const { return ShownLines(full_, nullptr); }
    ShownLines shown() const;
    const std::vector<Stage>& stages() const { return stages_; }
    // The lines one of stages() keeps, as a value a worker thread can keep.
    ShownLines linesOf(const Stage& stage) const { return ShownLines(full_, stage.kept); }
    bool hasStage() const { return !stages_.empty(); }
    // The top stage's title; empty while the full list is shown.
    std::string stageTitle() const;

    // Shows only the lines `keptShown` (increasing indices of the lines shown
    // now) as a new stage, with their count and cost at `stake`. A stake the
    // merge would refuse is refused the same way and nothing changes.
    // A reduction stage names what it was made for (`reducedFor`).
    std::optional<MergeOutcome> pushStage(StageKind kind, const std::vector<std::uint64_t>& keptShown,
                                          std::string title, const std::string& stake, MessageSink& messages,
                                          std::optional<ReducedFor> reducedFor = std::nullopt);
    // The same with lines of the full list (a part of those shown now).
    std::optional<MergeOutcome> pushStage(StageKind kind, LineSelection keptFull, std::string title,
                                          const std::string& stake, MessageSink& messages,
                                          std::optional<ReducedFor> reducedFor = std::nullopt);
    // Shows the lines `paidFull` of the full list that `arrival` pays among
    // playedLines(), in place of the paid lines of an earlier arrival.
    std::optional<MergeOutcome> pushArrivalStage(LineSelection paidFull, std::vector<bets::Horse> arrival,
                                                 std::string title, const std::string& stake, MessageSink& messages);
    // The lines an arrival is checked against: those shown, or while the
    // paid lines of an arrival are shown, the list they were picked from.
    ShownLines playedLines() const;
    // Back to the full list, without conditions, with its count and cost at `stake`.
    std::optional<MergeOutcome> dropStages(const std::string& stake, MessageSink& messages);

    // ---- Conditions on the lines -------------------------------------------
    // They stay set across merges until dropStages() or empty conditions.
    const conditions::Conditions& conditions() const { return conditions_; }
    bool hasConditions() const { return !conditions_.empty(); }
    // Sets the conditions and shows `kept`, the lines of the full list they
    // keep (conditions::Filter), as the only stage, with their count and cost
    // at `stake`; empty conditions show the full list. A stake the merge
    // would refuse is refused the same way and nothing changes.
    std::optional<MergeOutcome> setConditions(conditions::Conditions conditions, LineSelection kept,
                                              const std::string& stake, MessageSink& messages);
    // The count and cost of what is shown, at `stake`.
    std::optional<MergeOutcome> price(const std::string& stake, MessageSink& messages) const;
    // The count and cost of `lines` lines at `stake` (a budget being chosen).
    std::optional<MergeOutcome> priceOf(std::uint64_t lines, const std::string& stake, MessageSink& messages) const;

    // ---- The race's result ---------------------------------------------------
    // The arrival and the payouts the punter typed, kept from one check to
    // the next; a merge keeps them.
    const ArrivalEntry& arrivalEntry() const { return arrivalEntry_; }
    void setArrivalEntry(ArrivalEntry entry) { arrivalEntry_ = std::move(entry); }

private:
    bool showsArrival() const { return !stages_.empty() && stages_.back().kind == StageKind::Arrival; }

    MergeEngine engine_;
    MergeChoices choices_;
    void showConditionsStage(LineSelection kept);

    std::shared_ptr<const ResultList> full_;
    std::vector<Stage> stages_;
    conditions::Conditions conditions_;
    ArrivalEntry arrivalEntry_;
};

}  // namespace torvanel
