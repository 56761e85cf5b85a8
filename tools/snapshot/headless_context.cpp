#include "headless_context.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstring>

HeadlessContext::~HeadlessContext() {
    if (surface != EGL_NO_SURFACE) {
        eglMakeCurrent(egl.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroySurface(egl.display, surface);
    }
    CloseEglGl(egl);
}

bool HeadlessContext::Open(int w, int h, char* error, std::size_t errorSize) {
    if (!OpenEglGl(SurfacelessPlatform, nullptr, egl, error, errorSize)) return false;
    const EGLint surfaceAttributes[] = {EGL_WIDTH, w, EGL_HEIGHT, h, EGL_NONE};
    surface = eglCreatePbufferSurface(egl.display, egl.config, surfaceAttributes);
    if (surface == EGL_NO_SURFACE) {
        std::snprintf(error, errorSize, "cannot make a %dx%d pbuffer (0x%x)", w, h, eglGetError());
        return false;
    }
    if (!eglMakeCurrent(egl.display, surface, surface, egl.context)) {
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
