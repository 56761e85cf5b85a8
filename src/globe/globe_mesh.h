// The globe as 2592 patches of 5 x 5 degrees, in a model list and a scene list.
#pragma once

#include <cstdint>

#include "view/camera_frame.h"

struct Colour {
    float r, g, b, a;
};

struct TexCoord {
    float s, t;
};

struct PatchVertex {
    Vec3 position;  // scene units
    Vec3 normal;    // unit length when built
    Colour colour;  // handed to the GL with the vertex
    TexCoord texCoord;
    std::int32_t noCull;  // in a patch's first vertex: draw even when facing away
    PatchVertex* next;    // null after the fourth vertex
};

struct Patch {
    PatchVertex* vertices;  // four, south-west, south-east, north-east, north-west
    std::int32_t outline;   // draw as a closed line strip instead of a polygon
    std::int32_t blend;     // draw with blending, after the unblended patches
    Vec3 centreNormal;      // unit outward normal at the patch's centre
    float longitude;        // degrees, west edge, -180 to 175
    float latitude;         // degrees, south edge, -90 to 85
    char textureName[100];  // path of the texture file (scene list only)
    Patch* next;
    std::int32_t textured;  // 1: drawn with its texture and texture coordinates
};

constexpr int PatchCount = 2592;
constexpr float GlobeRadius = 6000.0f;

// The globe in its own frame (north on +y); written once, then only read.
extern Patch* ModelList;
// The same patches as drawn; rewritten every frame from the model list.
extern Patch* SceneList;

// Builds both lists. Called on the first frame; calling it again rebuilds them.
void BuildGlobeMesh();
