#include "front/x11/keypad.h"

#include <X11/keysym.h>

#include <cstdint>

#include "platform/key_state.h"

namespace {

struct KeypadKey {
    unsigned long withNumLock;
    unsigned long withoutNumLock;
    int virtualKey;
};

// Win32's VK_NUMPAD0 ... VK_NUMPAD9, VK_MULTIPLY, VK_ADD, VK_SUBTRACT, VK_DECIMAL and
// VK_DIVIDE. The keypad's decimal key gives KP_Separator in some layouts (a comma);
// Windows reports VK_DECIMAL for it all the same.
constexpr KeypadKey Keypad[] = {
    {XK_KP_0, XK_KP_Insert, 0x60},
    {XK_KP_1, XK_KP_End, 0x61},
    {XK_KP_2, XK_KP_Down, 0x62},
    {XK_KP_3, XK_KP_Next, 0x63},
    {XK_KP_4, XK_KP_Left, 0x64},
    {XK_KP_5, XK_KP_Begin, 0x65},
    {XK_KP_6, XK_KP_Right, 0x66},
    {XK_KP_7, XK_KP_Home, 0x67},
    {XK_KP_8, XK_KP_Up, 0x68},
    {XK_KP_9, XK_KP_Prior, 0x69},
    {XK_KP_Multiply, XK_KP_Multiply, 0x6A},
    {XK_KP_Add, XK_KP_Add, 0x6B},
    {XK_KP_Subtract, XK_KP_Subtract, 0x6D},
    {XK_KP_Decimal, XK_KP_Delete, 0x6E},
    {XK_KP_Separator, XK_KP_Separator, 0x6E},
    {XK_KP_Divide, XK_KP_Divide, 0x6F},
};

constexpr std::uint16_t Down = 0x8000;
constexpr std::uint16_t PressedSincePoll = 0x0001;
constexpr int KeyCount = 256;

bool Valid(int virtualKey) {
    return virtualKey > 0 && virtualKey < KeyCount;
}

std::uint16_t StateOf(int virtualKey) {
    return static_cast<std::uint16_t>(ReadKeyState(virtualKey));
}

void SetState(int virtualKey, std::uint16_t state) {
    SetKeyState(virtualKey, static_cast<std::int16_t>(state));
}

}  // namespace

int VirtualKeyOfKeysym(unsigned long keysym) {
    for (const KeypadKey& key : Keypad)
        if (keysym == key.withNumLock || keysym == key.withoutNumLock) return key.virtualKey;
    return 0;
}

void PressVirtualKey(int virtualKey) {
    if (Valid(virtualKey)) SetState(virtualKey, Down | PressedSincePoll);
}

void ReleaseVirtualKey(int virtualKey) {
    if (Valid(virtualKey)) SetState(virtualKey, StateOf(virtualKey) & ~Down);
}

void EndKeyFrame() {
    for (int key = 1; key < KeyCount; ++key) SetState(key, StateOf(key) & Down);
}

void ReleaseAllKeys() {
    for (int key = 1; key < KeyCount; ++key) ReleaseVirtualKey(key);
}
