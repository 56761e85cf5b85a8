#include "front/posix/fps_meter.h"

#include <cstdio>

namespace {
constexpr std::int64_t WindowMicroseconds = 1000000;
}

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
