#include "platform/gl_extensions.h"

#include <cstdlib>

#include "text/extension_list.h"

bool GlHasExtension(const char* name) {
    return ExtensionListed(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)), name);
}

bool GlVersionAtLeast(int major, int minor) {
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    if (version == nullptr) return false;
    // "major.minor[.release] vendor text"; OpenGL ES writes a prefix first.
    while (*version != '\0' && (*version < '0' || *version > '9')) ++version;
    char* end = nullptr;
    const long givenMajor = std::strtol(version, &end, 10);
    if (end == version || *end != '.') return false;
    const long givenMinor = std::strtol(end + 1, nullptr, 10);
    return givenMajor > major || (givenMajor == major && givenMinor >= minor);
}
