// The snapshot tool's command line, its angles of the globe, and the test tiles' code.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "globe_angles.h"
#include "snapshot_options.h"
#include "tests/pictures/test_tiles.h"
#include "view/camera_frame.h"

namespace {

bool Parse(std::vector<const char*> arguments, SnapshotOptions& options,
           std::string* error = nullptr) {
    arguments.insert(arguments.begin(), "solvane-snapshot");
    char text[256];
    const bool ok =
        ParseSnapshotOptions(int(arguments.size()), arguments.data(), options, text, sizeof text);
    if (error != nullptr) *error = text;
    return ok;
}

TEST(SnapshotOptions, ReadsEveryOptionAndKeepsTheDefaults) {
    SnapshotOptions options;
    ASSERT_TRUE(
        Parse({"--textures", "t", "--utc", "2026-12-22T12:00:00Z", "--out", "o.png"}, options));
    EXPECT_EQ(options.width, 1024);
    EXPECT_EQ(options.height, 768);
    EXPECT_EQ(options.frames, 2);
    EXPECT_FALSE(options.lookAt);
    EXPECT_STREQ(options.hold, "");
    EXPECT_FALSE(options.info);
    EXPECT_EQ(options.look, Look::Classic);

    ASSERT_TRUE(Parse({"--out", "o.png", "--size", "640x480", "--frames", "5", "--look-at",
                       "-33.5,151.25", "--info", "--utc", "1970-01-01T00:00:00Z", "--textures", "t",
                       "--hold", "8*.", "--look", "natural"},
                      options));
    EXPECT_EQ(options.width, 640);
    EXPECT_EQ(options.height, 480);
    EXPECT_EQ(options.frames, 5);
    EXPECT_TRUE(options.lookAt);
    EXPECT_DOUBLE_EQ(options.lookLatitude, -33.5);
    EXPECT_DOUBLE_EQ(options.lookLongitude, 151.25);
    EXPECT_TRUE(options.info);
    EXPECT_EQ(options.utcSeconds, 0);
    EXPECT_STREQ(options.hold, "8*.");
    EXPECT_EQ(options.look, Look::Natural);
}

TEST(SnapshotOptions, KeypadLabelsNameTheKeypadKeys) {
    EXPECT_EQ(KeypadKey('0'), 0x60);
    EXPECT_EQ(KeypadKey('6'), 0x66);
    EXPECT_EQ(KeypadKey('9'), 0x69);
    EXPECT_EQ(KeypadKey('*'), 0x6A);
    EXPECT_EQ(KeypadKey('.'), 0x6E);
    EXPECT_EQ(KeypadKey('/'), 0x6F);
    for (const char other : {'+', '-', 'a', ' ', ',', '\0'})
        EXPECT_EQ(KeypadKey(other), -1) << other;
}

TEST(SnapshotOptions, RejectsMalformedValuesWithAReason) {
    const char* const base[] = {"--textures",           "t",     "--utc",
                                "2026-12-22T12:00:00Z", "--out", "o.png"};
    const std::vector<std::vector<const char*>> extras = {
        {"--size", "0x480"},    {"--size", "640x"},
        {"--size", "x480"},     {"--size", "640*480"},
        {"--size", "9000x10"},  {"--size", "-640x480"},
        {"--frames", "0"},      {"--frames", "two"},
        {"--frames", "3 "},     {"--look-at", "10"},
        {"--look-at", "10,"},   {"--look-at", "90.5,0"},
        {"--look-at", "0,nan"}, {"--look-at", "0x10,5"},
        {"--look-at", "1,2,3"}, {"--utc"},
        {"--hold", ""},         {"--hold", "6+"},
        {"--hold", "6 4"},      {"--verbose"},
        {"--look", "Natural"},  {"--look", ""},
    };
    for (const auto& extra : extras) {
        std::vector<const char*> arguments(std::begin(base), std::end(base));
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        SnapshotOptions options;
        std::string error;
        EXPECT_FALSE(Parse(arguments, options, &error))
            << extra[0] << " " << (extra.size() > 1 ? extra[1] : "");
        EXPECT_FALSE(error.empty());
    }
    SnapshotOptions options;
    std::string error;
    EXPECT_FALSE(Parse({"--textures", "t", "--utc", "2026-12-22T12:00:00Z"}, options, &error));
    EXPECT_NE(error.find("required"), std::string::npos);
    EXPECT_TRUE(Parse({"--help"}, options));
    EXPECT_TRUE(options.help);

    // The first frame aligns the camera: one placed or steered before it would not show.
    for (const char* option : {"--look-at", "--hold"}) {
        const char* value = option[2] == 'l' ? "10,20" : "6";
        EXPECT_FALSE(Parse({"--textures", "t", "--utc", "2026-12-22T12:00:00Z", "--out", "o.png",
                            "--frames", "1", option, value},
                           options, &error));
        EXPECT_NE(error.find("--frames 2"), std::string::npos) << error;
        EXPECT_TRUE(Parse({"--textures", "t", "--utc", "2026-12-22T12:00:00Z", "--out", "o.png",
                           "--frames", "2", option, value},
                          options));
    }
}

TEST(SnapshotOptions, UtcMomentsCountCalendarDaysExactly) {
    std::int64_t seconds = -1;
    ASSERT_TRUE(ParseUtcMoment("2026-12-22T12:00:00Z", seconds));
    EXPECT_EQ(seconds, 1797940800);
    ASSERT_TRUE(ParseUtcMoment("2000-03-01T00:00:00Z", seconds));  // after a 400-year leap day
    EXPECT_EQ(seconds, 951868800);
    ASSERT_TRUE(ParseUtcMoment("2028-02-29T23:59:59Z", seconds));
    EXPECT_EQ(seconds, 1835481599);
    for (const char* bad : {"2026-02-29T12:00:00Z", "2100-02-29T00:00:00Z", "1969-12-31T23:59:59Z",
                            "2026-13-01T00:00:00Z", "2026-12-22T24:00:00Z", "2026-12-22T12:60:00Z",
                            "2026-12-22T12:00:60Z", "2026-12-22 12:00:00Z", "2026-12-22T12:00:00",
                            "2026-12-22T12:00:00+01", "2026-1-22T12:00:00Z", ""})
        EXPECT_FALSE(ParseUtcMoment(bad, seconds)) << bad;
}

CameraFrame Frame(Vec3 forward, Vec3 up, Vec3 right) {
    return {{0, 0, 0}, forward, up, right, 45};
}

// With the SunFrame at the world axes the globe's (1, 0, 0), latitude 0 longitude 180,
// faces the light. With the frame the Sun model gives at noon UTC on 22 December
// (tilt 23 degrees, forward (-cos 23, -sin 23, 0)) it is latitude -23, longitude 0.
TEST(GlobeAngles, SubsolarPointFollowsTheSunFrame) {
    GlobePoint point = SubsolarPoint(Frame({1, 0, 0}, {0, 1, 0}, {0, 0, 1}));
    EXPECT_NEAR(point.latitude, 0, 1e-6);
    EXPECT_NEAR(std::fabs(point.longitude), 180, 1e-6);

    const double tilt = 23 * 3.14159265358979323846 / 180;
    const CameraFrame noon = Frame({float(-std::cos(tilt)), float(-std::sin(tilt)), 0},
                                   {float(-std::sin(tilt)), float(std::cos(tilt)), 0}, {0, 0, 1});
    point = SubsolarPoint(noon);
    EXPECT_NEAR(point.latitude, -23, 1e-4);
    EXPECT_NEAR(point.longitude, 0, 1e-4);
}

// Placing the camera and reading back the point beneath it agree, north is up on the
// view and the view's right is east, also with a mirror-image SunFrame like the one
// the Sun model builds (right = up x forward).
TEST(GlobeAngles, CameraPlacedAboveAPointLooksDownWithNorthUpAndEastRight) {
    const double tilt = 23 * 3.14159265358979323846 / 180;
    const CameraFrame sun = Frame({float(-std::cos(tilt)), float(-std::sin(tilt)), 0},
                                  {float(-std::sin(tilt)), float(std::cos(tilt)), 0}, {0, 0, 1});
    for (const GlobePoint p : {GlobePoint{0, 0}, GlobePoint{-33.5, 151.25}, GlobePoint{60, -100},
                               GlobePoint{-89.9, 10}}) {
        CameraFrame camera = Frame({-1, 0, 0}, {0, 1, 0}, {0, 0, -1});
        PlaceCameraAbove(camera, sun, p.latitude, p.longitude, 18000);
        double distance = 0;
        const GlobePoint beneath = PointBeneath(sun, camera, distance);
        EXPECT_NEAR(distance, 18000, 0.01);
        EXPECT_NEAR(beneath.latitude, p.latitude, 1e-3);
        EXPECT_NEAR(beneath.longitude, p.longitude, 1e-3);
        // Scene direction of a globe-frame vector.
        const auto scene = [&](Vec3 v) {
            return Vec3{v.x * sun.forward.x + v.y * sun.up.x + v.z * sun.right.x,
                        v.x * sun.forward.y + v.y * sun.up.y + v.z * sun.right.y,
                        v.x * sun.forward.z + v.y * sun.up.z + v.z * sun.right.z};
        };
        const auto dot = [](Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; };
        const Vec3 north = scene({0, 1, 0});
        // A step east of the point along its parallel.
        const Vec3 here = scene(GlobeNormal(p.latitude, p.longitude));
        const Vec3 eastward = scene(GlobeNormal(p.latitude, p.longitude + 1));
        const Vec3 step{eastward.x - here.x, eastward.y - here.y, eastward.z - here.z};
        EXPECT_GT(dot(camera.up, north), 0) << p.latitude << "," << p.longitude;
        EXPECT_GT(dot(camera.right, step), 0) << p.latitude << "," << p.longitude;
        EXPECT_NEAR(dot(camera.forward, here), -1, 1e-5);
        EXPECT_NEAR(dot(camera.up, camera.forward), 0, 1e-5);
    }
    // Above the pole itself the view still gets a definite up.
    CameraFrame camera = Frame({-1, 0, 0}, {0, 1, 0}, {0, 0, -1});
    PlaceCameraAbove(camera, sun, 90, 0, 18000);
    const double upLength = std::sqrt(camera.up.x * camera.up.x + camera.up.y * camera.up.y +
                                      camera.up.z * camera.up.z);
    EXPECT_NEAR(upLength, 1, 1e-5);
}

// Every quarter of every tile decodes to itself at full brightness, and still does
// when shaded to the night colour's 0.2 or a sunlit grey of 0.6 with blue scaled
// apart, as the renderer's modulation does.
TEST(TestTiles, EveryQuarterSurvivesShading) {
    for (int index = 0; index < 64; ++index) {
        const TileQuarter q{index >= 32, (index / 16) % 2 + 1, (index / 4) % 4 + 1,
                            (index / 2) % 2 == 1, index % 2 == 1};
        std::uint8_t r, g, b;
        QuarterColour(q, r, g, b);
        for (const double grey : {1.0, 0.6, 0.2}) {
            const double blue = grey == 0.2 ? 0.3 : grey;
            TileQuarter seen{};
            ASSERT_TRUE(DecodeQuarter(std::uint8_t(std::lround(r * grey)),
                                      std::uint8_t(std::lround(g * grey)),
                                      std::uint8_t(std::lround(b * blue)), seen))
                << Describe(q) << " at " << grey;
            EXPECT_EQ(Describe(seen), Describe(q)) << grey;
        }
    }
    TileQuarter seen{};
    EXPECT_FALSE(DecodeQuarter(0, 0, 0, seen));
    EXPECT_FALSE(DecodeQuarter(77, 77, 77, seen));  // the grey clock text
}

}  // namespace
