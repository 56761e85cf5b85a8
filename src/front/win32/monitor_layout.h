// Where each monitor's picture goes in the saver window, which covers the whole
// virtual screen. Windows types stay out so that the layout is tested on the host.
#pragma once

#include <cstdint>
#include <vector>

#include "front/win32/display_options.h"
#include "text/stroke_width.h"
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

// A monitor as the saver finds it when it lays out its views.
struct MonitorArea {
    ScreenRect rect;
    bool primary;
    std::uint32_t dpi;  // its effective dots per inch; 0 when it could not be read
};

// What the frame loop draws: the views and the clock text's stroke width in each.
struct ViewPlan {
    std::vector<ViewRect> views;      // empty: one view, the whole window
    std::vector<float> strokeWidths;  // one per view; with no views one, for the window
    // The clock stands in clockView instead of in each view, with the stroke width
    // of the first view: one globe across monitors whose corner no monitor shows.
    bool clockApart = false;
    ViewRect clockView{};
};

// The views of the saver window on `window` for the user's choice of layout:
// each monitor its own (as LayOutMonitorViews), one view over the whole window, or
// the primary monitor's alone with the rest left black. A plan whose only view is
// the whole window has no views, so that it draws exactly as a one-screen window,
// unless its clock must stand apart on a monitor: the clock is always on one.
ViewPlan PlanViews(MonitorLayout layout, const ScreenRect& window,
                   const std::vector<MonitorArea>& monitors);

// Whether two readings of the monitors agree in every rectangle, primary flag and
// DPI, in the same order.
bool SameMonitors(const std::vector<MonitorArea>& a, const std::vector<MonitorArea>& b);
