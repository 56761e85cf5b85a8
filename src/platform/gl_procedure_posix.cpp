#include <dlfcn.h>

#include "platform/gl_extensions.h"

// The GL libraries of Linux (libglvnd's dispatch) export every entry point, and
// dispatch it to the current context, whether GLX or EGL made it.
void* GlProcedure(const char* name) {
    return dlsym(RTLD_DEFAULT, name);
}
