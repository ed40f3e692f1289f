#include "qt/Display.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace qtgui {

using namespace platform;

DisplayFacts primaryDisplayFacts() {
    DisplayFacts facts;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return facts;
    facts.bitsPerPixel = screen->depth();
    facts.planes = 1;
    facts.dotsPerInchX = static_cast<int>(std::lround(screen->logicalDotsPerInchX()));
    const QRect area = screen->availableGeometry();
    facts.workArea = Rect{area.left(), area.top(), area.left() + area.width(), area.top() + area.height()};
    return facts;
}

}  // namespace qtgui
