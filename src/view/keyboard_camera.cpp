#include "view/keyboard_camera.h"

#include "platform/key_state.h"
#include "view/camera_frame.h"

std::int32_t KeyStateArray[KeyStateCount] = {};

namespace {
// Win32 virtual-key codes of the camera keys, and of the space bar.
constexpr int KeyNumpad0 = 0x60;
constexpr int KeyNumpad1 = 0x61;
constexpr int KeyNumpad2 = 0x62;
constexpr int KeyNumpad3 = 0x63;
constexpr int KeyNumpad4 = 0x64;
constexpr int KeyNumpad6 = 0x66;
constexpr int KeyNumpad7 = 0x67;
constexpr int KeyNumpad8 = 0x68;
constexpr int KeyNumpad9 = 0x69;
constexpr int KeyMultiply = 0x6A;
constexpr int KeyDecimal = 0x6E;
constexpr int KeyDivide = 0x6F;
constexpr int KeySpace = 0x20;

constexpr float MoveStep = 500.5f;  // world units per frame
constexpr float OrbitStep = 6.0f;   // degrees per frame
constexpr float RollStep = 2.0f;    // degrees per frame

constexpr int SteeringKeys[] = {KeyNumpad0, KeyNumpad1, KeyNumpad2,  KeyNumpad3,
                                KeyNumpad4, KeyNumpad6, KeyNumpad7,  KeyNumpad8,
                                KeyNumpad9, KeyDecimal, KeyMultiply, KeyDivide};

bool steeringKeysDown = false;

bool Active(int virtualKey) {
    return KeyStateArray[virtualKey] != 0;
}
}  // namespace

void PollKeys() {
    // Only the keys anyone reads: the camera keys, and the space bar, whose pressed-
    // since-the-last-query report (which the query also resets) the close rule reads
    // too. Under Wine each query costs a round of the window system's event check:
    // two hundred a frame were a large share of the saver's work.
    KeyStateArray[KeySpace] = ReadKeyState(KeySpace);
    steeringKeysDown = false;
    for (int key : SteeringKeys) {
        KeyStateArray[key] = ReadKeyState(key);
        steeringKeysDown = steeringKeysDown || Active(key);
    }
}

bool SteeringKeysDown() {
    return steeringKeysDown;
}

void SteerCamera() {
    // Table order matters when keys are held together: each step works on the Camera
    // as the previous one left it.
    if (Active(KeyNumpad9)) MoveFrame(Camera, 1, 0, 0, MoveStep);
    if (Active(KeyNumpad3)) MoveFrame(Camera, 1, 0, 0, -MoveStep);
    if (Active(KeyNumpad7)) MoveFrame(Camera, 0, 1, 0, MoveStep);
    if (Active(KeyNumpad1)) MoveFrame(Camera, 0, 1, 0, -MoveStep);
    if (Active(KeyDecimal)) MoveFrame(Camera, 0, 0, 1, MoveStep);
    if (Active(KeyNumpad0)) MoveFrame(Camera, 0, 0, 1, -MoveStep);
    // Left and right circle the Earth's axis; up and down turn about the view's own right.
    if (Active(KeyNumpad4)) OrbitFrame(Camera, SunFrame, Pivot, 0, 1, 0, -OrbitStep);
    if (Active(KeyNumpad6)) OrbitFrame(Camera, SunFrame, Pivot, 0, 1, 0, OrbitStep);
    if (Active(KeyNumpad2)) OrbitFrame(Camera, Camera, Pivot, 0, 0, 1, OrbitStep);
    if (Active(KeyNumpad8)) OrbitFrame(Camera, Camera, Pivot, 0, 0, 1, -OrbitStep);
    if (Active(KeyMultiply)) RotateFrame(Camera, 1, 0, 0, RollStep);
    if (Active(KeyDivide)) RotateFrame(Camera, 1, 0, 0, -RollStep);
    NormaliseAxes(Camera);
}

void ClearKeys() {
    for (std::int32_t& state : KeyStateArray) state = 0;
}
