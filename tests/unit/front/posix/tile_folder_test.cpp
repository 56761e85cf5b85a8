#include "front/posix/tile_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "frame/scene_setup.h"
#include "tests/support/bitmap_writer.h"
#include "textures/texture_folder.h"
#include "textures/texture_set.h"

namespace {

class TileFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        root = ScratchFolder() + "tiles-" + info->name() + "/";
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root);
    }

    // The sixteen tiles, 4 x 2 each.
    std::string MakeTiles(const std::string& name) {
        const std::string folder = root + name;
        std::filesystem::create_directories(folder);
        for (const char* file : TextureFileNames)
            WriteBytes(folder + "/" + file, Bitmap24(4, 2, [](int, int) { return Rgb{1, 2, 3}; }));
        return folder;
    }

    static std::vector<std::string> LoadedProblems(const std::string& folder) {
        SetUpSceneWithFolder(folder.c_str());
        const std::vector<std::string> problems = FindLoadedTileProblems(folder);
        FreeTextureSet();
        return problems;
    }

    std::string root;
};

TEST_F(TileFolder, AGivenFolderIsTakenAsItIsAndAFileForItsFolder) {
    EXPECT_EQ(ChooseTextureFolder("/my/tiles", {root + "a"}), "/my/tiles");
    const std::string folder = MakeTiles("picked");
    WriteBytes(folder + "/tex.tex", {});
    EXPECT_EQ(ChooseTextureFolder((folder + "/tex.tex").c_str(), {}), folder);
    EXPECT_EQ(ChooseTextureFolder((folder + "/d11.bmp").c_str(), {}), folder);
    EXPECT_EQ(ChooseTextureFolder(folder.c_str(), {}), folder);
}

TEST_F(TileFolder, TheFirstCandidateHoldingTheFirstTileWins) {
    const std::string empty = root + "installed";
    std::filesystem::create_directories(empty);
    const std::string build = MakeTiles("build");
    EXPECT_EQ(ChooseTextureFolder(nullptr, {empty, build}), build);
    EXPECT_EQ(ChooseTextureFolder("", {build + "/", empty}), build + "/");
    // None holds tiles: the first is reported.
    EXPECT_EQ(ChooseTextureFolder(nullptr, {empty, root + "nowhere"}), empty);
}

TEST_F(TileFolder, DefaultsAreTheInstalledTilesThenTheProgramsOwn) {
    EXPECT_EQ(DefaultTextureFolders("/home/u/build"),
              (std::vector<std::string>{"/usr/share/solvane/textures", "/home/u/build/textures"}));
    EXPECT_EQ(DefaultTextureFolders(""), std::vector<std::string>{"/usr/share/solvane/textures"});
}

TEST_F(TileFolder, AGoodFolderHasNoProblems) {
    EXPECT_TRUE(FindTileProblems(MakeTiles("good")).empty());
    EXPECT_TRUE(FindTileProblems(MakeTiles("slash") + "/").empty());
    EXPECT_TRUE(LoadedProblems(root + "good").empty());
    // A whole tile's header, its pixels cut short: the set holds a stand-in for it.
    const std::string cut = MakeTiles("cut");
    std::filesystem::resize_file(cut + "/d14.bmp", 60);
    EXPECT_EQ(LoadedProblems(cut), FindTileProblems(cut));
}

TEST_F(TileFolder, EveryBadTileIsNamedWithItsReason) {
    const std::string folder = MakeTiles("bad");
    std::filesystem::remove(folder + "/d12.bmp");
    WriteBytes(folder + "/d13.bmp", {});
    WriteBytes(folder + "/n11.bmp", Bytes{'n', 'o', 't', ' ', 'a', ' ', 'b', 'm', 'p'});
    BitmapFields eightBit;
    eightBit.width = 4;
    eightBit.height = 2;
    eightBit.bitCount = 8;
    WriteBytes(folder + "/n22.bmp", CraftBitmap(eightBit, Bytes(8, 0)));
    BitmapFields topDown;
    topDown.width = 4;
    topDown.height = -2;
    WriteBytes(folder + "/n23.bmp", CraftBitmap(topDown, Bytes(24, 0)));
    std::filesystem::remove(folder + "/n24.bmp");
    std::filesystem::create_directories(folder + "/n24.bmp");

    const std::vector<std::string> problems = FindTileProblems(folder);
    ASSERT_EQ(problems.size(), 6u);
    const std::string prefix = folder + "/";
    EXPECT_EQ(problems[0], prefix + "d12.bmp: No such file or directory");
    EXPECT_EQ(problems[1].rfind(prefix + "d13.bmp: not a readable bitmap", 0), 0u) << problems[1];
    EXPECT_EQ(problems[2].rfind(prefix + "n11.bmp: not a readable bitmap", 0), 0u) << problems[2];
    EXPECT_EQ(problems[3], prefix + "n22.bmp: not an uncompressed bottom-up 24-bit bitmap");
    EXPECT_EQ(problems[4], prefix + "n23.bmp: not an uncompressed bottom-up 24-bit bitmap");
    EXPECT_EQ(problems[5], prefix + "n24.bmp: not a file");
    EXPECT_EQ(LoadedProblems(folder), problems);
}

TEST_F(TileFolder, AMissingOrOverlongFolderIsOneProblem) {
    const std::vector<std::string> missing = FindTileProblems(root + "nowhere");
    ASSERT_EQ(missing.size(), 1u);
    EXPECT_EQ(missing[0], "the texture folder " + root + "nowhere: No such file or directory");

    WriteBytes(root + "plain", Bytes{1});
    EXPECT_EQ(FindTileProblems(root + "plain"),
              std::vector<std::string>{"the texture folder " + root + "plain is not a folder"});

    const std::string longFolder = "/" + std::string(MaxFolderLength, 'x');
    const std::vector<std::string> tooLong = FindTileProblems(longFolder);
    ASSERT_EQ(tooLong.size(), 1u);
    EXPECT_NE(tooLong[0].find("is too long"), std::string::npos) << tooLong[0];
}

}  // namespace
