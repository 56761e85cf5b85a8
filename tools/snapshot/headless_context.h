// A desktop OpenGL (compatibility profile) context without a window system: EGL on
// Mesa's surfaceless platform, drawing into a pbuffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "front/egl/egl_gl.h"

class HeadlessContext {
  public:
    HeadlessContext() = default;
    HeadlessContext(const HeadlessContext&) = delete;
    HeadlessContext& operator=(const HeadlessContext&) = delete;
    ~HeadlessContext();

    // Makes a current context with a width x height colour buffer and, like the
    // saver's own pixel format, no depth buffer. Returns false with a reason in
    // `error` (always terminated) when no such context can be made.
    bool Open(int width, int height, char* error, std::size_t errorSize);

    // The colour buffer as RGB rows, top row first (the GL's own order is bottom up).
    std::vector<std::uint8_t> ReadRgbTopDown() const;

    // The GL_RENDERER text of the current context.
    const char* Renderer() const;

  private:
    EglGl egl;
    EGLSurface surface = EGL_NO_SURFACE;
    int width = 0;
    int height = 0;
};
