#pragma once
// The notice of "Autres logiciels" and the end of the program by the exit picture.

#include <QString>

class QWidget;

namespace notice {

// Three lines separated by "\r\n", as the message box takes them.
QString otherSoftwareText();

// Ends the program at once, as closing the window does, from whatever loop
// is running.
void endProgram(QWidget& window);

}  // namespace notice
