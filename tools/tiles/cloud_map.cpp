#include "cloud_map.h"

#include <cstddef>

#include "clouds/cloud_resample.h"

std::vector<std::uint8_t> ComposeCloudMap(const CloudTile (&tiles)[8], int width) {
    const int side = tiles[0].side;
    const int core = side - 2 * CloudTileMargin;
    if (core <= 0 || width <= 0 || width % 2 != 0) return {};
    for (const CloudTile& tile : tiles)
        if (tile.side != side || tile.greyAlpha.size() != std::size_t(side) * side * 2) return {};
    const int fullWidth = 4 * core, fullHeight = 2 * core;
    std::vector<std::uint8_t> full(std::size_t(fullWidth) * fullHeight);
    for (int t = 0; t < 8; ++t) {
        const int x0 = (t % 4) * core, y0 = (t / 4) * core;
        for (int y = 0; y < core; ++y) {
            const std::uint8_t* in =
                &tiles[t]
                     .greyAlpha[(std::size_t(y + CloudTileMargin) * side + CloudTileMargin) * 2];
            std::uint8_t* out = &full[std::size_t(y0 + y) * fullWidth + x0];
            for (int x = 0; x < core; ++x)
                out[x] = std::uint8_t((unsigned(in[2 * x]) * in[2 * x + 1] + 127) / 255);
        }
    }
    return ResampleCloud(full.data(), fullWidth, fullHeight, width, width / 2);
}
