#include "platform/clock.h"

#include <chrono>
#include <limits>

namespace {
bool pinned = false;
std::int64_t pinnedSeconds = 0;
}  // namespace

std::int64_t ReadCalendarMilliseconds() {
    if (pinned) {
        // Tests pin the ends of the range too: those saturate instead of overflowing.
        constexpr std::int64_t limit = std::numeric_limits<std::int64_t>::max() / 1000;
        if (pinnedSeconds > limit) return std::numeric_limits<std::int64_t>::max();
        if (pinnedSeconds < -limit) return std::numeric_limits<std::int64_t>::min();
        return pinnedSeconds * 1000;
    }
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

std::int64_t ReadCalendarTime() {
    if (pinned) return pinnedSeconds;
    const std::int64_t milliseconds = ReadCalendarMilliseconds();
    // Rounded toward minus infinity: a clock set before 1970 still changes its second
    // once a second.
    return milliseconds / 1000 - (milliseconds % 1000 < 0 ? 1 : 0);
}

void PinCalendarTime(std::int64_t seconds) {
    pinned = true;
    pinnedSeconds = seconds;
}

void UnpinCalendarTime() {
    pinned = false;
}
