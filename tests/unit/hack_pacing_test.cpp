#include "front/x11/hack_pacing.h"

#include <gtest/gtest.h>

namespace {

constexpr std::int64_t Noon = 1797940800000;  // 2026-12-22 12:00:00 UTC, in milliseconds
constexpr long Delay = 100000;

// A pace whose last frame showed Noon's second and ended at monotonic `end`.
HackPace AfterFrame(std::int64_t end, bool moving = false) {
    HackPace pace;
    NoteHackFrame(pace, Noon / 1000, moving, end);
    return pace;
}

TEST(HackPacing, TheNextSecondWaitsForTheDelayToo) {
    EXPECT_EQ(MicrosecondsUntilFrame(HackPace{}, Noon, 5000, Delay), 0);
    const HackPace pace = AfterFrame(5000);
    // 300 ms into the second: sleep to the next one.
    EXPECT_EQ(MicrosecondsUntilFrame(pace, Noon + 300, 5000, Delay), 700000);
    // The frame ended 950 ms into the second; the new second waits out the delay.
    const HackPace late = AfterFrame(950000);
    EXPECT_EQ(MicrosecondsUntilFrame(late, Noon + 1000, 1000000, Delay), 50000);
    EXPECT_EQ(MicrosecondsUntilFrame(late, Noon + 1050, 1050000, Delay), 0);
}

TEST(HackPacing, HeldKeysGoAtTheDelayExposuresAtOnce) {
    HackPace pace = AfterFrame(0, true);
    EXPECT_EQ(MicrosecondsUntilFrame(pace, Noon + 20, 20000, Delay), 80000);
    pace = AfterFrame(0);
    pace.keyPressed = true;
    EXPECT_EQ(MicrosecondsUntilFrame(pace, Noon + 20, 20000, Delay), 80000);
    pace = AfterFrame(0);
    pace.picture.invalidated = true;
    EXPECT_EQ(MicrosecondsUntilFrame(pace, Noon + 20, 20000, Delay), 0);
}

TEST(HackPacing, NoDelayRunsFreeAndNoWaitPassesASecond) {
    EXPECT_EQ(MicrosecondsUntilFrame(AfterFrame(0), Noon + 20, 20000, 0), 0);
    // Ten seconds of -delay are slept a second at a time; a calendar clock stepped
    // back an hour is a new second, drawn at once.
    EXPECT_EQ(MicrosecondsUntilFrame(AfterFrame(0), Noon + 1000, 1000, 10000000),
              MaxWaitMicroseconds);
    EXPECT_EQ(MicrosecondsUntilFrame(AfterFrame(0), Noon - 3600000, 1000000, Delay), 0);
}

}  // namespace
