#include "platform/clock.h"

#include <ctime>

namespace {
bool pinned = false;
std::int64_t pinnedSeconds = 0;
}  // namespace

std::int64_t ReadCalendarTime() {
    if (pinned) return pinnedSeconds;
    return static_cast<std::int64_t>(std::time(nullptr));
}

void PinCalendarTime(std::int64_t seconds) {
    pinned = true;
    pinnedSeconds = seconds;
}

void UnpinCalendarTime() {
    pinned = false;
}
