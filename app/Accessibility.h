#pragma once
// What a screen reader says of each control of the window.

class frmmenu;

namespace accessibility {

// Gives every control its French accessible name: its caption, or the label
// beside it, with the list it acts on where two controls share a caption.
// Controls whose caption says it all keep the name Qt takes from it; labels
// are read by their text.
void applyNames(frmmenu& window);

}  // namespace accessibility
