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

// A close needs no password up to the grace period's last millisecond, boundary
// included, and asks from the next; elapsed time is counted in 32-bit ticks.
TEST(DecideClose, TheGracePeriodEndsOnItsLastMillisecondWhateverWraps) {
    struct Case {
        const char* what;
        std::uint32_t startTick, passwordDelay, lastFreeTick;
    };
    const Case cases[] = {
        {"the default 15 s", 1000, kDefaultPasswordDelay, 1000 + 15000},
        {"across the tick's wrap, started 4096 ms before it", 0xFFFFF000u, kDefaultPasswordDelay,
         15000u - 4096u},
        // 4294968 s * 1000 = 2^32 + 704 ms: the grace period is 704 ms, not 49 days.
        {"a delay whose milliseconds wrap", 0, 4294968u, 704},
        {"no delay: the first millisecond only", 5000, 0, 5000},
    };
    for (const Case& c : cases) {
        SaverSettings settings = Requested(c.startTick);
        settings.passwordDelay = c.passwordDelay;
        EXPECT_EQ(DecideClose(settings, RunMode::Saver, c.startTick), CloseDecision::Destroy)
            << c.what;
        EXPECT_EQ(DecideClose(settings, RunMode::Saver, c.lastFreeTick), CloseDecision::Destroy)
            << c.what;
        EXPECT_EQ(DecideClose(settings, RunMode::Saver, c.lastFreeTick + 1),
                  CloseDecision::AskPassword)
            << c.what;
    }
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
    // Each axis on its own: 40 and 40 is about 57 pixels along the diagonal.
    EXPECT_FALSE(TravelRequestsClose(settings, RunMode::Saver, {512 + 40, 384 + 40}));
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
