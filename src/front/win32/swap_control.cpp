#include "front/win32/swap_control.h"

#include <cstdint>

bool UsableProcAddress(const void* address) {
    const auto value = reinterpret_cast<std::intptr_t>(address);
    return value != 0 && value != 1 && value != 2 && value != 3 && value != -1;
}
