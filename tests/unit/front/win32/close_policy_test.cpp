#include "front/win32/close_policy.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

// A saver that has asked to close, created at `startTick`, with the default settings.
SaverSettings Requested(std::uint32_t startTick = 1000) {
    SaverSettings settings{};
    settings.passwordDelay = kDefaultPasswordDelay;
    settings.mouseThreshold = kDefaultMouseThreshold;
    settings.cursorOrigin = {512, 384};
    settings.startTick = startTick;
    settings.closeRequested = 1;
    return settings;
}

TEST(DecideClose, WithinGracePeriodBoundaryIncludedNeedsNoPassword) {
    const SaverSettings settings = Requested(1000);
    EXPECT_EQ(DecideClose(settings, RunMode::Saver, 1000), CloseDecision::Destroy);
    EXPECT_EQ(DecideClose(settings, RunMode::Saver, 1000 + 15000), CloseDecision::Destroy);
    EXPECT_EQ(DecideClose(settings, RunMode::Saver, 1000 + 15001), CloseDecision::AskPassword);
}

TEST(DecideClose, TickWrapAroundCountsElapsedTimeOnly) {
    const SaverSettings settings = Requested(0xFFFFF000u);  // 4096 ms before the wrap
    EXPECT_EQ(DecideClose(settings, RunMode::Saver, 0x00000010u), CloseDecision::Destroy);
    EXPECT_EQ(DecideClose(settings, RunMode::Saver, 15000u - 4096u), CloseDecision::Destroy);
    EXPECT_EQ(DecideClose(settings, RunMode::Saver, 15001u - 4096u), CloseDecision::AskPassword);
}

TEST(DecideClose, GraceProductWrapsInThirtyTwoBits) {
    SaverSettings settings = Requested(0);
    // 4294968 s * 1000 = 2^32 + 704 ms: the grace period is 704 ms, not 49 days.
    settings.passwordDelay = 4294968u;
    EXPECT_EQ(DecideClose(settings, RunMode::Saver, 704), CloseDecision::Destroy);
    EXPECT_EQ(DecideClose(settings, RunMode::Saver, 705), CloseDecision::AskPassword);
}

TEST(DecideClose, ZeroDelayAsksForEveryCloseAfterTheFirstMillisecond) {
    SaverSettings settings = Requested(5000);
    settings.passwordDelay = 0;
    EXPECT_EQ(DecideClose(settings, RunMode::Saver, 5000), CloseDecision::Destroy);
    EXPECT_EQ(DecideClose(settings, RunMode::Saver, 5001), CloseDecision::AskPassword);
}

TEST(DecideClose, SwallowedBeforeAnyRequestAndDuringThePrompt) {
    SaverSettings settings = Requested(0);
    settings.closeRequested = 0;
    EXPECT_EQ(DecideClose(settings, RunMode::Saver, 10), CloseDecision::Swallow);
    EXPECT_EQ(DecideClose(settings, RunMode::Saver, 60000), CloseDecision::Swallow);

    settings.closeRequested = 1;
    settings.checkingPassword = 1;
    EXPECT_EQ(DecideClose(settings, RunMode::Saver, 10), CloseDecision::Swallow);
    EXPECT_EQ(DecideClose(settings, RunMode::Saver, 60000), CloseDecision::Swallow);
}

TEST(DecideClose, OtherModesLeaveCloseToTheDefault) {
    SaverSettings settings = Requested(0);
    settings.closeRequested = 0;
    for (RunMode mode : {RunMode::Preview, RunMode::Configure, RunMode::None}) {
        EXPECT_EQ(DecideClose(settings, mode, 60000), CloseDecision::Default);
    }
}

TEST(TravelRequestsClose, ThresholdExactlyStaysOnePixelMoreCloses) {
    const SaverSettings settings = Requested();
    EXPECT_FALSE(TravelRequestsClose(settings, RunMode::Saver, {512, 384}));
    EXPECT_FALSE(TravelRequestsClose(settings, RunMode::Saver, {512 + 50, 384 - 50}));
    EXPECT_FALSE(TravelRequestsClose(settings, RunMode::Saver, {512 - 50, 384 + 50}));
    EXPECT_TRUE(TravelRequestsClose(settings, RunMode::Saver, {512 + 51, 384}));
    EXPECT_TRUE(TravelRequestsClose(settings, RunMode::Saver, {512 - 51, 384}));
    EXPECT_TRUE(TravelRequestsClose(settings, RunMode::Saver, {512, 384 + 51}));
    EXPECT_TRUE(TravelRequestsClose(settings, RunMode::Saver, {512, 384 - 51}));
}

TEST(TravelRequestsClose, EachAxisOnItsOwnNotTheDiagonal) {
    // 40 and 40 is about 57 pixels along the diagonal, yet under 50 on each axis.
    EXPECT_FALSE(TravelRequestsClose(Requested(), RunMode::Saver, {512 + 40, 384 + 40}));
}

TEST(TravelRequestsClose, NegativeThresholdClosesOnAnyReport) {
    SaverSettings settings = Requested();
    settings.mouseThreshold = -1;
    EXPECT_TRUE(TravelRequestsClose(settings, RunMode::Saver, settings.cursorOrigin));
}

TEST(TravelRequestsClose, ExtremeCoordinatesDoNotWrap) {
    SaverSettings settings = Requested();
    settings.cursorOrigin = {INT32_MIN, 0};
    EXPECT_TRUE(TravelRequestsClose(settings, RunMode::Saver, {INT32_MAX, 0}));
    settings.cursorOrigin = {0, INT32_MAX};
    EXPECT_TRUE(TravelRequestsClose(settings, RunMode::Saver, {0, INT32_MIN}));
}

TEST(InputPolicy, ThePromptAndOtherModesSwallowEveryCloseRequest) {
    SaverSettings prompting = Requested();
    prompting.checkingPassword = 1;
    const ScreenPoint far{5000, 5000};
    const std::uintptr_t inactive = 0;  // WA_INACTIVE, or another application took over

    EXPECT_FALSE(TravelRequestsClose(prompting, RunMode::Saver, far));
    EXPECT_FALSE(KeyOrButtonRequestsClose(prompting, RunMode::Saver, true));
    EXPECT_FALSE(ActivationRequestsClose(prompting, RunMode::Saver, inactive));
    EXPECT_FALSE(CursorHidden(prompting, RunMode::Saver));

    const SaverSettings running = Requested();
    EXPECT_FALSE(TravelRequestsClose(running, RunMode::Preview, far));
    EXPECT_FALSE(KeyOrButtonRequestsClose(running, RunMode::Preview, true));
    EXPECT_FALSE(ActivationRequestsClose(running, RunMode::Preview, inactive));
    EXPECT_FALSE(CursorHidden(running, RunMode::Preview));
    EXPECT_TRUE(CursorHidden(running, RunMode::Saver));
}

TEST(InputPolicy, OnlyTheSpaceBarClosesFromKeysAndButtons) {
    const SaverSettings settings = Requested();
    EXPECT_TRUE(KeyOrButtonRequestsClose(settings, RunMode::Saver, true));
    EXPECT_FALSE(KeyOrButtonRequestsClose(settings, RunMode::Saver, false));
}

TEST(InputPolicy, OnlyLossOfActivationCloses) {
    const SaverSettings settings = Requested();
    EXPECT_TRUE(ActivationRequestsClose(settings, RunMode::Saver, 0));
    // The high word of WM_ACTIVATE carries the minimised flag; only the low word counts.
    EXPECT_TRUE(ActivationRequestsClose(settings, RunMode::Saver, 0x00010000u));
    EXPECT_FALSE(ActivationRequestsClose(settings, RunMode::Saver, 1));  // WA_ACTIVE
    EXPECT_FALSE(ActivationRequestsClose(settings, RunMode::Saver, 2));  // WA_CLICKACTIVE
    EXPECT_FALSE(ActivationRequestsClose(settings, RunMode::Saver, 0x00010001u));
}

TEST(SystemCommandSwallowed, ScreenSaveCloseAndMonitorPowerInSaverOnly) {
    for (std::uintptr_t command : {kScScreenSaveCommand, kScCloseCommand, kScMonitorPowerCommand}) {
        EXPECT_TRUE(SystemCommandSwallowed(RunMode::Saver, command));
        EXPECT_FALSE(SystemCommandSwallowed(RunMode::Preview, command));
        // The whole wParam is compared: a set low bit is another command.
        EXPECT_FALSE(SystemCommandSwallowed(RunMode::Saver, command | 0x2));
    }
    EXPECT_FALSE(SystemCommandSwallowed(RunMode::Saver, 0xF020));  // SC_MINIMIZE
}

}  // namespace
