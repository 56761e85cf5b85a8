// What the pointer does to a run: travel of more than the platform's threshold from
// an origin, on either axis, ends it. Each front end supplies its threshold (the
// registry's on Windows, 50 elsewhere) and its own key and button rules, and forgets
// the origin after any display or output change: a monitor that drops off moves the
// pointer, and that is not the user's travel.
#pragma once

// The threshold of a platform without a setting of its own: the Windows default.
constexpr double DefaultTravelThreshold = 50;

// Whether travel of (dx, dy) goes beyond `threshold` on either axis. A negative
// threshold makes any report, even of no travel, go beyond it, as it always has on
// Windows.
bool TravelBeyond(double dx, double dy, double threshold);

// Where the pointer first showed after the start or the last display change.
struct PointerOrigin {
    bool set = false;
    const void* surface = nullptr;  // the surface the origin lies on; null: the screen
    double x = 0, y = 0;            // in that surface's coordinates (logical pixels)
};

// Whether the pointer at (x, y) on `surface` ends the run. The first position seen
// becomes the origin. On the origin's surface, travel beyond `threshold` ends it;
// showing on another surface means the pointer crossed to another output, which is
// travel too.
bool PointerEndsRun(PointerOrigin& origin, const void* surface, double x, double y,
                    double threshold = DefaultTravelThreshold);

// After a display or output change: the next position seen is the new origin.
inline void ForgetPointerOrigin(PointerOrigin& origin) {
    origin.set = false;
}
