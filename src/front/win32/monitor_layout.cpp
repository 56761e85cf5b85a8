#include "front/win32/monitor_layout.h"

#include <algorithm>

namespace {

// Coordinates are widened first: a rectangle that Windows reports near the limits of
// 32 bits must not overflow the sums below.
struct WideRect {
    std::int64_t left, top, right, bottom;
};

WideRect Widen(const ScreenRect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

bool SameRect(const ScreenRect& a, const ScreenRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The part of `monitor` inside `window`, in the window's GL coordinates; false when
// there is none.
bool ViewOfMonitor(const ScreenRect& window, const ScreenRect& monitor, ViewRect& view) {
    const WideRect w = Widen(window);
    const WideRect m = Widen(monitor);
    const std::int64_t left = std::max(m.left, w.left);
    const std::int64_t right = std::min(m.right, w.right);
    const std::int64_t top = std::max(m.top, w.top);
    const std::int64_t bottom = std::min(m.bottom, w.bottom);
    if (right <= left || bottom <= top) return false;
    // The GL counts rows from the window's bottom edge.
    view = ViewRect{std::int32_t(left - w.left), std::int32_t(w.bottom - bottom),
                    std::int32_t(right - left), std::int32_t(bottom - top)};
    return true;
}

// The square of the distance from the pixel (x, y) to the nearest pixel of `r`; 0
// inside it. In doubles: the distances of 32-bit coordinates overflow when squared.
double DistanceSquared(const ScreenRect& r, std::int64_t x, std::int64_t y) {
    const double dx = double(
        std::max({std::int64_t(r.left) - x, std::int64_t(0), x - (std::int64_t(r.right) - 1)}));
    const double dy = double(
        std::max({std::int64_t(r.top) - y, std::int64_t(0), y - (std::int64_t(r.bottom) - 1)}));
    return dx * dx + dy * dy;
}

// The primary monitor, or the first when none says it is; null when there is none.
const MonitorArea* PrimaryOf(const std::vector<MonitorArea>& monitors) {
    for (const MonitorArea& monitor : monitors)
        if (monitor.primary) return &monitor;
    return monitors.empty() ? nullptr : &monitors.front();
}

}  // namespace

std::vector<ViewRect> LayOutMonitorViews(const ScreenRect& window,
                                         const std::vector<ScreenRect>& monitors) {
    std::vector<ViewRect> views;
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        const ScreenRect& monitor = monitors[i];
        const auto earlier = monitors.begin() + std::ptrdiff_t(i);
        if (std::any_of(monitors.begin(), earlier,
                        [&monitor](const ScreenRect& m) { return SameRect(m, monitor); }))
            continue;
        ViewRect view{};
        if (ViewOfMonitor(window, monitor, view)) views.push_back(view);
    }
    return views;
}

ViewPlan PlanViews(MonitorLayout layout, const ScreenRect& window,
                   const std::vector<MonitorArea>& monitors) {
    ViewPlan plan;
    const MonitorArea* primary = PrimaryOf(monitors);
    const MonitorArea* textMonitor = primary;  // where the clock stands with no views
    ViewRect view{};
    switch (layout) {
        case MonitorLayout::EachOwn:
            for (std::size_t i = 0; i < monitors.size(); ++i) {
                const ScreenRect& rect = monitors[i].rect;
                const bool repeated =
                    std::any_of(monitors.begin(), monitors.begin() + std::ptrdiff_t(i),
                                [&rect](const MonitorArea& m) { return SameRect(m.rect, rect); });
                if (repeated || !ViewOfMonitor(window, rect, view)) continue;
                plan.views.push_back(view);
                plan.strokeWidths.push_back(StrokeWidthForDpi(monitors[i].dpi));
            }
            break;
        case MonitorLayout::MainOnly:
            if (primary != nullptr && ViewOfMonitor(window, primary->rect, view)) {
                plan.views.push_back(view);
                plan.strokeWidths.push_back(StrokeWidthForDpi(primary->dpi));
            }
            break;
        case MonitorLayout::AcrossAll: {
            // The clock stands in the window's bottom left corner: its weight is that
            // monitor's. Where no monitor shows that corner (monitors of unequal
            // height, or one left of and above the primary), it goes to the monitor
            // nearest the corner, in a view of that monitor's own.
            const std::int64_t x = window.left, y = std::int64_t(window.bottom) - 1;
            textMonitor = nullptr;
            double nearest = 0;
            for (const MonitorArea& monitor : monitors) {
                const double distance = DistanceSquared(monitor.rect, x, y);
                if (textMonitor == nullptr || distance < nearest) {
                    textMonitor = &monitor;
                    nearest = distance;
                }
            }
            if (textMonitor != nullptr && nearest > 0 &&
                ViewOfMonitor(window, textMonitor->rect, plan.clockView) &&
                ViewOfMonitor(window, window, view)) {
                plan.clockApart = true;
                plan.views.push_back(view);
                plan.strokeWidths.push_back(StrokeWidthForDpi(textMonitor->dpi));
            }
            break;
        }
    }
    const bool wholeWindow =
        !plan.clockApart && plan.views.size() == 1 && plan.views[0].x == 0 &&
        plan.views[0].y == 0 &&
        std::int64_t(plan.views[0].width) == std::int64_t(window.right) - window.left &&
        std::int64_t(plan.views[0].height) == std::int64_t(window.bottom) - window.top;
    if (wholeWindow) plan.views.clear();
    if (plan.strokeWidths.empty())
        plan.strokeWidths.push_back(StrokeWidthForDpi(textMonitor ? textMonitor->dpi : 0));
    return plan;
}

bool SameMonitors(const std::vector<MonitorArea>& a, const std::vector<MonitorArea>& b) {
    return std::equal(
        a.begin(), a.end(), b.begin(), b.end(), [](const MonitorArea& m, const MonitorArea& n) {
            return SameRect(m.rect, n.rect) && m.primary == n.primary && m.dpi == n.dpi;
        });
}
