#include "headless_context.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <cstdio>
#include <cstring>

#include "platform/extension_list.h"

HeadlessContext::~HeadlessContext() {
    if (display == nullptr) return;
    EGLDisplay d = static_cast<EGLDisplay>(display);
    eglMakeCurrent(d, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (context != nullptr) eglDestroyContext(d, static_cast<EGLContext>(context));
    if (surface != nullptr) eglDestroySurface(d, static_cast<EGLSurface>(surface));
    eglTerminate(d);
}

bool HeadlessContext::Open(int w, int h, char* error, std::size_t errorSize) {
    if (errorSize > 0) error[0] = '\0';
    // Surfaceless needs no X server or GPU device node: llvmpipe renders in memory.
    const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (!ExtensionListed(clientExtensions, "EGL_MESA_platform_surfaceless")) {
        std::snprintf(error, errorSize,
                      "EGL has no EGL_MESA_platform_surfaceless (is Mesa's libEGL installed?)");
        return false;
    }
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr) {
        std::snprintf(error, errorSize, "EGL lacks eglGetPlatformDisplayEXT");
        return false;
    }
    EGLDisplay d = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    EGLint major = 0, minor = 0;
    if (d == EGL_NO_DISPLAY || !eglInitialize(d, &major, &minor)) {
        std::snprintf(error, errorSize, "cannot initialise the surfaceless EGL display (0x%x)",
                      eglGetError());
        return false;
    }
    display = d;
    if (!eglBindAPI(EGL_OPENGL_API)) {
        std::snprintf(error, errorSize, "EGL offers no desktop OpenGL (0x%x)", eglGetError());
        return false;
    }
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE,
                                       EGL_PBUFFER_BIT,
                                       EGL_RENDERABLE_TYPE,
                                       EGL_OPENGL_BIT,
                                       EGL_RED_SIZE,
                                       8,
                                       EGL_GREEN_SIZE,
                                       8,
                                       EGL_BLUE_SIZE,
                                       8,
                                       EGL_DEPTH_SIZE,
                                       0,
                                       EGL_NONE};
    EGLConfig configs[64];
    EGLint count = 0;
    if (!eglChooseConfig(d, configAttributes, configs, 64, &count) || count == 0) {
        std::snprintf(error, errorSize, "no EGL configuration with an RGB pbuffer for OpenGL");
        return false;
    }
    // The saver asks its pixel format for no depth bits; prefer a config that matches.
    EGLConfig config = configs[0];
    for (EGLint i = 0; i < count; ++i) {
        EGLint depth = -1;
        eglGetConfigAttrib(d, configs[i], EGL_DEPTH_SIZE, &depth);
        if (depth == 0) {
            config = configs[i];
            break;
        }
    }
    const EGLint surfaceAttributes[] = {EGL_WIDTH, w, EGL_HEIGHT, h, EGL_NONE};
    EGLSurface s = eglCreatePbufferSurface(d, config, surfaceAttributes);
    if (s == EGL_NO_SURFACE) {
        std::snprintf(error, errorSize, "cannot make a %dx%d pbuffer (0x%x)", w, h, eglGetError());
        return false;
    }
    surface = s;
    const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                        EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    EGLContext c = eglCreateContext(d, config, EGL_NO_CONTEXT, contextAttributes);
    if (c == EGL_NO_CONTEXT) {
        std::snprintf(error, errorSize, "cannot make a compatibility OpenGL context (0x%x)",
                      eglGetError());
        return false;
    }
    context = c;
    if (!eglMakeCurrent(d, s, s, c)) {
        std::snprintf(error, errorSize, "cannot make the context current (0x%x)", eglGetError());
        return false;
    }
    width = w;
    height = h;
    return true;
}

std::vector<std::uint8_t> HeadlessContext::ReadRgbTopDown() const {
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    std::vector<std::uint8_t> bottomUp(rowBytes * static_cast<std::size_t>(height));
    std::vector<std::uint8_t> topDown(bottomUp.size());
    if (bottomUp.empty()) return topDown;
    glFinish();
    // The patch renderer leaves its own unpack settings; packing is ours to set.
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    for (int row = 0; row < height; ++row)
        std::memcpy(&topDown[static_cast<std::size_t>(row) * rowBytes],
                    &bottomUp[static_cast<std::size_t>(height - 1 - row) * rowBytes], rowBytes);
    return topDown;
}

const char* HeadlessContext::Renderer() const {
    const GLubyte* renderer = glGetString(GL_RENDERER);
    return renderer != nullptr ? reinterpret_cast<const char*>(renderer) : "(none)";
}
