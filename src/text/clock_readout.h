// The local date and time as two lines of text.
#pragma once

#include <ctime>

constexpr int ClockTextSize = 100;

// "DATE:d m yyyy\nLOCAL:h m s" from a local broken-down time, without leading zeros.
void ComposeClockText(const std::tm& local, char (&text)[ClockTextSize]);
