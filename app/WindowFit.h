#pragma once

#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

#include "platform/Geometry.h"

namespace app {

// How the main window fits the screen it opens on, for both windows alike:
// its size, where its frame goes, and how the areas that stretch with it
// share its height. Sizes are in the window system's units.

// The width the window asks for where the work area has room, at 96 dots per inch.
inline constexpr int kPreferredWindowWidth = 640;

// The window's areas that stretch with it, in the order in which they give up
// height when the screen is short: the message first, which scrolls and is
// seldom edited; then the console, which scrolls too but holds the player
// table in its place, whose rows a short screen must still show; the
// preview's rows last, as a row it loses hides a line of the message as the
// players see it.
// Heights are in lines of the area's text; an area that grows takes that many
// parts of what a taller window has beyond every area's preferred height.
struct StretchLines {
    std::string_view control;
    int leastLines;
    int preferredLines;  // kRowPerMessageLine: as many as the message has lines, up to the preview's most
    int growth;
    bool wholeLines;  // its height above the least comes in whole lines, none cut in half
};
inline constexpr int kRowPerMessageLine = 0;
inline constexpr StretchLines kStretchAreas[] = {
    {"txtMsg", 1, 5, 1, false},
    {"txtOutput", 1, 10, 2, false},
    {"txtMsgPreview", 1, kRowPerMessageLine, 0, true},
};

// One stretching area in the window system's units; step is the unit its
// height above the least comes in (1, or a line of its text).
struct StretchArea {
    int least = 0;
    int preferred = 0;
    int growth = 0;
    int step = 1;
};

// What a window knows of an area's text: the height of one line, and what
// its frame, margins and scroll bar add to the lines.
struct LineMetrics {
    int lineHeight = 0;
    int chrome = 0;
};

// The table's areas in the window's units, measured by metricsOf (called
// with each area's control name), for a message of so many lines.
std::vector<StretchArea> stretchAreas(const std::function<LineMetrics(std::string_view control)>& metricsOf,
                                      std::size_t messageLines);

// Each area's height, in the table's order, when together they have this
// height. Below their preferred heights the areas give up height in their
// order, each down to its least; above, the extra goes to the areas that grow,
// in proportion to their parts. Never below the least heights, even where
// they add up to more than the height.
std::vector<int> shareHeight(const std::vector<StretchArea>& areas, int height);

// The window's client area: the height of all that does not stretch, the
// least width that shows every control and the width it asks for.
struct WindowShape {
    int fixedHeight = 0;
    int leastWidth = 0;
    int preferredWidth = 0;
    std::vector<StretchArea> areas;
};

// What the window system puts around the client area: borders, the title
// bar, and a menu bar that is not part of the client area.
struct FrameEdges {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const FrameEdges&) const = default;
};

struct WindowFit {
    int clientWidth = 0;
    int clientHeight = 0;
    platform::Rect frame;  // the outer edges, frame included
};

// The one rule of the window's size and place: its preferred size where the
// work area holds it with its frame, else as much as the work area holds (the
// areas giving up height in their order), never below its least size; the
// frame's centre where it is asked to be (the screen's centre, at start-up),
// then moved into the work area, its top left corner on it when it is larger.
WindowFit fitWindow(const WindowShape& shape, const FrameEdges& edges, const platform::Rect& workArea, double centreX,
                    double centreY);

}  // namespace app
