#include "globe/natural_globe.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <vector>

#include "globe/globe_mesh.h"
#include "globe/sky.h"
#include "globe/sun_shading.h"
#include "globe/twilight.h"
#include "platform/gl_extensions.h"
#include "textures/texture_set.h"

namespace {

constexpr double Pi = 3.14159265358979323846;
// Cells per tile side. With the per-pixel ramp the cells need only keep the outline
// round: the coarsest of 10, 7.5 and 5 degrees whose chords stand within a pixel of
// the sphere as the globe is drawn (7.5 up to a radius of 467 pixels, as at 1920 x
// 1080; 5, the finest, on larger screens and at 4K), for a software GL pays for every
// triangle's edges through the 4 x 4 blocks it shades whole. With each size, the
// lowest Sun (degrees) above which vertex colours light a cell within three levels of
// 255: the longer a cell's diagonal, the more the reddening of a low Sun bends the
// light inside it. The per-vertex twilight of GLs without multitexture needs
// 2.5-degree cells to change smoothly from vertex to vertex.
struct CellSize {
    int steps;
    double plainAbove;
};
constexpr CellSize RampCellSizes[] = {{9, 9.5}, {12, 8.5}, {18, 2.0}};
constexpr CellSize VertexCellSize = {36, 0.0};
constexpr int TileCount = 8;  // per picture: 2 rows of 4 columns of 90 degrees

struct Tile {
    std::vector<Vec3> normals;       // the globe's own frame, fixed
    std::vector<float> texCoords;    // s, t per vertex, fixed
    std::vector<float> positions;    // x, y, z per vertex in the scene, per frame
    std::vector<float> colours;      // r, g, b per vertex, per pass (no multitexture)
    std::vector<float> sines;        // sine of the Sun's elevation per vertex, per frame
    std::vector<std::uint8_t> seen;  // 1 where the camera may see the vertex, per frame
    // Per pass:
    GLuint texture = 0;
    std::vector<float> insetCoords;       // texCoords inset for the pass's picture
    std::vector<std::uint16_t> cells[3];  // the cells of its draws (Draw)
};

// The draws of a picture, in their order:
// - Plain: the day in vertex colours; the night as it stands, the lights fully on.
// - Shaded: through the ramp (vertex colours without multitexture), unblended.
// - Added: the same, added to the day's (the night only).
enum Draw { Plain, Shaded, Added, DrawCount };

// The tiles at one cell size, built when first drawn. Each size keeps its own, so
// that views of several sizes do not rebuild them every frame.
struct Mesh {
    CellSize size = {0, 0.0};  // steps 0 before it is built
    Tile tiles[TileCount];
    std::vector<std::uint16_t> indices;  // the same grid in every tile
};

struct NaturalState {
    Mesh meshes[std::size(RampCellSizes) + 1];  // the ramp's sizes, then the vertices'
    GLuint dayRamp = 0, nightRamp = 0;
    void(APIENTRY* activeTexture)(GLenum) = nullptr;
};
NaturalState state;

Vec3 GlobeNormalAt(double latitude, double longitude) {
    const double phi = latitude * Pi / 180.0, lambda = longitude * Pi / 180.0;
    return {float(-std::cos(phi) * std::cos(lambda)), float(std::sin(phi)),
            float(-std::cos(phi) * std::sin(lambda))};
}

// Tile k: row k / 4 (0 north, 1 south), column k % 4 from longitude -180, as the
// texture set lists them (d11 ... d24).
void BuildMesh(Mesh& mesh, const CellSize& size) {
    const int steps = size.steps;
    const int side = steps + 1;  // vertices along a tile's side
    for (int k = 0; k < TileCount; ++k) {
        Tile& tile = mesh.tiles[k];
        const double south = k < 4 ? 0.0 : -90.0;
        const double west = -180.0 + 90.0 * (k % 4);
        tile.normals.resize(side * side);
        tile.texCoords.resize(side * side * 2);
        tile.positions.resize(side * side * 3);
        tile.colours.resize(side * side * 3);
        tile.sines.resize(side * side);
        tile.seen.resize(side * side);
        for (int i = 0; i < side; ++i)
            for (int j = 0; j < side; ++j) {
                const int v = i * side + j;
                tile.normals[v] = GlobeNormalAt(south + 90.0 * i / steps, west + 90.0 * j / steps);
                tile.texCoords[2 * v] = float(j) / steps;
                tile.texCoords[2 * v + 1] = float(i) / steps;
            }
    }
    mesh.indices.clear();
    for (int i = 0; i < steps; ++i)
        for (int j = 0; j < steps; ++j) {
            const std::uint16_t sw = std::uint16_t(i * side + j), se = std::uint16_t(sw + 1);
            const std::uint16_t nw = std::uint16_t(sw + side), ne = std::uint16_t(nw + 1);
            // Counter-clockwise seen from outside: the far side is culled.
            mesh.indices.insert(mesh.indices.end(), {sw, se, ne, sw, ne, nw});
        }
    mesh.size = size;
}

// The mesh for a globe of `radiusPixels` on screen (a NaN takes the finest), built if
// it is not yet. A chord across half a cell's side stands R (1 - cos) inside the sphere.
Mesh& MeshFor(bool ramped, double radiusPixels) {
    std::size_t choice = std::size(RampCellSizes);  // the vertices' mesh
    if (ramped) {
        choice = 0;
        const auto fits = [&](const CellSize& size) {
            return radiusPixels * (1.0 - std::cos(45.0 / size.steps * Pi / 180.0)) <= 1.0;
        };
        while (choice + 1 < std::size(RampCellSizes) && !fits(RampCellSizes[choice])) ++choice;
    }
    Mesh& mesh = state.meshes[choice];
    if (mesh.size.steps == 0)
        BuildMesh(mesh, choice < std::size(RampCellSizes) ? RampCellSizes[choice] : VertexCellSize);
    return mesh;
}

// The radius in pixels of the globe's outline in the current viewport, seen from
// `eye` through a vertical field of `fieldOfView` degrees; infinite from inside it.
double GlobeRadiusPixels(const Vec3& eye, float fieldOfView) {
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    const Vec3& c = SunFrame.position;
    const double dx = double(eye.x) - c.x, dy = double(eye.y) - c.y, dz = double(eye.z) - c.z;
    const double sine = GlobeRadius / std::sqrt(dx * dx + dy * dy + dz * dz);
    if (!(sine < 1.0)) return HUGE_VAL;
    const double halfField = std::tan(fieldOfView * Pi / 360.0);
    return viewport[3] / 2.0 * (sine / std::sqrt(1.0 - sine * sine)) / halfField;
}

// Keeps the edge texels' centres on the tile's edges, so that neighbouring tiles meet
// texel to texel and no filter reaches past an edge even where the GL cannot clamp.
void InsetTexCoords(Tile& tile, const TextureRecord* record, std::vector<float>& out) {
    const float w = record != nullptr ? float(BitmapWidth(record->header)) : 0.0f;
    const float h = record != nullptr ? float(BitmapHeight(record->header)) : 0.0f;
    out.resize(tile.texCoords.size());
    for (std::size_t v = 0; v < tile.texCoords.size(); v += 2) {
        out[v] = w > 1 ? (0.5f + tile.texCoords[v] * (w - 1)) / w : tile.texCoords[v];
        out[v + 1] = h > 1 ? (0.5f + tile.texCoords[v + 1] * (h - 1)) / h : tile.texCoords[v + 1];
    }
}

void PlaceTiles(Mesh& mesh, const Vec3& sun, const Vec3& eye) {
    const CameraFrame& f = SunFrame;
    // A vertex counts as seen up to a cell's width beyond the limb, so that the
    // silhouette's cells, whose flat faces the GL still culls, are all handed over.
    const float margin = float(std::sin(90.0 / mesh.size.steps * Pi / 180.0));
    for (Tile& tile : mesh.tiles)
        for (std::size_t v = 0; v < tile.normals.size(); ++v) {
            const Vec3& n = tile.normals[v];
            const Vec3 d{n.x * f.forward.x + n.y * f.up.x + n.z * f.right.x,
                         n.x * f.forward.y + n.y * f.up.y + n.z * f.right.y,
                         n.x * f.forward.z + n.y * f.up.z + n.z * f.right.z};
            const Vec3 p{f.position.x + GlobeRadius * d.x, f.position.y + GlobeRadius * d.y,
                         f.position.z + GlobeRadius * d.z};
            tile.positions[3 * v] = p.x;
            tile.positions[3 * v + 1] = p.y;
            tile.positions[3 * v + 2] = p.z;
            tile.sines[v] = d.x * sun.x + d.y * sun.y + d.z * sun.z;
            const Vec3 view{p.x - eye.x, p.y - eye.y, p.z - eye.z};
            const float along = view.x * d.x + view.y * d.y + view.z * d.z;
            const float length = std::sqrt(view.x * view.x + view.y * view.y + view.z * view.z);
            tile.seen[v] = along < margin * length;
        }
}

GLuint MakeRamp(bool night) {
    unsigned char texels[TwilightRampTexels * 3];
    FillTwilightRamp(texels, TwilightRampTexels, night);
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_1D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage1D(GL_TEXTURE_1D, 0, 3, TwilightRampTexels, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    // Either clamp holds the ends; a software GL samples an edge-clamped texture on
    // its faster path.
    glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_WRAP_S,
                    GlHasEdgeClamp() ? GLint(GlClampToEdge) : GL_CLAMP);
    return name;
}

// The ramps go with the multitexture route only; a context without the extension
// draws the twilight from vertex colours.
void PrepareRamps() {
    if (state.dayRamp != 0 && !glIsTexture(state.dayRamp)) state.dayRamp = state.nightRamp = 0;
    if (state.dayRamp != 0) return;
    state.activeTexture = GlMultitexture(2).activeTexture;
    if (state.activeTexture == nullptr) return;
    state.dayRamp = MakeRamp(false);
    state.nightRamp = MakeRamp(true);
}

// The ramp on the second unit, indexed by the sine of the Sun's elevation at each
// pixel: s = 0.5 + 0.5 sun . (p - centre) / R.
void BindRamp(GLuint ramp, const Vec3& sun) {
    state.activeTexture(GlTexture1);
    glEnable(GL_TEXTURE_1D);
    glBindTexture(GL_TEXTURE_1D, ramp);
    const Vec3& c = SunFrame.position;
    const float k = 0.5f / GlobeRadius;
    const GLfloat plane[4] = {k * sun.x, k * sun.y, k * sun.z,
                              0.5f - k * (sun.x * c.x + sun.y * c.y + sun.z * c.z)};
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
    glTexGenfv(GL_S, GL_OBJECT_PLANE, plane);
    glEnable(GL_TEXTURE_GEN_S);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    state.activeTexture(GlTexture0);
}

void UnbindRamp() {
    state.activeTexture(GlTexture1);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_1D);
    state.activeTexture(GlTexture0);
}

void ColourVertices(Tile& tile, bool night) {
    for (std::size_t v = 0; v < tile.sines.size(); ++v) {
        float* c = &tile.colours[3 * v];
        if (night) {
            c[0] = c[1] = c[2] = RampLightsAt(tile.sines[v]);
        } else {
            const RgbColour day = RampDaylightAt(tile.sines[v]);
            c[0] = day.r;
            c[1] = day.g;
            c[2] = day.b;
        }
    }
}

// Sorts the cells of a tile that the camera may see into the draws of a picture. The
// sine of the elevation is linear across each flat triangle, so its corners bound it.
// - Day: every cell that the day picture is not black all over. With the ramp, only
//   the cells about the day's end take it, where its curve breaks: with the Sun above
//   the cell size's plainAbove at every corner, the light across a cell is so nearly
//   linear in the sine that vertex colours give it within three levels of 255, for
//   one texture lookup a pixel less.
// - Night: where the lights begin. Where they are fully on, the picture stands as it
//   is; elsewhere it adds to the day's where the day was drawn, and stands alone
//   where it was not, which spares a software GL the blend.
// A day cell counts as black when every corner lies half a degree (two of the ramp's
// texels) below the day's end, so that the filtered ramp holds no light inside it.
// The far side costs the GL nothing.
void ChooseCells(const Mesh& mesh, Tile& tile, bool night, bool ramped) {
    const auto sine = [](double degrees) { return float(std::sin(degrees * Pi / 180.0)); };
    const float lightsFull = sine(CityLightsFull), lightsStart = sine(CityLightsStart);
    const float dayGone = sine(DayPictureGone - 0.5);
    const float dayPlain = ramped ? sine(mesh.size.plainAbove) : -1.0f;
    for (std::vector<std::uint16_t>& list : tile.cells) list.clear();
    for (std::size_t k = 0; k < mesh.indices.size(); k += 6) {
        const std::uint16_t* cell = &mesh.indices[k];
        // sw, se, ne and nw are the first, second, third and sixth index.
        if (!(tile.seen[cell[0]] | tile.seen[cell[1]] | tile.seen[cell[2]] | tile.seen[cell[5]]))
            continue;
        const float a = tile.sines[cell[0]], b = tile.sines[cell[1]], c = tile.sines[cell[2]],
                    d = tile.sines[cell[5]];
        const float low = std::min(std::min(a, b), std::min(c, d));
        const float high = std::max(std::max(a, b), std::max(c, d));
        if (night ? low >= lightsStart : high <= dayGone) continue;
        const Draw draw = night ? (high <= lightsFull ? Plain
                                   : high <= dayGone  ? Shaded
                                                      : Added)
                                : (low >= dayPlain ? Plain : Shaded);
        tile.cells[draw].insert(tile.cells[draw].end(), cell, cell + 6);
    }
}

void DrawCells(Tile& tile, const std::vector<std::uint16_t>& cells) {
    if (cells.empty()) return;
    glBindTexture(GL_TEXTURE_2D, tile.texture);
    glVertexPointer(3, GL_FLOAT, 0, tile.positions.data());
    glTexCoordPointer(2, GL_FLOAT, 0, tile.insetCoords.data());
    glDrawElements(GL_TRIANGLES, GLsizei(cells.size()), GL_UNSIGNED_SHORT, cells.data());
}

// Whether a draw takes the vertex colours: the day's plain cells, and without the ramp
// every cell but the night's plain ones.
bool ThroughColours(bool night, bool ramped, int draw) {
    return draw == Plain ? !night : !ramped;
}

// One picture (day or night) over all eight tiles, in its draws' order.
void DrawPictures(Mesh& mesh, bool night, const Vec3& sun) {
    const bool ramped = state.activeTexture != nullptr;
    const TextureRecord* record = TextureList;
    for (int skip = 0; night && skip < TileCount && record != nullptr; ++skip)
        record = record->next;
    bool drawn[DrawCount] = {};
    for (Tile& tile : mesh.tiles) {
        tile.texture = record != nullptr ? record->textureObject : 0;
        InsetTexCoords(tile, record, tile.insetCoords);
        ChooseCells(mesh, tile, night, ramped);
        bool coloured = false;
        for (int draw = Plain; draw < DrawCount; ++draw) {
            if (tile.cells[draw].empty()) continue;
            drawn[draw] = true;
            coloured = coloured || ThroughColours(night, ramped, draw);
        }
        if (coloured) ColourVertices(tile, night);
        if (record != nullptr) record = record->next;
    }
    for (int draw = Plain; draw < DrawCount; ++draw) {
        if (!drawn[draw]) continue;
        // Where the lights are fully on, the night picture stands as it is.
        const bool asItIs = night && draw == Plain;
        const bool throughRamp = ramped && draw != Plain;
        const bool colours = ThroughColours(night, ramped, draw);
        if (asItIs) glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        if (throughRamp) {
            BindRamp(night ? state.nightRamp : state.dayRamp, sun);
            glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        }
        if (colours) glEnableClientState(GL_COLOR_ARRAY);
        if (draw == Added) {
            glEnable(GL_BLEND);
            glBlendFunc(GL_ONE, GL_ONE);
        }
        for (Tile& tile : mesh.tiles) {
            if (tile.cells[draw].empty()) continue;
            if (colours) glColorPointer(3, GL_FLOAT, 0, tile.colours.data());
            DrawCells(tile, tile.cells[draw]);
        }
        if (draw == Added) glDisable(GL_BLEND);
        if (colours) glDisableClientState(GL_COLOR_ARRAY);
        if (throughRamp) UnbindRamp();
        if (asItIs) glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    }
}

void DrawGlobe(Mesh& mesh, const Vec3& sun) {
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glEnable(GL_TEXTURE_2D);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    DrawPictures(mesh, false, sun);
    // The lights add to the day picture on the very same triangles.
    DrawPictures(mesh, true, sun);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
}

}  // namespace

void DrawNaturalScene(const CameraFrame& camera, std::int64_t utcSeconds) {
    MakeTextureObjects();
    PrepareRamps();
    Mesh& mesh = MeshFor(state.activeTexture != nullptr,
                         GlobeRadiusPixels(camera.position, camera.fieldOfView));
    const Vec3 sun{-LightDirection.x, -LightDirection.y, -LightDirection.z};
    PlaceTiles(mesh, sun, camera.position);
    // The stars before the globe, which covers them wherever it stands.
    DrawStars(camera, sun, utcSeconds);
    DrawGlobe(mesh, sun);
    DrawAtmosphere(camera, sun);
}

void ReleaseNaturalObjects() {
    if (state.dayRamp == 0) return;
    const GLuint names[2] = {state.dayRamp, state.nightRamp};
    glDeleteTextures(2, names);
    state.dayRamp = state.nightRamp = 0;
}
