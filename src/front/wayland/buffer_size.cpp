#include "front/wayland/buffer_size.h"

#include <cmath>

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
    BufferSize size{BufferSide(configuredWidth, scale, fallbackWidth),
                    BufferSide(configuredHeight, scale, fallbackHeight), scale};
    size.displayScale = scale;
    return size;
}

namespace {

// One side: its logical size and its buffer pixels at `scale120`.
void FractionalSide(int configured, int scale120, int modePixels, int fallbackLogical, int& logical,
                    int& pixels) {
    const double scale = double(scale120) / FractionalScaleDenominator;
    double side = configured > 0   ? double(configured)
                  : modePixels > 0 ? std::round(modePixels / scale)
                                   : double(fallbackLogical);
    double buffer = std::round(side * scale);
    if (buffer > MaxBufferSide) {
        buffer = MaxBufferSide;
        side = std::floor(MaxBufferSide / scale);
    }
    logical = side < 1 ? 1 : int(side);
    pixels = buffer < 1 ? 1 : int(buffer);
}

}  // namespace

BufferSize ChooseFractionalBufferSize(int configuredWidth, int configuredHeight, int scale120,
                                      int modeWidth, int modeHeight) {
    if (scale120 < 1 || scale120 > MaxScale * FractionalScaleDenominator)
        scale120 = FractionalScaleDenominator;
    BufferSize size{0, 0, 1};
    FractionalSide(configuredWidth, scale120, modeWidth, FallbackWidth, size.logicalWidth,
                   size.width);
    FractionalSide(configuredHeight, scale120, modeHeight, FallbackHeight, size.logicalHeight,
                   size.height);
    size.displayScale = double(scale120) / FractionalScaleDenominator;
    return size;
}
