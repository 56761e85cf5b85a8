#include "globe/sun_shading.h"

#include <cmath>

#include "globe/globe_mesh.h"

Vec3 LightDirection;
RgbColour Ambient;

namespace {

// The Earth's axial tilt in radians (22.99998 degrees).
constexpr double AxialTilt = 0.401425404018825982;
// 360/365 as a float: degrees the Earth moves along its orbit in a day.
constexpr float DegreesPerDay = 0.98630136f;
constexpr float OneSixtieth = 1.0f / 60.0f;
constexpr double ShadingExponent = 1.75;

// Days before each month in a common year: leap days are not counted.
constexpr int DaysBeforeMonth[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

Vec3 ToScene(const Vec3& v, const CameraFrame& f) {
    return {v.x * f.forward.x + v.y * f.up.x + v.z * f.right.x,
            v.x * f.forward.y + v.y * f.up.y + v.z * f.right.y,
            v.x * f.forward.z + v.y * f.up.z + v.z * f.right.z};
}

Vec3 Normalised(const Vec3& v) {
    const double length = std::sqrt(double(v.x) * v.x + double(v.y) * v.y + double(v.z) * v.z);
    return {float(v.x / length), float(v.y / length), float(v.z / length)};
}

float Channel(float ambient, double light) {
    return float((1 - ambient) * light + ambient);
}

}  // namespace

void SetLighting() {
    LightDirection = {-1, 0, 0};
    Ambient = {0.03f, 0.03f, 0.08f};
}

int DayNumber(int dayOfMonth, int month) {
    const int index = month < 1 ? 0 : month > 12 ? 11 : month - 1;
    return dayOfMonth + DaysBeforeMonth[index] + 9;
}

void UpdateSunFrame(int second, int minute, int hour, int dayOfMonth, int month) {
    SunFrame.forward = {float(-std::cos(AxialTilt)), float(-std::sin(AxialTilt)), 0};
    SunFrame.up = {float(-std::sin(AxialTilt)), float(std::cos(AxialTilt)), 0};
    const Vec3& u = SunFrame.up;
    const Vec3& f = SunFrame.forward;
    SunFrame.right = {u.y * f.z - u.z * f.y, u.z * f.x - u.x * f.z, u.x * f.y - u.y * f.x};
    NormaliseAxes(SunFrame);

    const float dayAngle = float(DayNumber(dayOfMonth, month)) * DegreesPerDay;
    OrbitFrame(SunFrame, WorldFrame, Pivot, 0, 1, 0, dayAngle);
    OrbitFrame(SunFrame, SunFrame, Pivot, 0, 1, 0, -dayAngle);

    const float hourAngle =
        (float(hour * 60) + float(second) * OneSixtieth + float(minute)) * 0.25f - 180.0f;
    OrbitFrame(SunFrame, SunFrame, Pivot, 0, 1, 0, hourAngle);
}

namespace {
void CarryGlobe(bool colours) {
    // Copies, not references: the scene list's floats might alias these globals, and
    // the compiler would then load them again after every store into a vertex.
    const CameraFrame frame = SunFrame;
    const Vec3 light = LightDirection;
    const RgbColour ambient = Ambient;
    const Vec3 origin = frame.position;
    Patch* b = SceneList;
    for (const Patch* a = ModelList; a && b; a = a->next, b = b->next) {
        b->centreNormal = Normalised(ToScene(a->centreNormal, frame));

        PatchVertex* v = b->vertices;
        for (const PatchVertex* u = a->vertices; u && v; u = u->next, v = v->next) {
            PatchVertex& vertex = *v;
            const Vec3 normal = ToScene(u->normal, frame);
            vertex.normal = normal;
            const Vec3 p = ToScene(u->position, frame);
            vertex.position = {p.x + origin.x, p.y + origin.y, p.z + origin.z};
            if (!colours) continue;

            const float d = -(normal.x * light.x + normal.y * light.y + normal.z * light.z);
            // Facing away from the light has no real power: such a vertex gets the
            // ambient colour, as d = 0 would.
            const double power = d > 0 ? std::pow(double(d), ShadingExponent) : 0.0;
            vertex.colour.r = Channel(ambient.r, power);
            vertex.colour.g = Channel(ambient.g, power);
            vertex.colour.b = Channel(ambient.b, power);
        }
    }
}
}  // namespace

void ShadeGlobe() {
    CarryGlobe(true);
}

void PlaceGlobe() {
    CarryGlobe(false);
}
