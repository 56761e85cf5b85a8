// What the saver makes of the driver's answers when it asks for display-paced swaps.
#pragma once

// Whether an address from wglGetProcAddress may be called. Some drivers answer a
// missing function with 1, 2, 3 or -1 instead of null.
bool UsableProcAddress(const void* address);
