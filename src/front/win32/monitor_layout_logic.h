// Where each monitor's picture goes in the saver window, which covers the whole
// virtual screen. Windows types stay out so that the layout is tested on the host.
#pragma once

#include <cstdint>
#include <vector>

#include "view/projection.h"

// A rectangle in virtual-screen pixels as Windows gives it (RECT): y grows downward,
// the primary monitor's top left is 0, 0, so other monitors may lie at negative
// coordinates; right and bottom are exclusive.
struct ScreenRect {
    std::int32_t left, top, right, bottom;
};

// One view per monitor, in the monitors' order, in the GL window coordinates of a
// window placed on `window`: pixels from the window's bottom left, y upward. Each
// view is the part of its monitor inside the window. A monitor with no such part
// gives no view, and a monitor that repeats an earlier one's rectangle (a mirrored
// display) gives none either, so no picture is drawn twice over itself.
std::vector<ViewRect> LayOutMonitorViews(const ScreenRect& window,
                                         const std::vector<ScreenRect>& monitors);
