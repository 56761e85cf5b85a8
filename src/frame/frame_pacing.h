// When a front end draws. The picture changes only when the calendar second changes
// (the Sun, the camera's spin, the clock text), while a steering key is down and
// right after the first frame (PictureMoving of the frame step), so a
// front end draws then, and when its window needs a frame (first show, expose, a
// size or display change); otherwise it sleeps in its event wait, never longer than
// a second, whatever the clock does.
#pragma once

#include <cstdint>

struct FramePacing {
    std::int64_t shownTime = 0;  // calendar seconds the last frame showed
    bool moving = false;         // the last frame said the next one will differ
    bool invalidated = true;     // the window needs a frame; true until the first
};

// Whether a frame is due at `nowMilliseconds` (calendar milliseconds since 1970).
bool FrameDue(const FramePacing& pacing, std::int64_t nowMilliseconds);

// Milliseconds to sleep before a frame can be due without an event: 0 when one is
// due now, else up to the start of the next calendar second, from 1 to 1000. A
// clock stepped back or forward while asleep is caught at the next wake, so it
// never stalls the picture for longer than a second.
int MillisecondsUntilDue(const FramePacing& pacing, std::int64_t nowMilliseconds);

// Records the frame just drawn: the time it showed and whether the picture is still
// moving (lastFrameTime and PictureMoving of the frame step). The window's need is met.
void NoteFrameDrawn(FramePacing& pacing, std::int64_t shownTime, bool moving);
