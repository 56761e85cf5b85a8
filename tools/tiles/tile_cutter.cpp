#include "tile_cutter.h"

#include <algorithm>
#include <cmath>

namespace {

// Samples the map at a continuous position in pixel units (pixel centres at k + 0.5).
// Longitude wraps around, latitude stops at the poles.
void SampleBilinear(const MapImage& map, double x, double y, double out[3]) {
    x -= 0.5;
    y = std::clamp(y - 0.5, 0.0, double(map.height - 1));
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const double wx = x - fx;
    const double wy = y - fy;
    const int x0 = ((int(fx) % map.width) + map.width) % map.width;
    const int x1 = (x0 + 1) % map.width;
    const int y0 = int(fy);
    const int y1 = std::min(y0 + 1, map.height - 1);
    for (int c = 0; c < 3; ++c) {
        auto at = [&](int px, int py) {
            return double(map.rgb[(std::size_t(py) * map.width + px) * 3 + c]);
        };
        out[c] = (1 - wy) * ((1 - wx) * at(x0, y0) + wx * at(x1, y0)) +
                 wy * ((1 - wx) * at(x0, y1) + wx * at(x1, y1));
    }
}

// Averages the map over [x0, x1) x [y0, y1), in pixel units, weighting each pixel by
// the part of it that lies inside.
void AverageArea(const MapImage& map, double x0, double x1, double y0, double y1, double out[3]) {
    double sum[3] = {0, 0, 0};
    double total = 0;
    const int firstY = std::max(0, int(std::floor(y0)));
    const int lastY = std::min(map.height - 1, int(std::ceil(y1)) - 1);
    const int firstX = std::max(0, int(std::floor(x0)));
    const int lastX = std::min(map.width - 1, int(std::ceil(x1)) - 1);
    for (int py = firstY; py <= lastY; ++py) {
        const double wy = std::min(y1, py + 1.0) - std::max(y0, double(py));
        if (wy <= 0) continue;
        for (int px = firstX; px <= lastX; ++px) {
            const double wx = std::min(x1, px + 1.0) - std::max(x0, double(px));
            if (wx <= 0) continue;
            const std::uint8_t* p = &map.rgb[(std::size_t(py) * map.width + px) * 3];
            for (int c = 0; c < 3; ++c) sum[c] += wx * wy * p[c];
            total += wx * wy;
        }
    }
    for (int c = 0; c < 3; ++c) out[c] = total > 0 ? sum[c] / total : 0;
}

}  // namespace

MapImage CutTile(const MapImage& map, int row, int column, int size) {
    MapImage tile;
    tile.width = tile.height = size;
    tile.rgb.assign(std::size_t(size) * size * 3, 0);

    // The tile's footprint on the map, in map pixels: a quarter of the width and
    // half the height. Map row 0 is the north pole, column 0 longitude -180.
    const double spanX = map.width / 4.0;
    const double spanY = map.height / 2.0;
    const double left = (column - 1) * spanX;
    const double bottom = row == 1 ? spanY : 2 * spanY;  // the tile's southern edge
    const double stepX = spanX / size;
    const double stepY = spanY / size;
    const bool reduce = stepX >= 1 && stepY >= 1;

    for (int ty = 0; ty < size; ++ty) {
        // Stored row ty counts northward from the southern edge.
        const double y1 = bottom - ty * stepY;
        const double y0 = y1 - stepY;
        for (int tx = 0; tx < size; ++tx) {
            const double x0 = left + tx * stepX;
            double colour[3];
            if (reduce) {
                AverageArea(map, x0, x0 + stepX, y0, y1, colour);
            } else {
                SampleBilinear(map, x0 + stepX / 2, y0 + stepY / 2, colour);
            }
            std::uint8_t* out = &tile.rgb[(std::size_t(ty) * size + tx) * 3];
            for (int c = 0; c < 3; ++c) {
                out[c] = std::uint8_t(std::clamp(std::lround(colour[c]), 0L, 255L));
            }
        }
    }
    return tile;
}

std::vector<std::uint8_t> EncodeBitmap24(const MapImage& image) {
    const std::size_t stride = (3 * std::size_t(image.width) + 3) / 4 * 4;
    const std::size_t pixelBytes = stride * image.height;
    const std::size_t offBits = 14 + 40;
    std::vector<std::uint8_t> out(offBits + pixelBytes, 0);
    auto put16 = [&](std::size_t at, std::uint32_t v) {
        out[at] = std::uint8_t(v);
        out[at + 1] = std::uint8_t(v >> 8);
    };
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        put16(at, v & 0xFFFF);
        put16(at + 2, v >> 16);
    };
    put16(0, 0x4D42);
    put32(2, std::uint32_t(out.size()));
    put32(10, std::uint32_t(offBits));
    put32(14, 40);
    put32(18, std::uint32_t(image.width));
    put32(22, std::uint32_t(image.height));
    put16(26, 1);
    put16(28, 24);
    put32(34, std::uint32_t(pixelBytes));
    put32(38, 2835);  // 72 dots per inch
    put32(42, 2835);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const std::uint8_t* p = &image.rgb[(std::size_t(y) * image.width + x) * 3];
            std::uint8_t* q = &out[offBits + y * stride + 3 * std::size_t(x)];
            q[0] = p[2];
            q[1] = p[1];
            q[2] = p[0];
        }
    }
    return out;
}

namespace {

// The Moon-lit ground, and the sodium-warm light of the cities, per channel.
constexpr double MoonLight[3] = {0.045, 0.055, 0.085};
constexpr double CityColour[3] = {1.0, 0.82, 0.52};

std::uint8_t NightChannel(const std::uint8_t* rgba, int channel) {
    const double lights = (255.0 - rgba[3]) / 255.0;
    // The lights are faint in the source: lifted, so that a town still shows.
    const double lifted = std::pow(lights, 0.75);
    const double value = rgba[channel] * MoonLight[channel] + 255.0 * CityColour[channel] * lifted;
    return std::uint8_t(std::lround(std::min(255.0, value)));
}

}  // namespace

MapImage CutLightedTile(const LightedTile& tile, int size, bool night) {
    MapImage out;
    out.width = out.height = size;
    out.rgb.assign(std::size_t(size) * size * 3, 0);
    if (tile.rgba == nullptr || tile.side <= 0 || size <= 0) return out;
    const int factor = std::max(1, tile.side / size);
    const double scale = double(factor) * factor;
    for (int y = 0; y < size; ++y) {
        // Bitmap rows run south to north; the source's rows north to south.
        const int top = int(std::int64_t(size - 1 - y) * tile.side / size);
        for (int x = 0; x < size; ++x) {
            const int left = int(std::int64_t(x) * tile.side / size);
            double sum[3] = {0, 0, 0};
            for (int dy = 0; dy < factor; ++dy)
                for (int dx = 0; dx < factor; ++dx) {
                    const std::uint8_t* p =
                        tile.rgba + (std::size_t(top + dy) * tile.side + (left + dx)) * 4;
                    for (int c = 0; c < 3; ++c) sum[c] += night ? NightChannel(p, c) : p[c];
                }
            std::uint8_t* q = &out.rgb[(std::size_t(y) * size + x) * 3];
            for (int c = 0; c < 3; ++c) q[c] = std::uint8_t(std::lround(sum[c] / scale));
        }
    }
    return out;
}
