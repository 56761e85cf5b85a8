// opengl32 and glu32 are not among the DLLs Windows always takes from its own folder
// (KnownDLLs). Imported through their import libraries, they would be looked for
// beside the saver first, before any of its code runs: a .scr started from a
// downloads folder would run whatever opengl32.dll lay beside it. So the saver links
// neither and keeps the table an import library would have made itself: for each
// function the pointer the compiler's calls go through (__imp_<name>) and a thunk
// that jumps through it (<name>), filled once from the system folder's libraries.
// The names carry their stdcall argument sizes on 32-bit Windows; a size that does
// not match the headers' declaration leaves the name unresolved at link time.
#include "front/win32/gl_imports.h"

#include <windows.h>

#include "platform/system_library.h"

// clang-format off
#define SOLVANE_GL_IMPORTS(X)                                                      \
    X(0, glBegin, 4) X(0, glBindTexture, 8) X(0, glBlendFunc, 8) X(0, glClear, 4)  \
    X(0, glClearColor, 16) X(0, glClearDepth, 8) X(0, glColor3f, 12)               \
    X(0, glColor4f, 16) X(0, glDeleteTextures, 8) X(0, glDisable, 4)               \
    X(0, glDrawBuffer, 4) X(0, glEnable, 4) X(0, glEnd, 0) X(0, glFlush, 0)        \
    X(0, glGenTextures, 8) X(0, glGetIntegerv, 8) X(0, glGetString, 4)             \
    X(0, glIsTexture, 4) X(0, glLineWidth, 4) X(0, glLoadIdentity, 0)              \
    X(0, glMatrixMode, 4) X(0, glPixelStorei, 8) X(0, glTexCoord2f, 8)             \
    X(0, glTexImage2D, 36) X(0, glTexParameteri, 12) X(0, glVertex2f, 8)           \
    X(0, glVertex3f, 12) X(0, glViewport, 16) X(0, wglCreateContext, 4)            \
    X(0, wglDeleteContext, 4) X(0, wglGetProcAddress, 4) X(0, wglMakeCurrent, 8)   \
    X(0, glColorPointer, 16) X(0, glCullFace, 4) X(0, glDepthFunc, 4)              \
    X(0, glDepthMask, 4) X(0, glDisableClientState, 4) X(0, glDrawElements, 16)    \
    X(0, glEnableClientState, 4) X(0, glGetFloatv, 8) X(0, glPointSize, 4)         \
    X(0, glTexCoordPointer, 16) X(0, glTexEnvi, 12) X(0, glTexEnvfv, 12)           \
    X(0, glTexGenfv, 12) X(0, glTexGeni, 12) X(0, glTexImage1D, 32)                \
    X(0, glTexParameterf, 12)                                                      \
    X(0, glVertexPointer, 16) X(0, glDrawArrays, 12) X(1, gluBuild2DMipmaps, 28)   \
    X(1, gluLookAt, 72) X(1, gluOrtho2D, 32) X(1, gluPerspective, 32)

#if defined(_WIN64)
#define SOLVANE_SYMBOL(name, bytes) #name
#define SOLVANE_THUNK(name, bytes) \
    ".globl " #name "\n" #name ": jmp *__imp_" #name "(%rip)\n"
#else
#define SOLVANE_SYMBOL(name, bytes) "_" #name "@" #bytes
#define SOLVANE_THUNK(name, bytes) \
    ".globl _" #name "@" #bytes "\n_" #name "@" #bytes ": jmp *__imp__" #name "@" #bytes "\n"
#endif
// clang-format on

#define SOLVANE_POINTER(library, name, bytes) \
    FARPROC name##Import asm("__imp_" SOLVANE_SYMBOL(name, bytes)) = nullptr;
extern "C" {
SOLVANE_GL_IMPORTS(SOLVANE_POINTER)
}
#define SOLVANE_THUNKS(library, name, bytes) SOLVANE_THUNK(name, bytes)
asm(".text\n" SOLVANE_GL_IMPORTS(SOLVANE_THUNKS));

namespace {

struct Import {
    int library;  // 0: opengl32.dll, 1: glu32.dll
    const char* name;
    FARPROC* pointer;
};

#define SOLVANE_ENTRY(library, name, bytes) {library, #name, &name##Import},
const Import imports[] = {SOLVANE_GL_IMPORTS(SOLVANE_ENTRY)};

}  // namespace

bool LoadGlImports() {
    // gdi32 loads opengl32 by name for the pixel format: once it is loaded from the
    // system folder, that name finds this one.
    const HMODULE libraries[2] = {LoadSystemLibrary("opengl32.dll"),
                                  LoadSystemLibrary("glu32.dll")};
    for (const Import& import : imports) {
        const HMODULE library = libraries[import.library];
        *import.pointer = library != nullptr ? GetProcAddress(library, import.name) : nullptr;
        if (*import.pointer == nullptr) return false;
    }
    return true;
}
