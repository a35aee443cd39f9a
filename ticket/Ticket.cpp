#include "ticket/Ticket.h"

namespace torvanel {

Ticket::Ticket(std::uint64_t maxLines, std::size_t maxCostTextLength)
    : engine_(maxLines, maxCostTextLength), full_(std::make_shared<const ResultList>()) {}

Ticket::Filtering Ticket::FilterHere(unsigned threads) {
    return [threads](const ResultList& full, const conditions::Conditions& conditions) {
        return conditions::Filter(full, conditions, {.threads = threads});
    };
}

MergeOutcome Ticket::merge(const StarterList& bases, const StarterList& outs, const MergeChoices& choices,
                           MessageSink& messages, const Filtering& filtering) {
    choices_ = choices;
    MergeOutcome outcome = engine_.cmdFusionner_Click(bases, outs, choices, messages);
    // Every merge, refused or not, leaves a new full list (empty when refused).
    stages_.clear();
    full_ = std::make_shared<const ResultList>(engine_.result());
    if (conditions_.empty()) return outcome;
    std::optional<LineSelection> kept = filtering(*full_, conditions_);
    if (!kept) {
        conditions_ = {};
        return outcome;
    }
    const std::uint64_t count = kept->count();
    showConditionsStage(std::move(*kept));
    if (!outcome.updated) return outcome;  // the labels keep their texts, as after the merge alone
    // The stake priced the whole list; the kept lines cost no more.
    return engine_.price(count, choices.stake, messages).value_or(outcome);
}

void Ticket::showConditionsStage(LineSelection kept) {
    stages_.assign(1, {StageKind::Conditions, std::make_shared<const LineSelection>(std::move(kept)),
                       kConditionsTitle, {}, std::nullopt});
}

std::optional<MergeOutcome> Ticket::setConditions(conditions::Conditions conditions, LineSelection kept,
                                                  const std::string& stake, MessageSink& messages) {
    if (conditions.empty()) return dropStages(stake, messages);
    std::optional<MergeOutcome> labels = engine_.price(kept.count(), stake, messages);
    if (!labels) return labels;
    conditions_ = std::move(conditions);
    showConditionsStage(std::move(kept));
    return labels;
}

void Ticket::setFusionMode(FusionType mode) { engine_.setFusionMode(mode); }

void Ticket::clearResult() {
    engine_.clearResult();
    stages_.clear();
    full_ = std::make_shared<const ResultList>();
    // The conditions stay set for the next merge, and the title says so.
    if (!conditions_.empty()) showConditionsStage(LineSelection());
}

ShownLines Ticket::shown() const {
    return ShownLines(full_, stages_.empty() ? nullptr : stages_.back().kept);
}

std::string Ticket::stageTitle() const { return stages_.empty() ? std::string() : stages_.back().title; }

std::optional<MergeOutcome> Ticket::pushStage(StageKind kind, const std::vector<std::uint64_t>& keptShown,
                                              std::string title, const std::string& stake, MessageSink& messages,
                                              std::optional<ReducedFor> reducedFor) {
    LineSelection kept = stages_.empty() ? LineSelection::FromIndices(keptShown, full_->count())
                                         : stages_.back().kept->narrowed(keptShown);
    return pushStage(kind, std::move(kept), std::move(title), stake, messages, reducedFor);
}

std::optional<MergeOutcome> Ticket::pushStage(StageKind kind, LineSelection keptFull, std::string title,
                                              const std::string& stake, MessageSink& messages,
                                              std::optional<ReducedFor> reducedFor) {
    std::optional<MergeOutcome> labels = engine_.price(keptFull.count(), stake, messages);
    if (labels)
        stages_.push_back(
            {kind, std::make_shared<const LineSelection>(std::move(keptFull)), std::move(title), {}, reducedFor});
    return labels;
}

std::optional<MergeOutcome> Ticket::pushArrivalStage(LineSelection paidFull, std::vector<bets::Horse> arrival,
                                                     std::string title, const std::string& stake,
                                                     MessageSink& messages) {
    std::optional<MergeOutcome> labels = engine_.price(paidFull.count(), stake, messages);
    if (!labels) return labels;
    if (showsArrival()) stages_.pop_back();
    stages_.push_back({StageKind::Arrival, std::make_shared<const LineSelection>(std::move(paidFull)), std::move(title),
                       std::move(arrival), std::nullopt});
    return labels;
}

ShownLines Ticket::playedLines() const {
    if (!showsArrival()) return shown();
    return ShownLines(full_, stages_.size() < 2 ? nullptr : stages_[stages_.size() - 2].kept);
}

std::optional<MergeOutcome> Ticket::dropStages(const std::string& stake, MessageSink& messages) {
    std::optional<MergeOutcome> labels = engine_.price(full_->count(), stake, messages);
    if (labels) {
        stages_.clear();
        conditions_ = {};
    }
    return labels;
}

std::optional<MergeOutcome> Ticket::price(const std::string& stake, MessageSink& messages) const {
    return engine_.price(shown().count(), stake, messages);
}

std::optional<MergeOutcome> Ticket::priceOf(std::uint64_t lines, const std::string& stake,
                                            MessageSink& messages) const {
    return engine_.price(lines, stake, messages);
}

}  // namespace torvanel
