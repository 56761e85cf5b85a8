#include "frame/frame_pacing.h"

#include <gtest/gtest.h>

#include "clouds/cloud_layer.h"
#include "clouds/cloud_resample.h"
#include "view/camera_frame.h"

namespace {

constexpr std::int64_t Noon = 1797940800;  // 2026-12-22 12:00:00 UTC, in seconds

TEST(FramePacing, DrawsFirstThenSleepsToTheNextSecond) {
    FramePacing pacing;
    EXPECT_TRUE(FrameDue(pacing, Noon * 1000 + 250));
    EXPECT_EQ(MillisecondsUntilDue(pacing, Noon * 1000 + 250), 0);

    NoteFrameDrawn(pacing, Noon, false, -1);
    EXPECT_FALSE(FrameDue(pacing, Noon * 1000 + 250));
    EXPECT_EQ(MillisecondsUntilDue(pacing, Noon * 1000 + 250), 750);
    EXPECT_EQ(MillisecondsUntilDue(pacing, Noon * 1000 + 999), 1);
    EXPECT_TRUE(FrameDue(pacing, (Noon + 1) * 1000));

    // A frame whose clock had not yet moved on when the pacer's had: the same second
    // again, so the next is due as soon as it comes.
    NoteFrameDrawn(pacing, Noon, false, -1);
    EXPECT_TRUE(FrameDue(pacing, (Noon + 1) * 1000 + 3));
}

TEST(FramePacing, SteppedClocksNeverStall) {
    FramePacing pacing;
    NoteFrameDrawn(pacing, Noon, false, -1);
    // Back an hour, forward a day, and to before 1970: a new second each time, shown at
    // once, and no wait is ever longer than a second.
    for (const std::int64_t now :
         {(Noon - 3600) * 1000, (Noon + 86400) * 1000 + 1, std::int64_t(-1)}) {
        EXPECT_TRUE(FrameDue(pacing, now)) << now;
        NoteFrameDrawn(pacing, now >= 0 ? now / 1000 : -1, false, -1);
        const int wait = MillisecondsUntilDue(pacing, now);
        EXPECT_GE(wait, 1) << now;
        EXPECT_LE(wait, 1000) << now;
    }
    EXPECT_EQ(MillisecondsUntilDue(pacing, -1), 1);
}

TEST(FramePacing, MovingPicturesAndExposuresDrawAtOnce) {
    FramePacing pacing;
    NoteFrameDrawn(pacing, Noon, true, -1);
    EXPECT_EQ(MillisecondsUntilDue(pacing, Noon * 1000 + 10), 0);
    NoteFrameDrawn(pacing, Noon, false, -1);
    EXPECT_FALSE(FrameDue(pacing, Noon * 1000 + 20));
    pacing.invalidated = true;
    EXPECT_TRUE(FrameDue(pacing, Noon * 1000 + 20));

    // A cloud map fetched between frames is shown by the next, whatever the clock.
    pacing.invalidated = false;
    CloudPicture clouds;
    clouds.width = CloudTextureWidth;
    clouds.height = CloudTextureHeight;
    clouds.grey.assign(std::size_t(clouds.width) * clouds.height, 128);
    SetCloudPicture(clouds);
    EXPECT_TRUE(FrameDue(pacing, Noon * 1000 + 30));
    DrawCloudLayer(Camera);  // takes the picture; with no scene it draws nothing
    EXPECT_FALSE(FrameDue(pacing, Noon * 1000 + 40));
    SetCloudPicture(CloudPicture());
    DrawCloudLayer(Camera);
}

// The delay is the shortest time from the end of one frame to the next, on every
// front end; a window's own need does not wait for it, and 0 runs free.
TEST(FramePacing, ChangesWaitForTheDelayExposuresDoNot) {
    constexpr std::int64_t NoonMs = Noon * 1000;
    FramePacing pacing;
    EXPECT_TRUE(DecideFrame(pacing, NoonMs, 0, DefaultDelayMicroseconds).draw);
    NoteFrameDrawn(pacing, Noon, false, 950000);  // ended 950 ms into Noon's second
    EXPECT_EQ(DecideFrame(pacing, NoonMs + 960, 960000, 10000).waitMicroseconds, 40000);
    EXPECT_EQ(DecideFrame(pacing, NoonMs + 1000, 1000000, 100000).waitMicroseconds, 50000);
    EXPECT_TRUE(DecideFrame(pacing, NoonMs + 1000, 1050000, 100000).draw);
    pacing.keyPressed = true;
    EXPECT_EQ(DecideFrame(pacing, NoonMs + 960, 960000, 100000).waitMicroseconds, 90000);
    const FrameDecision free = DecideFrame(pacing, NoonMs + 960, 960000, 0);
    EXPECT_TRUE(free.draw && free.pictureChanged);
    pacing.invalidated = true;
    EXPECT_TRUE(DecideFrame(pacing, NoonMs + 960, 960000, 100000).draw);
    // Ten seconds of delay are slept a second at a time.
    NoteFrameDrawn(pacing, Noon, true, 950000);
    EXPECT_EQ(DecideFrame(pacing, NoonMs + 960, 960000, MaxDelayMicroseconds).waitMicroseconds,
              MaxWaitMicroseconds);
    // Without the option (the Windows saver) frames follow the picture alone.
    NoteFrameDrawn(pacing, Noon, false, -1);
    EXPECT_EQ(DecideFrame(pacing, NoonMs + 250, -1, NoDelayOption).waitMicroseconds, 750000);
    EXPECT_TRUE(DecideFrame(pacing, NoonMs + 1000, -1, NoDelayOption).draw);
}

// One output's need draws that output alone, unless the picture moved on; the frame
// shows the second the decision read, so no output is left a second behind when the
// second ticks during the decision.
TEST(FramePacing, AnOutputsOwnNeedIsNoNewPicture) {
    FramePacing pacing;
    NoteFrameDrawn(pacing, Noon, false, 0);
    pacing.invalidated = true;
    FrameDecision decision = DecideFrame(pacing, Noon * 1000 + 999, 2000000, 100000);
    EXPECT_TRUE(decision.draw);
    EXPECT_FALSE(decision.pictureChanged);
    EXPECT_EQ(decision.showTime, Noon);
    decision = DecideFrame(pacing, (Noon + 1) * 1000, 2000000, 100000);
    EXPECT_TRUE(decision.draw && decision.pictureChanged);
    EXPECT_EQ(decision.showTime, Noon + 1);
    pacing.moving = true;
    EXPECT_TRUE(DecideFrame(pacing, Noon * 1000 + 500, 2000000, 100000).pictureChanged);
}

}  // namespace
