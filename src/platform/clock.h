// The clock: calendar time in whole seconds since 1970-01-01 00:00:00 UTC.
#pragma once

#include <cstdint>

std::int64_t ReadCalendarTime();

// Tests and tools fix the clock at `seconds` until UnpinCalendarTime.
void PinCalendarTime(std::int64_t seconds);
void UnpinCalendarTime();
