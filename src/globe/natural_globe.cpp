#include "globe/natural_globe.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "globe/globe_mesh.h"
#include "globe/sky.h"
#include "globe/sun_shading.h"
#include "globe/twilight.h"
#include "platform/gl_extensions.h"
#include "textures/texture_set.h"

namespace {

constexpr double Pi = 3.14159265358979323846;
// 2.5-degree cells: the silhouette stays round, and the per-vertex twilight of GLs
// without multitexture changes smoothly from vertex to vertex.
constexpr int Steps = 36;
constexpr int Side = Steps + 1;  // vertices along a tile's side
constexpr int TileCount = 8;     // per picture: 2 rows of 4 columns of 90 degrees
constexpr int RampTexels = 512;  // about a quarter of a degree each near the horizon

typedef void(APIENTRY* ActiveTextureFunction)(GLenum);

struct Tile {
    std::vector<Vec3> normals;     // the globe's own frame, fixed
    std::vector<float> texCoords;  // s, t per vertex, fixed
    std::vector<float> positions;  // x, y, z per vertex in the scene, per frame
    std::vector<float> colours;    // r, g, b per vertex, per pass (no multitexture)
    std::vector<float> sines;      // sine of the Sun's elevation per vertex, per frame
};

struct NaturalState {
    bool built = false;
    Tile tiles[TileCount];
    std::vector<std::uint16_t> indices;  // the same grid in every tile
    GLuint dayRamp = 0, nightRamp = 0;
    ActiveTextureFunction activeTexture = nullptr;
};
NaturalState state;

Vec3 GlobeNormalAt(double latitude, double longitude) {
    const double phi = latitude * Pi / 180.0, lambda = longitude * Pi / 180.0;
    return {float(-std::cos(phi) * std::cos(lambda)), float(std::sin(phi)),
            float(-std::cos(phi) * std::sin(lambda))};
}

// Tile k: row k / 4 (0 north, 1 south), column k % 4 from longitude -180, as the
// texture set lists them (d11 ... d24).
void BuildTiles() {
    for (int k = 0; k < TileCount; ++k) {
        Tile& tile = state.tiles[k];
        const double south = k < 4 ? 0.0 : -90.0;
        const double west = -180.0 + 90.0 * (k % 4);
        tile.normals.resize(Side * Side);
        tile.texCoords.resize(Side * Side * 2);
        tile.positions.resize(Side * Side * 3);
        tile.colours.resize(Side * Side * 3);
        tile.sines.resize(Side * Side);
        for (int i = 0; i < Side; ++i)
            for (int j = 0; j < Side; ++j) {
                const int v = i * Side + j;
                tile.normals[v] = GlobeNormalAt(south + 90.0 * i / Steps, west + 90.0 * j / Steps);
                tile.texCoords[2 * v] = float(j) / Steps;
                tile.texCoords[2 * v + 1] = float(i) / Steps;
            }
    }
    state.indices.clear();
    for (int i = 0; i < Steps; ++i)
        for (int j = 0; j < Steps; ++j) {
            const std::uint16_t sw = std::uint16_t(i * Side + j), se = std::uint16_t(sw + 1);
            const std::uint16_t nw = std::uint16_t(sw + Side), ne = std::uint16_t(nw + 1);
            // Counter-clockwise seen from outside: the far side is culled.
            state.indices.insert(state.indices.end(), {sw, se, ne, sw, ne, nw});
        }
    state.built = true;
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

void PlaceTiles(const Vec3& sun) {
    const CameraFrame& f = SunFrame;
    for (Tile& tile : state.tiles)
        for (std::size_t v = 0; v < tile.normals.size(); ++v) {
            const Vec3& n = tile.normals[v];
            const Vec3 d{n.x * f.forward.x + n.y * f.up.x + n.z * f.right.x,
                         n.x * f.forward.y + n.y * f.up.y + n.z * f.right.y,
                         n.x * f.forward.z + n.y * f.up.z + n.z * f.right.z};
            tile.positions[3 * v] = f.position.x + GlobeRadius * d.x;
            tile.positions[3 * v + 1] = f.position.y + GlobeRadius * d.y;
            tile.positions[3 * v + 2] = f.position.z + GlobeRadius * d.z;
            tile.sines[v] = d.x * sun.x + d.y * sun.y + d.z * sun.z;
        }
}

GLuint MakeRamp(bool night) {
    unsigned char texels[RampTexels * 3];
    FillTwilightRamp(texels, RampTexels, night);
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_1D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage1D(GL_TEXTURE_1D, 0, 3, RampTexels, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    return name;
}

// The ramps go with the multitexture route only; a context without the extension
// draws the twilight from vertex colours.
void PrepareRamps() {
    if (state.dayRamp != 0 && !glIsTexture(state.dayRamp)) state.dayRamp = state.nightRamp = 0;
    if (state.dayRamp != 0) return;
    state.activeTexture = nullptr;
    // Core from GL 1.3 on, under its own name: Linux's GL libraries export only that.
    const bool core = GlVersionAtLeast(1, 3);
    if (core || GlHasExtension("GL_ARB_multitexture")) {
        void* found = GlProcedure(core ? "glActiveTexture" : "glActiveTextureARB");
        if (found == nullptr) found = GlProcedure(core ? "glActiveTextureARB" : "glActiveTexture");
        state.activeTexture = reinterpret_cast<ActiveTextureFunction>(found);
    }
    GLint units = 1;
    if (state.activeTexture != nullptr) glGetIntegerv(0x84E2 /* MAX_TEXTURE_UNITS */, &units);
    if (units < 2) state.activeTexture = nullptr;
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
        const double s = tile.sines[v];
        if (night) {
            const float lights = float(CityLightsAt(s));
            tile.colours[3 * v] = tile.colours[3 * v + 1] = tile.colours[3 * v + 2] = lights;
        } else {
            const RgbColour c = DaylightAt(s);
            tile.colours[3 * v] = c.r;
            tile.colours[3 * v + 1] = c.g;
            tile.colours[3 * v + 2] = c.b;
        }
    }
}

// The cells of a tile where the picture adds anything: the day picture where the Sun
// stands above DayPictureGone at some corner, the night picture where it stands below
// CityLightsStart. The sine of the elevation is linear across each flat triangle, so
// its corners bound it. Each picture then covers about half the disc, not all of it.
void ChooseCells(const Tile& tile, bool night, std::vector<std::uint16_t>& chosen) {
    const float dayLimit = float(std::sin(DayPictureGone * Pi / 180.0));
    const float nightLimit = float(std::sin(CityLightsStart * Pi / 180.0));
    chosen.clear();
    for (std::size_t k = 0; k < state.indices.size(); k += 6) {
        const std::uint16_t* cell = &state.indices[k];
        // sw, se, ne and nw are the first, second, third and sixth index.
        const float a = tile.sines[cell[0]], b = tile.sines[cell[1]], c = tile.sines[cell[2]],
                    d = tile.sines[cell[5]];
        const bool wanted = night ? std::min(std::min(a, b), std::min(c, d)) < nightLimit
                                  : std::max(std::max(a, b), std::max(c, d)) > dayLimit;
        if (wanted) chosen.insert(chosen.end(), cell, cell + 6);
    }
}

// One picture (day or night) over all eight tiles.
void DrawPictures(bool night, const Vec3& sun, std::vector<float>& texCoords) {
    static std::vector<std::uint16_t> chosen;
    const bool ramped = state.activeTexture != nullptr;
    if (ramped) {
        BindRamp(night ? state.nightRamp : state.dayRamp, sun);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    } else {
        glEnableClientState(GL_COLOR_ARRAY);
    }
    const TextureRecord* record = TextureList;
    for (int skip = 0; night && skip < TileCount && record != nullptr; ++skip)
        record = record->next;
    for (Tile& tile : state.tiles) {
        glBindTexture(GL_TEXTURE_2D, record != nullptr ? record->textureObject : 0);
        InsetTexCoords(tile, record, texCoords);
        glVertexPointer(3, GL_FLOAT, 0, tile.positions.data());
        glTexCoordPointer(2, GL_FLOAT, 0, texCoords.data());
        if (!ramped) {
            ColourVertices(tile, night);
            glColorPointer(3, GL_FLOAT, 0, tile.colours.data());
        }
        ChooseCells(tile, night, chosen);
        if (!chosen.empty())
            glDrawElements(GL_TRIANGLES, GLsizei(chosen.size()), GL_UNSIGNED_SHORT, chosen.data());
        if (record != nullptr) record = record->next;
    }
    if (ramped)
        UnbindRamp();
    else
        glDisableClientState(GL_COLOR_ARRAY);
}

void DrawGlobe(const Vec3& sun) {
    static std::vector<float> texCoords;
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glEnable(GL_TEXTURE_2D);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    DrawPictures(false, sun, texCoords);
    // The lights add to the day picture on the very same triangles.
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    DrawPictures(true, sun, texCoords);
    glDisable(GL_BLEND);
    glDepthFunc(GL_LESS);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
}

}  // namespace

void DrawNaturalScene(const CameraFrame& camera, std::int64_t utcSeconds) {
    if (!state.built) BuildTiles();
    MakeTextureObjects();
    PrepareRamps();
    const Vec3 sun{-LightDirection.x, -LightDirection.y, -LightDirection.z};
    PlaceTiles(sun);
    // The stars after the globe, tested against its depth: the night picture adds
    // to what lies under it, so stars drawn first would shine through.
    DrawGlobe(sun);
    DrawStars(camera, sun, utcSeconds);
    DrawAtmosphere(camera, sun);
}

void ReleaseNaturalObjects() {
    if (state.dayRamp == 0) return;
    const GLuint names[2] = {state.dayRamp, state.nightRamp};
    glDeleteTextures(2, names);
    state.dayRamp = state.nightRamp = 0;
}
