#include "app/MainWindow.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QStyleFactory>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Torvanel de pronostics"));
    // One look on every desktop: the layout is in pixels and was checked with it.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    // The toolkit's own dialogues (the file dialogue, the buttons) in French
    // like the rest, where Debian's Qt translations are installed.
    QTranslator toolkitFrench;
    if (toolkitFrench.load(QLocale(QLocale::French, QLocale::France), QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&toolkitFrench);
    MainWindow window;
    window.show();
    window.openFromCommandLine(QApplication::arguments());
    return app.exec();
}
