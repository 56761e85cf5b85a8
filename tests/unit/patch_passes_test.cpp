// Which patches each texture pass draws, with several textures: the patches of a
// pass are found once per frame, so these cases pin that the grouping keeps every
// pass's selection and order exactly as a name-by-name comparison would.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "globe/patch_renderer.h"
#include "tests/support/gl_recorder.h"
#include "textures/texture_set.h"

namespace {

class PatchPasses : public ::testing::Test {
  protected:
    void SetUp() override {
        savedTextureList = TextureList;
        TextureList = nullptr;
        SetGlRecording(true);
        ClearGlCalls();
    }
    void TearDown() override {
        ReleaseTextureObjects();
        TextureList = savedTextureList;
    }

    // A patch facing the camera on +x, told apart in the calls by the x of its vertices.
    Patch& AddPatch(const std::string& name, float x, bool blend = false) {
        auto owned = std::make_unique<Storage>();
        for (int i = 0; i < 4; ++i) {
            owned->vertices[i].position = Vec3{x, float(i), 0};
            owned->vertices[i].next = i < 3 ? &owned->vertices[i + 1] : nullptr;
        }
        Patch& patch = owned->patch;
        patch.vertices = &owned->vertices[0];
        patch.centreNormal = Vec3{1, 0, 0};
        patch.textured = 1;
        patch.blend = blend ? 1 : 0;
        std::memcpy(patch.textureName, name.data(),
                    std::min(name.size(), sizeof patch.textureName));
        if (!patches.empty()) patches.back()->patch.next = &patch;
        patches.push_back(std::move(owned));
        return patch;
    }

    void AddRecord(const std::string& path) {
        auto record = std::make_unique<TextureRecord>();
        std::memcpy(record->path, path.data(), std::min(path.size(), sizeof record->path));
        record->header.assign(40, 0);
        record->header[4] = 1;  // 1 x 1 pixels
        record->header[8] = 1;
        record->rgb.assign(4, 0);
        if (records.empty())
            TextureList = record.get();
        else
            records.back()->next = record.get();
        records.push_back(std::move(record));
    }

    // The patches drawn in each texture pass, by their x, one list per pass, in the
    // second call (the first makes the texture objects); each pass must bind the
    // object of its own record. Every patch here is textured, so the closing pass
    // draws nothing that could be mixed into the last list.
    std::vector<std::vector<double>> DrawnByPass() {
        const Patch* head = patches.empty() ? nullptr : &patches.front()->patch;
        DrawPatches(head, camera);
        ClearGlCalls();
        DrawPatches(head, camera);
        std::vector<std::vector<double>> passes(1);
        std::vector<double> bound;
        bool atFirstVertex = false;
        for (const GlCall& call : RecordedGlCalls()) {
            if (call.name == "glBindTexture") {
                passes.emplace_back();
                bound.push_back(call.args[1]);
            }
            if (call.name == "glBegin") atFirstVertex = true;
            if (call.name == "glVertex3f" && atFirstVertex) {
                passes.back().push_back(call.args[0]);
                atFirstVertex = false;
            }
        }
        passes.erase(passes.begin());  // calls before the first pass belong to no pass
        std::vector<double> objects;
        for (const auto& record : records) objects.push_back(record->textureObject);
        EXPECT_EQ(bound, objects);
        return passes;
    }

    struct Storage {
        Patch patch{};
        PatchVertex vertices[4]{};
    };
    std::vector<std::unique_ptr<Storage>> patches;
    std::vector<std::unique_ptr<TextureRecord>> records;
    CameraFrame camera{{18000, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, 0, -1}, 45};
    TextureRecord* savedTextureList = nullptr;
};

TEST_F(PatchPasses, EachPassDrawsItsOwnPatchesInListOrderBlendedLast) {
    AddRecord("tiles/d11.bmp");
    AddRecord("tiles/d12.bmp");
    AddRecord("tiles/n11.bmp");
    AddPatch("tiles/d12.bmp", 6001);
    AddPatch("tiles/d11.bmp", 6002, true);
    AddPatch("tiles/d11.bmp", 6003);
    AddPatch("tiles/n12.bmp", 6004);  // no such texture: never drawn
    AddPatch("tiles/d12.bmp", 6005);
    AddPatch("tiles/d11.bmp", 6006);
    AddPatch("tiles/n11.bmp", 6007, true);
    AddPatch("tiles/d12.bmp", 6008, true);
    const auto passes = DrawnByPass();
    ASSERT_EQ(passes.size(), 3u);
    EXPECT_EQ(passes[0], (std::vector<double>{6003, 6006, 6002}));
    EXPECT_EQ(passes[1], (std::vector<double>{6001, 6005, 6008}));
    EXPECT_EQ(passes[2], (std::vector<double>{6007}));
}

TEST_F(PatchPasses, RecordsWithTheSamePathEachDrawTheirPatches) {
    AddRecord("tiles/d11.bmp");
    AddRecord("tiles/d13.bmp");
    AddRecord("tiles/d11.bmp");
    AddPatch("tiles/d11.bmp", 6001);
    AddPatch("tiles/d13.bmp", 6002);
    AddPatch("tiles/d11.bmp", 6003);
    const auto passes = DrawnByPass();
    ASSERT_EQ(passes.size(), 3u);
    EXPECT_EQ(passes[0], (std::vector<double>{6001, 6003}));
    EXPECT_EQ(passes[1], (std::vector<double>{6002}));
    EXPECT_EQ(passes[2], (std::vector<double>{6001, 6003}));
}

// The file name at the end is compared first; the folder before it must still count,
// also right after a patch that matched a texture with the same file name.
TEST_F(PatchPasses, TheFolderPartOfANameCounts) {
    AddRecord("north/d11.bmp");
    AddRecord("south/d11.bmp");
    AddRecord("d11.bmp");
    AddPatch("north/d11.bmp", 6001);
    AddPatch("south/d11.bmp", 6002);
    AddPatch("xouth/d11.bmp", 6003);
    AddPatch("d11.bmp", 6004);
    AddPatch("/d11.bmp", 6005);
    AddPatch("north/d11.bmp", 6006);
    const auto passes = DrawnByPass();
    ASSERT_EQ(passes.size(), 3u);
    EXPECT_EQ(passes[0], (std::vector<double>{6001, 6006}));
    EXPECT_EQ(passes[1], (std::vector<double>{6002}));
    EXPECT_EQ(passes[2], (std::vector<double>{6004}));
}

// Paths filling all 100 bytes without a terminator are compared over all 100.
TEST_F(PatchPasses, UnterminatedNamesAreComparedOverTheWholeField) {
    const std::string full(100, 'p');
    std::string differentStart = full;
    differentStart[0] = 'q';
    AddRecord(full);
    AddRecord(differentStart);
    AddPatch(full, 6001);
    AddPatch(differentStart, 6002);
    AddPatch(full.substr(0, 99), 6003);
    const auto passes = DrawnByPass();
    ASSERT_EQ(passes.size(), 2u);
    EXPECT_EQ(passes[0], (std::vector<double>{6001}));
    EXPECT_EQ(passes[1], (std::vector<double>{6002}));
}

}  // namespace
