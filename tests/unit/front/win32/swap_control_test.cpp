#include "front/win32/swap_control.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "text/extension_list.h"

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

TEST(UsableProcAddress, DriversStandInValuesAreNotCalled) {
    for (std::intptr_t value : {0, 1, 2, 3, -1})
        EXPECT_FALSE(UsableProcAddress(reinterpret_cast<const void*>(value))) << value;
    const int function = 0;
    EXPECT_TRUE(UsableProcAddress(&function));
    EXPECT_TRUE(UsableProcAddress(reinterpret_cast<const void*>(std::intptr_t(4))));
}

}  // namespace
