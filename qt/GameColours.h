#pragma once

#include <QColor>
#include <QPalette>
#include <QWidget>

#include "app/ColourCodes.h"

namespace qtgui {

// The colour id Tech 3 draws for an index of its table.
QColor gameColour(app::GameColour colour);

// A dark ground like the game's own, so that every colour but black reads.
QPalette gameGround();
void useGameGround(QWidget* view, bool on);

}  // namespace qtgui
