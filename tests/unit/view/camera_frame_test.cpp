#include "view/camera_frame.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

namespace {

// The figures below are printed to five decimals (positions to two).
constexpr float AxisTolerance = 1e-5f;
constexpr float PositionTolerance = 0.01f;

void ExpectVec(const Vec3& actual, float x, float y, float z, float tolerance) {
    EXPECT_NEAR(actual.x, x, tolerance);
    EXPECT_NEAR(actual.y, y, tolerance);
    EXPECT_NEAR(actual.z, z, tolerance);
}

double Length(const Vec3& v) {
    return std::sqrt(double(v.x) * v.x + double(v.y) * v.y + double(v.z) * v.z);
}

class CameraFrameTest : public ::testing::Test {
  protected:
    void SetUp() override { CreateFrames(); }
};

TEST_F(CameraFrameTest, StartsOnPlusXLookingAtTheCentre) {
    ExpectVec(Camera.position, 18000, 0, 0, 0);
    ExpectVec(Camera.forward, -1, 0, 0, 0);
    ExpectVec(Camera.up, 0, 1, 0, 0);
    ExpectVec(Camera.right, 0, 0, -1, 0);
    EXPECT_EQ(Camera.fieldOfView, 45);
    ExpectVec(Pivot, 0, 0, 0, 0);
}

TEST_F(CameraFrameTest, OrbitAboutOwnRightMovesTowardMinusUp) {
    CameraFrame& result = OrbitFrame(Camera, Camera, Pivot, 0, 0, 1, 6);
    EXPECT_EQ(&result, &Camera);
    ExpectVec(Camera.position, 17901.39f, -1881.51f, 0, PositionTolerance);
    ExpectVec(Camera.forward, -0.99452f, 0.10453f, 0, AxisTolerance);
    ExpectVec(Camera.up, 0.10453f, 0.99452f, 0, AxisTolerance);
    ExpectVec(Camera.right, 0, 0, -1, AxisTolerance);
}

TEST_F(CameraFrameTest, OrbitAboutWorldUpLeavesTheAxisFrameAlone) {
    OrbitFrame(Camera, WorldFrame, Pivot, 0, 1, 0, -6);
    ExpectVec(Camera.position, 17901.39f, 0, 1881.51f, PositionTolerance);
    ExpectVec(Camera.forward, -0.99452f, 0, -0.10453f, AxisTolerance);
    ExpectVec(Camera.up, 0, 1, 0, AxisTolerance);
    ExpectVec(Camera.right, 0.10453f, 0, -0.99452f, AxisTolerance);
    ExpectVec(WorldFrame.up, 0, 1, 0, 0);
}

TEST_F(CameraFrameTest, RotateAboutForwardTiltsUpTowardRight) {
    RotateFrame(Camera, 1, 0, 0, 2);
    ExpectVec(Camera.position, 18000, 0, 0, 0);
    ExpectVec(Camera.forward, -1, 0, 0, AxisTolerance);
    ExpectVec(Camera.up, 0, 0.99939f, -0.03490f, AxisTolerance);
    ExpectVec(Camera.right, 0, -0.03490f, -0.99939f, AxisTolerance);
}

TEST_F(CameraFrameTest, PositiveTurnIsRightHanded) {
    CameraFrame frame{{-1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0};
    OrbitFrame(frame, WorldFrame, Pivot, 0, 1, 0, 90);
    ExpectVec(frame.position, 0, 0, 1, AxisTolerance);
    ExpectVec(frame.forward, 0, 0, 1, AxisTolerance);
}

TEST_F(CameraFrameTest, MoveNormalisesOnlyTheCoefficients) {
    MoveFrame(Camera, 1, 0, 0, 500.5f);
    ExpectVec(Camera.position, 17499.5f, 0, 0, 0);
    CreateFrames();
    MoveFrame(Camera, 2, 0, 0, 500.5f);
    ExpectVec(Camera.position, 17499.5f, 0, 0, 0);
    ExpectVec(Camera.forward, -1, 0, 0, 0);
}

TEST_F(CameraFrameTest, ZeroAngleAndZeroAxisChangeNothing) {
    const CameraFrame before = Camera;
    OrbitFrame(Camera, Camera, Pivot, 0, 0, 1, 0);
    RotateFrame(Camera, 1, 0, 0, 0);
    OrbitFrame(Camera, WorldFrame, Pivot, 0, 0, 0, 30);
    RotateFrame(Camera, 0, 0, 0, 30);
    MoveFrame(Camera, 0, 0, 0, 500.5f);
    EXPECT_EQ(0, std::memcmp(&before, &Camera, sizeof Camera));
}

TEST_F(CameraFrameTest, SixtyOrbitsOfSixDegreesDriftSlightly) {
    // The half-degree factor sits a little below pi/360, so a full circle of
    // small steps stops just short of the start: about 0.3 units away.
    for (int i = 0; i < 60; ++i) OrbitFrame(Camera, WorldFrame, Pivot, 0, 1, 0, 6);
    ExpectVec(Camera.position, 17999.95f, 0, 0.08f, 0.05f);
    const double gap = std::hypot(Camera.position.x - 18000.0, Camera.position.z);
    EXPECT_GT(gap, 0.01);
    EXPECT_LT(gap, 0.5);
}

TEST_F(CameraFrameTest, LongRandomSequencesKeepTheDistance) {
    std::mt19937 random(2026);
    std::uniform_int_distribution<int> pick(0, 3);
    std::uniform_real_distribution<float> angle(-6, 6);
    for (int step = 0; step < 20000; ++step) {
        switch (pick(random)) {
            case 0:
                OrbitFrame(Camera, WorldFrame, Pivot, 0, 1, 0, angle(random));
                break;
            case 1:
                OrbitFrame(Camera, Camera, Pivot, 0, 0, 1, angle(random));
                break;
            case 2:
                OrbitFrame(Camera, Camera, Pivot, 0, 1, 0, angle(random));
                break;
            default:
                RotateFrame(Camera, 1, 0, 0, angle(random));
                break;
        }
        NormaliseAxes(Camera);  // as every frame does
    }
    // Single-precision rounding per step walks at most a few units in 20000 steps.
    EXPECT_NEAR(Length(Camera.position), 18000.0, 2.0);
    EXPECT_NEAR(Length(Camera.forward), 1.0, 1e-6);
    EXPECT_NEAR(Camera.forward.x * Camera.up.x + Camera.forward.y * Camera.up.y +
                    Camera.forward.z * Camera.up.z,
                0.0, 1e-3);
}

TEST_F(CameraFrameTest, NormaliseRescalesEachAxisAndSparesZeroOnes) {
    CameraFrame frame{{1, 2, 3}, {3, 0, 4}, {0, 0, 0}, {0, -2, 0}, 45};
    NormaliseAxes(frame);
    ExpectVec(frame.forward, 0.6f, 0, 0.8f, 1e-7f);
    ExpectVec(frame.up, 0, 0, 0, 0);
    ExpectVec(frame.right, 0, -1, 0, 0);
    ExpectVec(frame.position, 1, 2, 3, 0);
    EXPECT_EQ(frame.fieldOfView, 45);
}

}  // namespace
