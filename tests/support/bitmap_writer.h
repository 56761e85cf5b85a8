// Crafts Windows bitmap files for tests, including malformed ones.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// The header fields a test may want to set; the rest are written as zero.
struct BitmapFields {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t sizeImage = 0;
    std::uint32_t offBits = 54;   // file header + BITMAPINFOHEADER
    std::uint16_t type = 0x4D42;  // "BM"
};

struct Rgb {
    std::uint8_t r, g, b;
};

// Bytes of a bitmap file: the 14-byte file header, a 40-byte info header (cut short
// or padded with `fill` up to offBits - 14 bytes), then `pixelData` as given.
Bytes CraftBitmap(const BitmapFields& fields, const Bytes& pixelData, std::uint8_t fill = 0);

// Pixel data of a 24-bit bottom-up image: rows bottom first, B G R per pixel, each
// row padded with zeros to a multiple of four bytes. `colourAt(x, y)` with y = 0 at
// the bottom row.
template <typename ColourAt>
Bytes Pixels24(int width, int height, ColourAt colourAt) {
    const std::size_t stride = (3 * std::size_t(width) + 3) / 4 * 4;
    Bytes data(stride * std::size_t(height), 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgb c = colourAt(x, y);
            std::uint8_t* p = &data[std::size_t(y) * stride + 3 * std::size_t(x)];
            p[0] = c.b;
            p[1] = c.g;
            p[2] = c.r;
        }
    }
    return data;
}

// A complete, valid 24-bit bitmap file.
template <typename ColourAt>
Bytes Bitmap24(int width, int height, ColourAt colourAt) {
    BitmapFields fields;
    fields.width = width;
    fields.height = height;
    return CraftBitmap(fields, Pixels24(width, height, colourAt));
}

// A fresh folder for the running test binary, ending in '/'; removed at exit.
const std::string& ScratchFolder();

// Writes `bytes` to `path`; returns false when the file cannot be written.
bool WriteBytes(const std::string& path, const Bytes& bytes);
// Reads a whole file; empty when it cannot be read.
Bytes ReadBytes(const std::string& path);
