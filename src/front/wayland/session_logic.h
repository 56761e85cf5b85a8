// The decisions of a run of solvane-wayland that need no compositor: the size of each
// output's picture and when the pointer ends the run.
#pragma once

#include <cstdint>

// Travel in surface coordinates (logical pixels) on either axis beyond which the
// pointer ends the run: the Windows saver's default mouse threshold.
constexpr double PointerThreshold = 50;
// The largest buffer side drawn: what Mesa's llvmpipe and most GPUs can render.
constexpr int MaxBufferSide = 16384;
// The size drawn when neither the compositor nor the output says one.
constexpr int FallbackWidth = 640;
constexpr int FallbackHeight = 480;

struct BufferSize {
    int width;   // pixels of the buffer, a multiple of scale
    int height;  // likewise
    int scale;   // the surface's buffer scale: buffer pixels per logical pixel, 1 to 8
};

// The buffer of a full-screen surface. The compositor configures its size in logical
// pixels (a side of 0 leaves that side to the client); the output says its integer
// scale and its current mode in pixels (0 while unknown). A scale outside 1..8 counts
// as 1. A side left open takes the mode's side, else the fallback size times the
// scale. Each side ends a multiple of the scale, as the buffer scale requires, and
// within MaxBufferSide.
BufferSize ChooseBufferSize(int configuredWidth, int configuredHeight, int outputScale,
                            int modeWidth, int modeHeight);

// Where the pointer first showed on one of the surfaces; travel is measured from
// there, not accumulated from report to report.
struct PointerOrigin {
    bool set = false;
    const void* surface = nullptr;  // the surface the origin lies on
    double x = 0, y = 0;            // in that surface's coordinates
};

// Whether the pointer at (x, y) on `surface` ends the run. The first position seen
// becomes the origin. On the origin's surface, travel of more than PointerThreshold
// on either axis ends it; showing on another of the surfaces means the pointer went
// over to another output, which is travel too.
bool PointerTravelEnds(PointerOrigin& origin, const void* surface, double x, double y);
