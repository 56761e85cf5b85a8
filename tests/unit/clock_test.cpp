#include "platform/clock.h"

#include <gtest/gtest.h>

#include <ctime>

TEST(Clock, PinnedMomentHoldsUntilUnpinned) {
    PinCalendarTime(1797940800);  // 2026-12-22 12:00:00 UTC
    EXPECT_EQ(ReadCalendarTime(), 1797940800);
    EXPECT_EQ(ReadCalendarTime(), 1797940800);
    UnpinCalendarTime();
    EXPECT_NEAR(double(ReadCalendarTime()), double(std::time(nullptr)), 2.0);
}
