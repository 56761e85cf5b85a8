// Fits a decoded cloud map to the layer's texture, once, when the image arrives.
#pragma once

#include <cstdint>
#include <vector>

// The cloud layer's texture, in pixels: equirectangular, north row first.
constexpr int CloudTextureWidth = 2048;
constexpr int CloudTextureHeight = 1024;

// `source` holds `width` x `height` grey bytes, rows top first. Returns `outWidth` x
// `outHeight` bytes, each the mean of the source area it covers (a box filter with
// fractional edges), so that shrinking keeps the coverage of thin cloud bands and
// the first and last columns never mix across the date line. Empty when a size is
// not positive.
std::vector<std::uint8_t> ResampleCloud(const std::uint8_t* source, int width, int height,
                                        int outWidth, int outHeight);
