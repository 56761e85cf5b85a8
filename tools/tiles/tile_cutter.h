// Cuts an equirectangular day map and night map into the sixteen texture tiles.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// An image of 8-bit R, G, B pixels, rows top first.
struct MapImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};

// One tile, `size` x `size`, in the order of a bottom-up 24-bit bitmap: the first row
// is the tile's southern edge, the first column its western edge. `row` 1 lies north
// of the equator, 2 south; `column` 1 to 4 covers longitudes from -180 in steps of 90.
// Each texel is the area average of the map under it, or a bilinear sample where the
// map is coarser than the tile.
MapImage CutTile(const MapImage& map, int row, int column, int size);

// The bytes of a 24-bit bottom-up bitmap file of `image` (whose rows are taken
// bottom first, as CutTile makes them).
std::vector<std::uint8_t> EncodeBitmap24(const MapImage& image);
