#include "front/wayland/wayland_options.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace {

struct Parsed {
    bool ok;
    WaylandOptions options;
    std::string error;
};

Parsed Parse(std::initializer_list<const char*> arguments) {
    std::vector<const char*> argv{"solvane-wayland"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    Parsed parsed{};
    char error[256];
    parsed.ok =
        ParseWaylandOptions(int(argv.size()), argv.data(), parsed.options, error, sizeof error);
    parsed.error = error;
    return parsed;
}

TEST(WaylandOptions, DefaultsAndEveryOptionWithOneDashOrTwo) {
    const Parsed none = Parse({});
    ASSERT_TRUE(none.ok);
    EXPECT_TRUE(none.options.clock);
    EXPECT_FALSE(none.options.fps);
    EXPECT_EQ(none.options.delayMicroseconds, DefaultDelayMicroseconds);
    EXPECT_EQ(none.options.textures, nullptr);
    EXPECT_EQ(none.options.look, Look::Classic);
    EXPECT_EQ(Parse({"--look", "natural"}).options.look, Look::Natural);
    EXPECT_EQ(Parse({"-look", "natural", "--look", "classic"}).options.look, Look::Classic);

    const Parsed all = Parse({"--textures", "/t", "-no-clock", "--fps", "-delay", "0"});
    ASSERT_TRUE(all.ok) << all.error;
    EXPECT_STREQ(all.options.textures, "/t");
    EXPECT_FALSE(all.options.clock);
    EXPECT_TRUE(all.options.fps);
    EXPECT_EQ(all.options.delayMicroseconds, 0);
    EXPECT_EQ(Parse({"--delay", "10000000"}).options.delayMicroseconds, 10000000);
    const Parsed clouds = Parse({"--clouds", "live", "-clouds-url", "https://127.0.0.1:8/c.png"});
    ASSERT_TRUE(clouds.ok) << clouds.error;
    EXPECT_EQ(clouds.options.clouds, CloudMode::Live);
    EXPECT_STREQ(clouds.options.cloudsUrl, "https://127.0.0.1:8/c.png");
    EXPECT_EQ(Parse({"--clouds"}).error, "--clouds needs a value");
    EXPECT_FALSE(Parse({"--clouds-url", "ftp://127.0.0.1/c.png"}).ok);
    EXPECT_TRUE(Parse({"-h"}).options.help);
}

TEST(WaylandOptions, RefusalsSayWhyInWhateverRoomThereIs) {
    for (const char* bad : {"Natural", "", "nat"})
        EXPECT_EQ(Parse({"--look", bad}).error, "--look needs natural or classic") << bad;
    EXPECT_FALSE(Parse({"--look"}).ok);
    for (const char* bad : {"10000001", "-1", "+5", "1e5", "5 ", "99999999999999999999"}) {
        const Parsed parsed = Parse({"--delay", bad});
        EXPECT_FALSE(parsed.ok) << bad;
        EXPECT_NE(parsed.error.find("is not a whole number"), std::string::npos) << parsed.error;
    }
    EXPECT_EQ(Parse({"--textures"}).error, "--textures needs a value");
    EXPECT_EQ(Parse({"--delay", ""}).error, "--delay needs a value");
    EXPECT_EQ(Parse({"--root"}).error, "unknown option '--root'");
    EXPECT_FALSE(Parse({"/usr/share/solvane/textures"}).ok);
    EXPECT_FALSE(Parse({"---fps"}).ok);

    const char* argv[] = {"solvane-wayland", "--a-long-unknown-option"};
    WaylandOptions options;
    char error[8];
    EXPECT_FALSE(ParseWaylandOptions(2, argv, options, error, sizeof error));
    EXPECT_STREQ(error, "unknown");
    EXPECT_FALSE(ParseWaylandOptions(2, argv, options, nullptr, 0));
}

// At 150 % a 2560x1440 panel is 1707x960 logical pixels: the buffer is the panel's

// own size, not the integer ceiling's 3414x1920 shrunk by the compositor.

}  // namespace
