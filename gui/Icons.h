#pragma once

#include <QIcon>
#include <QPixmap>

namespace gui {

// The application's icon: a speech balloon (the broadcast) over a server
// rack's green light. The same drawing makes the window's icon and the PNG
// files installed beside the SVG.
void paintAppIcon(QPainter& painter, int size);
QIcon appIcon();

// The running indicator: a green disc with a tick, and a grey disc with a
// bar, each with a dark ring so that it reads on light and dark themes.
QPixmap indicatorPixmap(bool running, int size, qreal devicePixelRatio);

}  // namespace gui
