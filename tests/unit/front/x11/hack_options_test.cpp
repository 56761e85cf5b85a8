#include "front/x11/hack_options.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace {

struct Parsed {
    bool ok;
    HackOptions options;
    std::string error;
};

Parsed Parse(std::initializer_list<const char*> arguments) {
    std::vector<const char*> argv{"solvane"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    Parsed parsed{};
    char error[256];
    parsed.ok =
        ParseHackOptions(int(argv.size()), argv.data(), parsed.options, error, sizeof error);
    parsed.error = error;
    return parsed;
}

TEST(HackOptions, NothingGivenIsTheDefaults) {
    const Parsed parsed = Parse({});
    ASSERT_TRUE(parsed.ok);
    EXPECT_EQ(parsed.options.target, TargetKind::Unset);
    EXPECT_EQ(parsed.options.delayMicroseconds, DefaultDelayMicroseconds);
    EXPECT_FALSE(parsed.options.fps);
    EXPECT_TRUE(parsed.options.clock);
    EXPECT_EQ(parsed.options.textures, nullptr);
    EXPECT_EQ(parsed.options.display, nullptr);
}

TEST(HackOptions, OneDashOrTwoAsXScreenSaverWritesThem) {
    for (const char* root : {"-root", "--root"}) {
        const Parsed parsed = Parse({root, "--fps", "-delay", "20000", "--textures", "/t"});
        ASSERT_TRUE(parsed.ok) << root;
        EXPECT_EQ(parsed.options.target, TargetKind::Root);
        EXPECT_TRUE(parsed.options.fps);
        EXPECT_EQ(parsed.options.delayMicroseconds, 20000);
        EXPECT_STREQ(parsed.options.textures, "/t");
    }
    EXPECT_EQ(Parse({"--window"}).options.target, TargetKind::Own);
    EXPECT_STREQ(Parse({"-display", ":7"}).options.display, ":7");
    EXPECT_TRUE(Parse({"--help"}).options.help);
    // XScreenSaver's checkbox passes --no-clock when it is cleared; the last one counts.
    EXPECT_FALSE(Parse({"--no-clock"}).options.clock);
    EXPECT_TRUE(Parse({"-no-clock", "-clock"}).options.clock);
    EXPECT_EQ(Parse({}).options.clouds, CloudMode::NoClouds);
    const Parsed live = Parse({"-clouds", "live", "--clouds-url", "http://127.0.0.1:8/c.jpg"});
    ASSERT_TRUE(live.ok);
    EXPECT_EQ(live.options.clouds, CloudMode::Live);
    EXPECT_STREQ(live.options.cloudsUrl, "http://127.0.0.1:8/c.jpg");
    EXPECT_EQ(Parse({"--clouds", "still"}).options.clouds, CloudMode::Still);
    EXPECT_EQ(Parse({}).options.look, Look::Classic);
    EXPECT_EQ(Parse({"--natural"}).options.look, Look::Natural);
    EXPECT_EQ(Parse({"-natural", "-classic"}).options.look, Look::Classic);
}

TEST(HackOptions, TheLastWindowChoiceCounts) {
    EXPECT_EQ(Parse({"-root", "-window"}).options.target, TargetKind::Own);
    EXPECT_EQ(Parse({"-window", "-root"}).options.target, TargetKind::Root);
    const Parsed byId = Parse({"-root", "-window-id", "0x2a00003"});
    EXPECT_EQ(byId.options.target, TargetKind::WindowId);
    EXPECT_EQ(byId.options.windowId, 0x2a00003u);
}

TEST(HackOptions, DelayIsAWholeNumberOfMicrosecondsUpToTenSeconds) {
    EXPECT_EQ(Parse({"-delay", "0"}).options.delayMicroseconds, 0);
    EXPECT_EQ(Parse({"-delay", "10000000"}).options.delayMicroseconds, 10000000);
    for (const char* bad :
         {"10000001", "-1", "+5", "", "1e5", "20ms", "0x10", " 5", "99999999999999999999999"}) {
        const Parsed parsed = Parse({"-delay", bad});
        EXPECT_FALSE(parsed.ok) << "[" << bad << "]";
        EXPECT_NE(parsed.error.find("-delay"), std::string::npos) << parsed.error;
    }
}

TEST(HackOptions, RefusalsSayWhy) {
    const Parsed unknown = Parse({"-root", "-wireframe"});
    EXPECT_FALSE(unknown.ok);
    EXPECT_EQ(unknown.error, "unknown option '-wireframe'");
    // A single dash alone, or three, is no option either.
    EXPECT_FALSE(Parse({"-"}).ok);
    EXPECT_FALSE(Parse({"---root"}).ok);
    for (const char* valued : {"-window-id", "-delay", "-textures", "--display"}) {
        const Parsed missing = Parse({valued});
        EXPECT_FALSE(missing.ok) << valued;
        EXPECT_EQ(missing.error, std::string(valued) + " needs a value");
    }
    EXPECT_FALSE(Parse({"-textures", ""}).ok);
    EXPECT_FALSE(Parse({"-window-id", "root"}).ok);
    EXPECT_EQ(Parse({"-clouds", "sunny"}).error, "-clouds 'sunny' is not none, still or live");
    EXPECT_FALSE(Parse({"-clouds-url", "file:///etc/passwd"}).ok);
    EXPECT_FALSE(Parse({"-clouds"}).ok);
}

TEST(WindowId, DecimalOrHexWithSpaceAround) {
    std::uint64_t id = 0;
    ASSERT_TRUE(ParseWindowId("12582919", id));
    EXPECT_EQ(id, 12582919u);
    ASSERT_TRUE(ParseWindowId("0xC00007", id));
    EXPECT_EQ(id, 0xC00007u);
    ASSERT_TRUE(ParseWindowId(" 0x40000c \n", id));
    EXPECT_EQ(id, 0x40000cu);
    ASSERT_TRUE(ParseWindowId("0XFF", id));
    EXPECT_EQ(id, 0xFFu);
    ASSERT_TRUE(ParseWindowId("4294967295", id));
}

TEST(WindowId, AnythingElseIsNoWindowAndLeavesTheIdAlone) {
    for (const char* bad : {"", "   ", "0", "0x0", "0x", "x12", "-5", "+5", "12abc", "0x12g", "1 2",
                            "0x1ffffffffffffffff", "18446744073709551616", "0x100400007"}) {
        std::uint64_t id = 77;
        EXPECT_FALSE(ParseWindowId(bad, id)) << "[" << bad << "]";
        EXPECT_EQ(id, 77u) << "[" << bad << "]";
    }
    std::uint64_t id = 77;
    EXPECT_FALSE(ParseWindowId(nullptr, id));
}

// Where the hack draws, for each choice on the command line, with and without the
// daemon's window in the environment.
struct TargetRow {
    std::initializer_list<const char*> arguments;
    const char* environment;
    TargetKind kind;
    std::uint64_t window;
};

TEST(DrawTarget, FollowsXScreenSaversRules) {
    const TargetRow rows[] = {
        {{}, nullptr, TargetKind::Own, 0},
        {{}, "0x40000c", TargetKind::WindowId, 0x40000c},
        {{}, "junk", TargetKind::Own, 0},
        {{"-root"}, nullptr, TargetKind::Root, 0},
        {{"-root"}, "", TargetKind::Root, 0},
        {{"-root"}, "4194316", TargetKind::WindowId, 4194316},
        {{"-window"}, "0x40000c", TargetKind::Own, 0},
        {{"-window-id", "77"}, "0x40000c", TargetKind::WindowId, 77},
        {{"-window-id", "0x4d"}, nullptr, TargetKind::WindowId, 77},
    };
    for (const TargetRow& row : rows) {
        const Parsed parsed = Parse(row.arguments);
        ASSERT_TRUE(parsed.ok);
        const DrawTarget target = ChooseDrawTarget(parsed.options, row.environment);
        const std::string where = std::string(row.environment ? row.environment : "(unset)");
        EXPECT_EQ(target.kind, row.kind) << where;
        if (row.kind == TargetKind::WindowId) {
            EXPECT_EQ(target.window, row.window) << where;
        }
    }
}

TEST(WindowGone, OnlyAMissingWindowOrDrawableOfOurs) {
    // The core protocol's BadWindow 3, BadDrawable 9, BadValue 2 and BadMatch 8 (X11/X.h,
    // whose None gtest cannot live beside); GLX's errors count from its base.
    constexpr std::uint64_t window = 0x400007, glxWindow = 0x400009;
    constexpr int glx = 153;
    for (std::uint64_t resource : {window, glxWindow})
        for (int gone : {3, 9, glx + 2, glx + 12})
            EXPECT_TRUE(ErrorMeansWindowGone(gone, resource, window, glxWindow, glx)) << gone;
    for (int fault : {2, 8, glx + 0})
        EXPECT_FALSE(ErrorMeansWindowGone(fault, window, window, glxWindow, glx)) << fault;
    EXPECT_FALSE(ErrorMeansWindowGone(3, 0x600001, window, glxWindow, glx));
    EXPECT_FALSE(ErrorMeansWindowGone(2, window, window, glxWindow, 0));  // no GLX
}

}  // namespace
