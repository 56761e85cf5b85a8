// The state of a key by Win32 virtual-key code, as GetAsyncKeyState reports it:
// the top bit set while the key is down, the low bit once it was pressed since
// the previous query.
#pragma once

#include <cstdint>

std::int16_t ReadKeyState(int virtualKey);

// Host builds only (no keyboard there): what ReadKeyState reports for a code,
// for tests and tools. Codes outside 0..255 are ignored.
void SetKeyState(int virtualKey, std::int16_t state);
