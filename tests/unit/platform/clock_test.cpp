#include "platform/clock.h"

#include <gtest/gtest.h>

#include <ctime>
#include <limits>

#include "frame/frame_pacing.h"

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

// A clock pinned at either end of the range: the pacing, which reads both clocks,
// sleeps after the frame instead of spinning (UBSan stops on any overflow on the way).
TEST(Clock, TheEndsOfTheRangeDoNotSpinThePacing) {
    for (const std::int64_t end :
         {std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max()}) {
        PinCalendarTime(end);
        FramePacing pacing;
        NoteFrameDrawn(pacing, ReadCalendarTime(), false, -1);
        const std::int64_t milliseconds = ReadCalendarMilliseconds();
        EXPECT_FALSE(FrameDue(pacing, milliseconds)) << end;
        const int wait = MillisecondsUntilDue(pacing, milliseconds);
        EXPECT_GE(wait, 1) << end;
        EXPECT_LE(wait, 1000) << end;
    }
    UnpinCalendarTime();
}
