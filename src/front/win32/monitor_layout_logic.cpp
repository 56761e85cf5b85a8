#include "front/win32/monitor_layout_logic.h"

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

}  // namespace

std::vector<ViewRect> LayOutMonitorViews(const ScreenRect& window,
                                         const std::vector<ScreenRect>& monitors) {
    std::vector<ViewRect> views;
    const WideRect w = Widen(window);
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        const ScreenRect& monitor = monitors[i];
        const auto earlier = monitors.begin() + std::ptrdiff_t(i);
        if (std::any_of(monitors.begin(), earlier,
                        [&monitor](const ScreenRect& m) { return SameRect(m, monitor); }))
            continue;
        const WideRect m = Widen(monitor);
        const std::int64_t left = std::max(m.left, w.left);
        const std::int64_t right = std::min(m.right, w.right);
        const std::int64_t top = std::max(m.top, w.top);
        const std::int64_t bottom = std::min(m.bottom, w.bottom);
        if (right <= left || bottom <= top) continue;
        // The GL counts rows from the window's bottom edge.
        views.push_back(ViewRect{std::int32_t(left - w.left), std::int32_t(w.bottom - bottom),
                                 std::int32_t(right - left), std::int32_t(bottom - top)});
    }
    return views;
}
