#pragma once
// What a screen reader says of each control of the window.

class ControlRegistry;

namespace accessibility {

// Gives every control the French accessible name and description its row of
// the control table holds: its caption, or the label beside it, with the list
// it acts on where two controls share a caption. Controls whose caption says
// it all keep the name Qt takes from it; labels are read by their text.
void applyNames(const ControlRegistry& controls);

}  // namespace accessibility
