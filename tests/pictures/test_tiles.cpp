#include "tests/pictures/test_tiles.h"

#include <algorithm>
#include <cmath>

#include "tests/support/bitmap_writer.h"

namespace {

constexpr int AngleClasses = 32;
constexpr double ClassWidth = 90.0 / AngleClasses;  // degrees
constexpr double Pi = 3.14159265358979323846;
// A class is read only this close to its centre, in class widths; rounding of an
// 8-bit channel of 40 moves the angle by under a quarter of a class.
constexpr double ClassTolerance = 0.35;
// Below this, the angle of an 8-bit colour is too coarse to tell classes apart.
constexpr int DarkestReadable = 40;
// Blue of a lit texel never falls below 255 x 0.08 (the ambient floor of blue).
constexpr int BlueOn = 10;

int AngleClass(const TileQuarter& q) {
    const int tile = (q.night ? 8 : 0) + (q.row - 1) * 4 + (q.column - 1);
    return tile * 2 + (q.north ? 1 : 0);
}

}  // namespace

bool operator==(const TileQuarter& a, const TileQuarter& b) {
    return a.night == b.night && a.row == b.row && a.column == b.column && a.north == b.north &&
           a.east == b.east;
}

std::string Describe(const TileQuarter& q) {
    std::string text = q.night ? "n" : "d";
    text += char('0' + q.row);
    text += char('0' + q.column);
    text += q.north ? " north" : " south";
    text += q.east ? "-east" : "-west";
    return text;
}

void QuarterColour(const TileQuarter& q, std::uint8_t& red, std::uint8_t& green,
                   std::uint8_t& blue) {
    const double angle = (AngleClass(q) + 0.5) * ClassWidth * Pi / 180.0;
    const double c = std::cos(angle), s = std::sin(angle), top = std::max(c, s);
    red = std::uint8_t(std::lround(255.0 * c / top));
    green = std::uint8_t(std::lround(255.0 * s / top));
    blue = q.east ? 255 : 0;
}

bool DecodeQuarter(std::uint8_t red, std::uint8_t green, std::uint8_t blue, TileQuarter& q) {
    if (std::max(red, green) < DarkestReadable) return false;
    const double angle = std::atan2(double(green), double(red)) * 180.0 / Pi;
    const double position = angle / ClassWidth - 0.5;
    const long index = std::lround(position);
    if (index < 0 || index >= AngleClasses || std::fabs(position - index) > ClassTolerance)
        return false;
    const int tile = int(index) / 2;
    q.night = tile >= 8;
    q.row = (tile % 8) / 4 + 1;
    q.column = tile % 4 + 1;
    q.north = index % 2 == 1;
    q.east = blue >= BlueOn;
    return true;
}

bool WriteTestTiles(const std::string& folder, int size) {
    for (int night = 0; night < 2; ++night) {
        for (int row = 1; row <= 2; ++row) {
            for (int column = 1; column <= 4; ++column) {
                // Bitmap rows run bottom up, as texture t does: y = 0 is the southern edge.
                const auto colourAt = [&](int x, int y) {
                    const TileQuarter q{night == 1, row, column, 2 * y >= size, 2 * x >= size};
                    Rgb c{};
                    QuarterColour(q, c.r, c.g, c.b);
                    return c;
                };
                const std::string name =
                    std::string(night ? "n" : "d") + char('0' + row) + char('0' + column) + ".bmp";
                if (!WriteBytes(folder + name, Bitmap24(size, size, colourAt))) return false;
            }
        }
    }
    return WriteBytes(folder + "tex.tex", Bytes{});
}
