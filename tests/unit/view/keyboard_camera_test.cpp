#include "view/keyboard_camera.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/key_state.h"
#include "view/camera_frame.h"

namespace {

// Key states as GetAsyncKeyState reports them.
constexpr std::int16_t DownNow = std::int16_t(0x8000);
constexpr std::int16_t PressedSinceLastQuery = 1;

constexpr int Numpad0 = 0x60, Numpad1 = 0x61, Numpad2 = 0x62, Numpad3 = 0x63, Numpad4 = 0x64,
              Numpad6 = 0x66, Numpad7 = 0x67, Numpad8 = 0x68, Numpad9 = 0x69, Multiply = 0x6A,
              Decimal = 0x6E, Divide = 0x6F;

// Positions in world units: float rounding of a few steps of 500.5 from 18000
// stays well below a hundredth; turns lose a few millionths of a unit axis per step.
constexpr float PositionTolerance = 0.02f;
constexpr float AxisTolerance = 1e-5f;

void ExpectVec(const Vec3& actual, float x, float y, float z, float tolerance) {
    EXPECT_NEAR(actual.x, x, tolerance);
    EXPECT_NEAR(actual.y, y, tolerance);
    EXPECT_NEAR(actual.z, z, tolerance);
}

class KeyboardCamera : public ::testing::Test {
  protected:
    void SetUp() override {
        TearDown();
        CreateFrames();
        CreateSunFrame();
    }
    // No key stays down for the next test.
    void TearDown() override {
        for (int code = 0; code < 256; ++code) SetKeyState(code, 0);
        ClearKeys();
    }

    // One frame's share of the keyboard: poll, steer, clear.
    void Frame() {
        PollKeys();
        SteerCamera();
        ClearKeys();
    }
};

TEST_F(KeyboardCamera, PollSignExtendsTheKeysReadAndClearZeroesThem) {
    SetKeyState(0x20, PressedSinceLastQuery);  // the space bar, which the close rule reads
    SetKeyState(Numpad9, DownNow);
    SetKeyState(Divide, std::int16_t(0x8001));
    SetKeyState(0x41, DownNow);  // a letter: no one reads it
    SetKeyState(200, DownNow);   // beyond the array
    PollKeys();
    EXPECT_EQ(KeyStateArray[0x20], 1);
    EXPECT_EQ(KeyStateArray[Numpad9], -32768);
    EXPECT_EQ(KeyStateArray[Divide], -32767);
    EXPECT_EQ(KeyStateArray[0x41], 0);
    EXPECT_EQ(KeyStateArray[Numpad8], 0);

    ClearKeys();
    for (int code = 0; code < KeyStateCount; ++code) EXPECT_EQ(KeyStateArray[code], 0) << code;
}

TEST_F(KeyboardCamera, OnlyCameraKeysCountAsSteering) {
    SetKeyState(0x20, DownNow);  // the space bar
    SetKeyState(0x65, DownNow);  // keypad 5 moves nothing
    PollKeys();
    EXPECT_FALSE(SteeringKeysDown());
    for (int key : {Numpad0, Numpad1, Numpad2, Numpad3, Numpad4, Numpad6, Numpad7, Numpad8, Numpad9,
                    Multiply, Decimal, Divide}) {
        SetKeyState(key, PressedSinceLastQuery);  // a tap between two polls counts too
        PollKeys();
        EXPECT_TRUE(SteeringKeysDown()) << key;
        SetKeyState(key, 0);
    }
    PollKeys();
    EXPECT_FALSE(SteeringKeysDown());
}

TEST_F(KeyboardCamera, WithoutKeysOnlyTheAxesAreRescaled) {
    Camera.forward = Vec3{-2, 0, 0};
    Camera.up = Vec3{0, 0.5f, 0};
    Camera.right = Vec3{0, 0, -3};
    Frame();
    ExpectVec(Camera.position, 18000, 0, 0, 0);
    ExpectVec(Camera.forward, -1, 0, 0, 0);
    ExpectVec(Camera.up, 0, 1, 0, 0);
    ExpectVec(Camera.right, 0, 0, -1, 0);
    EXPECT_EQ(Camera.fieldOfView, 45.0f);
}

TEST_F(KeyboardCamera, MoveKeysStepAlongTheCameraAxes) {
    SetKeyState(Numpad9, DownNow);
    for (int frame = 0; frame < 10; ++frame) Frame();
    ExpectVec(Camera.position, 12995, 0, 0, PositionTolerance);
    for (int frame = 10; frame < 24; ++frame) Frame();
    ExpectVec(Camera.position, 5988, 0, 0, PositionTolerance);  // inside the globe; allowed

    CreateFrames();
    SetKeyState(Numpad9, 0);
    SetKeyState(Numpad7, DownNow);  // up: +y
    SetKeyState(Decimal, DownNow);  // right: -z
    Frame();
    ExpectVec(Camera.position, 18000, 500.5f, -500.5f, PositionTolerance);
    SetKeyState(Numpad7, 0);
    SetKeyState(Decimal, 0);
    SetKeyState(Numpad1, DownNow);
    SetKeyState(Numpad0, DownNow);
    SetKeyState(Numpad3, DownNow);  // away from the globe: +x
    Frame();
    ExpectVec(Camera.position, 18500.5f, 0, 0, PositionTolerance);
}

TEST_F(KeyboardCamera, OpposingKeysCancel) {
    SetKeyState(Numpad9, DownNow);
    SetKeyState(Numpad3, DownNow);
    SetKeyState(Numpad4, DownNow);
    SetKeyState(Numpad6, DownNow);
    SetKeyState(Multiply, DownNow);
    SetKeyState(Divide, DownNow);
    SetKeyState(Numpad2, DownNow);
    SetKeyState(Numpad8, DownNow);
    Frame();
    ExpectVec(Camera.position, 18000, 0, 0, PositionTolerance);
    ExpectVec(Camera.forward, -1, 0, 0, AxisTolerance);
    ExpectVec(Camera.up, 0, 1, 0, AxisTolerance);
    ExpectVec(Camera.right, 0, 0, -1, AxisTolerance);
}

TEST_F(KeyboardCamera, SideKeysOrbitTheSunFramesUp) {
    // Tilt the Sun's axis toward +x: the orbit must follow it, not the world's y.
    SunFrame.up = Vec3{0, 0, 1};
    SunFrame.forward = Vec3{0, 1, 0};
    SunFrame.right = Vec3{1, 0, 0};
    SetKeyState(Numpad6, PressedSinceLastQuery);
    Frame();
    // +6 degrees about +z: (18000, 0, 0) turns toward +y.
    ExpectVec(Camera.position, 17901.39f, 1881.51f, 0, PositionTolerance);
    EXPECT_NEAR(Camera.position.z, 0.0f, PositionTolerance);

    CreateFrames();
    CreateSunFrame();
    SetKeyState(Numpad6, 0);
    SetKeyState(Numpad4, DownNow);
    Frame();
    ExpectVec(Camera.position, 17901.39f, 0, 1881.51f, PositionTolerance);
    ExpectVec(Camera.up, 0, 1, 0, AxisTolerance);
}

TEST_F(KeyboardCamera, UpKeyCarriesTheCameraOverThePole) {
    SetKeyState(Numpad8, DownNow);
    Frame();
    ExpectVec(Camera.position, 17901.39f, 1881.51f, 0, PositionTolerance);
    for (int frame = 1; frame < 30; ++frame) Frame();
    // Thirty steps of a degree factor a little below pi/180 fall short of 180 degrees
    // by a few ten-thousandths of a degree: about 0.2 units at 18000.
    ExpectVec(Camera.position, -18000, 0, 0, 0.5f);
    ExpectVec(Camera.forward, 1, 0, 0, 1e-4f);
    ExpectVec(Camera.up, 0, -1, 0, 1e-4f);
    ExpectVec(Camera.right, 0, 0, -1, AxisTolerance);
    const Vec3& p = Camera.position;
    EXPECT_NEAR(std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z), 18000.0f, 0.05f);
}

TEST_F(KeyboardCamera, RollKeysTurnUpTowardRight) {
    SetKeyState(Multiply, DownNow);
    Frame();
    ExpectVec(Camera.position, 18000, 0, 0, 0);
    ExpectVec(Camera.forward, -1, 0, 0, AxisTolerance);
    ExpectVec(Camera.up, 0, 0.99939f, -0.03490f, AxisTolerance);
    ExpectVec(Camera.right, 0, -0.03490f, -0.99939f, AxisTolerance);
}

TEST_F(KeyboardCamera, KeysActOnlyInFramesWhosePollSawThem) {
    SetKeyState(Numpad9, PressedSinceLastQuery);
    Frame();
    SetKeyState(Numpad9, 0);  // released before the next poll
    Frame();
    ExpectVec(Camera.position, 17499.5f, 0, 0, PositionTolerance);
}

}  // namespace
