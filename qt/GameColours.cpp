#include "qt/GameColours.h"

namespace qtgui {

QColor gameColour(app::GameColour colour) { return QColor(QRgb(app::gameColourRgb(colour))); }

QPalette gameGround() {
    QPalette palette;
    palette.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
    palette.setColor(QPalette::AlternateBase, QColor(0x2C, 0x2C, 0x2C));
    palette.setColor(QPalette::Text, gameColour(app::GameColour::White));
    return palette;
}

// An empty palette resolves nothing: the widget inherits its own again.
void useGameGround(QWidget* view, bool on) { view->setPalette(on ? gameGround() : QPalette()); }

}  // namespace qtgui
