#include "ConflictCheck.h"

#include "Numbers.h"

namespace torvanel {

std::string CheckBaseOutConflict(const SelectionState& state, MessageSink& messages) {
    for (int i = 0; i < state.BaseCount; ++i) {
        for (int j = 0; j < state.OutCount; ++j) {
            const HorseNumber outsider = state.OutNumbers[static_cast<std::size_t>(j)];
            if (state.BaseNumbers[static_cast<std::size_t>(i)] != outsider) continue;
            messages.showMessage("Le" + NumberText(outsider) +
                                 " ne peut être à la fois base et outsider!\r\n"
                                 "Supprimez-le des bases ou des outsiders.");
            return "NOok";
        }
    }
    return "ok";
}

}  // namespace torvanel
