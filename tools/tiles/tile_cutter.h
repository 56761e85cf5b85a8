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

// One of FlightGear's Earth tiles (Models/Astro/Textures/world_*.png): `side` x `side`
// RGBA pixels, rows top first, covering 90 x 90 degrees, the day picture in RGB and
// the city lights in the alpha channel, inverted (255 where it is dark).
struct LightedTile {
    int side = 0;
    const std::uint8_t* rgba = nullptr;
};

// The day tile (night false) or the night tile (night true: the day picture dimmed
// as under a bright Moon, bluer, with the lights added in a warm colour), `size` x
// `size`, in bitmap order as CutTile makes them. Each texel averages the pixels under
// it, or repeats the nearest where `size` exceeds `side`.
MapImage CutLightedTile(const LightedTile& tile, int size, bool night);
