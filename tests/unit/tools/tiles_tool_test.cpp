// Runs the real solvane-tiles on small synthetic maps and reads its tiles back
// through the saver's own loader.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/bitmap_writer.h"
#include "textures/bitmap_loader.h"

#ifdef SOLVANE_TILES_TOOL

namespace {

constexpr int MapWidth = 64;  // 5.625 degrees a pixel
constexpr int MapHeight = 32;

// A colour for every map pixel (column x, row y from the top) that tells it apart.
Rgb MapColour(int x, int y, std::uint8_t blue) {
    return {std::uint8_t(4 * x), std::uint8_t(8 * y), blue};
}

std::string WriteMap(const std::string& name, std::uint8_t blue, int width = MapWidth,
                     int height = MapHeight) {
    const std::string path = ScratchFolder() + name;
    // Bitmap rows are stored bottom first; the map's are counted from the top.
    WriteBytes(path, Bitmap24(width, height, [&](int x, int yFromBottom) {
                   return MapColour(x, height - 1 - yFromBottom, blue);
               }));
    return path;
}

int RunTool(const std::string& arguments) {
    const std::string command =
        std::string(SOLVANE_TILES_TOOL) + " " + arguments + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The tile as the saver would upload it: RGB rows bottom first, with padding.
struct Tile {
    int size = 0;
    std::size_t stride = 0;
    ByteBlock rgb;
    Rgb At(int column, int rowFromSouth) const {
        const std::uint8_t* p = &rgb[std::size_t(rowFromSouth) * stride + 3 * std::size_t(column)];
        return {p[0], p[1], p[2]};
    }
};

Tile LoadTile(const std::string& path) {
    Tile tile;
    ByteBlock header;
    const auto pixels = LoadBitmapFile(path.c_str(), header);
    if (!pixels) return tile;
    const auto rgb = ConvertToRgb(header, *pixels);
    if (!rgb || BitmapWidth(header) != BitmapHeight(header)) return tile;
    tile.size = BitmapWidth(header);
    tile.stride = (3 * std::size_t(tile.size) + 3) / 4 * 4;
    tile.rgb = *rgb;
    return tile;
}

void ExpectColour(const Rgb& actual, const Rgb& expected, const std::string& where) {
    EXPECT_EQ(actual.r, expected.r) << where;
    EXPECT_EQ(actual.g, expected.g) << where;
    EXPECT_EQ(actual.b, expected.b) << where;
}

class TilesToolTest : public ::testing::Test {
  protected:
    void SetUp() override {
        day = WriteMap("day.bmp", 0x11);
        night = WriteMap("night.bmp", 0xEE);
        out = ScratchFolder() + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::remove_all(out);
    }
    std::string day, night, out;
};

TEST_F(TilesToolTest, KnownPlaceLandsOnItsTexel) {
    ASSERT_EQ(RunTool("--size 16 " + day + " " + night + " " + out), 0);
    EXPECT_TRUE(std::filesystem::exists(out + "/tex.tex"));

    // 10 N, 20 E: map column (20 + 180) / 5.625 = 35.6, row (90 - 10) / 5.625 = 14.2.
    // In tile 13 (north, [0, 90)): column 20 / 5.625 = 3.6, row from the equator 1.8.
    const Tile tile = LoadTile(out + "/d13.bmp");
    ASSERT_EQ(tile.size, 16);
    ExpectColour(tile.At(3, 1), MapColour(35, 14, 0x11), "d13");
    ExpectColour(LoadTile(out + "/n13.bmp").At(3, 1), MapColour(35, 14, 0xEE), "n13");
}

TEST_F(TilesToolTest, EveryTileIsTheMapTheRightWayRound) {
    // One texel per map pixel: each tile must be an exact copy of its quarter.
    ASSERT_EQ(RunTool(day + " " + night + " " + out + " --size 16"), 0);
    for (const char letter : {'d', 'n'}) {
        const std::uint8_t blue = letter == 'd' ? 0x11 : 0xEE;
        for (int row = 1; row <= 2; ++row) {
            for (int column = 1; column <= 4; ++column) {
                const std::string name =
                    std::string(1, letter) + char('0' + row) + char('0' + column) + ".bmp";
                const Tile tile = LoadTile(out + "/" + name);
                ASSERT_EQ(tile.size, 16) << name;
                for (int ty = 0; ty < 16; ++ty) {
                    for (int tx = 0; tx < 16; ++tx) {
                        const int mapX = (column - 1) * 16 + tx;
                        const int mapY = (row == 1 ? 15 : 31) - ty;  // south edge first
                        const Rgb want = MapColour(mapX, mapY, blue);
                        const Rgb got = tile.At(tx, ty);
                        if (got.r != want.r || got.g != want.g || got.b != want.b) {
                            ADD_FAILURE() << name << " texel " << tx << ", " << ty;
                            return;
                        }
                    }
                }
            }
        }
    }
}

TEST_F(TilesToolTest, SmallerTilesAverageTheMap) {
    // Two map pixels per texel each way: the texel is the mean of its four pixels.
    ASSERT_EQ(RunTool("--size 8 " + day + " " + night + " " + out), 0);
    const Tile tile = LoadTile(out + "/d21.bmp");
    ASSERT_EQ(tile.size, 8);
    // Texel (0, 0) of d21 is the south-west corner of the map: columns 0-1, rows 30-31.
    ExpectColour(tile.At(0, 0), {2, 244, 0x11}, "d21 corner");
}

TEST_F(TilesToolTest, LargerTilesInterpolateSmoothly) {
    ASSERT_EQ(RunTool("--size 64 " + day + " " + night + " " + out), 0);
    const Tile tile = LoadTile(out + "/d13.bmp");
    ASSERT_EQ(tile.size, 64);
    // Four texels per map pixel; 10 N, 20 E is texel (14.2, 7.1). Bilinear sampling
    // keeps it within one map step (4 in red, 8 in green) of the pixel it lies in.
    const Rgb got = tile.At(14, 7);
    const Rgb want = MapColour(35, 14, 0x11);
    EXPECT_NEAR(got.r, want.r, 4);
    EXPECT_NEAR(got.g, want.g, 8);
    EXPECT_EQ(got.b, 0x11);
}

TEST_F(TilesToolTest, BadInputFailsWithoutOutput) {
    const std::string square = WriteMap("square.bmp", 0, 32, 32);
    const std::string junk = ScratchFolder() + "junk.png";
    WriteBytes(junk, Bytes(100, 0x42));
    const std::string maps = day + " " + night + " ";
    EXPECT_NE(RunTool(square + " " + night + " " + out), 0) << "not 2:1";
    EXPECT_NE(RunTool(day + " " + junk + " " + out), 0) << "not an image";
    EXPECT_NE(RunTool(day + " " + ScratchFolder() + "missing.jpg " + out), 0);
    EXPECT_NE(RunTool(maps + out + " --size 24"), 0) << "not a power of two";
    EXPECT_NE(RunTool(maps + out + " --size 0"), 0);
    EXPECT_NE(RunTool(maps + out + " --size 16384"), 0);
    EXPECT_NE(RunTool(maps + out + " --size"), 0);
    EXPECT_NE(RunTool(maps), 0) << "no output folder";
    EXPECT_NE(RunTool(maps + out + " extra"), 0);
    // FlightGear's tiles: a folder without them, or maps given as well, are refused.
    EXPECT_EQ(RunTool("--flightgear " + ScratchFolder() + " " + out), 1) << "no world_N1.png";
    EXPECT_EQ(RunTool("--flightgear " + ScratchFolder() + " " + maps + out), 2);
    EXPECT_EQ(RunTool(out + " --flightgear"), 2);
    EXPECT_FALSE(std::filesystem::exists(out));
}

}  // namespace

#endif  // SOLVANE_TILES_TOOL
