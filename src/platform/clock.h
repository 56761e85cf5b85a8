// The clock: calendar time since 1970-01-01 00:00:00 UTC.
#pragma once

#include <cstdint>

// In whole seconds (rounded down, also before 1970): what a frame shows.
std::int64_t ReadCalendarTime();

// In milliseconds, from the same clock, so that a front end that waits for the next
// second wakes when ReadCalendarTime has moved on, not a moment before.
std::int64_t ReadCalendarMilliseconds();

// Tests and tools fix the clock at `seconds` until UnpinCalendarTime. A moment
// beyond what milliseconds can hold in 64 bits saturates in ReadCalendarMilliseconds.
void PinCalendarTime(std::int64_t seconds);
void UnpinCalendarTime();
