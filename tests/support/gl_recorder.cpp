#include "tests/support/gl_recorder.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdio>
#include <initializer_list>

namespace {
std::vector<GlCall>& Calls() {
    static std::vector<GlCall> calls;
    return calls;
}
bool recording = true;

// Texture names by number: true while the object exists. Grows only when names are
// made, never while a frame binds them.
std::vector<bool>& LiveTextures() {
    static std::vector<bool> live;
    return live;
}
GLuint nextTextureName = 1;
GLint maxTextureSize = 16384;

void Record(const char* name, std::initializer_list<double> args, const void* pointer = nullptr) {
    if (!recording) return;
    Calls().push_back(GlCall{name, std::vector<double>(args), pointer});
}
}  // namespace

const std::vector<GlCall>& RecordedGlCalls() {
    return Calls();
}
void ClearGlCalls() {
    Calls().clear();
}
void SetGlRecording(bool on) {
    recording = on;
}

void ReplaceGlContext() {
    LiveTextures().clear();
    nextTextureName = 1;
}

void SetGlMaxTextureSize(int size) {
    maxTextureSize = size;
}

int LiveGlTextureCount() {
    int count = 0;
    for (const bool live : LiveTextures()) count += live;
    return count;
}

std::string FormatGlCall(const GlCall& call) {
    std::string text = call.name + "(";
    char number[40];
    for (size_t i = 0; i < call.args.size(); ++i) {
        std::snprintf(number, sizeof number, "%s%.9g", i ? ", " : "", call.args[i]);
        text += number;
    }
    return text + ")";
}

std::string FormatGlCalls() {
    std::string text;
    for (const GlCall& call : Calls()) text += FormatGlCall(call) + "\n";
    return text;
}

std::vector<std::string> RecordedGlCallTexts() {
    std::vector<std::string> texts;
    for (const GlCall& call : Calls()) texts.push_back(FormatGlCall(call));
    return texts;
}

std::string GlCallText(const char* name, std::initializer_list<double> args) {
    return FormatGlCall(GlCall{name, std::vector<double>(args), nullptr});
}

std::vector<GlCall> RecordedGlCallsNamed(const std::string& name) {
    std::vector<GlCall> named;
    for (const GlCall& call : Calls())
        if (call.name == name) named.push_back(call);
    return named;
}

extern "C" {

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    Record("glViewport", {double(x), double(y), double(width), double(height)});
}
void glMatrixMode(GLenum mode) {
    Record("glMatrixMode", {double(mode)});
}
void glLoadIdentity() {
    Record("glLoadIdentity", {});
}
void glDrawBuffer(GLenum mode) {
    Record("glDrawBuffer", {double(mode)});
}
void glEnable(GLenum cap) {
    Record("glEnable", {double(cap)});
}
void glDisable(GLenum cap) {
    Record("glDisable", {double(cap)});
}
void glBlendFunc(GLenum sfactor, GLenum dfactor) {
    Record("glBlendFunc", {double(sfactor), double(dfactor)});
}
void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha) {
    Record("glClearColor", {red, green, blue, alpha});
}
void glClear(GLbitfield mask) {
    Record("glClear", {double(mask)});
}
void glClearDepth(GLclampd depth) {
    Record("glClearDepth", {depth});
}
void glBegin(GLenum mode) {
    Record("glBegin", {double(mode)});
}
void glEnd() {
    Record("glEnd", {});
}
void glColor3f(GLfloat red, GLfloat green, GLfloat blue) {
    Record("glColor3f", {red, green, blue});
}
void glColor4f(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha) {
    Record("glColor4f", {red, green, blue, alpha});
}
void glTexCoord2f(GLfloat s, GLfloat t) {
    Record("glTexCoord2f", {s, t});
}
void glVertex2f(GLfloat x, GLfloat y) {
    Record("glVertex2f", {x, y});
}
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    Record("glVertex3f", {x, y, z});
}
void glTexParameteri(GLenum target, GLenum pname, GLint param) {
    Record("glTexParameteri", {double(target), double(pname), double(param)});
}
void glTexParameterf(GLenum target, GLenum pname, GLfloat param) {
    Record("glTexParameterf", {double(target), double(pname), param});
}
void glTexEnvi(GLenum target, GLenum pname, GLint param) {
    Record("glTexEnvi", {double(target), double(pname), double(param)});
}
void glTexEnvfv(GLenum, GLenum, const GLfloat*) {}
void glPixelStorei(GLenum pname, GLint param) {
    Record("glPixelStorei", {double(pname), double(param)});
}
void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                  GLint border, GLenum format, GLenum type, const GLvoid* pixels) {
    Record("glTexImage2D",
           {double(target), double(level), double(internalFormat), double(width), double(height),
            double(border), double(format), double(type)},
           pixels);
}
void glGenTextures(GLsizei n, GLuint* textures) {
    Record("glGenTextures", {double(n)});
    std::vector<bool>& live = LiveTextures();
    for (GLsizei i = 0; i < n; ++i) {
        const GLuint name = nextTextureName++;
        if (live.size() <= name) live.resize(name + 1, false);
        live[name] = true;
        textures[i] = name;
    }
}
void glDeleteTextures(GLsizei n, const GLuint* textures) {
    std::vector<bool>& live = LiveTextures();
    for (GLsizei i = 0; i < n; ++i)
        if (textures[i] < live.size()) live[textures[i]] = false;
    if (!recording) return;
    GlCall call{"glDeleteTextures", {double(n)}, nullptr};
    for (GLsizei i = 0; i < n; ++i) call.args.push_back(textures[i]);
    Calls().push_back(call);
}
GLboolean glIsTexture(GLuint texture) {
    Record("glIsTexture", {double(texture)});
    const std::vector<bool>& live = LiveTextures();
    return texture < live.size() && live[texture] ? GL_TRUE : GL_FALSE;
}
void glBindTexture(GLenum target, GLuint texture) {
    Record("glBindTexture", {double(target), double(texture)});
}
// A query that changes nothing: answered, not recorded.
void glGetIntegerv(GLenum pname, GLint* data) {
    if (pname == GL_MAX_TEXTURE_SIZE) *data = maxTextureSize;
}
void glFlush() {
    Record("glFlush", {});
}
void glLineWidth(GLfloat width) {
    Record("glLineWidth", {width});
}
void glFinish() {
    Record("glFinish", {});
}

// What the Natural look asks of the GL. The recorder is a GL 1.1 without extensions,
// like Microsoft's software renderer: no multitexture, no edge clamping.
const GLubyte* glGetString(GLenum name) {
    static const GLubyte version[] = "1.1.0 recorder";
    static const GLubyte none[] = "";
    return name == GL_VERSION ? version : none;
}
void glGetFloatv(GLenum, GLfloat*) {}
void glCullFace(GLenum mode) {
    Record("glCullFace", {double(mode)});
}
void glDepthFunc(GLenum func) {
    Record("glDepthFunc", {double(func)});
}
void glDepthMask(GLboolean flag) {
    Record("glDepthMask", {double(flag)});
}
void glPointSize(GLfloat size) {
    Record("glPointSize", {size});
}
void glEnableClientState(GLenum array) {
    Record("glEnableClientState", {double(array)});
}
void glDisableClientState(GLenum array) {
    Record("glDisableClientState", {double(array)});
}
void glVertexPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer) {
    Record("glVertexPointer", {double(size), double(type), double(stride)}, pointer);
}
void glTexCoordPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer) {
    Record("glTexCoordPointer", {double(size), double(type), double(stride)}, pointer);
}
void glColorPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer) {
    Record("glColorPointer", {double(size), double(type), double(stride)}, pointer);
}
void glDrawElements(GLenum mode, GLsizei count, GLenum type, const GLvoid* indices) {
    Record("glDrawElements", {double(mode), double(count), double(type)}, indices);
}
void glDrawArrays(GLenum mode, GLint first, GLsizei count) {
    Record("glDrawArrays", {double(mode), double(first), double(count)});
}
void glTexGeni(GLenum coord, GLenum pname, GLint param) {
    Record("glTexGeni", {double(coord), double(pname), double(param)});
}
void glTexGenfv(GLenum coord, GLenum pname, const GLfloat* params) {
    Record("glTexGenfv", {double(coord), double(pname)}, params);
}
void glTexImage1D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLint border,
                  GLenum format, GLenum type, const GLvoid* pixels) {
    Record("glTexImage1D",
           {double(target), double(level), double(internalFormat), double(width), double(border),
            double(format), double(type)},
           pixels);
}
GLint gluBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height,
                        GLenum format, GLenum type, const void* data) {
    Record("gluBuild2DMipmaps",
           {double(target), double(internalFormat), double(width), double(height), double(format),
            double(type)},
           data);
    return 0;
}

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    Record("gluPerspective", {fovy, aspect, zNear, zFar});
}
void gluOrtho2D(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top) {
    Record("gluOrtho2D", {left, right, bottom, top});
}
void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY,
               GLdouble centerZ, GLdouble upX, GLdouble upY, GLdouble upZ) {
    Record("gluLookAt", {eyeX, eyeY, eyeZ, centerX, centerY, centerZ, upX, upY, upZ});
}

}  // extern "C"
