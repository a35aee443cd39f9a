#include "ticket/Ticket.h"

namespace torvanel {

Ticket::Ticket(std::uint64_t maxLines, std::size_t maxCostTextLength)
    : engine_(maxLines, maxCostTextLength), full_(std::make_shared<const ResultList>()) {}

MergeOutcome Ticket::merge(const StarterList& bases, const StarterList& outs, const MergeChoices& choices,
                           MessageSink& messages) {
    choices_ = choices;
    MergeOutcome outcome = engine_.cmdFusionner_Click(bases, outs, choices, messages);
    // Every merge, refused or not, leaves a new full list (empty when refused).
    stages_.clear();
    full_ = std::make_shared<const ResultList>(engine_.result());
    return outcome;
}

void Ticket::setFusionMode(FusionType mode) { engine_.setFusionMode(mode); }

void Ticket::clearResult() {
    engine_.clearResult();
    stages_.clear();
    full_ = std::make_shared<const ResultList>();
}

ShownLines Ticket::shown() const {
    return ShownLines(full_, stages_.empty() ? nullptr : stages_.back().kept);
}

std::string Ticket::stageTitle() const { return stages_.empty() ? std::string() : stages_.back().title; }

std::optional<MergeOutcome> Ticket::pushStage(StageKind kind, const std::vector<std::uint64_t>& keptShown,
                                              std::string title, const std::string& stake, MessageSink& messages) {
    LineSelection kept = stages_.empty() ? LineSelection::FromIndices(keptShown, full_->count())
                                         : stages_.back().kept->narrowed(keptShown);
    return pushStage(kind, std::move(kept), std::move(title), stake, messages);
}

std::optional<MergeOutcome> Ticket::pushStage(StageKind kind, LineSelection keptFull, std::string title,
                                              const std::string& stake, MessageSink& messages) {
    std::optional<MergeOutcome> labels = engine_.price(keptFull.count(), stake, messages);
    if (labels)
        stages_.push_back({kind, std::make_shared<const LineSelection>(std::move(keptFull)), std::move(title)});
    return labels;
}

std::optional<MergeOutcome> Ticket::dropStages(const std::string& stake, MessageSink& messages) {
    std::optional<MergeOutcome> labels = engine_.price(full_->count(), stake, messages);
    if (labels) stages_.clear();
    return labels;
}

std::optional<MergeOutcome> Ticket::price(const std::string& stake, MessageSink& messages) const {
    return engine_.price(shown().count(), stake, messages);
}

}  // namespace torvanel
