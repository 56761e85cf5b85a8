// Decodes a cloud map into grey bytes. The header is judged first, so nothing is
// allocated for a refused image; then the platform's own decoder (libjpeg-turbo and
// libpng elsewhere, WIC on Windows) reads the rest.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "clouds/cloud_image.h"

struct CloudPicture {
    int width = 0;                   // pixels
    int height = 0;                  // pixels
    std::vector<std::uint8_t> grey;  // width x height bytes, north row first; 0 clear, 255 cloud
};

// Fills `picture` from the `size` bytes at `data`. Returns the header's verdict, or
// NotAnImage when the decoder finds the data broken past the header; `picture` is
// empty unless the result is Accepted.
CloudVerdict DecodeCloudImage(const std::uint8_t* data, std::size_t size, CloudPicture& picture);

// The platform's decoder, for data whose header InspectCloudImage accepted as
// `header`: fills `grey` with header.width x header.height bytes and returns
// Accepted, or the verdict that refuses the data.
CloudVerdict DecodeInspectedImage(const std::uint8_t* data, std::size_t size,
                                  const CloudImageHeader& header, std::vector<std::uint8_t>& grey);

// The cloud layer's texture from an encoded image: decoded, then resampled to
// CloudTextureWidth x CloudTextureHeight. Slow (a decode and a pass over every
// pixel): call it beside the frame loop, never in a frame. Returns the verdict of
// DecodeCloudImage; `texture` is empty unless it is Accepted.
CloudVerdict PrepareCloudTexture(const std::uint8_t* data, std::size_t size, CloudPicture& texture);
