#include "front/wayland/buffer_size.h"

#include <gtest/gtest.h>

namespace {

TEST(BufferSize, ConfiguredLogicalSizeTimesTheOutputsScale) {
    const BufferSize plain = ChooseBufferSize(1024, 768, 1, 1024, 768);
    EXPECT_EQ(plain.width, 1024);
    EXPECT_EQ(plain.height, 768);
    EXPECT_EQ(plain.scale, 1);
    const BufferSize hidpi = ChooseBufferSize(1280, 800, 2, 2560, 1600);
    EXPECT_EQ(hidpi.width, 2560);
    EXPECT_EQ(hidpi.height, 1600);
    EXPECT_EQ(hidpi.scale, 2);
    // Scales no output has count as 1.
    for (int scale : {0, -2, 9}) EXPECT_EQ(ChooseBufferSize(800, 600, scale, 0, 0).scale, 1);
}

TEST(BufferSize, SidesLeftOpenTakeTheModeAndStayMultiplesOfTheScale) {
    const BufferSize open = ChooseBufferSize(0, 0, 2, 1921, 1081);
    EXPECT_EQ(open.width, 1920);
    EXPECT_EQ(open.height, 1080);
    const BufferSize halfOpen = ChooseBufferSize(700, 0, 1, 0, 0);
    EXPECT_EQ(halfOpen.width, 700);
    EXPECT_EQ(halfOpen.height, FallbackHeight);
    EXPECT_EQ(ChooseBufferSize(0, 0, 3, 0, 0).width, FallbackWidth * 3);
    const BufferSize huge = ChooseBufferSize(2000000000, 2000000000, 3, 0, 0);
    EXPECT_EQ(huge.width, MaxBufferSide - MaxBufferSide % 3);
    EXPECT_EQ(huge.height % 3, 0);
    EXPECT_EQ(ChooseBufferSize(-5, 1, 1, 0, 0).width, FallbackWidth);
}

TEST(BufferSize, FractionalScalesDrawAtTheOutputsTrueSize) {
    const BufferSize configured = ChooseFractionalBufferSize(1707, 960, 180, 2560, 1440);
    EXPECT_EQ(configured.width, 2561);  // round(1707 * 1.5), as the protocol asks
    EXPECT_EQ(configured.height, 1440);
    EXPECT_EQ(configured.scale, 1);
    EXPECT_EQ(configured.logicalWidth, 1707);
    EXPECT_EQ(configured.displayScale, 1.5);
    const BufferSize open = ChooseFractionalBufferSize(0, 0, 150, 1920, 1080);
    EXPECT_EQ(open.logicalWidth, 1536);
    EXPECT_EQ(open.width, 1920);
    EXPECT_EQ(open.height, 1080);
    const BufferSize huge = ChooseFractionalBufferSize(2000000000, 1, 210, 0, 0);
    EXPECT_EQ(huge.width, MaxBufferSide);
    EXPECT_LE(huge.logicalWidth * 1.75, MaxBufferSide);
    EXPECT_EQ(ChooseFractionalBufferSize(800, 600, 0, 0, 0).width, 800);  // nonsense: 1
    EXPECT_EQ(ChooseFractionalBufferSize(800, 600, 1 << 30, 0, 0).width, 800);
}

}  // namespace
