// One EGL opener for every front end that draws through EGL: Wayland windows, and the
// surfaceless platform of the snapshot tool (a GBM console would be a third). It takes
// the platform's display, the cheapest RGB configuration (front/egl/config_cost.h) and
// a compatibility-profile desktop OpenGL context, since the frame draws with
// OpenGL 1.1 calls.
#pragma once

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstddef>

struct EglGl {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLConfig config = nullptr;
    EGLContext context = EGL_NO_CONTEXT;
    PFNEGLCREATEPLATFORMWINDOWSURFACEEXTPROC createWindowSurface = nullptr;  // windows only
};

struct EglPlatform {
    EGLenum platform;           // EGL_PLATFORM_WAYLAND_EXT, EGL_PLATFORM_SURFACELESS_MESA, ...
    const char* extensions[2];  // client extensions that offer it, either will do
    EGLint surfaceType;         // EGL_WINDOW_BIT or EGL_PBUFFER_BIT
};

extern const EglPlatform WaylandPlatform;
extern const EglPlatform SurfacelessPlatform;

// Opens `gl` on `nativeDisplay` (null for the surfaceless platform). Returns false
// with a reason in `error` (always terminated), leaving what was opened for CloseEglGl.
bool OpenEglGl(const EglPlatform& platform, void* nativeDisplay, EglGl& gl, char* error,
               std::size_t errorSize);

// The context and the display go; nothing is current afterwards.
void CloseEglGl(EglGl& gl);
