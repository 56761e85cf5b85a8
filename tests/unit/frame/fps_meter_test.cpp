#include "frame/fps_meter.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(FpsMeter, CountsTheFramesOfEachWholeSecond) {
    FpsMeter meter;
    EXPECT_FALSE(CountFrame(meter, 5000000));  // the first frame opens the window
    for (int i = 1; i < 30; ++i) EXPECT_FALSE(CountFrame(meter, 5000000 + i * 33333));
    EXPECT_TRUE(CountFrame(meter, 6000000));
    EXPECT_DOUBLE_EQ(meter.rate, 30.0);
    EXPECT_EQ(std::string(meter.text), "FPS:30.0");
}

TEST(FpsMeter, SlowFramesGiveFractions) {
    FpsMeter meter;
    CountFrame(meter, 0);
    EXPECT_FALSE(CountFrame(meter, 900000));
    EXPECT_TRUE(CountFrame(meter, 2500000));  // two frames in 2.5 s
    EXPECT_EQ(std::string(meter.text), "FPS:0.8");
}

TEST(FpsMeter, AClockThatGoesBackStartsAgain) {
    FpsMeter meter;
    CountFrame(meter, 10000000);
    CountFrame(meter, 10500000);
    EXPECT_FALSE(CountFrame(meter, 2000000));
    EXPECT_FALSE(CountFrame(meter, 2500000));
    EXPECT_TRUE(CountFrame(meter, 3000000));
    EXPECT_DOUBLE_EQ(meter.rate, 2.0);
}

}  // namespace
