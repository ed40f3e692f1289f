#include "qt/GameColours.h"

namespace qtgui {

QColor gameColour(app::GameColour colour) { return QColor(QRgb(app::gameColourRgb(colour))); }

void useGameGround(QWidget* view, bool on) {
    QPalette palette;  // resolving nothing: the widget inherits its palette again
    if (on) {
        palette.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
        palette.setColor(QPalette::Text, gameColour(app::GameColour::White));
    }
    view->setPalette(palette);
}

}  // namespace qtgui
