// The size of the buffer each output of solvane-wayland draws into, decided without a
// compositor.
#pragma once

#include <cstdint>

// The largest buffer side drawn: what Mesa's llvmpipe and most GPUs can render.
constexpr int MaxBufferSide = 16384;
// The size drawn when neither the compositor nor the output says one.
constexpr int FallbackWidth = 640;
constexpr int FallbackHeight = 480;

struct BufferSize {
    int width;   // pixels of the buffer, a multiple of scale
    int height;  // likewise
    int scale;   // the surface's buffer scale: buffer pixels per logical pixel, 1 to 8
    // With a fractional scale, the surface's size in logical pixels, which a viewport
    // maps the buffer onto (scale is 1 then); 0 without one.
    int logicalWidth = 0, logicalHeight = 0;
    double displayScale = 1;  // buffer pixels per logical pixel, for the stroke width
};

// The buffer of a full-screen surface. The compositor configures its size in logical
// pixels (a side of 0 leaves that side to the client); the output says its integer
// scale and its current mode in pixels (0 while unknown). A scale outside 1..8 counts
// as 1. A side left open takes the mode's side, else the fallback size times the
// scale. Each side ends a multiple of the scale, as the buffer scale requires, and
// within MaxBufferSide.
BufferSize ChooseBufferSize(int configuredWidth, int configuredHeight, int outputScale,
                            int modeWidth, int modeHeight);

// The scale of wp_fractional_scale_v1 is in 120ths.
constexpr int FractionalScaleDenominator = 120;

// The buffer of a full-screen surface at the compositor's preferred fractional scale
// (`scale120`, in 120ths; outside 1 to 8 times 120 it counts as 1), drawn at the output's true size
// and mapped onto the surface by a viewport: each side the logical side times the scale, rounded as
// the protocol asks. A side left open takes the mode's side, else the fallback size.
// Within MaxBufferSide.
BufferSize ChooseFractionalBufferSize(int configuredWidth, int configuredHeight, int scale120,
                                      int modeWidth, int modeHeight);
