// Renders the program's SVG icon as square PNG files for the desktop's icon
// theme, making their folders: render-icon <icon.svg> <size> <out.png>...
// Uses the same SVG renderer as the window, so the launcher and the window
// show the same picture.

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc < 4 || argc % 2 != 0) {
        std::fprintf(stderr, "usage: %s <icon.svg> <size> <out.png> [<size> <out.png>...]\n", argv[0]);
        return 2;
    }
    // No display is needed: the pictures are drawn into memory.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "%s: not a readable SVG picture\n", argv[1]);
        return 1;
    }
    for (int i = 2; i + 1 < argc; i += 2) {
        bool ok = false;
        const int size = QString::fromLocal8Bit(argv[i]).toInt(&ok);
        if (!ok || size <= 0 || size > 1024) {
            std::fprintf(stderr, "%s: not an icon size\n", argv[i]);
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            renderer.render(&painter, QRectF(0, 0, size, size));
        }
        const QString out = QString::fromLocal8Bit(argv[i + 1]);
        if (!QDir().mkpath(QFileInfo(out).path()) || !image.save(out, "PNG")) {
            std::fprintf(stderr, "%s: cannot write\n", argv[i + 1]);
            return 1;
        }
    }
    return 0;
}
