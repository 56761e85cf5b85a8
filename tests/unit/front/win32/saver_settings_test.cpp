#include "front/win32/saver_settings.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "front/win32/display_options.h"
#include "front/win32/folder_refusal.h"
#include "platform/stored_values.h"
#include "tests/support/bitmap_writer.h"
#include "textures/texture_folder.h"
#include "textures/texture_set.h"

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

// The saver's own settings, through the host's stored values (files under a
// configuration folder of the test's own).
TEST(DisplayOptions, OddOrMissingValuesReadAsTheDefaults) {
    const std::string config = ScratchFolder() + "display-options";
    std::filesystem::remove_all(config);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    DisplayOptions options = LoadDisplayOptions();
    EXPECT_TRUE(options.showClock);
    EXPECT_EQ(options.monitors, MonitorLayout::EachOwn);
    EXPECT_EQ(options.look, Look::Classic);

    EXPECT_EQ(options.clouds, CloudMode::NoClouds);
    EXPECT_EQ(options.cloudsUrl, DefaultCloudUrl);

    ASSERT_EQ(StoreDisplayOptions({false, MonitorLayout::MainOnly, CloudMode::Live, DefaultCloudUrl,
                                   Look::Natural}),
              0);
    ASSERT_EQ(StoreAppValue(CloudsUrlValueName, "http://127.0.0.1:8000/c.jpg"), 0);
    options = LoadDisplayOptions();
    EXPECT_FALSE(options.showClock);
    EXPECT_EQ(options.monitors, MonitorLayout::MainOnly);
    EXPECT_EQ(options.clouds, CloudMode::Live);
    EXPECT_EQ(options.look, Look::Natural);
    EXPECT_EQ(options.cloudsUrl, "http://127.0.0.1:8000/c.jpg");
    ASSERT_EQ(StoreAppNumber(CloudsValueName, 3), 0);
    ASSERT_EQ(StoreAppValue(CloudsUrlValueName, "file:///c.jpg"), 0);
    EXPECT_EQ(LoadDisplayOptions().clouds, CloudMode::NoClouds);
    EXPECT_EQ(LoadDisplayOptions().cloudsUrl, DefaultCloudUrl);
    // Any other number is no look of ours: Classic.
    ASSERT_EQ(StoreAppNumber(LookValueName, 2), 0);
    EXPECT_EQ(LoadDisplayOptions().look, Look::Classic);

    // Out of range, or not a number (a string value of the same name).
    ASSERT_EQ(StoreAppNumber(ShowClockValueName, 2), 0);
    ASSERT_EQ(StoreAppNumber(MonitorsValueName, 3), 0);
    EXPECT_TRUE(LoadDisplayOptions().showClock);
    EXPECT_EQ(LoadDisplayOptions().monitors, MonitorLayout::EachOwn);
    ASSERT_EQ(StoreAppValue(MonitorsValueName, "1"), 0);
    EXPECT_EQ(LoadDisplayOptions().monitors, MonitorLayout::EachOwn);
    std::ofstream(config + "/QMT_kvr/" + MonitorsValueName, std::ios::binary) << "\1\0\0\0\0";
    EXPECT_EQ(LoadDisplayOptions().monitors, MonitorLayout::EachOwn);
    unsetenv("XDG_CONFIG_HOME");
}

// A texture folder of `length` bytes with its separator, holding the marker and the
// tiles (their content is not looked at).
std::string TextureFolderOfLength(std::size_t length) {
    std::string folder = ScratchFolder() + "tiles-";
    folder += std::string(length - folder.size() - 1, 'x') + "/";
    std::filesystem::create_directories(folder);
    WriteBytes(folder + "tex.tex", {});
    for (const char* name : TextureFileNames) WriteBytes(folder + name, {1});
    return folder;
}

TEST(FolderRefusal, NamesEveryMissingFile) {
    const std::string folder = TextureFolderOfLength(60);
    EXPECT_EQ(FolderRefusal(folder, false), "");
    std::filesystem::remove(folder + "tex.tex");
    std::filesystem::remove(folder + "d12.bmp");
    std::filesystem::remove(folder + "n24.bmp");
    EXPECT_EQ(FolderRefusal(folder, false),
              "The folder lacks tex.tex, d12.bmp and n24.bmp. Choose the folder that holds "
              "Solvane's textures.");
    const std::string empty = ScratchFolder() + "no-tiles/";
    std::filesystem::create_directories(empty);
    EXPECT_NE(FolderRefusal(empty, false)
                  .find("lacks tex.tex and all sixteen tiles (d11.bmp to n24.bmp)."),
              std::string::npos);
}

TEST(FolderRefusal, PathMustReachTheSaverWhole) {
    const std::string longest = TextureFolderOfLength(MaxFolderLength);
    EXPECT_EQ(FolderRefusal(longest, false), "");
    EXPECT_NE(FolderRefusal(longest, true).find("characters that Solvane cannot read"),
              std::string::npos);
    EXPECT_NE(FolderRefusal("", false).find("cannot read"), std::string::npos);
    const std::string tooLong = TextureFolderOfLength(MaxFolderLength + 1);
    EXPECT_NE(FolderRefusal(tooLong, false).find("too long for Solvane, which can use at most 92"),
              std::string::npos);
}

}  // namespace
