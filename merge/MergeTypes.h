#pragma once
// What the window hands the merge engine, and how the engine talks back.

#include "bets/BetRules.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace torvanel {

// One entry of lstBases or lstOuts, in list order: its text as it stands in
// the list and whether it is selected.
struct StarterEntry {
    std::string text;
    bool selected = false;
};
using StarterList = std::vector<StarterEntry>;

// The fusion type buttons Option1, by index. Any other value merges nothing.
enum class FusionType : std::int16_t {
    BasesOnly = 0,           // "Bases seulement"
    OutsidersOnly = 1,       // "Outsiders seulement"
    BasesThenOutsiders = 2,  // "Bases seules + Outsiders seuls"
    Fused = 3,               // "Bases avec Outsiders (fusionner)"
};

// The window's choices as they stand when a merge runs.
struct MergeChoices {
    BetType betType = BetType::Tierce;      // OptionQuoi
    FusionType fusionMode = FusionType::Fused;  // FusionMode / Option1
    std::array<bool, 8> split{};            // OptionTierce(0..7)
    std::array<bool, 2> include{};          // ChkInclure(0..1)
    std::string stake = "1";                // text of txtUnite
};

// The window implements this with a modal QMessageBox; tests with a recorder.
// Lines of a message are separated by "\r\n".
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void showMessage(const std::string& text) = 0;
};

// Texts for lblQtetotale and lblCout after a merge; `updated` is false when
// the merge was refused and the labels keep their previous texts.
struct MergeOutcome {
    bool updated = false;
    std::string countText;
    std::string costText;
};

}  // namespace torvanel
