#include <windows.h>

#include "platform/gl_extensions.h"

void* GlProcedure(const char* name) {
    PROC procedure = wglGetProcAddress(name);
    // Some drivers answer small numbers instead of null for what they lack.
    const auto value = reinterpret_cast<INT_PTR>(procedure);
    if (value >= -1 && value <= 3) return nullptr;
    return reinterpret_cast<void*>(procedure);
}
