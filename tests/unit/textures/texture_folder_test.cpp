#include "textures/texture_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/marker_picker.h"
#include "platform/stored_values.h"
#include "tests/support/bitmap_writer.h"

namespace {

// Each test gets its own configuration folder, so stored values start out missing.
class TextureFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        config = ScratchFolder() + "config-" + info->name();
        std::filesystem::remove_all(config);
        std::filesystem::create_directories(config);
        const char* previous = std::getenv("XDG_CONFIG_HOME");
        hadConfig = previous != nullptr;
        if (hadConfig) previousConfig = previous;
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        std::strcpy(AppTag, "QMT");
        TextureFolder[0] = '\0';
        ClearMarkerPicks();
    }
    void TearDown() override {
        if (hadConfig) {
            setenv("XDG_CONFIG_HOME", previousConfig.c_str(), 1);
        } else {
            unsetenv("XDG_CONFIG_HOME");
        }
        ClearMarkerPicks();
        TextureFolder[0] = '\0';
    }

    std::string StoredFile() const { return config + "/QMT_kvr/path"; }

    std::string config;
    std::string previousConfig;
    bool hadConfig = false;
};

std::string Cut(const char* path) {
    char folder[FolderTextSize] = "untouched";
    if (!CutMarkerPath(path, folder)) return "<none>";
    return folder;
}

TEST(CutMarkerPath, CutsAtTheFirstExactMatch) {
    EXPECT_EQ(Cut("D:\\Textures\\tex.tex"), "D:\\Textures\\");
    EXPECT_EQ(Cut("D:\\Textures\\mytex.tex"), "D:\\Textures\\my");
    EXPECT_EQ(Cut("D:\\tex.tex\\tex.tex"), "D:\\");
    EXPECT_EQ(Cut("tex.tex"), "");
    EXPECT_EQ(Cut("D:\\Textures\\TEX.TEX"), "<none>");
    EXPECT_EQ(Cut("D:\\Textures\\earth.tex"), "<none>");
    EXPECT_EQ(Cut(nullptr), "<none>");
}

TEST(CutMarkerPath, FolderMustLeaveRoomForTheFileName) {
    const std::string longest(MaxFolderLength - 1, 'a');  // plus the separator: 92
    EXPECT_EQ(Cut((longest + "\\tex.tex").c_str()), longest + "\\");
    EXPECT_EQ(Cut((longest + "b\\tex.tex").c_str()), "<none>");
    EXPECT_EQ(Cut((std::string(400, 'c') + "\\tex.tex").c_str()), "<none>");
}

TEST_F(TextureFolderTest, StoredValueKeepsItsTerminatorAndComesBackWhole) {
    ASSERT_EQ(StoreAppValue("path", "D:\\Textures\\"), 0);
    EXPECT_EQ(ReadBytes(StoredFile()).size(), 13u);  // 12 characters and the NUL
    char out[100] = "stale";
    LoadAppValue("path", out);
    EXPECT_STREQ(out, "D:\\Textures\\");

    // Longer than 79 characters: stored whole, not cut.
    const std::string folder = std::string(90, 'x') + "/";
    ASSERT_EQ(StoreAppValue("path", folder.c_str()), 0);
    LoadAppValue("path", out);
    EXPECT_EQ(std::string(out), folder);
}

TEST_F(TextureFolderTest, LoadedValueIsAlwaysTerminated) {
    char out[100] = "stale";
    LoadAppValue("path", out);
    EXPECT_STREQ(out, "") << "missing value";

    std::filesystem::create_directories(config + "/QMT_kvr");
    // Exactly the buffer's size and no NUL: ends at the last byte of the buffer.
    ASSERT_TRUE(WriteBytes(StoredFile(), Bytes(100, 'q')));
    LoadAppValue("path", out);
    EXPECT_EQ(std::string(out), std::string(99, 'q'));

    // Shorter and no NUL: ends after the last byte read.
    ASSERT_TRUE(WriteBytes(StoredFile(), Bytes(5, 'r')));
    LoadAppValue("path", out);
    EXPECT_STREQ(out, "rrrrr");

    // Longer than the buffer: not readable, so empty.
    ASSERT_EQ(StoreAppValue("path", std::string(150, 's').c_str()), 0);
    LoadAppValue("path", out);
    EXPECT_STREQ(out, "");
}

TEST_F(TextureFolderTest, ValueNamesStayInsideTheKey) {
    EXPECT_EQ(StoreAppValue("../escape", "x"), 1);
    EXPECT_EQ(StoreAppValue("..", "x"), 1);
    EXPECT_EQ(StoreAppValue("", "x"), 1);
    EXPECT_FALSE(std::filesystem::exists(config + "/escape"));
}

// A disk that fills up shows only when the written bytes are flushed: the store
// must say it failed, so that Settings does not claim the folder was kept.
TEST_F(TextureFolderTest, AWriteThatFailsIsReported) {
    ASSERT_EQ(StoreAppValue("path", "first"), 0);
    std::filesystem::remove(StoredFile());
    std::filesystem::create_symlink("/dev/full", StoredFile());
    EXPECT_EQ(StoreAppValue("path", "D:\\Textures\\"), 1);
    EXPECT_EQ(StoreTextureFolder("D:\\Textures\\"), 1);
    std::filesystem::create_symlink("/dev/full", config + "/QMT_kvr/Monitors");
    EXPECT_EQ(StoreAppNumber("Monitors", 2), 1);
}

TEST_F(TextureFolderTest, BrowseStoresTheCutFolder) {
    QueueMarkerPick("D:\\Textures\\tex.tex");
    BrowseForTextureFolder();
    EXPECT_STREQ(TextureFolder, "D:\\Textures\\");
    char stored[100];
    LoadAppValue("path", stored);
    EXPECT_STREQ(stored, "D:\\Textures\\");
}

TEST_F(TextureFolderTest, CancelOrForeignFileKeepsTheFolder) {
    std::strcpy(TextureFolder, "/old/");
    QueueMarkerPick("");  // cancel
    BrowseForTextureFolder();
    EXPECT_STREQ(TextureFolder, "/old/");
    QueueMarkerPick("/new/TEX.TEX");
    BrowseForTextureFolder();
    EXPECT_STREQ(TextureFolder, "/old/");
    BrowseForTextureFolder();  // no answer at all
    EXPECT_STREQ(TextureFolder, "/old/");
    EXPECT_FALSE(std::filesystem::exists(StoredFile()));
}

TEST_F(TextureFolderTest, TooLongAPickMeansNoFolder) {
    std::strcpy(TextureFolder, "/old/");
    QueueMarkerPick(("/" + std::string(92, 'l') + "/tex.tex").c_str());
    BrowseForTextureFolder();
    EXPECT_STREQ(TextureFolder, "");
    EXPECT_FALSE(std::filesystem::exists(StoredFile()));
}

TEST_F(TextureFolderTest, SettleUsesTheStoredFolderWithoutAsking) {
    ASSERT_EQ(StoreAppValue("path", "/stored/"), 0);
    QueueMarkerPick("/picked/tex.tex");
    SettleTextureFolder();
    EXPECT_STREQ(AppTag, "QMT");
    EXPECT_STREQ(TextureFolder, "/stored/");
}

TEST_F(TextureFolderTest, SettleAsksWhenNothingUsableIsStored) {
    // Nothing stored.
    QueueMarkerPick("/picked/tex.tex");
    SettleTextureFolder();
    EXPECT_STREQ(TextureFolder, "/picked/");

    // The empty text counts as nothing, at every start.
    ASSERT_EQ(StoreAppValue("path", ""), 0);
    QueueMarkerPick("/again/tex.tex");
    SettleTextureFolder();
    EXPECT_STREQ(TextureFolder, "/again/");

    // 93 characters cannot form the texture paths.
    ASSERT_EQ(StoreAppValue("path", (std::string(92, 'z') + "/").c_str()), 0);
    QueueMarkerPick("/short/tex.tex");
    SettleTextureFolder();
    EXPECT_STREQ(TextureFolder, "/short/");
}

TEST_F(TextureFolderTest, PathPrefixDropsAFolderTooLongForThePaths) {
    char prefix[FolderTextSize];
    std::strcpy(TextureFolder, "/t/");
    EXPECT_EQ(TexturePathPrefix(prefix), 3u);
    EXPECT_STREQ(prefix, "/t/");

    const std::string fits(MaxFolderLength, 'f');
    std::strcpy(TextureFolder, fits.c_str());
    EXPECT_EQ(TexturePathPrefix(prefix), MaxFolderLength);

    std::strcpy(TextureFolder, (fits + "g").c_str());
    EXPECT_EQ(TexturePathPrefix(prefix), 0u);
    EXPECT_STREQ(prefix, "");

    std::memset(TextureFolder, 'u', FolderTextSize);  // no terminator at all
    EXPECT_EQ(TexturePathPrefix(prefix), 0u);
}

}  // namespace
