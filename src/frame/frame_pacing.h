// When a front end draws: the one pacing decision of every front end. The picture
// changes only when the calendar second changes (the Sun, the camera's spin, the
// clock text), while a steering key is down and right after the first frame
// (PictureMoving of the frame step) and when a new cloud map arrives, so a front end
// draws then, and when its window needs a frame (first show, expose, a size or
// display change); otherwise it sleeps in its event wait, never longer than a
// second, whatever the clock does.
#pragma once

#include <cstdint>

struct FramePacing {
    std::int64_t shownTime = 0;      // calendar seconds the last frame showed
    bool moving = false;             // the last frame said the next one will differ
    bool invalidated = true;         // the window needs a frame; true until the first
    bool keyPressed = false;         // a steering key went down since the last frame
    std::int64_t lastFrameEnd = -1;  // monotonic microseconds; -1 before the first frame
};

// The delay option of every front end is the shortest time, in microseconds, from the
// end of one frame to the next; 0 runs free, drawing every time whether the picture
// changed or not (for benchmarks). By default it paces a held steering key: ten
// steps a second, as fast as the camera has always turned under one. Ten seconds at
// most: a longer pause would leave the clock text standing for longer.
constexpr long DefaultDelayMicroseconds = 100000;
constexpr long MaxDelayMicroseconds = 10000000;
// The delay of a front end without the option (the Windows saver): frames follow the
// picture at the pace the display's swaps allow, and nothing runs free.
constexpr long NoDelayOption = 1;
// The longest a front end waits for events at once, whatever the clocks and the delay.
constexpr long MaxWaitMicroseconds = 1000000;

struct FrameDecision {
    bool draw = false;  // draw a frame now
    // The picture moved on (a new second, a moving picture, running free): every
    // output draws. Otherwise only the surfaces that need a frame of their own do.
    bool pictureChanged = false;
    std::int64_t showTime = 0;  // the calendar second a frame drawn now shows
    long waitMicroseconds = 0;  // when not drawing: the wait, 1 to MaxWaitMicroseconds
};

// The decision at one reading of the clocks: `calendarMilliseconds` (the frame step's
// clock) and `monotonicMicroseconds` (the clock of lastFrameEnd). A window that needs a
// frame gets it at once, so it never shows garbage for a long delay; a new second, a
// moving picture or a pressed key wait until `delayMicroseconds` has passed since the
// last frame ended. A front end hands showTime to AdvanceFrame, so that the frame shows
// the second the decision was made for (with two outputs, a second read could tick
// between them and leave one a second behind).
FrameDecision DecideFrame(const FramePacing& pacing, std::int64_t calendarMilliseconds,
                          std::int64_t monotonicMicroseconds, long delayMicroseconds);

// Records the frame just drawn: the time it showed and whether the picture is still
// moving (lastFrameTime and PictureMoving of the frame step), and when it ended
// (monotonic microseconds; -1 from a front end without the delay option, which keeps
// no such clock). The window's need and the key press are met.
void NoteFrameDrawn(FramePacing& pacing, std::int64_t shownTime, bool moving,
                    std::int64_t monotonicMicroseconds);

// Whether a frame is due at `nowMilliseconds` (calendar milliseconds since 1970),
// the delay aside.
bool FrameDue(const FramePacing& pacing, std::int64_t nowMilliseconds);

// Milliseconds to sleep before a frame can be due without an event: 0 when one is
// due now, else up to the start of the next calendar second, from 1 to 1000. A
// clock stepped back or forward while asleep is caught at the next wake, so it
// never stalls the picture for longer than a second.
int MillisecondsUntilDue(const FramePacing& pacing, std::int64_t nowMilliseconds);
