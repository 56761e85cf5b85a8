#include "globe/day_night_tiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "globe/globe_mesh.h"
#include "globe/sun_shading.h"
#include "textures/texture_folder.h"
#include "textures/texture_set.h"

namespace {

// A hand-made scene list of one patch, shaded white, so a test controls every input.
class DayNightTilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        savedScene = SceneList;
        SceneList = &patch;
        SetLighting();
        std::strcpy(TextureFolder, "D:\\Textures\\");
        for (int k = 0; k < 4; ++k) {
            vertices[k].colour = {0.9f, 0.8f, 0.7f, 0.5f};
            vertices[k].next = k < 3 ? &vertices[k + 1] : nullptr;
        }
        patch.vertices = vertices;
        patch.next = nullptr;
    }
    void TearDown() override {
        SceneList = savedScene;
        TextureFolder[0] = '\0';
    }

    std::string Assign(float latitude, float longitude, Vec3 normal) {
        patch.latitude = latitude;
        patch.longitude = longitude;
        patch.centreNormal = normal;
        std::memset(patch.textureName, '#', sizeof patch.textureName);
        AssignTileTextures();
        return patch.textureName;
    }

    Patch* savedScene = nullptr;
    Patch patch{};
    PatchVertex vertices[4]{};
};

const Vec3 FacingSun{1, 0, 0};
const Vec3 FacingAway{-1, 0, 0};

TEST_F(DayNightTilesTest, DaySideKeepsItsShading) {
    EXPECT_EQ(Assign(0, 0, FacingSun), "D:\\Textures\\d13.bmp");
    for (const PatchVertex& v : vertices) {
        EXPECT_EQ(v.colour.r, 0.9f);
        EXPECT_EQ(v.colour.g, 0.8f);
        EXPECT_EQ(v.colour.b, 0.7f);
    }
}

TEST_F(DayNightTilesTest, NightSideTakesTheNightColourOnEveryVertex) {
    EXPECT_EQ(Assign(0, 0, FacingAway), "D:\\Textures\\n13.bmp");
    for (const PatchVertex& v : vertices) {
        EXPECT_EQ(v.colour.r, 0.2f);
        EXPECT_EQ(v.colour.g, 0.2f);
        EXPECT_EQ(v.colour.b, 0.3f);
        EXPECT_EQ(v.colour.a, 0.5f);  // alpha is not the night colour's business
    }
}

TEST_F(DayNightTilesTest, TerminatorAndUndefinedNormals) {
    // A centre on the terminator is lit; one that is not a number is not.
    EXPECT_EQ(Assign(0, 0, {0, 1, 0})[12], 'd');
    EXPECT_EQ(Assign(0, 0, {0, 0, 0})[12], 'd');
    EXPECT_EQ(Assign(0, 0, {-0.0f, 0, 0})[12], 'd');
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(Assign(0, 0, {nan, 0, 0})[12], 'n');
    EXPECT_EQ(Assign(0, 0, {0, nan, 0})[12], 'n');
    // The light direction matters, not a fixed axis.
    LightDirection = {0, 0, 1};
    EXPECT_EQ(Assign(0, 0, {0, 0, -1})[12], 'd');
    EXPECT_EQ(Assign(0, 0, FacingSun)[12], 'd');
    EXPECT_EQ(Assign(0, 0, {0, 0, 1})[12], 'n');
}

TEST_F(DayNightTilesTest, RowsSplitAtTheEquatorColumnsAtTheBandEdges) {
    struct Case {
        float latitude, longitude;
        const char* name;
    };
    const Case cases[] = {
        {0, 0, "d13.bmp"},         {-5, -5, "d22.bmp"},         {85, -180, "d11.bmp"},
        {-90, -180, "d21.bmp"},    {0, -90, "d12.bmp"},         {0, -95, "d11.bmp"},
        {0, 90, "d14.bmp"},        {0, 85, "d13.bmp"},          {-90, 175, "d24.bmp"},
        {-0.0f, -0.0f, "d13.bmp"}, {-1e-6f, -1e-6f, "d22.bmp"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Assign(c.latitude, c.longitude, FacingSun),
                  std::string("D:\\Textures\\") + c.name)
            << c.latitude << ", " << c.longitude;
    }
}

TEST_F(DayNightTilesTest, NameIsTheFolderAndFileWithNothingElse) {
    for (const std::string& folder :
         {std::string(""), std::string("/"), std::string(MaxFolderLength - 1, 'a') + "/"}) {
        std::strcpy(TextureFolder, folder.c_str());
        const std::string name = Assign(-45, 135, FacingSun);
        EXPECT_EQ(name, folder + "d24.bmp");
        EXPECT_EQ(patch.textureName[name.size()], '\0');
    }
    // Too long to form the paths: no folder, as in the texture set.
    std::strcpy(TextureFolder, (std::string(MaxFolderLength, 'b') + "/").c_str());
    EXPECT_EQ(Assign(-45, 135, FacingAway), "n24.bmp");
}

TEST_F(DayNightTilesTest, EveryPatchOfTheGlobeNamesARecordOfTheSet) {
    CreateFrames();
    CreateSunFrame();
    BuildGlobeMesh();
    UpdateSunFrame(0, 0, 12, 21, 3);
    ShadeGlobe();
    std::strcpy(TextureFolder, "/no/such/folder/");
    BuildTextureSet();  // placeholders, but the paths are what matters here
    AssignTileTextures();

    int perRecord[16] = {};
    int day = 0;
    int total = 0;
    for (const Patch* p = SceneList; p != nullptr; p = p->next, ++total) {
        int index = 0;
        const TextureRecord* r = TextureList;
        while (r != nullptr && std::strcmp(r->path, p->textureName) != 0) {
            r = r->next;
            ++index;
        }
        ASSERT_NE(r, nullptr) << p->textureName;
        ++perRecord[index];
        if (p->textureName[16] == 'd') ++day;
    }
    FreeTextureSet();
    EXPECT_EQ(total, PatchCount);
    // Each tile is 18 x 18 patches, split between its day and night names.
    for (int i = 0; i < 8; ++i) EXPECT_EQ(perRecord[i] + perRecord[i + 8], 324) << i;
    // Near an equinox the terminator halves the globe, up to a few columns of patches.
    EXPECT_NEAR(day, PatchCount / 2, 36 * 3);
}

}  // namespace
