// The still cloud map: one grey equirectangular image from a map cut into eight
// grey + alpha tiles of 90 x 90 degrees.
#pragma once

#include <cstdint>
#include <vector>

// One tile as decoded: `side` x `side` pixels of grey and alpha, rows top first.
struct CloudTile {
    int side = 0;
    std::vector<std::uint8_t> greyAlpha;
};

// Pixels on every side of a tile that repeat its neighbours' (and, beyond the poles,
// pad): the tiles overlap by twice this, so that each can be filtered on its own.
// Measured on Debian's 2048-pixel tiles, whose columns 2016 to 2047 are the next
// tile's 0 to 31 (round the date line too) and whose northern rows 2016 to 2047 are
// the southern tile's 0 to 31.
constexpr int CloudTileMargin = 16;

// `tiles` in the order N1 N2 N3 N4 S1 S2 S3 S4 (north row first, each row from
// longitude -180 eastwards), all of one side. Returns `width` x `width / 2` bytes,
// rows top first: each the area mean of grey x alpha over the tiles' cores (their
// margins cut away), so that the brightness is the cover. Empty when the tiles do not
// fit together or `width` is not positive and even.
std::vector<std::uint8_t> ComposeCloudMap(const CloudTile (&tiles)[8], int width);
