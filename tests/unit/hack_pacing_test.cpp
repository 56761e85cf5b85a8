#include "front/x11/hack_pacing.h"

#include <gtest/gtest.h>

namespace {

constexpr std::int64_t Noon = 1797940800000;  // 2026-12-22 12:00:00 UTC, in milliseconds

TEST(HackPacing, ChangesWaitForTheDelayExposuresDoNot) {
    HackPace pace;
    EXPECT_EQ(MicrosecondsUntilFrame(pace, Noon, 0, 100000), 0);
    NoteHackFrame(pace, Noon / 1000, false, 950000);  // ended 950 ms into Noon's second
    EXPECT_EQ(MicrosecondsUntilFrame(pace, Noon + 960, 960000, 10000), 40000);
    EXPECT_EQ(MicrosecondsUntilFrame(pace, Noon + 1000, 1000000, 100000), 50000);
    pace.keyPressed = true;
    EXPECT_EQ(MicrosecondsUntilFrame(pace, Noon + 960, 960000, 100000), 90000);
    EXPECT_EQ(MicrosecondsUntilFrame(pace, Noon + 960, 960000, 0), 0);  // running free
    pace.picture.invalidated = true;
    EXPECT_EQ(MicrosecondsUntilFrame(pace, Noon + 960, 960000, 100000), 0);
    // Ten seconds of -delay are slept a second at a time.
    NoteHackFrame(pace, Noon / 1000, true, 950000);
    EXPECT_EQ(MicrosecondsUntilFrame(pace, Noon + 960, 960000, 10000000), MaxWaitMicroseconds);
}

}  // namespace
