// A GL that records: linked into test binaries in place of libGL and libGLU, it
// keeps every call the code under test makes, in order, for the tests to read.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

struct GlCall {
    std::string name;          // "glVertex3f"
    std::vector<double> args;  // numeric arguments in order (enums as numbers)
    const void* pointer;       // the data pointer of calls that take one, else null
};

// Calls recorded since the last ClearGlCalls.
const std::vector<GlCall>& RecordedGlCalls();
void ClearGlCalls();
// Off: calls go nowhere (for benchmarks); on by default.
void SetGlRecording(bool on);

// Texture objects work as in one real context, recording on or off: glGenTextures
// hands out 1, 2, 3, ..., glIsTexture answers true for those made and not deleted.
// This stands for a fresh context instead: no texture object exists, names start
// again at 1.
void ReplaceGlContext();
// Texture objects that exist now.
int LiveGlTextureCount();
// What glGetIntegerv answers for GL_MAX_TEXTURE_SIZE; 16384, as llvmpipe's, until set.
void SetGlMaxTextureSize(int size);

// "glViewport(0, 0, 1024, 768)"; numbers as %.9g.
std::string FormatGlCall(const GlCall& call);
// The recorded calls, one formatted call per line.
std::string FormatGlCalls();
// The recorded calls as FormatGlCall texts.
std::vector<std::string> RecordedGlCallTexts();
// The FormatGlCall text of a call with these arguments: what a test expects.
std::string GlCallText(const char* name, std::initializer_list<double> args = {});
// Only the calls with this name.
std::vector<GlCall> RecordedGlCallsNamed(const std::string& name);
