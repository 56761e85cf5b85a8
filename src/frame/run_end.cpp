#include "frame/run_end.h"

#include <cmath>

bool TravelBeyond(double dx, double dy, double threshold) {
    return std::fabs(dx) > threshold || std::fabs(dy) > threshold;
}

bool PointerEndsRun(PointerOrigin& origin, const void* surface, double x, double y,
                    double threshold) {
    if (!origin.set) {
        origin = {true, surface, x, y};
        return false;
    }
    if (surface != origin.surface) return true;
    return TravelBeyond(x - origin.x, y - origin.y, threshold);
}
