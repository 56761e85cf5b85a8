#include "globe/globe_mesh.h"

#include <cmath>
#include <vector>

Patch* ModelList = nullptr;
Patch* SceneList = nullptr;

namespace {

// One degree in radians to seven figures, a hair below pi/180. Deliberate: the mesh
// is defined with this value, so the south pole lands a fraction of a unit off the axis.
constexpr float DegreesToRadians = 0.01745328f;
// Texture coordinates are degrees times this (a multiplication, not a division).
constexpr float OneNinetieth = 1.0f / 90.0f;

constexpr int Columns = 72;  // 5-degree bands of longitude, west edge -180 to 175
constexpr int Rows = 36;     // 5-degree bands of latitude, south edge -90 to 85
constexpr int CornersPerPatch = 4;

// The lists live in these blocks; the records still link through `next`.
struct Mesh {
    std::vector<Patch> patches;
    std::vector<PatchVertex> vertices;
};
Mesh model;
Mesh scene;

// Outward unit normal at a point of the globe: +y is north, latitude 0 and
// longitude 0 lie on -x, longitude 90 east on -z.
Vec3 NormalAt(float latitude, float longitude) {
    const double theta = double((latitude - 90) * DegreesToRadians);
    const double lambda = double(longitude * DegreesToRadians);
    return {float(std::sin(theta) * std::cos(lambda)), float(std::cos(theta)),
            float(std::sin(theta) * std::sin(lambda))};
}

// Which texture band a patch belongs to follows its west edge, so that the east
// corners of a band's last patch reach the band's upper end.
float BandOffset(float westEdge) {
    if (westEdge >= 90) return 90;
    if (westEdge >= 0) return 0;
    if (westEdge >= -90) return -90;
    return -180;
}

void Allocate(Mesh& mesh) {
    mesh.patches.assign(PatchCount, Patch{});
    mesh.vertices.assign(PatchCount * CornersPerPatch, PatchVertex{});
    for (int p = 0; p < PatchCount; ++p) {
        Patch& patch = mesh.patches[p];
        patch.vertices = &mesh.vertices[p * CornersPerPatch];
        patch.next = p + 1 < PatchCount ? &mesh.patches[p + 1] : nullptr;
        patch.textured = 1;
        for (int k = 0; k < CornersPerPatch; ++k)
            patch.vertices[k].next = k + 1 < CornersPerPatch ? &patch.vertices[k + 1] : nullptr;
    }
}

}  // namespace

void BuildGlobeMesh() {
    Allocate(model);
    Allocate(scene);

    int p = 0;
    for (int column = 0; column < Columns; ++column) {
        const float west = -180.0f + 5.0f * column;
        for (int row = 0; row < Rows; ++row, ++p) {
            const float south = -90.0f + 5.0f * row;
            const float latitudes[CornersPerPatch] = {south, south, south + 5, south + 5};
            const float longitudes[CornersPerPatch] = {west, west + 5, west + 5, west};

            Patch& m = model.patches[p];
            Patch& s = scene.patches[p];
            m.longitude = s.longitude = west;
            m.latitude = s.latitude = south;
            m.centreNormal = NormalAt(south + 2.5f, west + 2.5f);

            const float offset = BandOffset(west);
            for (int k = 0; k < CornersPerPatch; ++k) {
                PatchVertex& a = m.vertices[k];
                a.normal = NormalAt(latitudes[k], longitudes[k]);
                a.position = {GlobeRadius * a.normal.x, GlobeRadius * a.normal.y,
                              GlobeRadius * a.normal.z};

                PatchVertex& b = s.vertices[k];
                b.texCoord = {(longitudes[k] + offset) * OneNinetieth, latitudes[k] * OneNinetieth};
                // Opaque from the start: the alpha goes to the GL with every vertex.
                b.colour.a = 1.0f;
            }
        }
    }

    ModelList = &model.patches.front();
    SceneList = &scene.patches.front();
}
