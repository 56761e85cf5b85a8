#include "globe/patch_renderer.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <vector>

#include "clouds/cloud_layer.h"
#include "textures/texture_set.h"

namespace {
constexpr std::size_t NameSize = sizeof(Patch::textureName);
static_assert(sizeof(TextureRecord::path) == NameSize,
              "paths and texture names must match in size");

// Byte-for-byte equality of a patch's texture name with a record's path up to the
// terminator. All names share the folder and differ only in the file name at their
// end, so the last bytes are compared first: a wrong tile is rejected after a few.
bool SameName(const char* name, const char* path, std::size_t pathLength) {
    if (pathLength < NameSize && name[pathLength] != '\0') return false;
    constexpr std::size_t FileNameLength = 8;  // "d11.bmp" and the byte before it
    const std::size_t head = pathLength > FileNameLength ? pathLength - FileNameLength : 0;
    for (std::size_t i = pathLength; i-- > head;)
        if (name[i] != path[i]) return false;
    return std::memcmp(name, path, head) == 0;
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

// GL_TEXTURE_2D is on exactly while a textured patch of a texture pass is drawn, and
// off between passes. It is switched only where that changes from one drawn patch to
// the next: each switch makes the GL draw the patches before it on their own, and
// switching around every patch cost the renderer about as much as all the rest of its
// drawing.
class Texturing {
  public:
    void Want(bool on) {
        if (on == enabled) return;
        if (on)
            glEnable(GL_TEXTURE_2D);
        else
            glDisable(GL_TEXTURE_2D);
        enabled = on;
    }

  private:
    bool enabled = false;
};

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

void DrawFilled(const Patch& patch, bool texturePass, Texturing& texturing, bool clouds) {
    texturing.Want(texturePass && patch.textured != 0);
    if (patch.blend != 0) glEnable(GL_BLEND);
    CloudCorners corners{};
    if (clouds) corners = CloudCornersOf(patch);
    glBegin(GL_POLYGON);
    int k = 0;
    for (const PatchVertex* v = patch.vertices; v != nullptr; v = v->next, ++k) {
        glColor4f(v->colour.r, v->colour.g, v->colour.b, v->colour.a);
        if (patch.textured != 0) glTexCoord2f(v->texCoord.s, v->texCoord.t);
        if (clouds) CloudsOnGroundAt(corners.s[std::min(k, 3)], corners.t[std::min(k, 3)]);
        glVertex3f(v->position.x, v->position.y, v->position.z);
    }
    glEnd();
    if (patch.blend != 0) glDisable(GL_BLEND);
}

void DrawPatch(const Patch& patch, const Vec3& eye, bool texturePass, Texturing& texturing,
               bool clouds = false) {
    if (patch.vertices == nullptr) return;  // nothing to draw, no first vertex to test
    if (patch.outline != 0) {
        texturing.Want(false);
        DrawOutline(patch);
        return;
    }
    if (FacesAway(patch, eye)) return;
    DrawFilled(patch, texturePass, texturing, clouds);
}

std::size_t PathLength(const TextureRecord& record) {
    const void* end = std::memchr(record.path, '\0', NameSize);
    return end != nullptr ? std::size_t(static_cast<const char*>(end) - record.path) : NameSize;
}

// The patches of every pass, worked out once per call. Matching every patch's name
// against the record of every pass cost more than all the shading; here each name
// is matched once, and each pass walks only its own patches, in draw order. The
// buffers keep their capacity from call to call, so a frame allocates nothing.
struct PassPlan {
    std::vector<const TextureRecord*> records;  // the TextureList in order
    std::vector<std::size_t> pathLengths;       // per record
    // Per record: the first record with the same path. Records with equal paths
    // select the same patches, so they share one group.
    std::vector<std::size_t> groups;
    // Unblended patches in list order, then blended ones in list order.
    std::vector<const Patch*> drawOrder;
    std::vector<std::size_t> groupOfPatch;  // per entry of drawOrder; no match: records.size()
    std::vector<std::size_t> groupStart;    // per group and one past the last: start in byGroup
    std::vector<std::size_t> fill;          // scratch of the sort
    std::vector<const Patch*> byGroup;      // drawOrder sorted by group, order kept within
};
PassPlan plan;

void ListRecords(PassPlan& p) {
    p.records.clear();
    p.pathLengths.clear();
    p.groups.clear();
    for (const TextureRecord* record = TextureList; record != nullptr; record = record->next) {
        const std::size_t length = PathLength(*record);
        std::size_t group = p.records.size();
        for (std::size_t j = 0; j < p.records.size(); ++j) {
            if (p.groups[j] == j && p.pathLengths[j] == length &&
                std::memcmp(p.records[j]->path, record->path, length) == 0) {
                group = j;
                break;
            }
        }
        p.records.push_back(record);
        p.pathLengths.push_back(length);
        p.groups.push_back(group);
    }
}

void ListDrawOrder(PassPlan& p, const Patch* patches) {
    p.drawOrder.clear();
    bool anyBlended = false;
    for (const Patch* patch = patches; patch != nullptr; patch = patch->next) {
        if (patch->blend != 0)
            anyBlended = true;
        else
            p.drawOrder.push_back(patch);
    }
    if (!anyBlended) return;
    for (const Patch* patch = patches; patch != nullptr; patch = patch->next)
        if (patch->blend != 0) p.drawOrder.push_back(patch);
}

// The group whose path equals the name, or `none`. Neighbouring patches mostly name
// the same tile, so the previous patch's group is tried first.
std::size_t MatchGroup(const PassPlan& p, const char* name, std::size_t previous) {
    const std::size_t none = p.records.size();
    if (previous != none && SameName(name, p.records[previous]->path, p.pathLengths[previous]))
        return previous;
    for (std::size_t j = 0; j < none; ++j)
        if (j != previous && p.groups[j] == j &&
            SameName(name, p.records[j]->path, p.pathLengths[j]))
            return j;
    return none;
}

void PlanPasses(PassPlan& p, const Patch* patches) {
    ListRecords(p);
    ListDrawOrder(p, patches);

    const std::size_t none = p.records.size();
    p.groupOfPatch.resize(p.drawOrder.size());
    p.groupStart.assign(none + 2, 0);
    std::size_t previous = none;
    for (std::size_t i = 0; i < p.drawOrder.size(); ++i) {
        const std::size_t group =
            none == 0 ? none : MatchGroup(p, p.drawOrder[i]->textureName, previous);
        if (group != none) previous = group;
        p.groupOfPatch[i] = group;
        ++p.groupStart[group + 1];
    }
    for (std::size_t g = 1; g < p.groupStart.size(); ++g) p.groupStart[g] += p.groupStart[g - 1];
    p.fill.assign(p.groupStart.begin(), p.groupStart.end());
    p.byGroup.resize(p.drawOrder.size());
    for (std::size_t i = 0; i < p.drawOrder.size(); ++i)
        p.byGroup[p.fill[p.groupOfPatch[i]]++] = p.drawOrder[i];
}

// Night tiles are n11.bmp to n24.bmp; their patches take the flat night colour, so the
// clouds over them take the ambient light instead of it.
bool NightTile(const PassPlan& p, std::size_t record) {
    constexpr std::size_t FileNameLength = 7;
    const std::size_t length = p.pathLengths[record];
    return length >= FileNameLength && p.records[record]->path[length - FileNameLength] == 'n';
}

// A texture pass: the patches whose name equals the record's path, in draw order.
void DrawTexturePass(const PassPlan& p, std::size_t record, const Vec3& eye, bool clouds) {
    const std::size_t group = p.groups[record];
    if (clouds) LightCloudsOnGround(NightTile(p, record));
    Texturing texturing;
    for (std::size_t k = p.groupStart[group]; k < p.groupStart[group + 1]; ++k)
        DrawPatch(*p.byGroup[k], eye, true, texturing, clouds);
    texturing.Want(false);
}

// The closing pass takes the patches not marked as textured.
void DrawClosingPass(const PassPlan& p, const Vec3& eye) {
    Texturing texturing;  // stays off
    for (const Patch* patch : p.drawOrder)
        if (patch->textured != 1) DrawPatch(*patch, eye, false, texturing);
}

}  // namespace

void PlanPatches(const Patch* patches) {
    PlanPasses(plan, patches);
}

void DrawPlannedPatches(const CameraFrame& camera) {
    MakeTextureObjects();
    const bool clouds = BeginCloudsOnGround();
    for (std::size_t record = 0; record < plan.records.size(); ++record) {
        glBindTexture(GL_TEXTURE_2D, plan.records[record]->textureObject);
        DrawTexturePass(plan, record, camera.position, clouds);
    }
    if (clouds) EndCloudsOnGround();
    DrawClosingPass(plan, camera.position);
}

void DrawPatches(const Patch* patches, const CameraFrame& camera) {
    PlanPatches(patches);
    DrawPlannedPatches(camera);
}
