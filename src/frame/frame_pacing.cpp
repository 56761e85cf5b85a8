#include "frame/frame_pacing.h"

#include <algorithm>
#include <limits>

#include "clouds/cloud_layer.h"

namespace {

constexpr std::int64_t MillisecondsPerSecond = 1000;

// Rounded toward minus infinity, as ReadCalendarTime rounds.
std::int64_t SecondOf(std::int64_t milliseconds) {
    // Written so that no value overflows, the ends of the range included.
    return milliseconds / MillisecondsPerSecond -
           (milliseconds % MillisecondsPerSecond < 0 ? 1 : 0);
}

// The second a frame showed, held to the seconds that milliseconds can name: at the
// ends of the range the millisecond clock saturates, and a frame of a moment beyond
// it must still count as shown, or the pacing would spin.
std::int64_t ShownSecond(std::int64_t shownTime) {
    constexpr std::int64_t largest = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t smallest = std::numeric_limits<std::int64_t>::min();
    return std::min(std::max(shownTime, SecondOf(smallest)), SecondOf(largest));
}

}  // namespace

bool FrameDue(const FramePacing& pacing, std::int64_t nowMilliseconds) {
    // A cloud map fetched beside the loop shows at the next wake, at most a second
    // later, even while the clock stands (a test's, or one held by a debugger).
    return pacing.invalidated || pacing.moving || CloudPictureWaiting() ||
           SecondOf(nowMilliseconds) != ShownSecond(pacing.shownTime);
}

int MillisecondsUntilDue(const FramePacing& pacing, std::int64_t nowMilliseconds) {
    if (FrameDue(pacing, nowMilliseconds)) return 0;
    const std::int64_t intoSecond =
        (nowMilliseconds % MillisecondsPerSecond + MillisecondsPerSecond) % MillisecondsPerSecond;
    return int(MillisecondsPerSecond - intoSecond);
}

FrameDecision DecideFrame(const FramePacing& pacing, std::int64_t calendarMilliseconds,
                          std::int64_t monotonicMicroseconds, long delayMicroseconds) {
    FrameDecision decision;
    decision.showTime = SecondOf(calendarMilliseconds);
    FramePacing picture = pacing;
    picture.invalidated = false;
    decision.pictureChanged =
        delayMicroseconds <= 0 || pacing.keyPressed || FrameDue(picture, calendarMilliseconds);
    if (delayMicroseconds <= 0 || pacing.invalidated) {
        decision.draw = true;
        return decision;
    }
    // Both clocks may stand anywhere: differences are taken only within a delay's span.
    std::int64_t wait = 0;
    if (pacing.lastFrameEnd >= 0 && monotonicMicroseconds >= pacing.lastFrameEnd &&
        monotonicMicroseconds - pacing.lastFrameEnd < delayMicroseconds)
        wait = delayMicroseconds - (monotonicMicroseconds - pacing.lastFrameEnd);
    if (!decision.pictureChanged)
        wait = std::max<std::int64_t>(
            wait, std::int64_t(MillisecondsUntilDue(picture, calendarMilliseconds)) * 1000);
    if (wait <= 0) {
        decision.draw = true;
        return decision;
    }
    decision.waitMicroseconds = long(std::min<std::int64_t>(wait, MaxWaitMicroseconds));
    return decision;
}

void NoteFrameDrawn(FramePacing& pacing, std::int64_t shownTime, bool moving,
                    std::int64_t monotonicMicroseconds) {
    pacing.shownTime = shownTime;
    pacing.moving = moving;
    pacing.invalidated = false;
    pacing.keyPressed = false;
    pacing.lastFrameEnd = monotonicMicroseconds;
}
