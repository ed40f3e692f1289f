#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>

namespace qtgui {

// The application's icon: a speech balloon (the broadcast) over a server
// rack's green light. The same drawing makes the window's icon and the PNG
// files installed beside the SVG.
QIcon appIcon();

// The sizes the icon is drawn in, for the window and for the hicolor theme.
inline constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};
// The icon drawn at one size, on a transparent ground.
QImage appIconImage(int size);

// The running indicator: a green disc with a tick, and a grey disc with a
// bar, each with a dark ring so that it reads on light and dark themes.
QPixmap indicatorPixmap(bool running, int size, qreal devicePixelRatio);

}  // namespace qtgui
