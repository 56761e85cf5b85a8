// The frames per second of the fps option: counted over whole seconds of the monotonic
// clock, and shown in the top left corner of the view.
#pragma once

#include <cstdint>

struct FpsMeter {
    std::int64_t windowStart = -1;  // microseconds; -1 before the first frame
    int frames = 0;                 // since windowStart
    double rate = 0;                // of the last complete window; 0 until there is one
    char text[16] = "FPS:";         // what the corner shows
};

// Counts one frame finished at `now` (monotonic microseconds). Once a second or more
// has passed since the window began, the rate becomes frames / elapsed time and a new
// window begins. Returns true when the text changed.
bool CountFrame(FpsMeter& meter, std::int64_t now);

// Draws the meter's text over the frame just drawn into the current viewport, in the
// clock's stroke font and a light grey. Call after the frame step, before the swap.
void DrawFpsOverlay(FpsMeter& meter);
