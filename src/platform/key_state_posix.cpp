#include "platform/key_state.h"

namespace {
std::int16_t keyStates[256] = {};
}

std::int16_t ReadKeyState(int virtualKey) {
    if (virtualKey < 0 || virtualKey > 255) return 0;
    return keyStates[virtualKey];
}

void SetKeyState(int virtualKey, std::int16_t state) {
    if (virtualKey < 0 || virtualKey > 255) return;
    keyStates[virtualKey] = state;
}
