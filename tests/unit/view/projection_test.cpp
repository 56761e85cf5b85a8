#include "view/projection.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "frame/scene_setup.h"
#include "tests/support/gl_recorder.h"
#include "textures/texture_folder.h"
#include "textures/texture_set.h"

namespace {

class Projection : public ::testing::Test {
  protected:
    void SetUp() override {
        SetUpViewSettings();
        ClearGlCalls();
    }
    void TearDown() override { SetUpViewSettings(); }
};

// What the picture needs of a resize: the whole window, the lens of the globe at the
// window's aspect, and the back buffer with depth testing; not the order of the calls.
TEST_F(Projection, ResizeSetsViewportAndPerspective) {
    ResizeView(1024, 768);
    EXPECT_FLOAT_EQ(viewSettings.aspect, 1.3333334f);
    const std::vector<std::string> calls = RecordedGlCallTexts();
    const auto made = [&calls](const std::string& call) {
        return std::find(calls.begin(), calls.end(), call) != calls.end();
    };
    EXPECT_TRUE(made(GlCallText("glViewport", {0, 0, 1024, 768})));
    EXPECT_TRUE(made(GlCallText("gluPerspective", {45, double(1024.0f / 768.0f), 2, 20000})));
    EXPECT_TRUE(made(GlCallText("glDrawBuffer", {GL_BACK})));
    EXPECT_TRUE(made(GlCallText("glEnable", {GL_DEPTH_TEST})));
}

TEST_F(Projection, ResizeToZeroHeightTakesWidthAsAspect) {
    ResizeView(640, 0);
    EXPECT_EQ(viewSettings.aspect, 640.0f);
    EXPECT_EQ(RecordedGlCallTexts().at(0), GlCallText("glViewport", {0, 0, 640, 0}));
    EXPECT_EQ(RecordedGlCallTexts().at(3), GlCallText("gluPerspective", {45, 640, 2, 20000}));
}

TEST_F(Projection, PlacedViewTakesItsOwnViewportAndAspect) {
    // The right monitor of two, a portrait one standing lower than the left.
    CreateFrames();
    ResizeView(2048, 1280);
    ClearGlCalls();
    PlaceView(ViewRect{1280, 0, 768, 1024});
    ApplyCamera(Camera);
    EXPECT_EQ(RecordedGlCallTexts(),
              (std::vector<std::string>{
                  GlCallText("glViewport", {1280, 0, 768, 1024}),
                  GlCallText("glMatrixMode", {GL_PROJECTION}),
                  GlCallText("glLoadIdentity"),
                  GlCallText("gluPerspective", {45, double(768.0f / 1024.0f), 2, 20000}),
                  GlCallText("glBlendFunc", {GL_ONE_MINUS_DST_COLOR, GL_SRC_ALPHA}),
                  GlCallText("gluLookAt", {18000, 0, 0, 17999, 0, 0, 0, 1, 0}),
              }));
    PlaceView(ViewRect{0, 0, 640, 0});
    EXPECT_EQ(viewSettings.aspect, 640.0f);
}

TEST_F(Projection, OrthographicWindowStretchesOnlyTheRightEdge) {
    viewSettings.perspective = 0;
    ResizeView(1000, 500);
    EXPECT_EQ(RecordedGlCallTexts(), (std::vector<std::string>{
                                         GlCallText("glViewport", {0, 0, 1000, 500}),
                                         GlCallText("glMatrixMode", {GL_PROJECTION}),
                                         GlCallText("glLoadIdentity"),
                                         GlCallText("gluOrtho2D", {0, 1000, 0, 500}),
                                         GlCallText("glMatrixMode", {GL_MODELVIEW}),
                                         GlCallText("glLoadIdentity"),
                                     }));

    ClearGlCalls();
    ClearView(Black, 0, 0, 0);
    EXPECT_EQ(RecordedGlCallTexts(),
              (std::vector<std::string>{GlCallText("glClearColor", {0, 0, 0, 1}),
                                        GlCallText("glClear", {GL_COLOR_BUFFER_BIT})}));
}

TEST_F(Projection, CameraFieldOfViewAndEyeFollowTheFrame) {
    CameraFrame frame{{1, 2, 3}, {0, 0, -1}, {0, 1, 0}, {1, 0, 0}, 30};
    ApplyCamera(frame);
    const std::vector<GlCall> perspective = RecordedGlCallsNamed("gluPerspective");
    ASSERT_EQ(perspective.size(), 1u);
    EXPECT_EQ(perspective[0].args.at(0), 30.0);
    EXPECT_EQ(RecordedGlCallTexts().back(), GlCallText("gluLookAt", {1, 2, 3, 1, 2, 2, 0, 1, 0}));
}

TEST_F(Projection, ClearModesChooseTheColour) {
    const std::string clearBoth =
        GlCallText("glClear", {GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT});
    const std::string depthOne = GlCallText("glClearDepth", {1});
    struct Case {
        int mode;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {Given, {GlCallText("glClearColor", {0.25, 0.5, 0.75, 1}), clearBoth, depthOne}},
        {Black, {GlCallText("glClearColor", {0, 0, 0, 1}), clearBoth, depthOne}},
        {White, {GlCallText("glClearColor", {1, 1, 1, 1}), clearBoth, depthOne}},
        {Sage,
         {GlCallText("glClearColor", {double(0.74f), double(0.8f), double(0.78f), 1}), clearBoth,
          depthOne}},
        {7, {clearBoth, depthOne}},  // the last clear colour stays
    };
    for (const Case& c : cases) {
        ClearGlCalls();
        ClearView(c.mode, 0.25f, 0.5f, 0.75f);
        EXPECT_EQ(RecordedGlCallTexts(), c.calls) << "mode " << c.mode;
    }
}

TEST_F(Projection, SceneSetUpRefusesFoldersTheTexturePathsCannotHold) {
    char before[FolderTextSize];
    std::memcpy(before, TextureFolder, sizeof before);
    const std::string longest(92, 'x');  // with its separator, one too many

    EXPECT_EQ(SetUpSceneWithFolder(nullptr), 0);
    EXPECT_EQ(SetUpSceneWithFolder(""), 0);
    EXPECT_EQ(SetUpSceneWithFolder(longest.c_str()), 0);
    EXPECT_EQ(SetUpSceneWithFolder((longest + "/x").c_str()), 0);
    EXPECT_STREQ(TextureFolder, before);

    // A folder of 91 characters still fits once its separator is added.
    const std::string fits(91, 'x');
    EXPECT_EQ(SetUpSceneWithFolder(fits.c_str()), 1);
    EXPECT_EQ(std::string(TextureFolder), fits + "/");
    EXPECT_EQ(SetUpSceneWithFolder("tiles\\"), 1);
    EXPECT_STREQ(TextureFolder, "tiles\\");
    FreeTextureSet();
}

}  // namespace
