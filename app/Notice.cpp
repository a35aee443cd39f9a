#include "app/Notice.h"

#include <QCoreApplication>
#include <QWidget>

namespace notice {

QString otherSoftwareText()
{
    return QStringLiteral(
        "Nous disposons de très nombreux logiciels hippiques, du plus simple, comme celui-ci au plus "
        "sophistiqué.\r\n"
        "Visitez donc notre page internet:  https://www.torvanel.example\r\n"
        "Internet e-mail:  logiciels@torvanel.example");
}

void endProgram(QWidget& window)
{
    // Closing the window ends every wait of a running tour, which then stops
    // without a further step; quitting makes every event loop return, the
    // application's own last, so the program ends as after a close and hands
    // what it copied to the desktop's clipboard manager.
    window.window()->close();
    QCoreApplication::quit();
}

}  // namespace notice
