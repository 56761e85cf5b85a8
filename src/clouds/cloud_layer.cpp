#include "clouds/cloud_layer.h"

#include <GL/gl.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <memory>

#include "clouds/cloud_resample.h"
#include "globe/globe_mesh.h"
#include "globe/look.h"
#include "globe/sun_shading.h"
#include "globe/twilight.h"
#include "platform/gl_extensions.h"

namespace {

constexpr double Pi = 3.14159265358979323846;
// The ground's shading curve (sun_shading.cpp), so the layer is lit as the ground is.
constexpr double ShadingExponent = 1.75;

// The texture combiner (GL 1.3, ARB_texture_env_combine); Windows' headers stop at 1.1.
constexpr GLint Combine = 0x8570, Interpolate = 0x8575, Constant = 0x8576, PrimaryColour = 0x8577,
                Previous = 0x8578;
constexpr GLenum CombineRgb = 0x8571, CombineAlpha = 0x8572, Source0Rgb = 0x8580,
                 Source1Rgb = 0x8581, Source2Rgb = 0x8582, Source0Alpha = 0x8588;

struct Level {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> grey;
};
using Levels = std::vector<Level>;

// Between the thread that sets a picture and the frame's thread: whoever takes the
// pointer out (by exchange) owns what it points to, so no lock is needed, and none
// of the thread support that MinGW's win32 model lacks. Never freed: a fetcher still
// running when the process ends must not find it gone.
std::atomic<Levels*>& Pending() {
    static auto* pending = new std::atomic<Levels*>(nullptr);
    return *pending;
}
std::atomic<bool> pictureSet{false};

// The frame thread's own copy: what it draws, and the texture object holding it.
std::unique_ptr<const Levels> shown;
GLuint texture = 0;
// Set while the ground's passes carry the layer, and until the view's DrawCloudLayer.
bool onGround = false;
// The second unit's entry points, looked up with each upload (a new context makes
// one), and whether it combines; both unset where it cannot.
Multitexture units;
bool combining = false;

// The full chain down to 1 x 1, each level the box mean of the one above it.
std::unique_ptr<Levels> MakeLevels(std::vector<std::uint8_t> top, int width, int height) {
    auto levels = std::make_unique<Levels>();
    levels->push_back(Level{width, height, std::move(top)});
    while (width > 1 || height > 1) {
        const Level& above = levels->back();
        const int w = std::max(1, width / 2), h = std::max(1, height / 2);
        Level next{w, h, ResampleCloud(above.grey.data(), width, height, w, h)};
        levels->push_back(std::move(next));
        width = w;
        height = h;
    }
    return levels;
}

void Upload(const Levels& levels) {
    if (texture == 0) glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint maxSide = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
    // Rows of the small levels are one or two bytes long.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    // A GL that cannot take the full size starts at the first level it can take.
    std::size_t first = 0;
    while (first + 1 < levels.size() && levels[first].width > maxSide) ++first;
    for (std::size_t i = first; i < levels.size(); ++i) {
        const Level& level = levels[i];
        glTexImage2D(GL_TEXTURE_2D, GLint(i - first), GL_INTENSITY8, level.width, level.height, 0,
                     GL_LUMINANCE, GL_UNSIGNED_BYTE, level.grey.data());
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    // Repeating across the date line joins the last column to the first; the poles
    // are not repeated into each other. A GL 1.1 without edge clamping keeps repeat,
    // which only the smallest levels would show.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GLint(GlClampToEdge));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
}

// Takes the picture set since the last frame, if any; an empty one takes the layer away.
bool TakeChange() {
    Levels* taken = Pending().exchange(nullptr);
    if (taken == nullptr) return false;
    shown.reset(taken);
    if (shown->empty()) shown.reset();
    return true;
}

// Takes a picture set since the last frame and gives its texture to this context;
// false when no layer shows.
bool PrepareLayer() {
    const bool changed = TakeChange();
    if (!shown || SceneList == nullptr) return false;
    if (changed || texture == 0 || !glIsTexture(texture)) {
        // A name this context does not know went with the context that made it.
        if (texture != 0 && !glIsTexture(texture)) texture = 0;
        Upload(*shown);
        units = GlMultitexture(2);
        combining = units.activeTexture != nullptr &&
                    (GlVersionAtLeast(1, 3) || GlHasExtension("GL_ARB_texture_env_combine"));
    }
    return true;
}

float Light(const Vec3& normal, const Vec3& light, float ambient) {
    const float d = -(normal.x * light.x + normal.y * light.y + normal.z * light.z);
    const double power = d > 0 ? std::pow(double(d), ShadingExponent) : 0.0;
    return float((1 - ambient) * power + ambient);
}

struct ShellVertex {
    Vec3 normal, position;
    float r, g, b;
};

}  // namespace

std::vector<std::uint8_t> SmoothTowardsPoles(const std::vector<std::uint8_t>& grey, int width,
                                             int height) {
    std::vector<std::uint8_t> result = grey;
    if (width <= 0 || height <= 0 || grey.size() != std::size_t(width) * height) return result;
    std::vector<int> sums(std::size_t(width) + 1);
    for (int y = 0; y < height; ++y) {
        const double latitude = (0.5 - (y + 0.5) / height) * Pi;
        // A texel of this row is cos(latitude) as wide on the globe as it is high.
        const double across = 1.0 / std::max(std::cos(latitude), 1e-9);
        const int half = int(std::min(across, double(width)) / 2);
        if (half < 1) continue;
        const std::uint8_t* in = grey.data() + std::size_t(y) * width;
        sums[0] = 0;
        for (int x = 0; x < width; ++x) sums[x + 1] = sums[x] + in[x];
        const int span = std::min(2 * half + 1, width);
        std::uint8_t* out = result.data() + std::size_t(y) * width;
        for (int x = 0; x < width; ++x) {
            // The span [x - half, x - half + span) taken round the date line.
            int from = (x - half) % width;
            if (from < 0) from += width;
            const int to = from + span;
            const int sum =
                to <= width ? sums[to] - sums[from] : sums[width] - sums[from] + sums[to - width];
            out[x] = std::uint8_t((sum + span / 2) / span);
        }
    }
    return result;
}

void SetCloudPicture(const CloudPicture& picture) {
    std::unique_ptr<Levels> levels;
    if (picture.width == CloudTextureWidth && picture.height == CloudTextureHeight &&
        picture.grey.size() == std::size_t(picture.width) * picture.height) {
        levels = MakeLevels(SmoothTowardsPoles(picture.grey, picture.width, picture.height),
                            picture.width, picture.height);
    } else {
        levels = std::make_unique<Levels>();
    }
    pictureSet.store(!levels->empty());
    delete Pending().exchange(levels.release());
}

bool CloudLayerShown() {
    return pictureSet.load();
}

bool CloudPictureWaiting() {
    return Pending().load() != nullptr;
}

CloudCorners CloudCornersOf(const Patch& patch) {
    // Texel centres of the first and last rows at the poles: the rows beyond them
    // would be clamped (or, in a bare GL 1.1, repeated from the other pole).
    const float inset = 0.5f / CloudTextureHeight;
    const float west = (patch.longitude + 180.0f) / 360.0f;
    const float east = (patch.longitude + 185.0f) / 360.0f;
    const float south = patch.latitude, north = patch.latitude + 5.0f;
    const float tSouth = inset + (90.0f - south) / 180.0f * (1 - 2 * inset);
    const float tNorth = inset + (90.0f - north) / 180.0f * (1 - 2 * inset);
    CloudCorners c{{west, east, east, west}, {tSouth, tSouth, tNorth, tNorth}};
    // A corner at a pole belongs to every longitude: the middle one keeps the patch's
    // triangle symmetric instead of sheared towards one side.
    if (south <= -90.0f) c.s[0] = c.s[1] = (west + east) / 2;
    if (north >= 90.0f) c.s[2] = c.s[3] = (west + east) / 2;
    return c;
}

bool BeginCloudsOnGround() {
    onGround = false;
    if (!PrepareLayer() || !combining) return false;
    // The second unit: lit * I + ground * (1 - I), where the light is the patch's own
    // vertex colour by day and the ambient colour by night (LightCloudsOnGround).
    units.activeTexture(GlTexture1);
    glBindTexture(GL_TEXTURE_2D, texture);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, Combine);
    glTexEnvi(GL_TEXTURE_ENV, CombineRgb, Interpolate);
    glTexEnvi(GL_TEXTURE_ENV, Source1Rgb, Previous);
    glTexEnvi(GL_TEXTURE_ENV, Source2Rgb, GL_TEXTURE);
    glTexEnvi(GL_TEXTURE_ENV, CombineAlpha, GL_REPLACE);
    glTexEnvi(GL_TEXTURE_ENV, Source0Alpha, Previous);
    const GLfloat ambient[4] = {Ambient.r, Ambient.g, Ambient.b, 1.0f};
    glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, ambient);
    units.activeTexture(GlTexture0);
    onGround = true;
    return true;
}

void LightCloudsOnGround(bool night) {
    units.activeTexture(GlTexture1);
    glTexEnvi(GL_TEXTURE_ENV, Source0Rgb, night ? Constant : PrimaryColour);
    units.activeTexture(GlTexture0);
}

void CloudsOnGroundAt(float s, float t) {
    units.multiTexCoord2f(GlTexture1, s, t);
}

void EndCloudsOnGround() {
    units.activeTexture(GlTexture1);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glDisable(GL_TEXTURE_2D);
    units.activeTexture(GlTexture0);
}

void DrawCloudLayer(const CameraFrame& camera) {
    if (onGround) {
        onGround = false;
        return;
    }
    if (!PrepareLayer()) return;
    glBindTexture(GL_TEXTURE_2D, texture);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    // The texture's intensity I modulates both the lit colour and the alpha: the
    // colour is lit * I over the ground's (1 - I), coverage as brightness.
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);

    const Vec3 origin = SunFrame.position;
    const Vec3 light = LightDirection;
    const RgbColour ambient = Ambient;
    const bool natural = CurrentLook() == Look::Natural;
    const Vec3 eye = camera.position;
    constexpr float Radius = GlobeRadius * CloudShellScale;
    glBegin(GL_QUADS);
    for (const Patch* patch = SceneList; patch != nullptr; patch = patch->next) {
        ShellVertex corners[4];
        bool facing = false;
        int k = 0;
        for (const PatchVertex* v = patch->vertices; v != nullptr && k < 4; v = v->next, ++k) {
            const Vec3& n = v->normal;
            ShellVertex& c = corners[k];
            c.normal = n;
            c.position = {origin.x + n.x * Radius, origin.y + n.y * Radius,
                          origin.z + n.z * Radius};
            // Seen from its outside: the eye lies above the corner's tangent plane.
            const float view = (c.position.x - eye.x) * n.x + (c.position.y - eye.y) * n.y +
                               (c.position.z - eye.z) * n.z;
            facing = facing || view < 0;
        }
        if (k < 4 || !facing) continue;
        // Lit only where seen: the light's powers cost the processor more than the rest.
        for (ShellVertex& c : corners) {
            const Vec3& n = c.normal;
            if (natural) {
                // Through the Natural look's own twilight, so that the clouds fade
                // with the ground beneath them and hide its city lights at night.
                const RgbColour day =
                    RampDaylightAt(-(n.x * light.x + n.y * light.y + n.z * light.z));
                c.r = day.r;
                c.g = day.g;
                c.b = day.b;
            } else {
                c.r = Light(n, light, ambient.r);
                c.g = Light(n, light, ambient.g);
                c.b = Light(n, light, ambient.b);
            }
        }
        const CloudCorners coords = CloudCornersOf(*patch);
        for (int i = 0; i < 4; ++i) {
            const ShellVertex& c = corners[i];
            glColor4f(c.r, c.g, c.b, 1.0f);
            glTexCoord2f(coords.s[i], coords.t[i]);
            glVertex3f(c.position.x, c.position.y, c.position.z);
        }
    }
    glEnd();

    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    // The patches' blending, as ApplyCamera set it.
    glBlendFunc(GL_ONE_MINUS_DST_COLOR, GL_SRC_ALPHA);
}

void ReleaseCloudObjects() {
    if (texture != 0 && glIsTexture(texture)) glDeleteTextures(1, &texture);
    texture = 0;
}
