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

bool GlHasEdgeClamp() {
    return GlVersionAtLeast(1, 2) || GlHasExtension("GL_EXT_texture_edge_clamp") ||
           GlHasExtension("GL_SGIS_texture_edge_clamp");
}

namespace {
// Core from GL 1.3 on, under its own name: Linux's GL libraries export only that.
void* Either(const char* core, const char* extension, bool coreFirst) {
    void* found = GlProcedure(coreFirst ? core : extension);
    return found != nullptr ? found : GlProcedure(coreFirst ? extension : core);
}
}  // namespace

Multitexture GlMultitexture(int units) {
    Multitexture found;
    const bool core = GlVersionAtLeast(1, 3);
    if (!core && !GlHasExtension("GL_ARB_multitexture")) return found;
    GLint given = 1;
    glGetIntegerv(0x84E2 /* MAX_TEXTURE_UNITS */, &given);
    if (given < units) return found;
    void* active = Either("glActiveTexture", "glActiveTextureARB", core);
    void* coordinate = Either("glMultiTexCoord2f", "glMultiTexCoord2fARB", core);
    if (active == nullptr || coordinate == nullptr) return found;
    found.activeTexture = reinterpret_cast<decltype(found.activeTexture)>(active);
    found.multiTexCoord2f = reinterpret_cast<decltype(found.multiTexCoord2f)>(coordinate);
    return found;
}
