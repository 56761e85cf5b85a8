#include "globe/sky.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "globe/globe_mesh.h"

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double Radians = Pi / 180.0;
// Inside the far plane (20000) from the eye, beyond the globe's limb (under 17000).
constexpr float StarDistance = 19000.0f;
constexpr int GlowSegments = 160;

Vec3 Cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Dot(const Vec3& a, const Vec3& b) {
    return double(a.x) * b.x + double(a.y) * b.y + double(a.z) * b.z;
}
Vec3 Unit(const Vec3& v) {
    const double length = std::sqrt(Dot(v, v));
    if (!(length > 0.0)) return {0, 0, 0};
    return {float(v.x / length), float(v.y / length), float(v.z / length)};
}

double SmoothStep(double from, double to, double x) {
    const double t = std::min(1.0, std::max(0.0, (x - from) / (to - from)));
    return t * t * (3.0 - 2.0 * t);
}

// Stars by size: a point of 3 pixels for the brightest, 2, then 1.
int SizeClass(float magnitude) {
    return magnitude < 1.0f ? 3 : magnitude < 2.5f ? 2 : 1;
}

}  // namespace

double SunRightAscension(std::int64_t utcSeconds) {
    // The Astronomical Almanac's low-precision Sun, then the longitude taken back
    // from the equinox of date to that of J2000 (1.397 degrees a century).
    const double n = double(utcSeconds) / 86400.0 - 10957.5;  // days from J2000.0
    const double meanLongitude = 280.460 + 0.9856474 * n;
    const double anomaly = (357.528 + 0.9856003 * n) * Radians;
    const double longitude = (meanLongitude + 1.915 * std::sin(anomaly) +
                              0.020 * std::sin(2 * anomaly) - 3.8248e-5 * n) *
                             Radians;
    const double obliquity = 23.439 * Radians;
    double alpha =
        std::atan2(std::cos(obliquity) * std::sin(longitude), std::cos(longitude)) / Radians;
    if (alpha < 0) alpha += 360.0;
    return alpha;
}

Vec3 SkyDirection(double rightAscension, double declination, const Vec3& north, const Vec3& sun,
                  double sunRightAscension) {
    // The equinox lies in the equator, sunRightAscension west of the Sun's meridian.
    const double along = Dot(sun, north);
    const Vec3 sunMeridian = Unit({float(sun.x - along * north.x), float(sun.y - along * north.y),
                                   float(sun.z - along * north.z)});
    const Vec3 east = Cross(north, sunMeridian);
    const double back = -sunRightAscension * Radians;
    const Vec3 equinox{float(std::cos(back) * sunMeridian.x + std::sin(back) * east.x),
                       float(std::cos(back) * sunMeridian.y + std::sin(back) * east.y),
                       float(std::cos(back) * sunMeridian.z + std::sin(back) * east.z)};
    const Vec3 ninety = Cross(north, equinox);
    const double a = rightAscension * Radians, d = declination * Radians;
    const double x = std::cos(d) * std::cos(a), y = std::cos(d) * std::sin(a), z = std::sin(d);
    return {float(x * equinox.x + y * ninety.x + z * north.x),
            float(x * equinox.y + y * ninety.y + z * north.y),
            float(x * equinox.z + y * ninety.z + z * north.z)};
}

namespace {

// The catalogue as drawn: unit vectors in the equatorial frame (x to the equinox, z
// to the north pole) and colours, brightest size first, made once.
struct StarField {
    bool built = false;
    std::vector<float> equatorial;  // x, y, z per star
    std::vector<float> colours;     // r, g, b per star
    int counts[3] = {0, 0, 0};      // stars of 3, 2 and 1 pixels
    // Per frame, only the stars that may show, in the same order:
    std::vector<float> scene;         // x, y, z per star
    std::vector<float> shownColours;  // r, g, b per star
    int shownCounts[3] = {0, 0, 0};
};
StarField field;

void BuildStarField() {
    for (int size = 3; size >= 1; --size)
        for (int i = 0; i < StarCatalogueCount; ++i) {
            const CatalogueStar& star = StarCatalogue[i];
            if (SizeClass(star.magnitude) != size) continue;
            const double a = star.rightAscension * 15.0 * Radians, d = star.declination * Radians;
            field.equatorial.insert(field.equatorial.end(),
                                    {float(std::cos(d) * std::cos(a)),
                                     float(std::cos(d) * std::sin(a)), float(std::sin(d))});
            // Half the magnitude scale's steps: the faintest stay just visible on a
            // screen, which has far less range than the sky.
            const float level =
                std::min(1.0f, float(std::pow(10.0, -0.2 * (star.magnitude - 1.0))));
            field.colours.insert(field.colours.end(), {level * 0.92f, level * 0.95f, level});
            ++field.counts[3 - size];
        }
    field.scene.reserve(field.equatorial.size());
    field.shownColours.reserve(field.colours.size());
    field.built = true;
}

}  // namespace

void DrawStars(const CameraFrame& camera, const Vec3& sun, std::int64_t utcSeconds) {
    if (StarCatalogueCount <= 0) return;
    if (!field.built) BuildStarField();
    const Vec3 north = Unit(SunFrame.up);
    const double sunAlpha = SunRightAscension(utcSeconds);
    // The equatorial frame's axes in the scene.
    const Vec3 x = SkyDirection(0, 0, north, sun, sunAlpha);
    const Vec3 y = SkyDirection(90, 0, north, sun, sunAlpha);
    const Vec3& eye = camera.position;
    // Only the stars in the view and off the globe's disc go to the GL: a software GL
    // pays for every point it is handed, and nine in ten lie outside the view or
    // behind the globe. The test takes the GL's own matrices, whatever the view.
    GLfloat model[16] = {}, projection[16] = {};
    glGetFloatv(GL_MODELVIEW_MATRIX, model);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    float clip[16];  // projection x model, by columns
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row) {
            float sum = 0;
            for (int k = 0; k < 4; ++k) sum += projection[4 * k + row] * model[4 * column + k];
            clip[4 * column + row] = sum;
        }
    const Vec3 toCentre{SunFrame.position.x - eye.x, SunFrame.position.y - eye.y,
                        SunFrame.position.z - eye.z};
    const double centreDistance = std::sqrt(Dot(toCentre, toCentre));
    // A hundredth inside the limb: the globe's flat cells stand inside the sphere by
    // far less, so every star left out would have been covered.
    const double hidden = 0.99 * GlobeRadius;
    const double behindGlobe =
        centreDistance > GlobeRadius
            ? std::sqrt(1.0 - (hidden / centreDistance) * (hidden / centreDistance))
            : 2.0;  // inside the globe's radius: none is hidden
    field.scene.clear();
    field.shownColours.clear();
    std::size_t star = 0;
    for (int size = 0; size < 3; ++size) {
        field.shownCounts[size] = 0;
        for (int n = 0; n < field.counts[size]; ++n, ++star) {
            const float* e = &field.equatorial[3 * star];
            const Vec3 d{e[0] * x.x + e[1] * y.x + e[2] * north.x,
                         e[0] * x.y + e[1] * y.y + e[2] * north.y,
                         e[0] * x.z + e[1] * y.z + e[2] * north.z};
            if (Dot(d, toCentre) > behindGlobe * centreDistance) continue;
            const float p[3] = {eye.x + StarDistance * d.x, eye.y + StarDistance * d.y,
                                eye.z + StarDistance * d.z};
            float c[4];
            for (int row = 0; row < 4; ++row)
                c[row] =
                    clip[row] * p[0] + clip[4 + row] * p[1] + clip[8 + row] * p[2] + clip[12 + row];
            // A little beyond the edges: whether a point there shows is the GL's to say.
            const float reach = 1.01f * c[3];
            if (!(c[3] > 0) || std::fabs(c[0]) > reach || std::fabs(c[1]) > reach) continue;
            field.scene.insert(field.scene.end(), p, p + 3);
            const float* colour = &field.colours[3 * star];
            field.shownColours.insert(field.shownColours.end(), colour, colour + 3);
            ++field.shownCounts[size];
        }
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, field.scene.data());
    glColorPointer(3, GL_FLOAT, 0, field.shownColours.data());
    int first = 0;
    for (int size = 3; size >= 1; --size) {
        const int count = field.shownCounts[3 - size];
        glPointSize(float(size));
        if (count > 0) glDrawArrays(GL_POINTS, first, count);
        first += count;
    }
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glPointSize(1.0f);
}

void DrawAtmosphere(const CameraFrame& camera, const Vec3& sun) {
    const Vec3& c = SunFrame.position;
    const Vec3 offset{camera.position.x - c.x, camera.position.y - c.y, camera.position.z - c.z};
    const double distance = std::sqrt(Dot(offset, offset));
    const double radius = GlobeRadius;
    if (!(distance > radius * 1.01)) return;  // inside the air: no limb to see
    const Vec3 axis = Unit(offset);
    // The limb seen from the camera: a circle nearer than the centre.
    const double towards = radius * radius / distance;
    const double limb = radius * std::sqrt(1.0 - (radius / distance) * (radius / distance));
    const Vec3 helper = std::fabs(axis.x) < 0.9f ? Vec3{1, 0, 0} : Vec3{0, 1, 0};
    const Vec3 u = Unit(Cross(axis, helper));
    const Vec3 w = Cross(axis, u);
    // Radii of the glow's rings as fractions of the limb's, and how bright each is.
    const double rings[4] = {0.975, 1.0, 1.018, 1.05};
    const double weights[4] = {0.0, 1.0, 0.45, 0.0};

    // Each point of the limb's circle, and how the Sun lights the ground under it.
    struct LimbPoint {
        Vec3 q;
        double lit, warm;
        bool dark;  // adds less than a level in every ring
    };
    LimbPoint points[GlowSegments + 1];
    for (int k = 0; k <= GlowSegments; ++k) {
        const double theta = 2.0 * Pi * k / GlowSegments;
        const double cu = std::cos(theta), sw = std::sin(theta);
        LimbPoint& p = points[k];
        p.q = {float(cu * u.x + sw * w.x), float(cu * u.y + sw * w.y), float(cu * u.z + sw * w.z)};
        const Vec3 n =
            Unit({float(axis.x * towards + p.q.x * limb), float(axis.y * towards + p.q.y * limb),
                  float(axis.z * towards + p.q.z * limb)});
        const double s = Dot(n, sun);
        p.lit = SmoothStep(-0.12, 0.35, s);
        p.warm = 0.55 * std::exp(-(s / 0.09) * (s / 0.09));
        p.dark = 0.62 * p.lit + 0.5 * p.warm < 0.001;
    }
    const auto vertex = [&](const LimbPoint& p, int r) {
        const double weight = weights[r];
        glColor3f(float(weight * (0.16 * p.lit + 0.5 * p.warm)),
                  float(weight * (0.32 * p.lit + 0.2 * p.warm)),
                  float(weight * (0.62 * p.lit + 0.05 * p.warm)));
        const double at = limb * rings[r];
        glVertex3f(float(c.x + axis.x * towards + p.q.x * at),
                   float(c.y + axis.y * towards + p.q.y * at),
                   float(c.z + axis.z * towards + p.q.z * at));
    };

    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    // The night side's limb adds nothing, and a software GL would still fill it: each
    // ring is drawn as strips over the runs of segments with light at either end.
    for (int ring = 0; ring < 3; ++ring) {
        bool open = false;
        for (int k = 0; k < GlowSegments; ++k) {
            const bool lit = !points[k].dark || !points[k + 1].dark;
            if (lit && !open) {
                glBegin(GL_TRIANGLE_STRIP);
                vertex(points[k], ring);
                vertex(points[k], ring + 1);
                open = true;
            } else if (!lit && open) {
                glEnd();
                open = false;
            }
            if (lit) {
                vertex(points[k + 1], ring);
                vertex(points[k + 1], ring + 1);
            }
        }
        if (open) glEnd();
    }
    glDisable(GL_BLEND);
}
