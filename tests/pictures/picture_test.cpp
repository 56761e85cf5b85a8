// Pictures of the globe rendered by solvane-snapshot from the generated test tiles.
//
// Where a point of the Earth lands in the picture is predicted here independently of
// the renderer: true Earth-centred coordinates, a camera looking at the centre with
// north up and east to the right, and the saver's 45-degree perspective.
#include <gtest/gtest.h>
#include <stb_image.h>
#include <stb_image_write.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/pictures/test_tiles.h"
#include "tests/support/bitmap_writer.h"

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr int Width = 640;
constexpr int Height = 480;

struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;
    const std::uint8_t* At(int x, int y) const { return &rgb[(std::size_t(y) * width + x) * 3]; }
};

struct ToolRun {
    int status = -1;
    std::string output;  // stdout
    std::string errors;  // stderr
};

const std::string& TileFolder() {
    static const std::string folder = [] {
        const std::string path = ScratchFolder() + "tiles/";
        std::system(("mkdir -p '" + path + "'").c_str());
        return WriteTestTiles(path) ? path : std::string();
    }();
    return folder;
}

std::string Slurp(const std::string& path) {
    const Bytes bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

// Runs the tool with `arguments` (already quoted where needed) and the environment
// assignments of `environment`.
ToolRun Snapshot(const std::string& arguments, const std::string& environment = "TZ=UTC") {
    static int counter = 0;
    const std::string stem = ScratchFolder() + "run" + std::to_string(++counter);
    const std::string command = environment + " '" SNAPSHOT_PROGRAM "' " + arguments + " >'" +
                                stem + ".out' 2>'" + stem + ".err'";
    ToolRun run;
    const int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.output = Slurp(stem + ".out");
    run.errors = Slurp(stem + ".err");
    return run;
}

Picture Render(const std::string& moment, const std::string& extra, int width = Width,
               int height = Height) {
    static int counter = 0;
    const std::string png = ScratchFolder() + "picture" + std::to_string(++counter) + ".png";
    const ToolRun run = Snapshot("--textures '" + TileFolder() + "' --utc " + moment + " --size " +
                                 std::to_string(width) + "x" + std::to_string(height) + " " +
                                 extra + " --out '" + png + "'");
    Picture picture;
    EXPECT_EQ(run.status, 0) << run.errors;
    int channels = 0;
    std::unique_ptr<stbi_uc, void (*)(void*)> data(
        stbi_load(png.c_str(), &picture.width, &picture.height, &channels, 3), stbi_image_free);
    if (data == nullptr) {
        ADD_FAILURE() << "no readable PNG at " << png;
        return picture;
    }
    picture.rgb.assign(data.get(), data.get() + std::size_t(picture.width) * picture.height * 3);
    return picture;
}

std::map<std::string, double> InfoValues(const std::string& output) {
    std::map<std::string, double> values;
    std::size_t start = 0;
    while (start < output.size()) {
        std::size_t end = output.find('\n', start);
        if (end == std::string::npos) end = output.size();
        const std::string line = output.substr(start, end - start);
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos)
            values[line.substr(0, equals)] = std::atof(line.c_str() + equals + 1);
        start = end + 1;
    }
    return values;
}

struct Vec {
    double x, y, z;
};
double Dot(Vec a, Vec b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Vec Minus(Vec a, Vec b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

// Earth-centred, right-handed: x to (0, 0), y to (0, 90 east), z to the north pole.
Vec Outward(double latitude, double longitude) {
    const double p = latitude * Pi / 180, l = longitude * Pi / 180;
    return {std::cos(p) * std::cos(l), std::cos(p) * std::sin(l), std::sin(p)};
}

struct Pixel {
    int x, y;
};

// Where the point (lat, lon) of the globe (radius 6000) appears when the camera stands
// 18000 above (lookLat, lookLon), not over a pole. Rows counted from the top.
Pixel Project(double lookLat, double lookLon, double latitude, double longitude) {
    const Vec out = Outward(lookLat, lookLon);
    const Vec camera{18000 * out.x, 18000 * out.y, 18000 * out.z};
    const Vec forward{-out.x, -out.y, -out.z};
    const double p = lookLat * Pi / 180, l = lookLon * Pi / 180;
    const Vec north{-std::sin(p) * std::cos(l), -std::sin(p) * std::sin(l), std::cos(p)};
    const Vec east{-std::sin(l), std::cos(l), 0};
    const Vec point = Outward(latitude, longitude);
    const Vec d = Minus({6000 * point.x, 6000 * point.y, 6000 * point.z}, camera);
    const double depth = Dot(d, forward);
    const double halfHeight = std::tan(22.5 * Pi / 180);
    const double aspect = double(Width) / Height;
    const double ndcX = Dot(d, east) / depth / (halfHeight * aspect);
    const double ndcY = Dot(d, north) / depth / halfHeight;
    return {int(std::floor((ndcX + 1) / 2 * Width)), int(std::floor((1 - ndcY) / 2 * Height))};
}

// The quarter of the test tiles that a pixel shows; fails the test when unreadable.
TileQuarter QuarterAt(const Picture& picture, Pixel at) {
    TileQuarter quarter{};
    if (at.x < 0 || at.y < 0 || at.x >= picture.width || at.y >= picture.height) {
        ADD_FAILURE() << "pixel (" << at.x << ", " << at.y << ") lies outside the picture";
        return quarter;
    }
    const std::uint8_t* c = picture.At(at.x, at.y);
    if (!DecodeQuarter(c[0], c[1], c[2], quarter))
        ADD_FAILURE() << "pixel (" << at.x << ", " << at.y << ") = " << int(c[0]) << ","
                      << int(c[1]) << "," << int(c[2]) << " shows no test tile";
    return quarter;
}

std::string LookAt(double latitude, double longitude) {
    char text[64];
    std::snprintf(text, sizeof text, "--look-at %.4f,%.4f", latitude, longitude);
    return text;
}

class PictureTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_FALSE(TileFolder().empty()) << "test tiles not written"; }
};

// For every tile of both sets: stand above its centre at a moment when the whole tile
// is on the expected side of the terminator (its row in summer for the day set, in
// winter for the night set, the Sun over its longitude or the opposite one), and read
// its four quarters at their centres. A wrong tile, a swapped set, or a tile drawn
// mirrored east-west or north-south reads as the wrong quarter.
TEST_F(PictureTest, EveryTileAppearsInItsPlaceTheRightWayRound) {
    for (int night = 0; night < 2; ++night) {
        for (int row = 1; row <= 2; ++row) {
            for (int column = 1; column <= 4; ++column) {
                const double centreLat = row == 1 ? 45 : -45;
                const double centreLon = -135 + 90 * (column - 1);
                // The lit point's longitude is about 180 - 15 x (UTC hour).
                const double sunLon = night ? centreLon + 180 : centreLon;
                const int hour = ((int(std::lround((180 - sunLon) / 15)) % 24) + 24) % 24;
                const bool northernSummer = (row == 1) != (night == 1);
                char moment[32];
                std::snprintf(moment, sizeof moment, "2026-%s-%sT%02d:00:00Z",
                              northernSummer ? "06" : "12", northernSummer ? "21" : "22", hour);
                const Picture picture = Render(moment, LookAt(centreLat, centreLon));
                if (picture.rgb.empty()) return;
                for (int north = 0; north < 2; ++north) {
                    for (int east = 0; east < 2; ++east) {
                        const TileQuarter expected{night == 1, row, column, north == 1, east == 1};
                        const Pixel at =
                            Project(centreLat, centreLon, centreLat + (north ? 22.5 : -22.5),
                                    centreLon + (east ? 22.5 : -22.5));
                        const TileQuarter seen = QuarterAt(picture, at);
                        EXPECT_EQ(Describe(seen), Describe(expected)) << "at " << moment;
                    }
                }
            }
        }
    }
}

// Looking down on the equator where the terminator crosses it: the evening one has
// the lit side to the west (left), the morning one to the east (right). Samples lie
// 30 degrees of longitude either side of it, well clear of the 5-degree steps in
// which the day and night tiles follow it.
TEST_F(PictureTest, TerminatorDividesTheDiscOnTheCorrectSides) {
    const std::string moment = "2026-03-20T12:00:00Z";
    const ToolRun info = Snapshot("--textures '" + TileFolder() + "' --utc " + moment +
                                  " --size 64x48 --info --out '" + ScratchFolder() + "info.png'");
    ASSERT_EQ(info.status, 0) << info.errors;
    const double sunLon = InfoValues(info.output)["subsolar_lon"];
    for (const double side : {90.0, -90.0}) {
        const double terminatorLon = sunLon + side;
        const Picture picture = Render(moment, LookAt(0, terminatorLon));
        if (picture.rgb.empty()) return;
        const TileQuarter west =
            QuarterAt(picture, Project(0, terminatorLon, 10, terminatorLon - 30));
        const TileQuarter east =
            QuarterAt(picture, Project(0, terminatorLon, 10, terminatorLon + 30));
        const bool evening = side > 0;
        EXPECT_EQ(west.night, !evening) << "west of the terminator at longitude " << terminatorLon;
        EXPECT_EQ(east.night, evening) << "east of the terminator at longitude " << terminatorLon;
    }
}

// The Natural look along a parallel across the evening terminator, inside one
// quarter of the test tiles (so the pictures themselves are flat): the brightness
// changes by no more than a few levels from one sample to the next, where Classic
// jumps at the edge of the 5-degree patch that turns to night. Where the Sun stands
// above the horizon the night picture adds nothing (the day quarter's little green
// stays); 13 degrees below it the night quarter shows in full.
TEST_F(PictureTest, NaturalTwilightHasNoPatchEdgesAndLightsComeOnByNauticalDusk) {
    const std::string moment = "2026-03-20T13:30:00Z";
    const ToolRun info = Snapshot("--textures '" + TileFolder() + "' --utc " + moment +
                                  " --size 64x48 --info --out '" + ScratchFolder() + "info.png'");
    ASSERT_EQ(info.status, 0) << info.errors;
    std::map<std::string, double> values = InfoValues(info.output);
    const Vec sun = Outward(values["subsolar_lat"], values["subsolar_lon"]);
    const double viewLon = 67.5, latitude = 20;
    std::uint8_t dayRed, dayGreen, dayBlue, nightRed, nightGreen, nightBlue;
    QuarterColour({false, 1, 3, false, true}, dayRed, dayGreen, dayBlue);
    QuarterColour({true, 1, 3, false, true}, nightRed, nightGreen, nightBlue);
    // The brightness along one row: a ramp is smooth from pixel to pixel, an edge is
    // a jump, so the largest second difference tells them apart.
    int largestBend[2] = {0, 0};
    const Pixel from = Project(0, viewLon, latitude, 48), to = Project(0, viewLon, latitude, 88);
    for (const int natural : {0, 1}) {
        const Picture picture =
            Render(moment, LookAt(0, viewLon) + (natural ? " --look natural" : ""));
        if (picture.rgb.empty()) return;
        const auto level = [&](int x) {
            const std::uint8_t* c = picture.At(x, from.y);
            return c[0] + c[1] + c[2];
        };
        for (int x = from.x + 1; x < to.x; ++x)
            largestBend[natural] = std::max(largestBend[natural],
                                            std::abs(level(x + 1) - 2 * level(x) + level(x - 1)));
        if (!natural) continue;
        for (double lon = 48; lon <= 88; lon += 0.25) {
            const std::uint8_t* c = picture.At(Project(0, viewLon, latitude, lon).x,
                                               Project(0, viewLon, latitude, lon).y);
            const double elevation = std::asin(Dot(Outward(latitude, lon), sun)) * 180 / Pi;
            if (elevation > 0.5 && elevation < 20 && c[0] >= 40) {
                EXPECT_LE(double(c[1]) / c[0], double(dayGreen) / dayRed + 0.02)
                    << "lights at a Sun elevation of " << elevation;
            }
            if (elevation < -13) {
                EXPECT_NEAR(c[0], nightRed, 3) << "at a Sun elevation of " << elevation;
                EXPECT_NEAR(c[1], nightGreen, 3) << "at a Sun elevation of " << elevation;
            }
        }
    }
    EXPECT_GT(largestBend[0], 40) << "Classic shows its patch edge";
    EXPECT_LE(largestBend[1], 12) << "Natural must show no step";
}

// Sirius, the brightest star, seen past the limb in the Natural look. Where it
// should stand is worked out here from the catalogue's J2000 place (right ascension
// 6h 45m 09s, declination -16 deg 42' 58"), the Sun's right ascension on the day
// (Meeus' low-precision Sun, taken back to J2000) and the picture's own Sun and
// axis (the subsolar point of --info): the star must land within 0.5 degrees.
TEST_F(PictureTest, NaturalStarsStandWhereTheCatalogueAndTheSunPutThemAndNeverOnTheGlobe) {
    const std::string moment = "2026-02-15T21:00:00Z";
    const double days = 20499.875 - 10957.5;  // from J2000.0 to the moment
    const double t = days / 36525;
    const double meanAnomaly = (357.52911 + 35999.05029 * t) * Pi / 180;
    const double longitude =
        (280.46646 + 36000.76983 * t + (1.914602 - 0.004817 * t) * std::sin(meanAnomaly) +
         0.019993 * std::sin(2 * meanAnomaly) - 1.397 * t) *
        Pi / 180;
    const double obliquity = 23.4393 * Pi / 180;
    const double sunRa = std::atan2(std::cos(obliquity) * std::sin(longitude), std::cos(longitude));

    const ToolRun info = Snapshot("--textures '" + TileFolder() + "' --utc " + moment +
                                  " --size 64x48 --info --out '" + ScratchFolder() + "info.png'");
    ASSERT_EQ(info.status, 0) << info.errors;
    std::map<std::string, double> values = InfoValues(info.output);
    const Vec sun = Outward(values["subsolar_lat"], values["subsolar_lon"]);
    // The equinox: the Sun's meridian turned back by the Sun's right ascension.
    const double sunMeridian = std::atan2(sun.y, sun.x) - sunRa;
    const Vec equinox{std::cos(sunMeridian), std::sin(sunMeridian), 0};
    const Vec ninety{-equinox.y, equinox.x, 0};
    const double ra = (6 + 45 / 60.0 + 9 / 3600.0) * 15 * Pi / 180;
    const double dec = -(16 + 42 / 60.0 + 58 / 3600.0) * Pi / 180;
    const Vec star{std::cos(dec) * (std::cos(ra) * equinox.x + std::sin(ra) * ninety.x),
                   std::cos(dec) * (std::cos(ra) * equinox.y + std::sin(ra) * ninety.y),
                   std::sin(dec)};
    const double focal = Height / 2 / std::tan(22.5 * Pi / 180);
    // Looking down `west` degrees west of the star, it shows right of the globe at 24
    // and lies behind the globe at 8 (the disc's edge is 19.5 degrees out).
    const auto look = [&](double west, double& expectedX, double& expectedY) {
        const double norm = std::hypot(star.x, star.y);
        const Vec east{-star.y / norm, star.x / norm, 0};
        const double c = std::cos(west * Pi / 180), s = std::sin(west * Pi / 180);
        const Vec view{c * star.x - s * east.x, c * star.y - s * east.y, c * star.z};
        const double lookLat = std::asin(-view.z) * 180 / Pi;
        const double lookLon = std::atan2(-view.y, -view.x) * 180 / Pi;
        // The star's pixel from its direction, with the camera of Project.
        const double p = lookLat * Pi / 180, l = lookLon * Pi / 180;
        const Vec forward{-std::cos(p) * std::cos(l), -std::cos(p) * std::sin(l), -std::sin(p)};
        const Vec north{-std::sin(p) * std::cos(l), -std::sin(p) * std::sin(l), std::cos(p)};
        const Vec right{-std::sin(l), std::cos(l), 0};
        const double depth = Dot(star, forward);
        expectedX = Width / 2.0 + focal * Dot(star, right) / depth;
        expectedY = Height / 2.0 - focal * Dot(star, north) / depth;
        return Render(moment, LookAt(lookLat, lookLon) + " --look natural --no-clock");
    };

    double expectedX = 0, expectedY = 0;
    const Picture behind = look(8, expectedX, expectedY);
    if (behind.rgb.empty()) return;
    // Nothing drawn before the globe may show through it, with or without a depth
    // buffer: no pixel there stands out from the ground 8 pixels either side.
    for (int y = int(expectedY) - 2; y <= int(expectedY) + 2; ++y)
        for (int x = int(expectedX) - 2; x <= int(expectedX) + 2; ++x) {
            int spike = 0;
            for (int k = 0; k < 3; ++k) {
                const int centre = behind.At(x, y)[k];
                spike = std::max(spike, std::min(std::abs(centre - behind.At(x - 8, y)[k]),
                                                 std::abs(centre - behind.At(x + 8, y)[k])));
            }
            EXPECT_LE(spike, 16) << "a star shows through the globe at (" << x << ", " << y << ")";
        }

    const Picture picture = look(24, expectedX, expectedY);
    if (picture.rgb.empty()) return;
    // The brightest stars are drawn 3 pixels wide at full strength.
    double sumX = 0, sumY = 0, count = 0;
    for (int y = int(expectedY) - 30; y <= int(expectedY) + 30; ++y)
        for (int x = int(expectedX) - 30; x <= int(expectedX) + 30; ++x) {
            if (x < 0 || y < 0 || x >= Width || y >= Height) continue;
            if (picture.At(x, y)[2] < 200) continue;
            sumX += x + 0.5;
            sumY += y + 0.5;
            ++count;
        }
    ASSERT_GT(count, 0) << "no bright star near (" << expectedX << ", " << expectedY << ")";
    const double dx = sumX / count - expectedX, dy = sumY / count - expectedY;
    // Pixels to degrees at that distance from the centre of the view.
    const double offAxis =
        std::atan(std::hypot(expectedX - Width / 2.0, expectedY - Height / 2.0) / focal);
    const double degrees =
        std::hypot(dx, dy) * std::cos(offAxis) * std::cos(offAxis) / focal * 180 / Pi;
    EXPECT_LT(degrees, 0.5) << "Sirius is " << dx << ", " << dy << " pixels off";
    EXPECT_LE(count, 16) << "more than one star's worth of bright pixels";
}

// The axis leans toward the Sun in June and away in December: above the evening
// terminator on the equator, the region near the north pole is lit in June and dark
// in December, and the south polar region the other way round.
TEST_F(PictureTest, PolesAreLitByTheSeason) {
    struct Case {
        const char* moment;
        bool northLit;
    };
    for (const Case c : {Case{"2026-06-21T12:00:00Z", true}, Case{"2026-12-22T12:00:00Z", false}}) {
        const ToolRun info =
            Snapshot("--textures '" + TileFolder() + "' --utc " + c.moment +
                     " --size 64x48 --info --out '" + ScratchFolder() + "info.png'");
        ASSERT_EQ(info.status, 0) << info.errors;
        const double lookLon = InfoValues(info.output)["subsolar_lon"] + 90;
        const Picture picture = Render(c.moment, LookAt(0, lookLon));
        if (picture.rgb.empty()) return;
        EXPECT_EQ(QuarterAt(picture, Project(0, lookLon, 60, lookLon)).night, !c.northLit)
            << c.moment;
        EXPECT_EQ(QuarterAt(picture, Project(0, lookLon, -60, lookLon)).night, c.northLit)
            << c.moment;
    }
}

// Grey pixels (the clock text's 0.3 grey) in the bottom left, rows 22 to 24 of the
// 25-row text grid and the first 16 of its 80 columns, and anywhere else.
struct GreyCount {
    int bottomLeft = 0, elsewhere = 0;
};

GreyCount CountGrey(const Picture& picture) {
    GreyCount count;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const std::uint8_t* c = picture.At(x, y);
            if (!(c[0] > 40 && c[0] == c[1] && c[1] == c[2])) continue;
            if (y >= picture.height * 22 / 25 && x < picture.width / 5)
                ++count.bottomLeft;
            else
                ++count.elsewhere;
        }
    }
    return count;
}

// The default picture is the saver's view after its first-frame alignment: at noon
// UTC on 22 December with local time UTC, the camera stands above 23 south, 15 west,
// in the eastern half of the day tile south of the equator and west of Greenwich, on
// a black background.
TEST_F(PictureTest, DefaultPictureShowsTheAlignedGlobe) {
    const Picture picture = Render("2026-12-22T12:00:00Z", "");
    if (picture.rgb.empty()) return;
    const TileQuarter centre = QuarterAt(picture, {Width / 2, Height / 2});
    EXPECT_EQ(Describe(centre), "d22 north-east");
    const std::uint8_t* corner = picture.At(Width - 1, 0);
    EXPECT_EQ(int(corner[0]) + corner[1] + corner[2], 0) << "background is not black";
}

// The clock text is drawn in grey at the bottom left and nowhere else: on the first
// frame, and after the alignment at an equinox, when the Camera's axes are square.
TEST_F(PictureTest, ClockTextSitsAtTheBottomLeft) {
    for (const std::string& moment_frames :
         {std::string("2026-12-22T12:00:00Z --frames 1"), std::string("2026-09-22T12:00:00Z")}) {
        const Picture picture = Render(moment_frames, "");
        if (picture.rgb.empty()) return;
        const GreyCount grey = CountGrey(picture);
        EXPECT_GT(grey.bottomLeft, 50) << moment_frames;
        EXPECT_EQ(grey.elsewhere, 0) << moment_frames;
    }
}

// Grey pixels in the middle of a cell of the 80 x 25 text grid. In perspective the
// grid spans T x 45 / 180 = 0.405 of the plane's half-size, where the view shows
// tan(22.5 degrees) = 0.414 of it (T is the tangent of 45 radians): centred, 97.8%
// of the picture's width and height.
int GreyInCell(const Picture& picture, int row, int column) {
    const double span = 1.6197751905438615 * 45 / 180 / std::tan(22.5 * Pi / 180);
    const auto x = [&](double c) { return picture.width / 2.0 * (1 + span * (c - 40) / 40); };
    const auto y = [&](double r) { return picture.height / 2.0 * (1 - span * (12.5 - r) / 12.5); };
    int count = 0;
    for (int py = int(y(row)); py < int(y(row + 1)); ++py) {
        for (int px = int(x(column + 0.2)); px < int(x(column + 0.8)); ++px) {
            const std::uint8_t* c = picture.At(px, py);
            if (c[0] > 40 && c[0] == c[1] && c[1] == c[2]) ++count;
        }
    }
    return count;
}

// Every character of the clock that has a glyph shows in its own cell, on rows 23 and
// 24 from column 0.
void ExpectEveryGlyphInItsCell(const char* moment, const std::string (&lines)[2]) {
    const Picture picture = Render(moment, "--frames 1");
    if (picture.rgb.empty()) return;
    for (int line = 0; line < 2; ++line) {
        for (std::size_t column = 0; column < lines[line].size(); ++column) {
            const char c = lines[line][column];
            if (c == ' ' || c == ':') continue;
            EXPECT_GT(GreyInCell(picture, 23 + line, int(column)), 0)
                << moment << ": '" << c << "' of " << lines[line];
        }
    }
}

TEST_F(PictureTest, ClockTextShowsEveryCharacterInItsCell) {
    ExpectEveryGlyphInItsCell("2026-09-22T12:00:00Z", {"DATE:22 9 2026", "LOCAL:12 0 0"});
}

// Mesa 22.3 (llvmpipe, also under Wine) drops the line strips that follow a two-point
// strip and an empty glBegin/glEnd pair of the same mode. The glyph of "1" has two
// points and a space has none, so such a clock could lose everything after "1 ".
TEST_F(PictureTest, ClockTextShowsEveryCharacterAfterAOneAndASpace) {
    ExpectEveryGlyphInItsCell("2026-01-11T10:01:00Z", {"DATE:11 1 2026", "LOCAL:10 1 0"});
}

// After the first-frame alignment the Camera's up is the Earth's axis, which away from
// the equinoxes is not perpendicular to its forward. The view squares it in the
// look-at; the text must stay in place as well rather than tilt with the raw axes.
TEST_F(PictureTest, ClockTextStaysAtTheBottomLeftAtTheSolstices) {
    for (const char* moment : {"2026-06-21T12:00:00Z", "2026-12-22T12:00:00Z"}) {
        const Picture picture = Render(moment, "");
        if (picture.rgb.empty()) return;
        const GreyCount grey = CountGrey(picture);
        EXPECT_GT(grey.bottomLeft, 50) << moment;
        EXPECT_EQ(grey.elsewhere, 0) << moment;
    }
}

// A disc of the expected size, everywhere textured: no patch may be left black. In
// the Natural look (whose air and stars lie outside the disc) also on the first frame,
// whose camera is turned to the hour only after it has been projected, and on a larger
// screen, where the globe takes finer cells.
TEST_F(PictureTest, GlobeDiscIsFullyDrawn) {
    const std::string classic = LookAt(10, 40), natural = "--look natural --frames 1";
    for (const auto& [view, height] : {std::pair{classic, Height}, std::pair{natural, Height},
                                       std::pair{natural, 2 * Height}}) {
        const int width = height * Width / Height;
        const Picture picture = Render("2026-03-20T06:30:00Z", view, width, height);
        if (picture.rgb.empty()) return;
        // Angular radius asin(1/3) at 18000 units under a 45-degree vertical field.
        const double radius = std::tan(std::asin(1.0 / 3)) / std::tan(22.5 * Pi / 180) * height / 2;
        int black = 0, inside = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const double dx = x + 0.5 - width / 2.0, dy = y + 0.5 - height / 2.0;
                const double r = std::sqrt(dx * dx + dy * dy);
                const std::uint8_t* c = picture.At(x, y);
                const bool dark = c[0] == 0 && c[1] == 0 && c[2] == 0;
                if (r < radius - 2) {
                    ++inside;
                    if (dark) ++black;
                } else if (r > radius + 2 && y < height * 22 / 25 && view == classic) {
                    EXPECT_TRUE(dark) << "pixel (" << x << ", " << y << ") outside the disc is lit";
                    if (!dark) return;
                }
            }
        }
        EXPECT_GT(inside, 100000) << view;
        EXPECT_EQ(black, 0) << view;
    }
}

}  // namespace

namespace {

// The lit point for moments whose answer is known from the Sun's model, and where the
// camera stands after the first-frame alignment, which turns it by the local hour.
TEST_F(PictureTest, InfoReportsTheLitPointAndTheAlignedCamera) {
    struct Case {
        const char* moment;
        const char* environment;
        double sunLat, sunLon, tolerance;  // degrees
        double cameraLon;
    };
    // "XXX-1" is POSIX for one hour ahead of UTC.
    for (const Case c : {Case{"2026-12-22T12:00:00Z", "TZ=UTC", -23, 0, 0.002, -15},
                         Case{"2026-12-22T12:00:00Z", "TZ=XXX-1", -23, 0, 0.002, 0},
                         Case{"2026-12-22T13:00:00Z", "TZ=UTC", -23, -15, 0.002, -15},
                         Case{"2026-06-21T12:00:00Z", "TZ=UTC", 22.99, 0.13, 0.01, -15 + 0.13}}) {
        const ToolRun run =
            Snapshot("--textures '" + TileFolder() + "' --utc " + c.moment +
                         " --size 32x32 --info --out '" + ScratchFolder() + "i.png'",
                     c.environment);
        ASSERT_EQ(run.status, 0) << run.errors;
        auto values = InfoValues(run.output);
        EXPECT_NEAR(values["subsolar_lat"], c.sunLat, c.tolerance) << c.moment;
        EXPECT_NEAR(values["subsolar_lon"], c.sunLon, c.tolerance) << c.moment;
        // The camera rides the lit point's parallel; the quarter-degree turn constant
        // and float rounding keep it within a hundredth of a degree.
        EXPECT_NEAR(values["camera_lat"], c.sunLat, 0.01) << c.moment << " " << c.environment;
        EXPECT_NEAR(values["camera_lon"], c.cameraLon, 0.05) << c.moment << " " << c.environment;
        EXPECT_NEAR(values["camera_distance"], 18000, 1.0);
    }
    const ToolRun placed = Snapshot("--textures '" + TileFolder() +
                                    "' --utc 2026-03-20T12:00:00Z --size 32x32 --info "
                                    "--look-at -33.5,151.25 --out '" +
                                    ScratchFolder() + "i.png'");
    ASSERT_EQ(placed.status, 0) << placed.errors;
    auto values = InfoValues(placed.output);
    EXPECT_NEAR(values["camera_lat"], -33.5, 0.01);
    EXPECT_NEAR(values["camera_lon"], 151.25, 0.01);
    EXPECT_NEAR(values["camera_distance"], 18000, 1.0);
}

// Keypad 4 and 6 circle the Earth's axis by 6 degrees a frame, in opposite senses, and
// 8 tilts the view toward a pole; each held through the two frames after the first.
TEST_F(PictureTest, HeldKeysTurnTheCamera) {
    const auto camera = [](const std::string& hold) {
        const ToolRun run =
            Snapshot("--textures '" + TileFolder() +
                     "' --utc 2026-03-20T12:00:00Z --size 32x32 --frames 3 --info " + hold +
                     " --out '" + ScratchFolder() + "held.png'");
        EXPECT_EQ(run.status, 0) << run.errors;
        return InfoValues(run.output);
    };
    auto still = camera(""), east = camera("--hold 6"), west = camera("--hold 4");
    auto tilted = camera("--hold 8");
    const auto turn = [](double from, double to) { return std::remainder(to - from, 360.0); };
    EXPECT_NEAR(std::fabs(turn(still["camera_lon"], east["camera_lon"])), 12, 0.05);
    EXPECT_NEAR(turn(still["camera_lon"], east["camera_lon"]),
                -turn(still["camera_lon"], west["camera_lon"]), 0.05);
    EXPECT_NEAR(east["camera_lat"], still["camera_lat"], 0.05);
    EXPECT_NEAR(std::fabs(tilted["camera_lat"] - still["camera_lat"]), 12, 0.05);
    EXPECT_NEAR(tilted["camera_distance"], 18000, 1.0);
}

// Bad arguments, unusable textures and a missing GL each end with status 2, a message
// on stderr and no picture.
TEST_F(PictureTest, RefusesWhatItCannotRender) {
    const std::string out = ScratchFolder() + "refused.png";
    const std::string good = "--textures '" + TileFolder() + "' --utc 2026-12-22T12:00:00Z";
    const std::string broken = ScratchFolder() + "broken/";
    std::system(("mkdir -p '" + broken + "' && cp '" + TileFolder() + "'*.bmp '" + broken +
                 "' && rm '" + broken + "n24.bmp'")
                    .c_str());
    const std::string truncated = ScratchFolder() + "truncated/";
    std::system(("mkdir -p '" + truncated + "' && cp '" + TileFolder() + "'*.bmp '" + truncated +
                 "' && head -c 100 '" + TileFolder() + "d11.bmp' >'" + truncated + "d11.bmp'")
                    .c_str());
    // Wider than llvmpipe's textures (16384) and any GL's today.
    const std::string oversized = ScratchFolder() + "oversized/";
    std::system(
        ("mkdir -p '" + oversized + "' && cp '" + TileFolder() + "'*.bmp '" + oversized + "'")
            .c_str());
    WriteBytes(oversized + "d23.bmp", Bitmap24(32768, 1, [](int, int) { return Rgb{9, 9, 9}; }));
    const std::string cases[] = {
        good,                                                            // no --out
        good + " --size 640x0",                                          // a zero side
        good + " --size 640",                                            // no height
        good + " --frames 0",                                            // no frame at all
        good + " --look-at 91,0",                                        // beyond the pole
        good + " --look-at 10",                                          // no longitude
        good + " --bogus",                                               // unknown
        "--textures '" + TileFolder() + "' --utc 2026-02-29T12:00:00Z",  // no such day
        "--textures '" + TileFolder() + "' --utc 1969-12-31T23:59:59Z",  // before 1970
        "--textures /nonexistent --utc 2026-12-22T12:00:00Z",
        "--textures '" + broken + "' --utc 2026-12-22T12:00:00Z",
        "--textures '" + truncated + "' --utc 2026-12-22T12:00:00Z",
        "--textures '/" + std::string(95, 'x') + "' --utc 2026-12-22T12:00:00Z",
        "--textures '" + oversized + "' --utc 2026-12-22T12:00:00Z",
    };
    for (const std::string& arguments : cases) {
        std::remove(out.c_str());
        const bool needsOut = arguments != good;
        const ToolRun run = Snapshot(arguments + (needsOut ? " --out '" + out + "'" : ""));
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_NE(run.errors.find("solvane-snapshot: "), std::string::npos) << arguments;
        EXPECT_FALSE(FileExists(out)) << arguments;
        if (arguments.find(oversized) != std::string::npos) {
            EXPECT_NE(run.errors.find("d23.bmp is 32768 x 1 pixels, more than this OpenGL takes"),
                      std::string::npos)
                << run.errors;
        }
    }
    // With no EGL vendor at all, libglvnd offers no display.
    std::remove(out.c_str());
    const ToolRun noGl =
        Snapshot("--textures '" + TileFolder() + "' --utc 2026-12-22T12:00:00Z --out '" + out + "'",
                 "TZ=UTC __EGL_VENDOR_LIBRARY_FILENAMES=/nonexistent.json");
    EXPECT_EQ(noGl.status, 2);
    EXPECT_NE(noGl.errors.find("OpenGL"), std::string::npos) << noGl.errors;
}

// A cloud map covering only the 20 degrees about the date line: there the layer shows
// white by day on both sides of the line alike and black by night, hiding the tile
// beneath; elsewhere the tiles show through untouched.
TEST_F(PictureTest, CloudsAreLitAsTheGroundAndJoinAtTheDateLine) {
    const int w = 2048, h = 1024;
    std::vector<std::uint8_t> map(std::size_t(w) * h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (x < w / 36 || x >= w - w / 36) map[std::size_t(y) * w + x] = 255;
    const std::string clouds = ScratchFolder() + "date-line-clouds.png";
    ASSERT_NE(stbi_write_png(clouds.c_str(), w, h, 1, map.data(), w), 0);
    const std::string look = LookAt(0, 180) + " --no-clock --clouds '" + clouds + "'";
    const Picture day = Render("2026-03-20T00:00:00Z", look);
    const Picture night = Render("2026-03-20T12:00:00Z", look);
    const Picture bare = Render("2026-03-20T12:00:00Z", LookAt(0, 180) + " --no-clock");
    ASSERT_FALSE(day.rgb.empty() || night.rgb.empty() || bare.rgb.empty());
    for (const double longitude : {172.0, 179.5, -179.5, -172.0}) {
        SCOPED_TRACE(longitude);
        const Pixel at = Project(0, 180, 10, longitude);
        const std::uint8_t* lit = day.At(at.x, at.y);
        for (int c = 0; c < 3; ++c) EXPECT_GT(lit[c], 200);
        EXPECT_LE(std::abs(int(lit[0]) - int(lit[2])), 8) << "white, not tinted by the tile";
        const std::uint8_t* dark = night.At(at.x, at.y);
        for (int c = 0; c < 3; ++c) EXPECT_LT(dark[c], 30);
        QuarterAt(bare, at);  // the night tile that the clouds hide
    }
    QuarterAt(night, Project(0, 180, 10, 160));  // clear sky: the tile shows
}

}  // namespace
