#include "front/egl/egl_gl.h"

#include <cstdio>

#include "front/egl/config_cost.h"
#include "text/extension_list.h"

const EglPlatform WaylandPlatform = {EGL_PLATFORM_WAYLAND_EXT,
                                     {"EGL_EXT_platform_wayland", "EGL_KHR_platform_wayland"},
                                     EGL_WINDOW_BIT};
// Needs no display server or GPU device node: llvmpipe renders in memory.
const EglPlatform SurfacelessPlatform = {
    EGL_PLATFORM_SURFACELESS_MESA, {"EGL_MESA_platform_surfaceless", nullptr}, EGL_PBUFFER_BIT};

namespace {

constexpr EGLint MaxConfigs = 64;

bool ChooseConfig(EglGl& gl, EGLint surfaceType) {
    const EGLint attributes[] = {EGL_SURFACE_TYPE,
                                 surfaceType,
                                 EGL_RENDERABLE_TYPE,
                                 EGL_OPENGL_BIT,
                                 EGL_RED_SIZE,
                                 8,
                                 EGL_GREEN_SIZE,
                                 8,
                                 EGL_BLUE_SIZE,
                                 8,
                                 EGL_NONE};
    EGLConfig configs[MaxConfigs];
    EGLint count = 0;
    if (!eglChooseConfig(gl.display, attributes, configs, MaxConfigs, &count) || count <= 0)
        return false;
    ConfigTraits traits[MaxConfigs];
    for (EGLint i = 0; i < count; ++i) {
        eglGetConfigAttrib(gl.display, configs[i], EGL_ALPHA_SIZE, &traits[i].alpha);
        eglGetConfigAttrib(gl.display, configs[i], EGL_DEPTH_SIZE, &traits[i].depth);
        eglGetConfigAttrib(gl.display, configs[i], EGL_STENCIL_SIZE, &traits[i].stencil);
    }
    const int best = CheapestConfig(traits, std::size_t(count));
    if (best < 0) return false;
    gl.config = configs[best];
    return true;
}

}  // namespace

bool OpenEglGl(const EglPlatform& platform, void* nativeDisplay, EglGl& gl, char* error,
               std::size_t errorSize) {
    if (errorSize > 0) error[0] = '\0';
    const char* extensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    const auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    gl.createWindowSurface = reinterpret_cast<PFNEGLCREATEPLATFORMWINDOWSURFACEEXTPROC>(
        eglGetProcAddress("eglCreatePlatformWindowSurfaceEXT"));
    const bool offered =
        ExtensionListed(extensions, platform.extensions[0]) ||
        (platform.extensions[1] != nullptr && ExtensionListed(extensions, platform.extensions[1]));
    if (getPlatformDisplay == nullptr || !offered ||
        (platform.surfaceType == EGL_WINDOW_BIT && gl.createWindowSurface == nullptr)) {
        std::snprintf(error, errorSize, "EGL has no %s (is Mesa's libEGL installed?)",
                      platform.extensions[0]);
        return false;
    }
    gl.display = getPlatformDisplay(platform.platform, nativeDisplay, nullptr);
    EGLint major = 0, minor = 0;
    if (gl.display == EGL_NO_DISPLAY || !eglInitialize(gl.display, &major, &minor)) {
        std::snprintf(error, errorSize, "cannot initialise EGL on this display (0x%x)",
                      eglGetError());
        gl.display = EGL_NO_DISPLAY;
        return false;
    }
    if (!eglBindAPI(EGL_OPENGL_API) || !ChooseConfig(gl, platform.surfaceType)) {
        std::snprintf(error, errorSize, "EGL offers no desktop OpenGL with 8-bit RGB here");
        return false;
    }
    const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                        EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    gl.context = eglCreateContext(gl.display, gl.config, EGL_NO_CONTEXT, contextAttributes);
    if (gl.context == EGL_NO_CONTEXT) {
        std::snprintf(error, errorSize, "cannot make a compatibility OpenGL context (0x%x)",
                      eglGetError());
        return false;
    }
    return true;
}

void CloseEglGl(EglGl& gl) {
    if (gl.display == EGL_NO_DISPLAY) return;
    eglMakeCurrent(gl.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (gl.context != EGL_NO_CONTEXT) eglDestroyContext(gl.display, gl.context);
    eglTerminate(gl.display);
    gl = EglGl{};
}
