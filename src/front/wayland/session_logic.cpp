#include "front/wayland/session_logic.h"

namespace {

constexpr int MaxScale = 8;

// One side in buffer pixels: the configured logical side times the scale, or the
// given fallback in pixels; rounded down to a multiple of the scale, at least one.
int BufferSide(int configured, int scale, int fallbackPixels) {
    std::int64_t side = configured > 0 ? std::int64_t(configured) * scale : fallbackPixels;
    if (side > MaxBufferSide) side = MaxBufferSide;
    side -= side % scale;
    return side < scale ? scale : int(side);
}

}  // namespace

BufferSize ChooseBufferSize(int configuredWidth, int configuredHeight, int outputScale,
                            int modeWidth, int modeHeight) {
    const int scale = outputScale >= 1 && outputScale <= MaxScale ? outputScale : 1;
    const int fallbackWidth = modeWidth > 0 ? modeWidth : FallbackWidth * scale;
    const int fallbackHeight = modeHeight > 0 ? modeHeight : FallbackHeight * scale;
    return {BufferSide(configuredWidth, scale, fallbackWidth),
            BufferSide(configuredHeight, scale, fallbackHeight), scale};
}
