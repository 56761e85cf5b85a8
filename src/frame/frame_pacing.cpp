#include "frame/frame_pacing.h"

namespace {

constexpr std::int64_t MillisecondsPerSecond = 1000;

// Rounded toward minus infinity, as ReadCalendarTime rounds.
std::int64_t SecondOf(std::int64_t milliseconds) {
    // Written so that no value overflows, the ends of the range included.
    return milliseconds / MillisecondsPerSecond -
           (milliseconds % MillisecondsPerSecond < 0 ? 1 : 0);
}

}  // namespace

bool FrameDue(const FramePacing& pacing, std::int64_t nowMilliseconds) {
    return pacing.invalidated || pacing.moving || SecondOf(nowMilliseconds) != pacing.shownTime;
}

int MillisecondsUntilDue(const FramePacing& pacing, std::int64_t nowMilliseconds) {
    if (FrameDue(pacing, nowMilliseconds)) return 0;
    const std::int64_t intoSecond =
        nowMilliseconds - SecondOf(nowMilliseconds) * MillisecondsPerSecond;
    return int(MillisecondsPerSecond - intoSecond);
}

void NoteFrameDrawn(FramePacing& pacing, std::int64_t shownTime, bool moving) {
    pacing.shownTime = shownTime;
    pacing.moving = moving;
    pacing.invalidated = false;
}
