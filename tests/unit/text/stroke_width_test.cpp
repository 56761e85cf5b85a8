#include "text/stroke_width.h"

#include <gtest/gtest.h>

namespace {

TEST(StrokeWidth, StrokesScaleWithTheDisplayWithinBounds) {
    EXPECT_EQ(StrokeWidthForDpi(96), 1.0f);  // exactly: the GL calls stay as they were
    EXPECT_EQ(StrokeWidthForDpi(0), 1.0f);   // unknown
    EXPECT_EQ(StrokeWidthForDpi(72), 1.0f);  // no stroke thinner than a pixel
    EXPECT_EQ(StrokeWidthForDpi(120), 1.25f);
    EXPECT_EQ(StrokeWidthForDpi(192), 2.0f);
    EXPECT_EQ(StrokeWidthForDpi(480), 5.0f);
    EXPECT_EQ(StrokeWidthForDpi(0xFFFFFFFFu), 5.0f);
    EXPECT_EQ(StrokeWidthForScale(1.75), 1.75f);  // a fractional Wayland scale
    EXPECT_EQ(StrokeWidthForScale(0.0 / 0.0), 1.0f);
}

}  // namespace
