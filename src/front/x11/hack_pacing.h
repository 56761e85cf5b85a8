// When the hack draws: the drawing policy of every front end (frame/frame_pacing.h)
// held to -delay, the shortest time from one frame to the next. Pure, for the tests.
#pragma once

#include <cstdint>

#include "frame/frame_pacing.h"

struct HackPace {
    FramePacing picture;             // what the frame step and the window need
    bool keyPressed = false;         // a keypad key went down since the last frame
    std::int64_t lastFrameEnd = -1;  // monotonic microseconds; -1 before the first frame
};

// The longest the hack sleeps at once, whatever the clocks and -delay say.
constexpr long MaxWaitMicroseconds = 1000000;

// Microseconds to wait for events before the next frame; 0 to draw now. A window that
// needs a frame (first show, expose, resize) gets it at once, so it never shows
// garbage for a long -delay; the next second and a pressed key wait until `delay`
// has passed since the last frame ended. `delay` 0 draws every time, changed or not.
// `calendarMilliseconds` is the frame step's clock, `monotonicMicroseconds` the
// clock of lastFrameEnd. Never more than MaxWaitMicroseconds.
long MicrosecondsUntilFrame(const HackPace& pace, std::int64_t calendarMilliseconds,
                            std::int64_t monotonicMicroseconds, long delay);

// Records a frame now on the screen: the time it showed and whether the picture is
// still moving (frame/frame_step.h), and when it ended.
void NoteHackFrame(HackPace& pace, std::int64_t shownTime, bool moving,
                   std::int64_t monotonicMicroseconds);
