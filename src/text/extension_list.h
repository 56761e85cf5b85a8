// Reading an extension list of the GL, WGL or EGL.
#pragma once

// True when `name` is one of the space-separated words of `list`; a null list holds
// none. A name that only begins another (WGL_EXT_swap_control in
// WGL_EXT_swap_control_tear) is not listed.
bool ExtensionListed(const char* list, const char* name);
