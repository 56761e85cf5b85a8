#include "view/projection.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "tests/support/gl_recorder.h"
#include "textures/texture_folder.h"
#include "textures/texture_set.h"

namespace {

std::string Call(const char* name, std::initializer_list<double> args = {}) {
    return FormatGlCall(GlCall{name, std::vector<double>(args), nullptr});
}

std::vector<std::string> Recorded() {
    std::vector<std::string> calls;
    for (const GlCall& call : RecordedGlCalls()) calls.push_back(FormatGlCall(call));
    return calls;
}

class Projection : public ::testing::Test {
  protected:
    void SetUp() override {
        SetUpViewSettings();
        ClearGlCalls();
    }
    void TearDown() override { SetUpViewSettings(); }
};

TEST_F(Projection, ResizeSetsViewportAndPerspective) {
    ResizeView(1024, 768);
    EXPECT_FLOAT_EQ(viewSettings.aspect, 1.3333334f);
    EXPECT_EQ(Recorded(), (std::vector<std::string>{
                              Call("glViewport", {0, 0, 1024, 768}),
                              Call("glMatrixMode", {GL_PROJECTION}),
                              Call("glLoadIdentity"),
                              Call("gluPerspective", {45, double(1024.0f / 768.0f), 2, 20000}),
                              Call("glMatrixMode", {GL_MODELVIEW}),
                              Call("glLoadIdentity"),
                              Call("glDrawBuffer", {GL_BACK}),
                              Call("glEnable", {GL_DEPTH_TEST}),
                          }));
}

TEST_F(Projection, ResizeToZeroHeightTakesWidthAsAspect) {
    ResizeView(640, 0);
    EXPECT_EQ(viewSettings.aspect, 640.0f);
    EXPECT_EQ(Recorded().at(0), Call("glViewport", {0, 0, 640, 0}));
    EXPECT_EQ(Recorded().at(3), Call("gluPerspective", {45, 640, 2, 20000}));
}

TEST_F(Projection, OrthographicWindowStretchesOnlyTheRightEdge) {
    viewSettings.perspective = 0;
    ResizeView(1000, 500);
    EXPECT_EQ(Recorded(), (std::vector<std::string>{
                              Call("glViewport", {0, 0, 1000, 500}),
                              Call("glMatrixMode", {GL_PROJECTION}),
                              Call("glLoadIdentity"),
                              Call("gluOrtho2D", {0, 1000, 0, 500}),
                              Call("glMatrixMode", {GL_MODELVIEW}),
                              Call("glLoadIdentity"),
                          }));

    ClearGlCalls();
    ClearView(Black, 0, 0, 0);
    EXPECT_EQ(Recorded(), (std::vector<std::string>{Call("glClearColor", {0, 0, 0, 1}),
                                                    Call("glClear", {GL_COLOR_BUFFER_BIT})}));
}

TEST_F(Projection, CameraReplacesTheResizeProjection) {
    CreateFrames();
    ResizeView(1024, 768);
    ClearGlCalls();
    ApplyCamera(Camera);
    EXPECT_EQ(Recorded(), (std::vector<std::string>{
                              Call("glMatrixMode", {GL_PROJECTION}),
                              Call("glLoadIdentity"),
                              Call("gluPerspective", {45, double(1024.0f / 768.0f), 2, 20000}),
                              Call("glBlendFunc", {GL_ONE_MINUS_DST_COLOR, GL_SRC_ALPHA}),
                              Call("gluLookAt", {18000, 0, 0, 17999, 0, 0, 0, 1, 0}),
                          }));
}

TEST_F(Projection, CameraFieldOfViewAndEyeFollowTheFrame) {
    CameraFrame frame{{1, 2, 3}, {0, 0, -1}, {0, 1, 0}, {1, 0, 0}, 30};
    ApplyCamera(frame);
    const std::vector<GlCall> perspective = RecordedGlCallsNamed("gluPerspective");
    ASSERT_EQ(perspective.size(), 1u);
    EXPECT_EQ(perspective[0].args.at(0), 30.0);
    EXPECT_EQ(Recorded().back(), Call("gluLookAt", {1, 2, 3, 1, 2, 2, 0, 1, 0}));
}

TEST_F(Projection, ClearModesChooseTheColour) {
    const std::string clearBoth = Call("glClear", {GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT});
    const std::string depthOne = Call("glClearDepth", {1});
    struct Case {
        int mode;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {Given, {Call("glClearColor", {0.25, 0.5, 0.75, 1}), clearBoth, depthOne}},
        {Black, {Call("glClearColor", {0, 0, 0, 1}), clearBoth, depthOne}},
        {White, {Call("glClearColor", {1, 1, 1, 1}), clearBoth, depthOne}},
        {Sage,
         {Call("glClearColor", {double(0.74f), double(0.8f), double(0.78f), 1}), clearBoth,
          depthOne}},
        {7, {clearBoth, depthOne}},  // the last clear colour stays
    };
    for (const Case& c : cases) {
        ClearGlCalls();
        ClearView(c.mode, 0.25f, 0.5f, 0.75f);
        EXPECT_EQ(Recorded(), c.calls) << "mode " << c.mode;
    }
}

TEST_F(Projection, SetUpViewSettingsGivesTheFixedValues) {
    viewSettings = ViewSettings{};
    viewSettings.resizeFieldOfView = 45;
    SetUpViewSettings();
    EXPECT_EQ(viewSettings.perspective, 1);
    EXPECT_EQ(viewSettings.nearPlane, 2.0f);
    EXPECT_EQ(viewSettings.farPlane, 20000.0f);
    EXPECT_EQ(viewSettings.orthoCentreX, 250.0f);
    EXPECT_EQ(viewSettings.orthoCentreY, 250.0f);
    EXPECT_EQ(viewSettings.orthoWidth, 500.0f);
    EXPECT_EQ(viewSettings.orthoHeight, 500.0f);
    EXPECT_TRUE(RecordedGlCalls().empty());
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
