#include "frame/fps_meter.h"

#include <GL/gl.h>

#include <cstdio>

#include "text/text_renderer.h"
#include "view/camera_frame.h"
#include "view/projection.h"

namespace {
constexpr std::int64_t WindowMicroseconds = 1000000;
constexpr float FpsGrey = 0.6f;
}  // namespace

bool CountFrame(FpsMeter& meter, std::int64_t now) {
    if (meter.windowStart < 0 || now < meter.windowStart) {
        meter.windowStart = now;
        meter.frames = 0;
        return false;
    }
    ++meter.frames;
    const std::int64_t elapsed = now - meter.windowStart;
    if (elapsed < WindowMicroseconds) return false;
    meter.rate = meter.frames * 1e6 / double(elapsed);
    std::snprintf(meter.text, sizeof meter.text, "FPS:%.1f", meter.rate);
    meter.windowStart = now;
    meter.frames = 0;
    return true;
}

void DrawFpsOverlay(FpsMeter& meter) {
    // The frame step leaves the projection at identity; the text grid needs the view.
    ApplyCamera(Camera);
    DrawStrokeText(meter.text, FpsGrey, FpsGrey, FpsGrey, 0, 0, &Camera);
    glLoadIdentity();
}
