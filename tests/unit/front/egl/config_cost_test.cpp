#include "front/egl/config_cost.h"

#include <gtest/gtest.h>

namespace {

// Mesa lists configurations with alpha, depth and stencil first; the frame wants none
// of them, and an alpha channel least of all (the compositor would blend through it).
TEST(ConfigCost, TheCheapestThatFitsWithoutAlphaBeforeAnyDepth) {
    const ConfigTraits mesa[] = {
        {8, 24, 8, true}, {8, 0, 0, true}, {0, 24, 8, true}, {0, 16, 0, true}, {0, 16, 0, true}};
    EXPECT_EQ(CheapestConfig(mesa, 5), 3);
    const ConfigTraits onlyAlpha[] = {{8, 24, 8, true}, {8, 0, 0, true}};
    EXPECT_EQ(CheapestConfig(onlyAlpha, 2), 1);
    // The window's visual decides before any cost.
    const ConfigTraits visual[] = {{0, 0, 0, false}, {8, 24, 8, true}};
    EXPECT_EQ(CheapestConfig(visual, 2), 1);
    const ConfigTraits none[] = {{0, 0, 0, false}};
    EXPECT_EQ(CheapestConfig(none, 1), -1);
    EXPECT_EQ(CheapestConfig(nullptr, 0), -1);
}

}  // namespace
