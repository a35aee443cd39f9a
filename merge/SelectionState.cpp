#include "merge/SelectionState.h"

#include "generators/Numbers.h"

#include <algorithm>
#include <limits>

namespace torvanel {

std::optional<HorseNumber> EntryHorseNumber(const std::string& text) {
    const double value = RoundHalfEven(ReadNumber(text));
    if (!(value >= std::numeric_limits<HorseNumber>::min() &&
          value <= std::numeric_limits<HorseNumber>::max()))
        return std::nullopt;
    return static_cast<HorseNumber>(value);
}

std::vector<HorseNumber>& SelectionState::Numbers(Group group) {
    return group == Group::Bases ? BaseNumbers : OutNumbers;
}

int& SelectionState::Count(Group group) {
    return group == Group::Bases ? BaseCount : OutCount;
}

std::span<const HorseNumber> SelectionState::Loaded(Group group) const {
    const std::vector<HorseNumber>& numbers = group == Group::Bases ? BaseNumbers : OutNumbers;
    const int count = group == Group::Bases ? BaseCount : OutCount;
    return std::span(numbers).first(std::min(numbers.size(), static_cast<std::size_t>(std::max(count, 0))));
}

void SelectionState::ResetGroup(Group group) {
    Numbers(group).clear();
    Count(group) = 0;
}

void SelectionState::CountSelected(Group group, const StarterList& list) {
    Counter = 0;
    for (const StarterEntry& entry : list)
        if (entry.selected) ++Counter;
    Count(group) = Counter;
}

std::optional<BadEntry> SelectionState::LoadSelected(Group group, const StarterList& list) {
    std::vector<HorseNumber>& numbers = Numbers(group);
    numbers.clear();
    numbers.reserve(static_cast<std::size_t>(Counter));
    Counter = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (!list[i].selected) continue;
        const std::optional<HorseNumber> number = EntryHorseNumber(list[i].text);
        if (!number) {
            ResetGroup(group);
            return BadEntry{group, i, list[i].text};
        }
        numbers.push_back(*number);
        ++Counter;
    }
    return std::nullopt;
}

}  // namespace torvanel
