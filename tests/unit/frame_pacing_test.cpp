#include "frame/frame_pacing.h"

#include <gtest/gtest.h>

namespace {

constexpr std::int64_t Noon = 1797940800;  // 2026-12-22 12:00:00 UTC, in seconds

TEST(FramePacing, DrawsFirstThenSleepsToTheNextSecond) {
    FramePacing pacing;
    EXPECT_TRUE(FrameDue(pacing, Noon * 1000 + 250));
    EXPECT_EQ(MillisecondsUntilDue(pacing, Noon * 1000 + 250), 0);

    NoteFrameDrawn(pacing, Noon, false);
    EXPECT_FALSE(FrameDue(pacing, Noon * 1000 + 250));
    EXPECT_EQ(MillisecondsUntilDue(pacing, Noon * 1000 + 250), 750);
    EXPECT_EQ(MillisecondsUntilDue(pacing, Noon * 1000 + 999), 1);
    EXPECT_TRUE(FrameDue(pacing, (Noon + 1) * 1000));

    // A frame whose clock had not yet moved on when the pacer's had: the same second
    // again, so the next is due as soon as it comes.
    NoteFrameDrawn(pacing, Noon, false);
    EXPECT_TRUE(FrameDue(pacing, (Noon + 1) * 1000 + 3));
}

TEST(FramePacing, SteppedClocksNeverStall) {
    FramePacing pacing;
    NoteFrameDrawn(pacing, Noon, false);
    // Back an hour, forward a day, and to before 1970: a new second each time, shown at
    // once, and no wait is ever longer than a second.
    for (const std::int64_t now :
         {(Noon - 3600) * 1000, (Noon + 86400) * 1000 + 1, std::int64_t(-1)}) {
        EXPECT_TRUE(FrameDue(pacing, now)) << now;
        NoteFrameDrawn(pacing, now >= 0 ? now / 1000 : -1, false);
        const int wait = MillisecondsUntilDue(pacing, now);
        EXPECT_GE(wait, 1) << now;
        EXPECT_LE(wait, 1000) << now;
    }
    EXPECT_EQ(MillisecondsUntilDue(pacing, -1), 1);
}

TEST(FramePacing, MovingPicturesAndExposuresDrawAtOnce) {
    FramePacing pacing;
    NoteFrameDrawn(pacing, Noon, true);
    EXPECT_EQ(MillisecondsUntilDue(pacing, Noon * 1000 + 10), 0);
    NoteFrameDrawn(pacing, Noon, false);
    EXPECT_FALSE(FrameDue(pacing, Noon * 1000 + 20));
    pacing.invalidated = true;
    EXPECT_TRUE(FrameDue(pacing, Noon * 1000 + 20));
}

}  // namespace
