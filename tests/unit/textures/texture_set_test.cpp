#include "textures/texture_set.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "globe/patch_renderer.h"
#include "platform/marker_picker.h"
#include "platform/stored_values.h"
#include "tests/support/bitmap_writer.h"
#include "tests/support/gl_recorder.h"
#include "textures/texture_folder.h"

namespace {

const char* const Names[16] = {"d11.bmp", "d12.bmp", "d13.bmp", "d14.bmp", "d21.bmp", "d22.bmp",
                               "d23.bmp", "d24.bmp", "n11.bmp", "n12.bmp", "n13.bmp", "n14.bmp",
                               "n21.bmp", "n22.bmp", "n23.bmp", "n24.bmp"};

class TextureSetTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        root = ScratchFolder() + "set-" + info->name() + "/";
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root + "config");
        setenv("XDG_CONFIG_HOME", (root + "config").c_str(), 1);
        std::strcpy(AppTag, "QMT");
        ClearMarkerPicks();
    }
    void TearDown() override {
        SetGlMaxTextureSize(16384);
        FreeTextureSet();
        ClearMarkerPicks();
        unsetenv("XDG_CONFIG_HOME");
        TextureFolder[0] = '\0';
    }

    // A folder holding the sixteen textures, each 4 x 2 and filled with a colour
    // that tells the files apart (red = position in the table).
    std::string MakeFolder(const std::string& name, std::uint8_t green) {
        const std::string folder = root + name + "/";
        std::filesystem::create_directories(folder);
        for (int i = 0; i < 16; ++i) {
            WriteBytes(folder + Names[i], Bitmap24(4, 2, [&](int, int) {
                           return Rgb{std::uint8_t(i), green, 7};
                       }));
        }
        return folder;
    }

    static std::vector<TextureRecord*> Records() {
        std::vector<TextureRecord*> list;
        for (TextureRecord* r = TextureList; r != nullptr && list.size() < 20; r = r->next) {
            list.push_back(r);
        }
        return list;
    }

    // Every record can be uploaded: a positive size and RGB data of that size.
    static void ExpectUploadable(const TextureRecord& record) {
        const int width = BitmapWidth(record.header);
        const int height = BitmapHeight(record.header);
        ASSERT_GT(width, 0) << record.path;
        ASSERT_GT(height, 0) << record.path;
        EXPECT_EQ(record.rgb.size(), std::size_t(height) * ((3 * width + 3) / 4 * 4))
            << record.path;
    }

    std::string root;
};

TEST_F(TextureSetTest, SixteenRecordsInTableOrderFromTheFolder) {
    const std::string folder = MakeFolder("good", 50);
    std::strcpy(TextureFolder, folder.c_str());
    QueueMarkerPick((root + "unused/tex.tex").c_str());
    BuildTextureSet();

    const auto records = Records();
    ASSERT_EQ(records.size(), 16u);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(std::string(records[i]->path), folder + Names[i]);
        ASSERT_EQ(BitmapWidth(records[i]->header), 4);
        ASSERT_EQ(records[i]->rgb.size(), 24u);
        EXPECT_EQ(records[i]->rgb[0], i) << Names[i];
        EXPECT_EQ(records[i]->rgb[1], 50);
        EXPECT_EQ(records[i]->rgb[2], 7);  // stored as B, G, R
        // Only the converted copy stays.
        EXPECT_TRUE(records[i]->pixels.empty());
        EXPECT_EQ(records[i]->pixelBytes, 24u);
    }
    // The first file loaded, so no dialog was shown.
    char left[500];
    EXPECT_TRUE(PickMarkerFile(left, sizeof left));

    FreeTextureSet();
    EXPECT_EQ(TextureList, nullptr);
}

TEST_F(TextureSetTest, MissingFirstFileAsksOnceMoreAndUsesTheNewFolder) {
    const std::string stale = MakeFolder("stale", 1);
    std::filesystem::remove(stale + "d11.bmp");
    const std::string chosen = MakeFolder("chosen", 2);
    std::strcpy(TextureFolder, stale.c_str());
    QueueMarkerPick((chosen + "tex.tex").c_str());
    BuildTextureSet();

    const auto records = Records();
    ASSERT_EQ(records.size(), 16u);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(std::string(records[i]->path), chosen + Names[i]);
        EXPECT_EQ(records[i]->rgb.at(1), 2) << Names[i];
    }
    char stored[100];
    LoadAppValue("path", stored);
    EXPECT_EQ(std::string(stored), chosen);
}

TEST_F(TextureSetTest, FilesThatStillFailGetADarkPlaceholder) {
    // No folder at all and the dialog cancelled: the first file fails twice, and
    // there is no third dialog.
    QueueMarkerPick("");
    QueueMarkerPick((root + "never/tex.tex").c_str());
    std::strcpy(TextureFolder, (root + "nowhere/").c_str());
    BuildTextureSet();

    const auto records = Records();
    ASSERT_EQ(records.size(), 16u);
    for (const TextureRecord* record : records) {
        ExpectUploadable(*record);
        EXPECT_LT(record->rgb[0] + record->rgb[1] + record->rgb[2], 3 * 64) << "dark";
    }
    EXPECT_EQ(std::string(records[0]->path), root + "nowhere/d11.bmp");
    char left[500];
    EXPECT_TRUE(PickMarkerFile(left, sizeof left));
}

TEST_F(TextureSetTest, OneBadFileDoesNotDisturbTheOthers) {
    const std::string folder = MakeFolder("gaps", 9);
    std::filesystem::remove(folder + "n23.bmp");
    BitmapFields topDown;
    topDown.width = 4;
    topDown.height = -2;
    WriteBytes(folder + "d14.bmp", CraftBitmap(topDown, Bytes(24, 0)));
    BitmapFields flat;
    flat.width = 4;
    WriteBytes(folder + "d21.bmp", CraftBitmap(flat, {}));
    std::strcpy(TextureFolder, folder.c_str());
    BuildTextureSet();

    const auto records = Records();
    ASSERT_EQ(records.size(), 16u);
    for (int i = 0; i < 16; ++i) {
        ExpectUploadable(*records[i]);
        const bool bad = i == 3 || i == 4 || i == 14;
        EXPECT_EQ(BitmapWidth(records[i]->header), bad ? 1 : 4) << Names[i];
    }
}

TEST_F(TextureSetTest, FolderTooLongForThePathsCountsAsNone) {
    std::string folder(MaxFolderLength, 'x');
    folder += "/";
    std::strcpy(TextureFolder, folder.c_str());
    BuildTextureSet();
    const auto records = Records();
    ASSERT_EQ(records.size(), 16u);
    EXPECT_STREQ(records[0]->path, "d11.bmp");
    EXPECT_STREQ(records[15]->path, "n24.bmp");
}

TEST_F(TextureSetTest, NoFolderNeverLoadsFromTheCurrentDirectory) {
    // The open-file dialog leaves the current directory wherever the user browsed;
    // a cancel there must not pick up the tiles that happen to lie in it.
    const std::string folder = MakeFolder("browsed", 3);
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    QueueMarkerPick("");
    QueueMarkerPick((root + "unused/tex.tex").c_str());
    TextureFolder[0] = '\0';
    BuildTextureSet();
    std::filesystem::current_path(before);

    const auto records = Records();
    ASSERT_EQ(records.size(), 16u);
    for (const TextureRecord* record : records) EXPECT_EQ(BitmapWidth(record->header), 1);
    char left[500];
    EXPECT_TRUE(PickMarkerFile(left, sizeof left)) << "exactly one dialog";
}

// A folder chosen again replaces the images and their texture objects: the old
// objects are deleted with the old set, and the next upload takes the new images.
TEST_F(TextureSetTest, BuildingAgainReplacesTheSetAndItsTextureObjects) {
    ReplaceGlContext();
    std::strcpy(TextureFolder, MakeFolder("first", 1).c_str());
    BuildTextureSet();
    MakeTextureObjects();
    ASSERT_EQ(LiveGlTextureCount(), 16);

    const std::string second = MakeFolder("second", 2);
    std::strcpy(TextureFolder, second.c_str());
    BuildTextureSet();
    EXPECT_EQ(LiveGlTextureCount(), 0);
    const auto records = Records();
    ASSERT_EQ(records.size(), 16u);
    EXPECT_EQ(std::string(records[0]->path), second + "d11.bmp");

    ClearGlCalls();
    MakeTextureObjects();
    EXPECT_EQ(LiveGlTextureCount(), 16);
    const std::vector<GlCall> uploads = RecordedGlCallsNamed("glTexImage2D");
    ASSERT_EQ(uploads.size(), 16u);
    for (std::size_t i = 0; i < 16; ++i) EXPECT_EQ(uploads[i].pointer, records[i]->rgb.data());

    FreeTextureSet();
    EXPECT_EQ(LiveGlTextureCount(), 0);
}

// Also after a frame has drawn: the texture objects made from the images go with them.
TEST_F(TextureSetTest, DroppedImagesKeepThePathsAndUploadEmpty) {
    const std::string folder = MakeFolder("dropped", 4);
    std::strcpy(TextureFolder, folder.c_str());
    ReplaceGlContext();
    BuildTextureSet();
    MakeTextureObjects();
    ASSERT_EQ(LiveGlTextureCount(), 16);
    DropTextureImages();
    EXPECT_EQ(LiveGlTextureCount(), 0);

    const auto records = Records();
    ASSERT_EQ(records.size(), 16u);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(std::string(records[i]->path), folder + Names[i]);
        EXPECT_EQ(BitmapWidth(records[i]->header), 0);
        EXPECT_TRUE(records[i]->rgb.empty());
    }
    // Each pass then specifies an empty image: the GL leaves its patches untextured.
    ClearGlCalls();
    DrawPatches(nullptr, Camera);
    const std::vector<GlCall> uploads = RecordedGlCallsNamed("glTexImage2D");
    ASSERT_EQ(uploads.size(), 16u);
    for (const GlCall& upload : uploads) {
        EXPECT_EQ(upload.args.at(3), 0.0);
        EXPECT_EQ(upload.pointer, nullptr);
    }
}

// A tile larger than the GL takes is named with the limit, once, and drawn without
// its picture; the other tiles keep theirs.
TEST_F(TextureSetTest, TileTooLargeForTheGlIsNamedAndDrawnWithoutItsPicture) {
    const std::string folder = MakeFolder("large", 5);
    WriteBytes(folder + "d22.bmp", Bitmap24(8, 2, [](int, int) { return Rgb{1, 2, 3}; }));
    std::strcpy(TextureFolder, folder.c_str());
    BuildTextureSet();
    ReplaceGlContext();
    SetGlMaxTextureSize(4);
    const std::vector<std::string> problems = OversizedTextureProblems(GlMaxTextureSide());
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0],
              folder + "d22.bmp is 8 x 2 pixels, more than this OpenGL takes (4 on a side)");

    ClearGlCalls();
    ::testing::internal::CaptureStderr();
    MakeTextureObjects();
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find(problems[0]), std::string::npos) << said;
    const std::vector<GlCall> uploads = RecordedGlCallsNamed("glTexImage2D");
    ASSERT_EQ(uploads.size(), 16u);
    for (std::size_t i = 0; i < 16; ++i) EXPECT_EQ(uploads[i].args.at(3), i == 5 ? 0.0 : 4.0) << i;

    // The images of a new context: the same, without a second word.
    ReplaceGlContext();
    ::testing::internal::CaptureStderr();
    MakeTextureObjects();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(LiveGlTextureCount(), 16);
}

}  // namespace
