#include "textures/bitmap_loader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "tests/support/bitmap_writer.h"

namespace {

std::string WriteScratch(const std::string& name, const Bytes& bytes) {
    const std::string path = ScratchFolder() + name;
    EXPECT_TRUE(WriteBytes(path, bytes));
    return path;
}

// Loads `bytes` from a file; `header` is poisoned first so a failure must clear it.
std::optional<ByteBlock> LoadBytes(const std::string& name, const Bytes& bytes, ByteBlock& header) {
    header.assign(3, 0xAA);
    return LoadBitmapFile(WriteScratch(name, bytes).c_str(), header);
}

Rgb Distinct(int x, int y) {
    return {std::uint8_t(10 + x), std::uint8_t(20 + y), 30};
}

TEST(BitmapLoader, TwoByTwoRowsArePaddedAndChannelsSwapped) {
    const Bytes file = Bitmap24(2, 2, Distinct);
    ByteBlock header;
    const auto pixels = LoadBytes("2x2.bmp", file, header);
    ASSERT_TRUE(pixels);
    EXPECT_EQ(header.size(), 40u);
    EXPECT_EQ(BitmapWidth(header), 2);
    EXPECT_EQ(BitmapHeight(header), 2);
    ASSERT_EQ(pixels->size(), 16u);
    EXPECT_EQ(*pixels, ByteBlock(file.begin() + 54, file.end()));

    const auto rgb = ConvertToRgb(header, *pixels);
    ASSERT_TRUE(rgb);
    const ByteBlock expected = {10, 20, 30, 11, 20, 30, 0, 0,   // bottom row
                                10, 21, 30, 11, 21, 30, 0, 0};  // top row
    EXPECT_EQ(*rgb, expected);
}

TEST(BitmapLoader, WidthMultipleOfFourHasNoPadding) {
    const Bytes file = Bitmap24(512, 256, [](int x, int y) {
        return Rgb{std::uint8_t(x), std::uint8_t(y), std::uint8_t(x ^ y)};
    });
    ByteBlock header;
    const auto pixels = LoadBytes("512x256.bmp", file, header);
    ASSERT_TRUE(pixels);
    EXPECT_EQ(pixels->size(), 393216u);
    const auto rgb = ConvertToRgb(header, *pixels);
    ASSERT_TRUE(rgb);
    ASSERT_EQ(rgb->size(), 393216u);
    // The last pixel of the top row: x 511, y 255.
    const std::size_t last = 393216 - 3;
    EXPECT_EQ((*rgb)[last], 255);
    EXPECT_EQ((*rgb)[last + 1], 255);
    EXPECT_EQ((*rgb)[last + 2], 0);
}

TEST(BitmapLoader, HeaderBlockKeepsWhatLiesBeforeThePixels) {
    BitmapFields fields;
    fields.width = 1;
    fields.height = 1;
    fields.offBits = 54 + 12;  // e.g. colour masks
    const Bytes file = CraftBitmap(fields, {1, 2, 3, 0}, 0x5C);
    ByteBlock header;
    const auto pixels = LoadBytes("masks.bmp", file, header);
    ASSERT_TRUE(pixels);
    ASSERT_EQ(header.size(), 52u);
    EXPECT_EQ(header[51], 0x5C);
    EXPECT_EQ(*pixels, ByteBlock({1, 2, 3, 0}));
}

TEST(BitmapLoader, OtherFormatsLoadAsStoredAndConvertToBlack) {
    // 8-bit with a 256-entry palette: rows of 3 bytes rounded to 4.
    BitmapFields palette;
    palette.width = 3;
    palette.height = 2;
    palette.bitCount = 8;
    palette.offBits = 54 + 1024;
    const Bytes indices = {1, 2, 3, 0, 4, 5, 6, 0};
    ByteBlock header;
    auto pixels = LoadBytes("8bit.bmp", CraftBitmap(palette, indices, 0x77), header);
    ASSERT_TRUE(pixels);
    EXPECT_EQ(*pixels, indices);
    auto rgb = ConvertToRgb(header, *pixels);
    ASSERT_TRUE(rgb);
    EXPECT_EQ(*rgb, ByteBlock(2 * 12, 0));  // stride from 3 bytes per pixel: 9 -> 12

    // Run-length coded 24-bit: biSizeImage gives the stored size.
    BitmapFields rle;
    rle.width = 4;
    rle.height = 4;
    rle.compression = 1;
    rle.sizeImage = 6;
    const Bytes coded = {2, 9, 0, 0, 0, 1};
    pixels = LoadBytes("rle.bmp", CraftBitmap(rle, coded), header);
    ASSERT_TRUE(pixels);
    EXPECT_EQ(*pixels, coded);
    rgb = ConvertToRgb(header, *pixels);
    ASSERT_TRUE(rgb);
    EXPECT_EQ(*rgb, ByteBlock(4 * 12, 0));
}

TEST(BitmapLoader, TopDownLoadsButDoesNotConvert) {
    BitmapFields fields;
    fields.width = 2;
    fields.height = -3;
    ByteBlock header;
    const auto pixels =
        LoadBytes("topdown.bmp", CraftBitmap(fields, Pixels24(2, 3, Distinct)), header);
    ASSERT_TRUE(pixels);
    EXPECT_EQ(pixels->size(), 24u);  // |height| rows of 8 bytes
    EXPECT_FALSE(ConvertToRgb(header, *pixels));
}

TEST(BitmapLoader, ZeroHeightGivesEmptyBlocks) {
    BitmapFields fields;
    fields.width = 5;
    fields.height = 0;
    ByteBlock header;
    const auto pixels = LoadBytes("flat.bmp", CraftBitmap(fields, {}), header);
    ASSERT_TRUE(pixels);
    EXPECT_TRUE(pixels->empty());
    const auto rgb = ConvertToRgb(header, *pixels);
    ASSERT_TRUE(rgb);
    EXPECT_TRUE(rgb->empty());
}

TEST(BitmapLoader, RejectsFilesThatAreNotBitmaps) {
    ByteBlock header = {1, 2, 3};
    EXPECT_FALSE(LoadBitmapFile((ScratchFolder() + "no-such-file.bmp").c_str(), header));
    EXPECT_FALSE(LoadBitmapFile(nullptr, header));

    BitmapFields fields;
    fields.width = 1;
    fields.height = 1;
    fields.type = 0x4D43;
    EXPECT_FALSE(LoadBytes("wrong-magic.bmp", CraftBitmap(fields, {1, 2, 3, 0}), header));
    EXPECT_TRUE(header.empty());
}

// Every prefix of a valid file ends inside a header or the pixel data and must fail
// cleanly; the full file loads.
TEST(BitmapLoader, FileEndingAnywhereEarlyFails) {
    BitmapFields fields;
    fields.width = 3;
    fields.height = 2;
    fields.offBits = 54 + 8;
    const Bytes file = CraftBitmap(fields, Pixels24(3, 2, Distinct));
    ASSERT_EQ(file.size(), 62u + 24u);
    for (std::size_t length = 0; length < file.size(); ++length) {
        ByteBlock header;
        const Bytes prefix(file.begin(), file.begin() + std::ptrdiff_t(length));
        EXPECT_FALSE(LoadBytes("prefix.bmp", prefix, header)) << "length " << length;
        EXPECT_TRUE(header.empty()) << "length " << length;
    }
    ByteBlock header;
    EXPECT_TRUE(LoadBytes("whole.bmp", file, header));
}

TEST(BitmapLoader, RejectsHeaderBlocksTooShortOrAbsurdlyLong) {
    ByteBlock header;
    for (std::uint32_t offBits : {0u, 13u, 14u, 30u, 53u}) {
        BitmapFields fields;
        fields.width = 1;
        fields.height = 1;
        fields.offBits = offBits;
        EXPECT_FALSE(LoadBytes("short-header.bmp", CraftBitmap(fields, Bytes(64, 1)), header))
            << "offBits " << offBits;
        EXPECT_TRUE(header.empty());
    }
    // A huge offset must be refused before anything of that size is allocated.
    for (std::uint32_t offBits : {0x7FFFFFFFu, 0xFFFFFFFFu, 54u + 1024u * 1024u}) {
        BitmapFields fields;
        fields.width = 1;
        fields.height = 1;
        fields.offBits = 54;
        Bytes file = CraftBitmap(fields, {1, 2, 3, 0});
        for (int k = 0; k < 4; ++k) file[10 + k] = std::uint8_t(offBits >> (8 * k));
        EXPECT_FALSE(LoadBytes("huge-offset.bmp", file, header)) << "offBits " << offBits;
    }
}

TEST(BitmapLoader, RejectsSizesThatOverflowOrExceedTheLimit) {
    struct Case {
        std::int32_t width, height;
        std::uint16_t bitCount;
        std::uint32_t sizeImage;
    };
    const Case cases[] = {
        {65537, 1, 24, 0},         // too wide
        {1, 65537, 24, 0},         // too high
        {1, -65537, 24, 0},        // too high, top-down
        {65536, 16384, 8, 0},      // more than 1 GiB of pixels
        {1, INT32_MIN, 24, 0},     // magnitude not representable
        {-4, 2, 24, 0},            // negative width
        {0x40000000, 4, 24, 0},    // row size overflows 32 bits
        {65536, 65536, 32, 0},     // image size overflows 32 bits
        {16384, 16384, 65535, 0},  // absurd bit count
        {2, 2, 24, 0xFFFFFFF0u},   // absurd stated image size
    };
    for (const Case& c : cases) {
        BitmapFields fields;
        fields.width = c.width;
        fields.height = c.height;
        fields.bitCount = c.bitCount;
        fields.sizeImage = c.sizeImage;
        ByteBlock header;
        EXPECT_FALSE(LoadBytes("too-big.bmp", CraftBitmap(fields, Bytes(64, 7)), header))
            << c.width << " x " << c.height << " @ " << c.bitCount;
        EXPECT_TRUE(header.empty());
    }
}

TEST(BitmapLoader, LargeClaimInShortFileFails) {
    // Within the limits, but the data is not there: the load fails without
    // holding on to anything.
    BitmapFields fields;
    fields.width = 16384;
    fields.height = 16384;
    ByteBlock header;
    EXPECT_FALSE(LoadBytes("claims-much.bmp", CraftBitmap(fields, Bytes(1000, 1)), header));
    EXPECT_TRUE(header.empty());
}

// A FIFO or a device named like a tile is no bitmap: it is refused at once, before
// an open that would wait for a writer that never comes.
TEST(BitmapLoader, FilesThatAreNotRegularAreRefusedAtOnce) {
    const std::string path = ScratchFolder() + "bitmap.fifo";
    std::remove(path.c_str());
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    ByteBlock header;
    EXPECT_FALSE(LoadBitmapFile(path.c_str(), header));
    EXPECT_TRUE(header.empty());
    std::remove(path.c_str());
    EXPECT_FALSE(LoadBitmapFile("/dev/zero", header));
    EXPECT_FALSE(LoadBitmapFile(ScratchFolder().c_str(), header));
}

TEST(BitmapLoader, ShortPixelBlockIsNotConverted) {
    // biSizeImage smaller than height x stride: loads as stored, but the conversion
    // would read past the block.
    BitmapFields fields;
    fields.width = 2;
    fields.height = 2;
    fields.sizeImage = 10;
    ByteBlock header;
    const auto pixels = LoadBytes("short-pixels.bmp", CraftBitmap(fields, Bytes(10, 9)), header);
    ASSERT_TRUE(pixels);
    EXPECT_EQ(pixels->size(), 10u);
    EXPECT_FALSE(ConvertToRgb(header, *pixels));

    // A larger stated size is fine: the extra bytes are simply not used.
    fields.sizeImage = 20;
    const auto longer = LoadBytes("long-pixels.bmp", CraftBitmap(fields, Bytes(20, 9)), header);
    ASSERT_TRUE(longer);
    const auto rgb = ConvertToRgb(header, *longer);
    ASSERT_TRUE(rgb);
    EXPECT_EQ(rgb->size(), 16u);
}

TEST(BitmapLoader, ConversionRefusesHeadersItCannotRead) {
    EXPECT_FALSE(ConvertToRgb(ByteBlock(39, 0), ByteBlock(64, 0)));
    // An 8-bit image turns black at 3 bytes a pixel: here that would be 1.5 GiB.
    BitmapFields wide;
    wide.width = 65536;
    wide.height = 8192;
    wide.bitCount = 8;
    const Bytes file = CraftBitmap(wide, {});
    EXPECT_FALSE(ConvertToRgb(ByteBlock(file.begin() + 14, file.end()), ByteBlock(1, 0)));
    EXPECT_EQ(BitmapWidth(ByteBlock(39, 1)), 0);
    EXPECT_EQ(BitmapHeight(ByteBlock{}), 0);
}

}  // namespace
