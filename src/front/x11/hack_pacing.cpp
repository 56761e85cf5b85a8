#include "front/x11/hack_pacing.h"

#include <algorithm>

long MicrosecondsUntilFrame(const HackPace& pace, std::int64_t calendarMilliseconds,
                            std::int64_t monotonicMicroseconds, long delay) {
    if (delay <= 0 || pace.picture.invalidated) return 0;
    std::int64_t paceLeft = 0;
    if (pace.lastFrameEnd >= 0)
        paceLeft = std::max<std::int64_t>(0, pace.lastFrameEnd + delay - monotonicMicroseconds);
    std::int64_t wait = paceLeft;
    if (!pace.keyPressed && !FrameDue(pace.picture, calendarMilliseconds)) {
        const std::int64_t untilDue =
            std::int64_t(MillisecondsUntilDue(pace.picture, calendarMilliseconds)) * 1000;
        wait = std::max(wait, untilDue);
    }
    return long(std::min<std::int64_t>(wait, MaxWaitMicroseconds));
}

void NoteHackFrame(HackPace& pace, std::int64_t shownTime, bool moving,
                   std::int64_t monotonicMicroseconds) {
    NoteFrameDrawn(pace.picture, shownTime, moving);
    pace.keyPressed = false;
    pace.lastFrameEnd = monotonicMicroseconds;
}
