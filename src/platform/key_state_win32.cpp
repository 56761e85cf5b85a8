#include <windows.h>

#include "platform/key_state.h"

std::int16_t ReadKeyState(int virtualKey) {
    return GetAsyncKeyState(virtualKey);
}

void SetKeyState(int, std::int16_t) {}
