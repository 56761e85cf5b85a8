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

void DrawStars(const CameraFrame& camera, const Vec3& sun, std::int64_t utcSeconds) {
    if (StarCatalogueCount <= 0) return;
    const Vec3 north = Unit(SunFrame.up);
    const double sunAlpha = SunRightAscension(utcSeconds);
    const Vec3& eye = camera.position;
    glDepthMask(GL_FALSE);
    for (int size = 3; size >= 1; --size) {
        glPointSize(float(size));
        glBegin(GL_POINTS);
        for (int i = 0; i < StarCatalogueCount; ++i) {
            const CatalogueStar& star = StarCatalogue[i];
            if (SizeClass(star.magnitude) != size) continue;
            // Half the magnitude scale's steps: the faintest stay just visible on a
            // screen, which has far less range than the sky.
            const float level =
                std::min(1.0f, float(std::pow(10.0, -0.2 * (star.magnitude - 1.0))));
            const Vec3 d =
                SkyDirection(star.rightAscension * 15.0, star.declination, north, sun, sunAlpha);
            glColor3f(level * 0.92f, level * 0.95f, level);
            glVertex3f(eye.x + StarDistance * d.x, eye.y + StarDistance * d.y,
                       eye.z + StarDistance * d.z);
        }
        glEnd();
    }
    glPointSize(1.0f);
    glDepthMask(GL_TRUE);
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

    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    for (int ring = 0; ring < 3; ++ring) {
        glBegin(GL_TRIANGLE_STRIP);
        for (int k = 0; k <= GlowSegments; ++k) {
            const double theta = 2.0 * Pi * k / GlowSegments;
            const double cu = std::cos(theta), sw = std::sin(theta);
            const Vec3 q{float(cu * u.x + sw * w.x), float(cu * u.y + sw * w.y),
                         float(cu * u.z + sw * w.z)};
            // The ground point under this part of the limb, and its Sun's elevation.
            const Vec3 n =
                Unit({float(axis.x * towards + q.x * limb), float(axis.y * towards + q.y * limb),
                      float(axis.z * towards + q.z * limb)});
            const double s = Dot(n, sun);
            const double lit = SmoothStep(-0.12, 0.35, s);
            const double warm = 0.55 * std::exp(-(s / 0.09) * (s / 0.09));
            for (int side = 0; side < 2; ++side) {
                const int r = ring + side;
                const double weight = weights[r];
                const float red = float(weight * (0.16 * lit + 0.5 * warm));
                const float green = float(weight * (0.32 * lit + 0.2 * warm));
                const float blue = float(weight * (0.62 * lit + 0.05 * warm));
                glColor3f(red, green, blue);
                const double at = limb * rings[r];
                glVertex3f(float(c.x + axis.x * towards + q.x * at),
                           float(c.y + axis.y * towards + q.y * at),
                           float(c.z + axis.z * towards + q.z * at));
            }
        }
        glEnd();
    }
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
}
