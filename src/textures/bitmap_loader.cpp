#include "textures/bitmap_loader.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "platform/regular_file.h"

namespace {

constexpr std::size_t FileHeaderSize = 14;
constexpr std::size_t InfoHeaderSize = 40;
// Room for the largest info header (124 bytes), masks and a 256-entry colour table,
// with a generous margin; anything beyond is not a bitmap we could use.
constexpr std::uint32_t MaxHeaderBlockSize = 64 * 1024;
// Larger than any texture a GL takes today (32768 at most), so that a tile too large
// for the GL at hand loads and is then named with that GL's limit; small enough that
// sizes derived from it never overflow 64-bit arithmetic.
constexpr std::int64_t MaxSide = 65536;
// The largest pixel block, and RGB block, we accept: 1 GiB, a 32-bit image of 16384 x
// 16384.
constexpr std::uint64_t MaxImageSize = std::uint64_t(16384) * 16384 * 4;
// Pixel data that the file cannot be seen to hold is read in steps of this size, so a
// file that claims a large image but ends early never makes us reserve memory for
// data that is not there.
constexpr std::size_t ReadChunkSize = 256 * 1024;

// Offsets inside the header block (the BITMAPINFOHEADER comes first).
constexpr std::size_t WidthOffset = 4;
constexpr std::size_t HeightOffset = 8;
constexpr std::size_t BitCountOffset = 14;
constexpr std::size_t CompressionOffset = 16;
constexpr std::size_t SizeImageOffset = 20;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

std::uint16_t ReadU16(const std::uint8_t* bytes) {
    return std::uint16_t(bytes[0] | (bytes[1] << 8));
}

std::uint32_t ReadU32(const std::uint8_t* bytes) {
    return std::uint32_t(bytes[0]) | (std::uint32_t(bytes[1]) << 8) |
           (std::uint32_t(bytes[2]) << 16) | (std::uint32_t(bytes[3]) << 24);
}

std::int32_t ReadI32(const std::uint8_t* bytes) {
    // Two's complement reinterpretation without relying on an out-of-range conversion.
    const std::uint32_t raw = ReadU32(bytes);
    return raw <= 0x7FFFFFFFu ? std::int32_t(raw) : -std::int32_t(~raw) - 1;
}

std::uint32_t FieldU32(const ByteBlock& header, std::size_t offset) {
    return header.size() >= offset + 4 ? ReadU32(header.data() + offset) : 0;
}

std::uint16_t FieldU16(const ByteBlock& header, std::size_t offset) {
    return header.size() >= offset + 2 ? ReadU16(header.data() + offset) : 0;
}

std::int32_t FieldI32(const ByteBlock& header, std::size_t offset) {
    return header.size() >= offset + 4 ? ReadI32(header.data() + offset) : 0;
}

std::int64_t Magnitude(std::int32_t value) {
    return value < 0 ? -std::int64_t(value) : std::int64_t(value);
}

// Byte size of the pixel data the header describes, or nothing when the header
// describes an image we refuse to allocate for.
std::optional<std::size_t> ImageSize(const ByteBlock& header) {
    const std::int32_t width = FieldI32(header, WidthOffset);
    const std::int64_t rows = Magnitude(FieldI32(header, HeightOffset));
    if (width < 0 || width > MaxSide || rows > MaxSide) return std::nullopt;

    std::uint64_t size = FieldU32(header, SizeImageOffset);
    if (size == 0) {
        const std::uint64_t bitCount = FieldU16(header, BitCountOffset);
        const std::uint64_t rowSize = ((bitCount * std::uint64_t(width) + 7) / 8 + 3) / 4 * 4;
        size = std::uint64_t(rows) * rowSize;
    }
    if (size > MaxImageSize) return std::nullopt;
    return std::size_t(size);
}

// Bytes from the current position to the end of the file; nothing when the stream
// cannot tell, or (`lost`) when it could not return to where it was.
std::optional<std::uint64_t> BytesLeft(std::FILE* file, bool& lost) {
    lost = false;
    const long here = std::ftell(file);
    if (here < 0 || std::fseek(file, 0, SEEK_END) != 0) return std::nullopt;
    const long end = std::ftell(file);
    lost = std::fseek(file, here, SEEK_SET) != 0;
    if (lost || end < here) return std::nullopt;
    return std::uint64_t(end - here);
}

bool ReadExactly(std::FILE* file, ByteBlock& block, std::size_t size) {
    block.clear();
    bool lost = false;
    const std::optional<std::uint64_t> left = BytesLeft(file, lost);
    if (lost || (left && *left < size)) return false;
    // A file that holds the whole block is read in one step into one allocation:
    // growing the block chunk by chunk allocated and copied it three times over for
    // a tile, which under Wine, where every large block is fresh memory, made reading
    // the tiles a visible part of the saver's start.
    if (left) {
        block.resize(size);
        return std::fread(block.data(), 1, size, file) == size;
    }
    while (block.size() < size) {
        const std::size_t start = block.size();
        const std::size_t step = std::min(ReadChunkSize, size - start);
        block.resize(start + step);
        if (std::fread(block.data() + start, 1, step, file) != step) return false;
    }
    return true;
}

}  // namespace

std::int32_t BitmapWidth(const ByteBlock& header) {
    return header.size() >= InfoHeaderSize ? FieldI32(header, WidthOffset) : 0;
}

std::int32_t BitmapHeight(const ByteBlock& header) {
    return header.size() >= InfoHeaderSize ? FieldI32(header, HeightOffset) : 0;
}

std::optional<ByteBlock> LoadBitmapFile(const char* path, ByteBlock& header) {
    header.clear();
    if (path == nullptr) return std::nullopt;
    FileHandle file(OpenRegularFile(path));
    if (!file) return std::nullopt;

    std::uint8_t fileHeader[FileHeaderSize];
    if (std::fread(fileHeader, 1, FileHeaderSize, file.get()) != FileHeaderSize) {
        return std::nullopt;
    }
    if (ReadU16(fileHeader) != 0x4D42) return std::nullopt;

    // Without the full info header the width, height and format are unknown.
    const std::uint32_t offBits = ReadU32(fileHeader + 10);
    if (offBits < FileHeaderSize + InfoHeaderSize ||
        offBits - FileHeaderSize > MaxHeaderBlockSize) {
        return std::nullopt;
    }

    ByteBlock block;
    if (!ReadExactly(file.get(), block, offBits - FileHeaderSize)) return std::nullopt;

    const std::optional<std::size_t> imageSize = ImageSize(block);
    if (!imageSize) return std::nullopt;

    ByteBlock pixels;
    if (!ReadExactly(file.get(), pixels, *imageSize)) return std::nullopt;

    header = std::move(block);
    return pixels;
}

std::optional<ByteBlock> ConvertToRgb(const ByteBlock& header, const ByteBlock& pixels) {
    if (header.size() < InfoHeaderSize) return std::nullopt;
    const std::int32_t width = FieldI32(header, WidthOffset);
    const std::int32_t height = FieldI32(header, HeightOffset);
    // A top-down image would need its rows reversed; it is not converted.
    if (height < 0) return std::nullopt;
    if (width < 0 || width > MaxSide || height > MaxSide) return std::nullopt;

    const std::size_t stride = (3 * std::size_t(width) + 3) / 4 * 4;
    const std::uint64_t wanted = std::uint64_t(height) * stride;
    if (wanted > MaxImageSize) return std::nullopt;
    const std::size_t size = std::size_t(wanted);

    const bool rgb24 =
        FieldU32(header, CompressionOffset) == 0 && FieldU16(header, BitCountOffset) == 24;
    // The conversion reads the source at the destination's offsets; a pixel block
    // that ends early (a small biSizeImage) cannot be converted.
    if (rgb24 && pixels.size() < size) return std::nullopt;

    ByteBlock rgb(size, 0);
    if (!rgb24) return rgb;

    for (std::size_t row = 0; row < std::size_t(height); ++row) {
        const std::size_t rowStart = row * stride;
        for (std::size_t column = 0; column < std::size_t(width); ++column) {
            const std::size_t i = rowStart + 3 * column;
            rgb[i] = pixels[i + 2];
            rgb[i + 1] = pixels[i + 1];
            rgb[i + 2] = pixels[i];
        }
    }
    return rgb;
}
