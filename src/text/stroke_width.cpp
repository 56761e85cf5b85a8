#include "text/stroke_width.h"

namespace {
constexpr double LargestScale = 5;
constexpr double BaseDpi = 96;
}  // namespace

float StrokeWidthForScale(double scale) {
    if (!(scale > 1)) return 1.0f;
    return float(scale < LargestScale ? scale : LargestScale);
}

float StrokeWidthForDpi(std::uint32_t dpi) {
    return StrokeWidthForScale(dpi / BaseDpi);
}
