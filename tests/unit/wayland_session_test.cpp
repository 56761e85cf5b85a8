#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "front/wayland/session_logic.h"
#include "front/wayland/wayland_options.h"

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
    EXPECT_EQ(none.options.delayMicroseconds, PacedFrames);
    EXPECT_EQ(none.options.textures, nullptr);

    const Parsed all = Parse({"--textures", "/t", "-no-clock", "--fps", "-delay", "0"});
    ASSERT_TRUE(all.ok) << all.error;
    EXPECT_STREQ(all.options.textures, "/t");
    EXPECT_FALSE(all.options.clock);
    EXPECT_TRUE(all.options.fps);
    EXPECT_EQ(all.options.delayMicroseconds, 0);
    EXPECT_EQ(Parse({"--delay", "10000000"}).options.delayMicroseconds, 10000000);
    EXPECT_TRUE(Parse({"-h"}).options.help);
    EXPECT_EQ(none.options.look, Look::Classic);
    EXPECT_EQ(Parse({"--look", "natural"}).options.look, Look::Natural);
    EXPECT_EQ(Parse({"-look", "natural", "--look", "classic"}).options.look, Look::Classic);
}

TEST(WaylandOptions, RefusalsSayWhyInWhateverRoomThereIs) {
    for (const char* bad : {"10000001", "-1", "+5", "1e5", "5 ", "99999999999999999999"}) {
        const Parsed parsed = Parse({"--delay", bad});
        EXPECT_FALSE(parsed.ok) << bad;
        EXPECT_NE(parsed.error.find("is not a whole number"), std::string::npos) << parsed.error;
    }
    EXPECT_EQ(Parse({"--textures"}).error, "--textures needs a value");
    EXPECT_EQ(Parse({"--delay", ""}).error, "--delay needs a value");
    EXPECT_EQ(Parse({"--root"}).error, "unknown option '--root'");
    for (const char* bad : {"Natural", "", "nat"})
        EXPECT_EQ(Parse({"--look", bad}).error, "--look needs natural or classic") << bad;
    EXPECT_FALSE(Parse({"--look"}).ok);
    EXPECT_FALSE(Parse({"/usr/share/solvane/textures"}).ok);
    EXPECT_FALSE(Parse({"---fps"}).ok);

    const char* argv[] = {"solvane-wayland", "--a-long-unknown-option"};
    WaylandOptions options;
    char error[8];
    EXPECT_FALSE(ParseWaylandOptions(2, argv, options, error, sizeof error));
    EXPECT_STREQ(error, "unknown");
    EXPECT_FALSE(ParseWaylandOptions(2, argv, options, nullptr, 0));
}

TEST(BufferSize, ConfiguredLogicalSizeTimesTheOutputsScale) {
    const BufferSize plain = ChooseBufferSize(1024, 768, 1, 1024, 768);
    EXPECT_EQ(plain.width, 1024);
    EXPECT_EQ(plain.height, 768);
    EXPECT_EQ(plain.scale, 1);
    const BufferSize hidpi = ChooseBufferSize(1280, 800, 2, 2560, 1600);
    EXPECT_EQ(hidpi.width, 2560);
    EXPECT_EQ(hidpi.height, 1600);
    EXPECT_EQ(hidpi.scale, 2);
    // Scales no output has count as 1.
    for (int scale : {0, -2, 9}) EXPECT_EQ(ChooseBufferSize(800, 600, scale, 0, 0).scale, 1);
}

TEST(BufferSize, SidesLeftOpenTakeTheModeAndStayMultiplesOfTheScale) {
    const BufferSize open = ChooseBufferSize(0, 0, 2, 1921, 1081);
    EXPECT_EQ(open.width, 1920);
    EXPECT_EQ(open.height, 1080);
    const BufferSize halfOpen = ChooseBufferSize(700, 0, 1, 0, 0);
    EXPECT_EQ(halfOpen.width, 700);
    EXPECT_EQ(halfOpen.height, FallbackHeight);
    EXPECT_EQ(ChooseBufferSize(0, 0, 3, 0, 0).width, FallbackWidth * 3);
    const BufferSize huge = ChooseBufferSize(2000000000, 2000000000, 3, 0, 0);
    EXPECT_EQ(huge.width, MaxBufferSide - MaxBufferSide % 3);
    EXPECT_EQ(huge.height % 3, 0);
    EXPECT_EQ(ChooseBufferSize(-5, 1, 1, 0, 0).width, FallbackWidth);
}

TEST(PictureChanged, ASurfacesOwnNeedIsNoNewPicture) {
    constexpr std::int64_t Noon = 1797940800;
    FramePacing pacing;
    NoteFrameDrawn(pacing, Noon, false);
    pacing.invalidated = true;
    EXPECT_FALSE(PictureChanged(pacing, Noon * 1000 + 500));
    EXPECT_TRUE(PictureChanged(pacing, (Noon + 1) * 1000));
    pacing.moving = true;
    EXPECT_TRUE(PictureChanged(pacing, Noon * 1000 + 500));
}

TEST(PointerTravel, FromTheFirstPositionBeyondTheThresholdOrOntoAnotherOutput) {
    int first = 0, second = 0;
    PointerOrigin origin;
    EXPECT_FALSE(PointerTravelEnds(origin, &first, 500, 400));
    EXPECT_FALSE(PointerTravelEnds(origin, &first, 550, 350));
    EXPECT_FALSE(PointerTravelEnds(origin, &first, 530, 420));
    // Measured from the origin, not from report to report.
    EXPECT_TRUE(PointerTravelEnds(origin, &first, 560, 420));
    EXPECT_TRUE(PointerTravelEnds(origin, &first, 500, 349.5));
    EXPECT_TRUE(PointerTravelEnds(origin, &second, 500, 400));
}

}  // namespace
