// Reading a driver's extension list, for the swap-interval request.
#pragma once

// True when `name` is one of the space-separated words of `list`; a null list holds
// none. A name that only begins another (WGL_EXT_swap_control in
// WGL_EXT_swap_control_tear) is not listed.
bool ExtensionListed(const char* list, const char* name);

// Whether an address from wglGetProcAddress may be called. Some drivers answer a
// missing function with 1, 2, 3 or -1 instead of null.
bool UsableProcAddress(const void* address);
