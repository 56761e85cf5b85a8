#include "front/x11/keypad.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

#include "platform/key_state.h"
#include "view/camera_frame.h"
#include "view/keyboard_camera.h"

namespace {

TEST(Keypad, EveryCameraKeyWithNumLockOnOrOff) {
    struct Row {
        unsigned long withNumLock, withoutNumLock;
        int virtualKey;
    };
    // The twelve camera keys of the keyboard control and their Win32 codes.
    const Row rows[] = {
        {XK_KP_9, XK_KP_Prior, 0x69},
        {XK_KP_3, XK_KP_Next, 0x63},
        {XK_KP_7, XK_KP_Home, 0x67},
        {XK_KP_1, XK_KP_End, 0x61},
        {XK_KP_Decimal, XK_KP_Delete, 0x6E},
        {XK_KP_0, XK_KP_Insert, 0x60},
        {XK_KP_4, XK_KP_Left, 0x64},
        {XK_KP_6, XK_KP_Right, 0x66},
        {XK_KP_2, XK_KP_Down, 0x62},
        {XK_KP_8, XK_KP_Up, 0x68},
        {XK_KP_Multiply, XK_KP_Multiply, 0x6A},
        {XK_KP_Divide, XK_KP_Divide, 0x6F},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(VirtualKeyOfKeysym(row.withNumLock), row.virtualKey) << row.withNumLock;
        EXPECT_EQ(VirtualKeyOfKeysym(row.withoutNumLock), row.virtualKey) << row.withoutNumLock;
    }
    EXPECT_EQ(VirtualKeyOfKeysym(XK_KP_Separator), 0x6E);
}

TEST(Keypad, TheMainKeyboardDoesNotSteer) {
    for (unsigned long keysym : std::initializer_list<unsigned long>{
             XK_6, XK_Right, XK_Up, XK_asterisk, XK_slash, XK_period, XK_q, XK_Escape, XK_space,
             XK_Num_Lock, XK_KP_Enter, 0ul})
        EXPECT_EQ(VirtualKeyOfKeysym(keysym), 0) << keysym;
}

class KeyEvents : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetKeys();
        CreateFrames();
        CreateSunFrame();
    }
    void TearDown() override { ResetKeys(); }
    static void ResetKeys() {
        for (int code = 0; code < 256; ++code) SetKeyState(code, 0);
        ClearKeys();
    }
    // What the frame step does with the keys, then what the front end does after it.
    static void Frame() {
        PollKeys();
        SteerCamera();
        ClearKeys();
        EndKeyFrame();
    }
    static float Distance() {
        const Vec3& p = Camera.position;
        return std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
    }
};

constexpr int Numpad9 = 0x69;  // moves the Camera 500.5 toward the globe per frame
constexpr float Step = 500.5f;

TEST_F(KeyEvents, AKeyTappedBetweenTwoFramesStepsOnce) {
    PressVirtualKey(Numpad9);
    ReleaseVirtualKey(Numpad9);
    Frame();
    EXPECT_NEAR(Distance(), 18000 - Step, 0.05);
    Frame();
    EXPECT_NEAR(Distance(), 18000 - Step, 0.05);
}

TEST_F(KeyEvents, AHeldKeyStepsEveryFrameUntilReleased) {
    PressVirtualKey(Numpad9);
    Frame();
    Frame();
    Frame();
    ReleaseVirtualKey(Numpad9);
    Frame();
    EXPECT_NEAR(Distance(), 18000 - 3 * Step, 0.05);
}

TEST_F(KeyEvents, LosingTheFocusLetsGoOfHeldKeys) {
    PressVirtualKey(Numpad9);
    Frame();
    ReleaseAllKeys();
    Frame();
    Frame();
    EXPECT_NEAR(Distance(), 18000 - Step, 0.05);
}

TEST_F(KeyEvents, CodesOutsideTheTableAreIgnored) {
    for (int code : {-1, 0, 256, 100000}) {
        PressVirtualKey(code);
        ReleaseVirtualKey(code);
    }
    for (int code = 0; code < 256; ++code) EXPECT_EQ(ReadKeyState(code), 0) << code;
}

}  // namespace
