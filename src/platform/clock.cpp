#include "platform/clock.h"

#include <chrono>
#include <limits>

namespace {
bool pinned = false;
std::int64_t pinnedSeconds = 0;

// The seconds whose milliseconds still fit in 64 bits. A pinned clock is held inside
// them, so that both readings always name the same second and no caller's
// arithmetic on them can overflow.
constexpr std::int64_t LimitSeconds = std::numeric_limits<std::int64_t>::max() / 1000 - 1;

std::int64_t Clamped(std::int64_t seconds) {
    return seconds > LimitSeconds    ? LimitSeconds
           : seconds < -LimitSeconds ? -LimitSeconds
                                     : seconds;
}

}  // namespace

std::int64_t ReadCalendarMilliseconds() {
    if (pinned) return Clamped(pinnedSeconds) * 1000;
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

std::int64_t ReadCalendarTime() {
    if (pinned) return Clamped(pinnedSeconds);
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
