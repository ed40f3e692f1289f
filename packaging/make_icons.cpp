// Writes the application icon as PNG files of the hicolor sizes:
// make_icons OUTDIR writes OUTDIR/NxN/apps/vexmond.png, as the theme lays them out.
#include <QDir>
#include <QGuiApplication>
#include <cstdio>

#include "qt/Icons.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icons OUTDIR\n");
        return 2;
    }
    for (int size : qtgui::kIconSizes) {
        const QString dir = QString("%1/%2x%2/apps").arg(argv[1]).arg(size);
        QDir().mkpath(dir);
        if (!qtgui::appIconImage(size).save(dir + "/vexmond.png")) return 1;
    }
    return 0;
}
