// What the current GL context offers beyond OpenGL 1.1, and where its functions are.
// The headers of 32-bit Windows stop at 1.1, so the few later names used are given
// here.
#pragma once

#include <GL/gl.h>

constexpr GLenum GlClampToEdge = 0x812F;              // GL 1.2, EXT/SGIS_texture_edge_clamp
constexpr GLenum GlGenerateMipmap = 0x8191;           // GL 1.4, SGIS_generate_mipmap
constexpr GLenum GlTextureMaxAnisotropy = 0x84FE;     // EXT_texture_filter_anisotropic
constexpr GLenum GlMaxTextureMaxAnisotropy = 0x84FF;  // the same extension
constexpr GLenum GlTexture0 = 0x84C0;                 // ARB_multitexture
constexpr GLenum GlTexture1 = 0x84C1;

// The multitexture entry points of the current context: both null unless it has at
// least `units` texture units (GL 1.3 under its own names, else ARB_multitexture).
struct Multitexture {
    void(APIENTRY* activeTexture)(GLenum unit) = nullptr;
    void(APIENTRY* multiTexCoord2f)(GLenum unit, GLfloat s, GLfloat t) = nullptr;
};
Multitexture GlMultitexture(int units);

// The address of a GL function beyond 1.1 in the current context (wglGetProcAddress
// on Windows, the loaded GL library elsewhere); null when there is none. Only
// meaningful with a context current.
void* GlProcedure(const char* name);

// Whether the current context lists the extension `name`.
bool GlHasExtension(const char* name);

// Whether the current context's GL_VERSION is at least major.minor.
bool GlVersionAtLeast(int major, int minor);

// Whether the current context takes GlClampToEdge as a wrap mode.
bool GlHasEdgeClamp();
