#include "frame/gl_release.h"

#include <GL/gl.h>

#include <cstdio>

#include "frame/frame_step.h"

int EndGl(const char* program) {
    ReleaseGlObjects();
    glFinish();
    int status = 0;
    // A context that has lost its connection can report errors for ever.
    for (int i = 0; i < 8; ++i) {
        const GLenum error = glGetError();
        if (error == GL_NO_ERROR) break;
        std::fprintf(stderr, "%s: GL error 0x%x\n", program, error);
        status = 1;
    }
    return status;
}
