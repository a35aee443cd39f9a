#include "merge/ConflictCheck.h"

#include "generators/Numbers.h"

namespace torvanel {

std::string CheckBaseOutConflict(const SelectionState& state, MessageSink& messages) {
    for (const HorseNumber base : state.Loaded(Group::Bases)) {
        for (const HorseNumber outsider : state.Loaded(Group::Outs)) {
            if (base != outsider) continue;
            messages.showMessage("Le" + NumberText(outsider) +
                                 " ne peut être à la fois base et outsider!\r\n"
                                 "Supprimez-le des bases ou des outsiders.");
            return "NOok";
        }
    }
    return "ok";
}

}  // namespace torvanel
