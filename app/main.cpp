#include "app/frmmenu.h"

#include <QApplication>
#include <QStyleFactory>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Torvanel de pronostics"));
    // One look on every desktop: the layout is in pixels and was checked with it.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    frmmenu window;
    window.show();
    return app.exec();
}
