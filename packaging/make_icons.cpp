// Writes the application icon as PNG files of the hicolor sizes:
// make_icons OUTDIR writes OUTDIR/NxN/vexmond.png.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>

#include "gui/Icons.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icons OUTDIR\n");
        return 2;
    }
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString dir = QString("%1/%2x%2").arg(argv[1]).arg(size);
        QDir().mkpath(dir);
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        gui::paintAppIcon(p, size);
        p.end();
        if (!image.save(dir + "/vexmond.png")) return 1;
    }
    return 0;
}
