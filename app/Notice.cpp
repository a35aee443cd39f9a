#include "Notice.h"

#include "Dialogs.h"
#include "frmmenu.h"

#include <cstdio>
#include <cstdlib>

namespace notice {

QString otherSoftwareText()
{
    return QStringLiteral(
        "Nous disposons de très nombreux logiciels hippiques, du plus simple, comme celui-ci au plus "
        "sophistiqué.\r\n"
        "Visitez donc notre page internet:  https://www.torvanel.example\r\n"
        "Internet e-mail:  logiciels@torvanel.example");
}

void endProcessNow()
{
    // The guided tour waits between its steps in an event loop of its own,
    // and QCoreApplication::exit() ends only the outermost loop, after the
    // tour has played to its end. The program keeps nothing to save, so it
    // ends here; the system takes back its windows and files.
    std::fflush(nullptr);
    std::_Exit(EXIT_SUCCESS);
}

}  // namespace notice

void frmmenu::Command2_Click()
{
    Dialogs::showMessage(this, notice::otherSoftwareText());
}

void frmmenu::Image1_Click()
{
    if (endProgram)
        endProgram();
    else
        notice::endProcessNow();
}
