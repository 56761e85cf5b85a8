#include "globe/patch_renderer.h"

#include <GL/gl.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "textures/texture_set.h"

namespace {
constexpr std::size_t NameSize = sizeof(Patch::textureName);
static_assert(sizeof(TextureRecord::path) == NameSize,
              "paths and texture names must match in size");

// Byte-for-byte equality of a patch's texture name with a record's path up to the
// terminator. All names share the folder and differ only in the file name at their
// end, so comparing from the end rejects a wrong tile after a few bytes.
bool SameName(const char* name, const char* path, std::size_t pathLength) {
    if (pathLength < NameSize && name[pathLength] != '\0') return false;
    for (std::size_t i = pathLength; i-- > 0;)
        if (name[i] != path[i]) return false;
    return true;
}

// The processor's back-face test: skip a filled patch whose centre normal points
// away from the camera (e > 0), unless its first vertex asks to be drawn regardless.
bool FacesAway(const Patch& patch, const Vec3& eye) {
    const PatchVertex& first = *patch.vertices;
    if (first.noCull != 0) return false;
    const double dx = double(first.position.x) - eye.x;
    const double dy = double(first.position.y) - eye.y;
    const double dz = double(first.position.z) - eye.z;
    const double length = std::sqrt(dx * dx + dy * dy + dz * dz);
    // A vertex at the eye has no direction; the test then gives no number and the
    // patch is drawn.
    if (!(length > 0.0)) return false;
    const float vx = float(dx / length), vy = float(dy / length), vz = float(dz / length);
    const float e =
        vx * patch.centreNormal.x + vy * patch.centreNormal.y + vz * patch.centreNormal.z;
    return e > 0.0f;
}

void DrawOutline(const Patch& patch) {
    glBegin(GL_LINE_STRIP);
    for (const PatchVertex* v = patch.vertices; v != nullptr; v = v->next) {
        glColor3f(v->colour.r, v->colour.g, v->colour.b);
        glVertex3f(v->position.x, v->position.y, v->position.z);
    }
    const PatchVertex& first = *patch.vertices;  // closes the loop
    glColor3f(first.colour.r, first.colour.g, first.colour.b);
    glVertex3f(first.position.x, first.position.y, first.position.z);
    glEnd();
}

void DrawFilled(const Patch& patch, bool texturePass) {
    const bool texturing = texturePass && patch.textured != 0;
    if (texturing) glEnable(GL_TEXTURE_2D);
    if (patch.blend != 0) glEnable(GL_BLEND);
    glBegin(GL_POLYGON);
    for (const PatchVertex* v = patch.vertices; v != nullptr; v = v->next) {
        glColor4f(v->colour.r, v->colour.g, v->colour.b, v->colour.a);
        if (patch.textured != 0) glTexCoord2f(v->texCoord.s, v->texCoord.t);
        glVertex3f(v->position.x, v->position.y, v->position.z);
    }
    glEnd();
    if (patch.blend != 0) glDisable(GL_BLEND);
    if (texturing) glDisable(GL_TEXTURE_2D);
}

void DrawPatch(const Patch& patch, const Vec3& eye, bool texturePass) {
    if (patch.vertices == nullptr) return;  // nothing to draw, no first vertex to test
    if (patch.outline != 0) {
        DrawOutline(patch);
        return;
    }
    if (FacesAway(patch, eye)) return;
    DrawFilled(patch, texturePass);
}

bool Selected(const Patch& patch, const TextureRecord* record, std::size_t pathLength) {
    if (record == nullptr) return patch.textured != 1;
    return SameName(patch.textureName, record->path, pathLength);
}

// One pass: the unblended patches in list order, then the blended ones, so blending
// sees what lies behind. `record` null is the closing pass, which takes the patches
// not marked as textured.
void DrawPass(const Patch* patches, const Vec3& eye, const TextureRecord* record) {
    std::size_t pathLength = NameSize;
    if (record != nullptr) {
        const void* end = std::memchr(record->path, '\0', NameSize);
        if (end != nullptr) pathLength = std::size_t(static_cast<const char*>(end) - record->path);
    }
    const bool texturePass = record != nullptr;
    bool anyBlended = false;
    for (const Patch* patch = patches; patch != nullptr; patch = patch->next) {
        if (patch->blend != 0) {
            anyBlended = true;
            continue;
        }
        if (Selected(*patch, record, pathLength)) DrawPatch(*patch, eye, texturePass);
    }
    if (!anyBlended) return;
    for (const Patch* patch = patches; patch != nullptr; patch = patch->next)
        if (patch->blend != 0 && Selected(*patch, record, pathLength))
            DrawPatch(*patch, eye, texturePass);
}

// Bytes of an RGB image as the GL reads it with an unpack alignment of 4.
std::uint64_t RgbImageSize(std::int32_t width, std::int32_t height) {
    const std::uint64_t row = (std::uint64_t(width) * 3u + 3u) / 4u * 4u;
    return row * std::uint64_t(height);
}

void UploadTexture(const TextureRecord& record) {
    const std::int32_t width = BitmapWidth(record.header);
    const std::int32_t height = BitmapHeight(record.header);
    if (width > 0 && height > 0 && RgbImageSize(width, height) <= record.rgb.size()) {
        glTexImage2D(GL_TEXTURE_2D, 0, 3, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                     record.rgb.data());
    } else {
        // The RGB block cannot back an image of the header's size: the GL would read
        // past it. An empty image leaves the texture incomplete, so this pass shows
        // vertex colours instead of the previous pass's picture.
        glTexImage2D(GL_TEXTURE_2D, 0, 3, 0, 0, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
}
}  // namespace

void DrawPatches(const Patch* patches, const CameraFrame& camera) {
    if (TextureList != nullptr) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
        glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
        glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    }
    // No texture object: the GL's default texture is specified anew for every pass.
    for (const TextureRecord* record = TextureList; record != nullptr; record = record->next) {
        UploadTexture(*record);
        DrawPass(patches, camera.position, record);
    }
    DrawPass(patches, camera.position, nullptr);
}
