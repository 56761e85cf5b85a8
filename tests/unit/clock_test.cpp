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

TEST(Clock, MillisecondsAgreeWithSecondsPinnedAndRunning) {
    PinCalendarTime(-1);  // a clock set before 1970 still rounds down
    EXPECT_EQ(ReadCalendarMilliseconds(), -1000);
    EXPECT_EQ(ReadCalendarTime(), -1);
    UnpinCalendarTime();
    const std::int64_t milliseconds = ReadCalendarMilliseconds();
    const std::int64_t seconds = ReadCalendarTime();
    EXPECT_TRUE(seconds == milliseconds / 1000 || seconds == milliseconds / 1000 + 1);
}
