#include "frame/run_end.h"

#include <gtest/gtest.h>

namespace {

TEST(PointerTravel, FromTheFirstPositionBeyondTheThresholdOrOntoAnotherOutput) {
    int first = 0, second = 0;
    PointerOrigin origin;
    EXPECT_FALSE(PointerEndsRun(origin, &first, 500, 400));
    EXPECT_FALSE(PointerEndsRun(origin, &first, 550, 350));
    EXPECT_FALSE(PointerEndsRun(origin, &first, 530, 420));
    // Measured from the origin, not from report to report.
    EXPECT_TRUE(PointerEndsRun(origin, &first, 560, 420));
    EXPECT_TRUE(PointerEndsRun(origin, &first, 500, 349.5));
    EXPECT_TRUE(PointerEndsRun(origin, &second, 500, 400));
    // An output that goes away takes the pointer onto another: not the user's travel.
    ForgetPointerOrigin(origin);
    EXPECT_FALSE(PointerEndsRun(origin, &second, 20, 30));
    EXPECT_TRUE(PointerEndsRun(origin, &second, 20, 81));
    EXPECT_TRUE(TravelBeyond(0, 0, -1));  // a negative threshold: any report at all
}

}  // namespace
