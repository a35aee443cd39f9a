#include "merge/MergeEngine.h"

#include "generators/Generators.h"
#include "generators/Numbers.h"
#include "merge/ConflictCheck.h"

#include <array>
#include <cmath>
#include <optional>
#include <string_view>
#include <vector>

namespace torvanel {
namespace {

constexpr int kAlways = -1;  // a bet type whose single split has no button

struct SplitChoice {
    int option;                     // index of OptionTierce, or kAlways
    const FusionGenerator& fusion;  // run when that split is selected
};

// The splits each bet type offers, tested in this order; its line size,
// from the bet rules, picks the bases and outsiders generators.
struct BetRow {
    int size;
    std::vector<SplitChoice> splits;
};

int LineSize(BetType betType) { return bets::RuleOf(betType).lineSize; }

const BetRow* RowFor(BetType betType) {
    using enum BetType;
    static const std::array<BetRow, bets::kBetTypeCount> rows{{
        {LineSize(Couple), {{kAlways, Fuse1B1O}}},
        {LineSize(DeuxSurQuatre), {{kAlways, Fuse1B1O}}},
        {LineSize(Tierce), {{1, Fuse2B1O}, {0, Fuse1B2O}}},
        {LineSize(Quarte), {{2, Fuse2B2O}, {3, Fuse1B3O}, {4, Fuse3B1O}}},
        {LineSize(Quinte), {{5, Fuse3B2O}, {6, Fuse2B3O}, {7, Fuse4B1O}}},
    }};
    const auto index = static_cast<std::size_t>(betType);
    return index < rows.size() ? &rows[index] : nullptr;
}

std::string Shortened(const std::string& text) {
    constexpr std::size_t kLongest = 40;
    return text.size() <= kLongest ? text : text.substr(0, kLongest) + "...";
}

std::string BadEntryMessage(const BadEntry& entry) {
    const char* list = entry.group == Group::Bases ? "des bases" : "des outsiders";
    return "L'entrée \"" + Shortened(entry.text) + "\" (place " + std::to_string(entry.index + 1) +
           " " + list + ") ne peut pas servir de numéro de cheval : un numéro doit être compris "
           "entre -32768 et 32767.\r\nCorrigez-la ou retirez-la de la sélection.";
}

std::string TooManyLinesMessage(WideCount lines, std::uint64_t maxLines) {
    const std::string count = lines == kWideCountMax ? "plus de " + DecimalText(lines) : DecimalText(lines);
    return "Cette fusion donnerait " + count + " lignes, mais la liste des résultats ne peut en "
           "montrer que " + DecimalText(maxLines) + " au plus.\r\n"
           "Sélectionnez moins de chevaux ou choisissez une autre fusion.";
}

std::string StakeTooLargeMessage(const std::string& stake, std::uint64_t lines) {
    return "La mise unitaire \"" + Shortened(stake) + "\" est trop grande : le coût de " +
           DecimalText(lines) + " lignes ne peut pas être calculé.\r\nSaisissez une mise plus petite.";
}

std::string CostTooLongMessage(const std::string& stake, std::uint64_t lines) {
    return "La mise unitaire \"" + Shortened(stake) + "\" ne convient pas : le coût de " +
           DecimalText(lines) + " lignes ne peut pas être affiché en entier.\r\nSaisissez une autre mise.";
}

std::string NegativeStakeMessage(const std::string& stake) {
    return "La mise unitaire \"" + Shortened(stake) + "\" ne convient pas : une mise ne peut pas être "
           "négative.\r\nSaisissez une mise positive.";
}

MergeOutcome Labels(std::uint64_t lines, double cost) {
    return MergeOutcome{true, DecimalText(lines), NumberText(cost) + " Euros"};
}

// The count and cost of `lines` at `stake`; nothing, after its message, for
// a stake whose cost cannot be computed or shown whole.
std::optional<MergeOutcome> Priced(std::uint64_t lines, const std::string& stake, std::size_t maxCostTextLength,
                                   MessageSink& messages) {
    const double unit = ReadNumber(stake);
    if (lines > 0 && unit < 0) {
        messages.showMessage(NegativeStakeMessage(stake));
        return std::nullopt;
    }
    const double cost = lines == 0 ? 0.0 : static_cast<double>(lines) * unit;
    if (!std::isfinite(cost)) {
        messages.showMessage(StakeTooLargeMessage(stake, lines));
        return std::nullopt;
    }
    MergeOutcome labels = Labels(lines, cost);
    if (labels.costText.size() > maxCostTextLength) {
        messages.showMessage(CostTooLongMessage(stake, lines));
        return std::nullopt;
    }
    return labels;
}

enum class BlockEnd { Done, Conflict, Refused };

// One run of the merge: the driver's steps over the engine's state, the two
// starter lists and the message boxes.
class MergeRun {
public:
    MergeRun(SelectionState& state, ResultList& result, const StarterList& bases,
             const StarterList& outs, MessageSink& messages)
        : state_(state), result_(result), bases_(bases), outs_(outs), messages_(messages) {}

    BlockEnd runBlock(const BetRow& row, const MergeChoices& choices) {
        const SingleGroupGenerator& basesGenerator = SingleGroupGeneratorFor(Group::Bases, row.size);
        const SingleGroupGenerator& outsGenerator = SingleGroupGeneratorFor(Group::Outs, row.size);
        const BlockEnd end = runFusionMode(row, choices, basesGenerator, outsGenerator);
        if (end != BlockEnd::Done) return end;
        if (choices.include[0] && !runWithClearFirst(false, basesGenerator)) return BlockEnd::Refused;
        if (choices.include[1] && !runWithClearFirst(false, outsGenerator)) return BlockEnd::Refused;
        return BlockEnd::Done;
    }

private:
    BlockEnd runFusionMode(const BetRow& row, const MergeChoices& choices,
                           const SingleGroupGenerator& basesGenerator,
                           const SingleGroupGenerator& outsGenerator) {
        switch (state_.FusionMode) {
        case FusionType::BasesOnly:
            return runWithClearFirst(true, basesGenerator) ? BlockEnd::Done : BlockEnd::Refused;
        case FusionType::OutsidersOnly:
            return runWithClearFirst(true, outsGenerator) ? BlockEnd::Done : BlockEnd::Refused;
        case FusionType::BasesThenOutsiders:
            result_.clear();
            return runWithClearFirst(false, basesGenerator) && runWithClearFirst(false, outsGenerator)
                       ? BlockEnd::Done : BlockEnd::Refused;
        case FusionType::Fused:
            return fuse(row, choices, basesGenerator, outsGenerator);
        default:
            result_.clear();
            return BlockEnd::Done;
        }
    }

    BlockEnd fuse(const BetRow& row, const MergeChoices& choices,
                  const SingleGroupGenerator& basesGenerator,
                  const SingleGroupGenerator& outsGenerator) {
        // The single-group generators load both groups; their lines are dropped.
        if (!runWithClearFirst(false, basesGenerator)) return BlockEnd::Refused;
        result_.clear();
        if (!runWithClearFirst(false, outsGenerator)) return BlockEnd::Refused;
        result_.clear();
        if (CheckBaseOutConflict(state_, messages_) == "NOok") {
            result_.clear();
            return BlockEnd::Conflict;
        }
        for (const SplitChoice& split : row.splits) {
            const bool selected = split.option == kAlways ||
                                  choices.split[static_cast<std::size_t>(split.option)];
            if (selected)
                AppendFusion(result_, split.fusion, state_.BaseNumbers,
                             state_.OutNumbers);
        }
        return BlockEnd::Done;
    }

    bool runWithClearFirst(bool clearFirst, const SingleGroupGenerator& generator) {
        state_.ClearFirst = clearFirst;
        return combineGroup(generator);
    }

    // One single-group generator: false when a selected entry is no horse
    // number, after saying so.
    bool combineGroup(const SingleGroupGenerator& generator) {
        const StarterList& list = generator.group == Group::Bases ? bases_ : outs_;
        state_.ResetGroup(generator.group);
        if (state_.ClearFirst) result_.clear();
        state_.CountSelected(generator.group, list);
        const int selected = state_.Counter;
        if (state_.ClearFirst && selected < generator.minimum) {
            messages_.showMessage(std::string(generator.tooFewMessage));
            return true;
        }
        if (selected == 0) return true;
        if (const std::optional<BadEntry> bad = state_.LoadSelected(generator.group, list)) {
            messages_.showMessage(BadEntryMessage(*bad));
            return false;
        }
        AppendCombinations(result_, state_.Numbers(generator.group), generator.size);
        return true;
    }

    SelectionState& state_;
    ResultList& result_;
    const StarterList& bases_;
    const StarterList& outs_;
    MessageSink& messages_;
};

}  // namespace

MergeEngine::MergeEngine(std::uint64_t maxLines, std::size_t maxCostTextLength)
    : maxLines_(maxLines), maxCostTextLength_(maxCostTextLength) {}

MergeOutcome MergeEngine::cmdFusionner_Click(const StarterList& bases, const StarterList& outs,
                                             const MergeChoices& choices, MessageSink& messages) {
    state_.FusionMode = choices.fusionMode;
    const BetRow* row = RowFor(choices.betType);
    if (row == nullptr) {
        result_.clear();
        return Labels(0, 0.0);
    }
    MergeRun run(state_, result_, bases, outs, messages);
    switch (run.runBlock(*row, choices)) {
    case BlockEnd::Conflict:
        return MergeOutcome{};  // the labels keep the previous merge's texts
    case BlockEnd::Refused:
        result_.clear();
        return Labels(0, 0.0);
    case BlockEnd::Done:
        break;
    }

    if (result_.exactCount() > maxLines_) {
        messages.showMessage(TooManyLinesMessage(result_.exactCount(), maxLines_));
        result_.clear();
        return Labels(0, 0.0);
    }
    const std::optional<MergeOutcome> labels = Priced(result_.count(), choices.stake, maxCostTextLength_, messages);
    if (!labels) {
        result_.clear();
        return Labels(0, 0.0);
    }
    return *labels;
}

const ResultList& MergeEngine::result() const { return result_; }

void MergeEngine::clearResult() { result_.clear(); }

std::optional<MergeOutcome> MergeEngine::price(std::uint64_t lines, const std::string& stake,
                                               MessageSink& messages) const {
    return Priced(lines, stake, maxCostTextLength_, messages);
}

std::uint64_t MergeEngine::maxLines() const { return maxLines_; }

std::size_t MergeEngine::maxCostTextLength() const { return maxCostTextLength_; }

const SelectionState& MergeEngine::selection() const { return state_; }

void MergeEngine::setFusionMode(FusionType mode) { state_.FusionMode = mode; }

}  // namespace torvanel
