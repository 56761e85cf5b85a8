// Texture tiles that say, in every pixel, which tile and which quarter of it they are.
//
// The patch renderer multiplies each texel by its vertex colour, and the vertex colour
// always has equal red and green (sunlit grey, ambient floor, or the night colour),
// while blue is scaled differently. So a tile is told by the angle atan2(green, red),
// which no shading changes, and one bit rides on whether blue is zero. Each of the
// sixteen tiles has two angle classes (south and north half) and the blue bit marks
// the east half: 64 distinguishable quarters in all.
#pragma once

#include <cstdint>
#include <string>

// Day or night set, row 1 (north) or 2 (south), column 1 (westernmost) to 4.
struct TileQuarter {
    bool night;
    int row;
    int column;
    bool north;  // the half with texture t >= 0.5
    bool east;   // the half with texture s >= 0.5
};

bool operator==(const TileQuarter& a, const TileQuarter& b);
std::string Describe(const TileQuarter& quarter);  // e.g. "d13 north-east"

// The texel colour of a quarter.
void QuarterColour(const TileQuarter& quarter, std::uint8_t& red, std::uint8_t& green,
                   std::uint8_t& blue);

// Reads a rendered pixel back into a quarter. Returns false when the pixel is too
// dark for its colour angle to be trusted, or falls between two classes.
bool DecodeQuarter(std::uint8_t red, std::uint8_t green, std::uint8_t blue, TileQuarter& quarter);

// Writes d11.bmp ... n24.bmp (size x size pixels each) and an empty tex.tex into
// `folder`, which ends in '/'. Returns false when a file cannot be written.
bool WriteTestTiles(const std::string& folder, int size = 64);
