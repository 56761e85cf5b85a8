// Writes a picture as PNG.
#pragma once

#include <cstdint>
#include <vector>

// `rgb`: width x height pixels of R, G, B bytes, top row first. Returns false when
// the sizes do not match or the file cannot be written.
bool WritePng(const char* path, int width, int height, const std::vector<std::uint8_t>& rgb);
