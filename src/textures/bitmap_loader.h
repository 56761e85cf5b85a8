// Reads Windows bitmap files and makes the RGB copy that the GL takes as a texture.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

using ByteBlock = std::vector<std::uint8_t>;

// Reads the bitmap at `path`. On success returns the pixel data exactly as stored
// and fills `header` with the block between the 14-byte file header and the pixel
// data (the BITMAPINFOHEADER first). On any failure returns nothing and leaves
// `header` empty.
std::optional<ByteBlock> LoadBitmapFile(const char* path, ByteBlock& header);

// Rows of R, G, B bytes, bottom row first, each row padded with zeros to a multiple
// of four bytes. Other than uncompressed 24-bit images give an all-zero block of the
// same size; a top-down image (negative height) gives nothing.
std::optional<ByteBlock> ConvertToRgb(const ByteBlock& header, const ByteBlock& pixels);

// Fields of a header block from LoadBitmapFile (0 when the block is too short).
std::int32_t BitmapWidth(const ByteBlock& header);
std::int32_t BitmapHeight(const ByteBlock& header);
