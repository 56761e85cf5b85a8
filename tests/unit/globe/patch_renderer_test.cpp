#include "globe/patch_renderer.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "frame/frame_step.h"
#include "tests/support/gl_recorder.h"
#include "textures/texture_set.h"

namespace {

// The x of the first vertex of every drawn patch, in drawing order: the tests give
// each patch its own.
std::vector<double> DrawnPatches() {
    std::vector<double> drawn;
    bool atFirstVertex = false;
    for (const GlCall& call : RecordedGlCalls()) {
        if (call.name == "glBegin") atFirstVertex = true;
        if (call.name == "glVertex3f" && atFirstVertex) {
            drawn.push_back(call.args[0]);
            atFirstVertex = false;
        }
    }
    return drawn;
}

class PatchRenderer : public ::testing::Test {
  protected:
    void SetUp() override {
        savedTextureList = TextureList;
        TextureList = nullptr;
        camera = CameraFrame{{18000, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, 0, -1}, 45};
        ReplaceGlContext();
        ClearGlCalls();
    }
    void TearDown() override {
        ReleaseTextureObjects();
        TextureList = savedTextureList;
    }

    // A patch facing the camera, its first vertex at (x, 0, 0) and the other three a
    // little north and east of it; linked behind the patches made before.
    Patch& AddPatch(const std::string& name, float x, std::int32_t textured = 1) {
        auto owned = std::make_unique<Storage>();
        Patch& patch = owned->patch;
        for (int i = 0; i < 4; ++i) {
            PatchVertex& v = owned->vertices[i];
            v.position = Vec3{x, 10.0f * float(i & 2), 10.0f * float((i + 1) & 2)};
            v.colour = Colour{0.25f * float(i), 0.5f, 0.75f, 1.0f};
            v.texCoord = TexCoord{0.125f * float(i), 0.5f};
            v.next = i < 3 ? &owned->vertices[i + 1] : nullptr;
        }
        patch.vertices = &owned->vertices[0];
        patch.centreNormal = Vec3{1, 0, 0};
        // A name may fill the whole field, without a terminator.
        std::memcpy(patch.textureName, name.data(),
                    std::min(name.size(), sizeof patch.textureName));
        patch.textured = textured;
        if (!storage.empty()) storage.back()->patch.next = &patch;
        storage.push_back(std::move(owned));
        return patch;
    }

    TextureRecord& AddRecord(const std::string& path, std::int32_t width = 1,
                             std::int32_t height = 1, std::size_t rgbSize = 4) {
        auto record = std::make_unique<TextureRecord>();
        std::memcpy(record->path, path.data(), std::min(path.size(), sizeof record->path));
        record->header.assign(40, 0);
        std::memcpy(&record->header[4], &width, 4);  // little-endian host
        std::memcpy(&record->header[8], &height, 4);
        record->rgb.assign(rgbSize, 0x80);
        if (records.empty())
            TextureList = record.get();
        else
            records.back()->next = record.get();
        records.push_back(std::move(record));
        return *records.back();
    }

    // The patches drawn in each texture pass, by their x, one list per pass, in the
    // second call (the first makes the texture objects); each pass must bind the
    // object of its own record. Every patch here is textured, so the closing pass
    // draws nothing that could be mixed into the last list.
    std::vector<std::vector<double>> DrawnByPass() {
        const Patch* head = storage.empty() ? nullptr : &storage.front()->patch;
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

    void Draw() { DrawPatches(storage.empty() ? nullptr : &storage.front()->patch, camera); }

    struct Storage {
        Patch patch{};
        PatchVertex vertices[4]{};
    };
    std::vector<std::unique_ptr<Storage>> storage;
    std::vector<std::unique_ptr<TextureRecord>> records;
    CameraFrame camera{};
    TextureRecord* savedTextureList = nullptr;
};

TEST_F(PatchRenderer, WithoutTexturesOnlyUntexturedPatchesAreDrawnPlain) {
    AddPatch("tiles/d11.bmp", 6000);
    Draw();
    EXPECT_TRUE(RecordedGlCalls().empty()) << FormatGlCalls();

    ClearGlCalls();
    AddPatch("tiles/d11.bmp", 6001, 0);
    Draw();
    std::vector<std::string> expected{GlCallText("glBegin", {GL_POLYGON})};
    for (const PatchVertex* v = storage.back()->patch.vertices; v; v = v->next) {
        expected.push_back(GlCallText("glColor4f", {v->colour.r, v->colour.g, v->colour.b, 1}));
        expected.push_back(GlCallText("glVertex3f", {v->position.x, v->position.y, v->position.z}));
    }
    expected.push_back(GlCallText("glEnd"));
    EXPECT_EQ(RecordedGlCallTexts(), expected);
}

// The first call makes one texture object per record, its image and parameters with
// it; every call binds each record's object for its pass, and later calls upload
// nothing.
TEST_F(PatchRenderer, TexturesAreUploadedOnceAndEachPassBindsItsOwn) {
    const TextureRecord& first = AddRecord("tiles/d11.bmp", 4, 2, 24);
    const TextureRecord& second = AddRecord("tiles/d12.bmp", 2, 1, 8);
    AddPatch("tiles/d12.bmp", 6000);
    Draw();

    const auto object = [](const TextureRecord& record, int width, int height) {
        const double name = record.textureObject;
        return std::vector<std::string>{
            GlCallText("glGenTextures", {1}),
            GlCallText("glBindTexture", {GL_TEXTURE_2D, name}),
            GlCallText("glTexImage2D", {GL_TEXTURE_2D, 0, 3, double(width), double(height), 0,
                                        GL_RGB, GL_UNSIGNED_BYTE}),
            GlCallText("glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT}),
            GlCallText("glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT}),
            GlCallText("glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST}),
            GlCallText("glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST})};
    };
    std::vector<std::string> passes{
        GlCallText("glBindTexture", {GL_TEXTURE_2D, double(first.textureObject)}),
        GlCallText("glBindTexture", {GL_TEXTURE_2D, double(second.textureObject)}),
        GlCallText("glEnable", {GL_TEXTURE_2D}),
        GlCallText("glBegin", {GL_POLYGON}),
    };
    for (const PatchVertex* v = storage.back()->patch.vertices; v; v = v->next) {
        passes.push_back(GlCallText("glColor4f", {v->colour.r, v->colour.g, v->colour.b, 1}));
        passes.push_back(GlCallText("glTexCoord2f", {v->texCoord.s, v->texCoord.t}));
        passes.push_back(GlCallText("glVertex3f", {v->position.x, v->position.y, v->position.z}));
    }
    passes.push_back(GlCallText("glEnd"));
    passes.push_back(GlCallText("glDisable", {GL_TEXTURE_2D}));

    std::vector<std::string> expected{
        GlCallText("glPixelStorei", {GL_UNPACK_ALIGNMENT, 4}),
        GlCallText("glPixelStorei", {GL_UNPACK_ROW_LENGTH, 0}),
        GlCallText("glPixelStorei", {GL_UNPACK_SKIP_ROWS, 0}),
        GlCallText("glPixelStorei", {GL_UNPACK_SKIP_PIXELS, 0}),
    };
    for (const auto& calls : {object(first, 4, 2), object(second, 2, 1), passes})
        expected.insert(expected.end(), calls.begin(), calls.end());
    EXPECT_EQ(RecordedGlCallTexts(), expected);
    EXPECT_NE(first.textureObject, second.textureObject);
    EXPECT_NE(first.textureObject, 0u);
    EXPECT_NE(second.textureObject, 0u);

    const std::vector<GlCall> uploads = RecordedGlCallsNamed("glTexImage2D");
    ASSERT_EQ(uploads.size(), 2u);
    EXPECT_EQ(uploads[0].pointer, first.rgb.data());
    EXPECT_EQ(uploads[1].pointer, second.rgb.data());

    // The next frame asks whether the objects are this context's, and binds them.
    ClearGlCalls();
    Draw();
    expected = {GlCallText("glIsTexture", {double(first.textureObject)})};
    expected.insert(expected.end(), passes.begin(), passes.end());
    EXPECT_EQ(RecordedGlCallTexts(), expected);
}

// Released objects are deleted and made again by the next call. A context replaced
// without a release knows none of the names: they are made there anew, not bound as
// strangers, which would draw with empty textures.
TEST_F(PatchRenderer, TexturesAreMadeAgainAfterAReleaseAndInAnotherContext) {
    AddRecord("tiles/d11.bmp", 1, 1, 4);
    AddRecord("tiles/d12.bmp", 1, 1, 4);
    AddPatch("tiles/d11.bmp", 6000);
    Draw();
    ASSERT_EQ(LiveGlTextureCount(), 2);
    const unsigned int made = records[1]->textureObject;

    ClearGlCalls();
    ReleaseGlObjects();
    EXPECT_EQ(RecordedGlCallTexts(),
              (std::vector<std::string>{GlCallText("glDeleteTextures", {1, double(made - 1)}),
                                        GlCallText("glDeleteTextures", {1, double(made)})}));
    EXPECT_EQ(LiveGlTextureCount(), 0);
    EXPECT_EQ(records[0]->textureObject, 0u);
    ReleaseGlObjects();  // nothing left to delete
    EXPECT_EQ(RecordedGlCallsNamed("glDeleteTextures").size(), 2u);

    ClearGlCalls();
    Draw();
    EXPECT_EQ(RecordedGlCallsNamed("glTexImage2D").size(), 2u);
    EXPECT_EQ(LiveGlTextureCount(), 2);

    ReplaceGlContext();
    ClearGlCalls();
    Draw();
    EXPECT_EQ(RecordedGlCallsNamed("glTexImage2D").size(), 2u);
    EXPECT_EQ(LiveGlTextureCount(), 2);
    const std::vector<GlCall> binds = RecordedGlCallsNamed("glBindTexture");
    ASSERT_FALSE(binds.empty());
    EXPECT_EQ(binds.back().args[1], double(records[1]->textureObject));
    EXPECT_EQ(DrawnPatches(), (std::vector<double>{6000}));
}

TEST_F(PatchRenderer, PatchesAreMatchedToTexturesByExactName) {
    AddRecord("tiles/d11.bmp", 1, 1, 4);
    AddPatch("tiles/d11.bmp", 6001);
    AddPatch("tiles/d11.bmpx", 6002);
    AddPatch("tiles/d11.bm", 6003);
    AddPatch("TILES/d11.bmp", 6004);
    AddPatch("tiles/d21.bmp", 6005);
    AddPatch("", 6006);
    AddPatch("tiles/d11.bmp", 6007, 0);  // an untextured patch is drawn in this pass too
    Draw();
    EXPECT_EQ(DrawnPatches(), (std::vector<double>{6001, 6007, 6007}));
    // ... but without the texture, in its pass and in the closing one.
    EXPECT_EQ(RecordedGlCallsNamed("glEnable").size(), 1u);
    EXPECT_EQ(RecordedGlCallsNamed("glTexCoord2f").size(), 4u);
}

TEST_F(PatchRenderer, NamesOfAFullPathAreComparedToTheEnd) {
    std::string path(99, 'a');
    path.replace(92, 7, "d24.bmp");
    AddRecord(path.c_str(), 1, 1, 4);
    AddPatch(path.c_str(), 6001);
    std::string other = path;
    other[0] = 'b';
    AddPatch(other.c_str(), 6002);
    Draw();
    EXPECT_EQ(DrawnPatches(), (std::vector<double>{6001}));
}

TEST_F(PatchRenderer, PatchesFacingAwayFromTheCameraAreSkipped) {
    AddPatch("", 6000, 0);  // e = -1
    Patch& far = AddPatch("", -6000, 0);
    far.centreNormal = Vec3{-1, 0, 0};
    Patch& farKept = AddPatch("", -6001, 0);
    farKept.centreNormal = Vec3{-1, 0, 0};
    farKept.vertices->noCull = 1;
    Patch& edgeOn = AddPatch("", 6002, 0);
    edgeOn.centreNormal = Vec3{0, 1, 0};  // e exactly 0
    Patch& noNumber = AddPatch("", -6003, 0);
    noNumber.centreNormal = Vec3{std::numeric_limits<float>::quiet_NaN(), 0, 0};
    Patch& atEye = AddPatch("", 18000, 0);  // no direction from the camera
    atEye.vertices->position = camera.position;
    atEye.centreNormal = Vec3{1, 0, 0};
    Draw();
    EXPECT_EQ(DrawnPatches(), (std::vector<double>{6000, -6001, 6002, -6003, 18000}));
}

TEST_F(PatchRenderer, OutlinesCloseTheirLoopInEverySelectingPass) {
    AddRecord("tiles/n13.bmp", 1, 1, 4);
    Patch& outline = AddPatch("tiles/n13.bmp", -6000);  // facing away: no test applies
    outline.centreNormal = Vec3{-1, 0, 0};
    outline.outline = 1;
    outline.textured = 2;  // selected by name and, not being 1, by the closing pass
    Draw();
    ClearGlCalls();
    Draw();  // the objects made: the calls start with the context check and the bind

    std::vector<std::string> strip{GlCallText("glBegin", {GL_LINE_STRIP})};
    const PatchVertex* first = outline.vertices;
    for (const PatchVertex* v = first; v; v = v->next) {
        strip.push_back(GlCallText("glColor3f", {v->colour.r, v->colour.g, v->colour.b}));
        strip.push_back(GlCallText("glVertex3f", {v->position.x, v->position.y, v->position.z}));
    }
    strip.push_back(GlCallText("glColor3f", {first->colour.r, first->colour.g, first->colour.b}));
    strip.push_back(
        GlCallText("glVertex3f", {first->position.x, first->position.y, first->position.z}));
    strip.push_back(GlCallText("glEnd"));

    std::vector<std::string> calls = RecordedGlCallTexts();
    ASSERT_GE(calls.size(), 2u);
    calls.erase(calls.begin(), calls.begin() + 2);
    std::vector<std::string> expected = strip;
    expected.insert(expected.end(), strip.begin(), strip.end());
    EXPECT_EQ(calls, expected);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), GlCallText("glVertex3f", {-6000, 0, 0})), 4);
}

TEST_F(PatchRenderer, BlendedPatchesComeLastWithBlendingAroundThem) {
    AddRecord("tiles/d13.bmp", 1, 1, 4);
    AddPatch("tiles/d13.bmp", 6001).blend = 1;
    AddPatch("tiles/d13.bmp", 6002);
    AddPatch("tiles/d13.bmp", 6003).blend = 1;
    Draw();
    EXPECT_EQ(DrawnPatches(), (std::vector<double>{6002, 6001, 6003}));

    std::vector<std::string> states;
    for (const GlCall& call : RecordedGlCalls())
        if (call.name == "glEnable" || call.name == "glDisable" || call.name == "glBegin")
            states.push_back(FormatGlCall(call));
    const std::string texOn = GlCallText("glEnable", {GL_TEXTURE_2D});
    const std::string texOff = GlCallText("glDisable", {GL_TEXTURE_2D});
    const std::string blendOn = GlCallText("glEnable", {GL_BLEND});
    const std::string blendOff = GlCallText("glDisable", {GL_BLEND});
    const std::string begin = GlCallText("glBegin", {GL_POLYGON});
    EXPECT_EQ(states, (std::vector<std::string>{texOn, begin,              //
                                                blendOn, begin, blendOff,  //
                                                blendOn, begin, blendOff, texOff}));
}

// Texturing is on at exactly the textured filled patches of a texture pass, and is
// switched only where that changes: once per run of such patches, off after each pass.
TEST_F(PatchRenderer, TexturingIsSwitchedOnlyBetweenRunsOfTexturedPatches) {
    AddRecord("tiles/d11.bmp", 1, 1, 4);
    AddRecord("tiles/d12.bmp", 1, 1, 4);
    AddPatch("tiles/d11.bmp", 6001);
    AddPatch("tiles/d11.bmp", 6002);
    AddPatch("tiles/d11.bmp", 6003, 0);
    AddPatch("tiles/d11.bmp", 6004);
    AddPatch("tiles/d11.bmp", 6005).outline = 1;
    AddPatch("tiles/d11.bmp", 6006);
    AddPatch("tiles/d12.bmp", 6007);
    Draw();

    struct Drawn {
        double x;
        bool texturing;
        bool operator==(const Drawn& other) const {
            return x == other.x && texturing == other.texturing;
        }
    };
    std::vector<Drawn> drawn;
    bool texturing = false, atFirstVertex = false;
    int switches = 0;
    for (const GlCall& call : RecordedGlCalls()) {
        const bool texture = !call.args.empty() && call.args[0] == GL_TEXTURE_2D;
        if (call.name == "glEnable" && texture) texturing = true, ++switches;
        if (call.name == "glDisable" && texture) texturing = false, ++switches;
        if (call.name == "glBindTexture") {
            EXPECT_FALSE(texturing) << "on across passes";
        }
        if (call.name == "glBegin") atFirstVertex = true;
        if (call.name == "glVertex3f" && atFirstVertex) {
            drawn.push_back({call.args[0], texturing});
            atFirstVertex = false;
        }
    }
    EXPECT_FALSE(texturing);
    EXPECT_EQ(drawn, (std::vector<Drawn>{{6001, true},
                                         {6002, true},
                                         {6003, false},
                                         {6004, true},
                                         {6005, false},
                                         {6006, true},
                                         {6007, true},
                                         {6003, false}}));  // the closing pass
    EXPECT_EQ(switches, 8);  // on and off for 6001-6002, 6004, 6006 and 6007
}

TEST_F(PatchRenderer, ImagesTheirDataCannotBackAreUploadedEmpty) {
    AddRecord("tiles/d11.bmp", 64, 64, 12);  // 12 bytes for a 64 x 64 header
    AddRecord("tiles/d12.bmp", 2, -2, 16);   // top-down
    AddRecord("tiles/d13.bmp", 3, 2, 23);    // one byte short of two padded rows
    AddRecord("tiles/d14.bmp", 3, 2, 24);    // exactly two rows of 12 bytes
    TextureRecord& shortHeader = AddRecord("tiles/d21.bmp", 1, 1, 4);
    shortHeader.header.resize(6);
    Draw();
    const std::vector<GlCall> uploads = RecordedGlCallsNamed("glTexImage2D");
    ASSERT_EQ(uploads.size(), 5u);
    for (int i : {0, 1, 2, 4}) {
        EXPECT_EQ(uploads[i].args.at(3), 0.0) << "record " << i;
        EXPECT_EQ(uploads[i].args.at(4), 0.0) << "record " << i;
        EXPECT_EQ(uploads[i].pointer, nullptr) << "record " << i;
    }
    EXPECT_EQ(uploads[3].args.at(3), 3.0);
    EXPECT_EQ(uploads[3].pointer, records[3]->rgb.data());
    // Every object has its wrap and filters, and its own name.
    EXPECT_EQ(RecordedGlCallsNamed("glTexParameteri").size(), 4u * 5u);
    EXPECT_EQ(LiveGlTextureCount(), 5);
}

// Which patches each texture pass draws, with several textures: the patches of a
// pass are found once per frame, so these cases pin that the grouping keeps every
// pass's selection and order exactly as a name-by-name comparison would.
TEST_F(PatchRenderer, EachPassDrawsItsOwnPatchesInListOrderBlendedLast) {
    AddRecord("tiles/d11.bmp");
    AddRecord("tiles/d12.bmp");
    AddRecord("tiles/n11.bmp");
    AddPatch("tiles/d12.bmp", 6001);
    AddPatch("tiles/d11.bmp", 6002).blend = 1;
    AddPatch("tiles/d11.bmp", 6003);
    AddPatch("tiles/n12.bmp", 6004);  // no such texture: never drawn
    AddPatch("tiles/d12.bmp", 6005);
    AddPatch("tiles/d11.bmp", 6006);
    AddPatch("tiles/n11.bmp", 6007).blend = 1;
    AddPatch("tiles/d12.bmp", 6008).blend = 1;
    const auto passes = DrawnByPass();
    ASSERT_EQ(passes.size(), 3u);
    EXPECT_EQ(passes[0], (std::vector<double>{6003, 6006, 6002}));
    EXPECT_EQ(passes[1], (std::vector<double>{6001, 6005, 6008}));
    EXPECT_EQ(passes[2], (std::vector<double>{6007}));
}

TEST_F(PatchRenderer, RecordsWithTheSamePathEachDrawTheirPatches) {
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
TEST_F(PatchRenderer, TheFolderPartOfANameCounts) {
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
TEST_F(PatchRenderer, UnterminatedNamesAreComparedOverTheWholeField) {
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
