#pragma once
// The notice of "Autres logiciels" and the end of the program by the exit picture.

#include <QString>

namespace notice {

// Three lines separated by "\r\n", as the message box takes them.
QString otherSoftwareText();

// Ends the process at once, whatever loops are running.
[[noreturn]] void endProcessNow();

}  // namespace notice
