#include <gtest/gtest.h>

#include "front/win32/swap_control_logic.h"

namespace {

TEST(ExtensionListed, WholeWordsOnly) {
    const char* list = "WGL_ARB_extensions_string WGL_EXT_swap_control_tear WGL_ARB_pixel_format";
    EXPECT_TRUE(ExtensionListed(list, "WGL_ARB_extensions_string"));
    EXPECT_TRUE(ExtensionListed(list, "WGL_ARB_pixel_format"));
    EXPECT_FALSE(ExtensionListed(list, "WGL_EXT_swap_control"));  // only a longer name
    EXPECT_FALSE(ExtensionListed(list, "ARB_pixel_format"));      // only the tail of one
    EXPECT_TRUE(
        ExtensionListed("WGL_EXT_swap_control_tear WGL_EXT_swap_control ", "WGL_EXT_swap_control"));
    EXPECT_TRUE(ExtensionListed("WGL_EXT_swap_control", "WGL_EXT_swap_control"));
}

TEST(ExtensionListed, NothingIsListedInNothing) {
    EXPECT_FALSE(ExtensionListed(nullptr, "WGL_EXT_swap_control"));
    EXPECT_FALSE(ExtensionListed("", "WGL_EXT_swap_control"));
    EXPECT_FALSE(ExtensionListed("WGL_EXT_swap_control", ""));
    EXPECT_FALSE(ExtensionListed("WGL_EXT_swap_control", nullptr));
}

}  // namespace
