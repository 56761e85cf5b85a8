// What a cloud image may be, judged from its bytes before anything is allocated for it.
// Cloud maps come from a server nobody here controls, so every size is read from the
// header and checked against fixed bounds before a decoder sees the data.
#pragma once

#include <cstddef>
#include <cstdint>

enum class CloudImageFormat { Jpeg, Png };

enum class CloudVerdict {
    Accepted,
    NotAnImage,   // neither JPEG nor PNG, or a header that breaks its own format
    Truncated,    // the header or the end marker (JPEG EOI, PNG IEND) is missing
    TooSmall,     // narrower than MinCloudWidth
    TooLarge,     // wider than MaxCloudWidth: a dimension bomb is refused here
    WrongAspect,  // not exactly twice as wide as high (equirectangular)
};

// Bounds on the width of an accepted image, in pixels; its height is half of it.
constexpr int MinCloudWidth = 1024;
constexpr int MaxCloudWidth = 8192;

struct CloudImageHeader {
    CloudImageFormat format = CloudImageFormat::Jpeg;
    int width = 0;   // pixels
    int height = 0;  // pixels
};

// Reads the format and the size of the image in `data` (`size` bytes) into `header` and
// judges them. `header` holds what was read, if anything, whatever the verdict.
CloudVerdict InspectCloudImage(const std::uint8_t* data, std::size_t size,
                               CloudImageHeader& header);

// The verdict for an image of `width` x `height` pixels.
CloudVerdict JudgeCloudSize(std::int64_t width, std::int64_t height);

// A short English phrase for logs and problem reports ("wrong aspect").
const char* DescribeCloudVerdict(CloudVerdict verdict);
