#include "front/win32/saver_settings.h"

#include <gtest/gtest.h>

namespace {

TEST(DecodeSettingValue, FourBytesAreALittleEndianValue) {
    const unsigned char bytes[4] = {0x2C, 0x01, 0x00, 0x00};  // 300
    EXPECT_EQ(DecodeSettingValue(true, bytes, 4, 15), 300u);
    // A negative threshold comes through as its two's complement.
    const unsigned char minusFifty[4] = {0xCE, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(std::int32_t(DecodeSettingValue(true, minusFifty, 4, 50)), -50);
}

TEST(DecodeSettingValue, ShorterValuesAreZeroFilled) {
    const unsigned char bytes[4] = {0x1E, 0x02, 0xAA, 0xBB};
    EXPECT_EQ(DecodeSettingValue(true, bytes, 1, 15), 30u);
    EXPECT_EQ(DecodeSettingValue(true, bytes, 2, 15), 0x021Eu);
    EXPECT_EQ(DecodeSettingValue(true, bytes, 3, 15), 0xAA021Eu);
    EXPECT_EQ(DecodeSettingValue(true, bytes, 0, 15), 0u);
    EXPECT_EQ(DecodeSettingValue(true, nullptr, 0, 15), 0u);
}

TEST(DecodeSettingValue, FailedOrOverlongReadsKeepTheDefault) {
    const unsigned char bytes[8] = {1, 0, 0, 0, 0, 0, 0, 0};
    // An 8-byte value does not fit the field: the read fails, and also a length over
    // four from a read reported as good must not be trusted.
    EXPECT_EQ(DecodeSettingValue(false, bytes, 8, 15), 15u);
    EXPECT_EQ(DecodeSettingValue(true, bytes, 8, 15), 15u);
    EXPECT_EQ(DecodeSettingValue(false, bytes, 4, 50), 50u);
    EXPECT_EQ(DecodeSettingValue(true, nullptr, 4, 50), 50u);
}

}  // namespace
