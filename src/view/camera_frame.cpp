#include "view/camera_frame.h"

#include <cmath>

CameraFrame Camera;
CameraFrame WorldFrame;
CameraFrame SunFrame;
Vec3 Pivot;

namespace {

// Half a degree in radians, to six figures: a hair below pi/360. Deliberate: the
// camera's orbits are defined with this value, so 60 steps of 6 degrees come back
// only to within about 0.3 units of the start.
constexpr float HalfDegreeInRadians = 0.00872664f;

struct Rotation {
    float m[3][3];
};

Vec3 Combine(const CameraFrame& frame, float a, float b, float c) {
    return {a * frame.forward.x + b * frame.up.x + c * frame.right.x,
            a * frame.forward.y + b * frame.up.y + c * frame.right.y,
            a * frame.forward.z + b * frame.up.z + c * frame.right.z};
}

// The matrix of the unit quaternion (cos h, sin h * v) for an angle in degrees.
Rotation RotationAbout(const Vec3& v, float angle) {
    const float h = angle * HalfDegreeInRadians;
    const double sine = std::sin(double(h));
    const float w = float(std::cos(double(h)));
    const float x = float(sine * v.x);
    const float y = float(sine * v.y);
    const float z = float(sine * v.z);
    return {{{2 * (w * w + x * x - 0.5f), 2 * (x * y - w * z), 2 * (x * z + w * y)},
             {2 * (x * y + w * z), 2 * (w * w + y * y - 0.5f), 2 * (y * z - w * x)},
             {2 * (x * z - w * y), 2 * (y * z + w * x), 2 * (w * w + z * z - 0.5f)}}};
}

Vec3 Apply(const Rotation& r, const Vec3& v) {
    return {r.m[0][0] * v.x + r.m[0][1] * v.y + r.m[0][2] * v.z,
            r.m[1][0] * v.x + r.m[1][1] * v.y + r.m[1][2] * v.z,
            r.m[2][0] * v.x + r.m[2][1] * v.y + r.m[2][2] * v.z};
}

void TurnAxes(CameraFrame& frame, const Rotation& r) {
    frame.forward = Apply(r, frame.forward);
    frame.up = Apply(r, frame.up);
    frame.right = Apply(r, frame.right);
}

// A zero axis names no rotation at all; turning by it would shrink the axes.
bool IsZero(const Vec3& v) {
    return v.x == 0 && v.y == 0 && v.z == 0;
}

void Normalise(Vec3& v) {
    const double length = std::sqrt(double(v.x) * v.x + double(v.y) * v.y + double(v.z) * v.z);
    if (!(length > 0)) return;  // a vanished axis stays as it is rather than turning to NaN
    v = {float(v.x / length), float(v.y / length), float(v.z / length)};
}

}  // namespace

void CreateFrames() {
    Camera = {{18000, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, 0, -1}, 45};
    Pivot = {0, 0, 0};
    WorldFrame = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0};
}

void CreateSunFrame() {
    SunFrame = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0};
}

CameraFrame& MoveFrame(CameraFrame& frame, float a, float b, float c, float distance) {
    const double n = std::sqrt(double(a) * a + double(b) * b + double(c) * c);
    if (!(n > 0)) return frame;
    const Vec3 step = Combine(frame, float(a / n), float(b / n), float(c / n));
    frame.position.x += distance * step.x;
    frame.position.y += distance * step.y;
    frame.position.z += distance * step.z;
    return frame;
}

CameraFrame& RotateFrame(CameraFrame& frame, float a, float b, float c, float angle) {
    const Vec3 axis = Combine(frame, a, b, c);
    if (IsZero(axis)) return frame;
    TurnAxes(frame, RotationAbout(axis, angle));
    return frame;
}

CameraFrame& OrbitFrame(CameraFrame& frame, const CameraFrame& axisFrame, const Vec3& pivot,
                        float a, float b, float c, float angle) {
    // Everything is read from axisFrame before frame is written: they may be the same.
    const Vec3 axis = Combine(axisFrame, a, b, c);
    if (IsZero(axis)) return frame;
    const Rotation r = RotationAbout(axis, angle);
    const Vec3 centre = pivot;
    TurnAxes(frame, r);
    const Vec3 offset = Apply(
        r, {frame.position.x - centre.x, frame.position.y - centre.y, frame.position.z - centre.z});
    frame.position = {centre.x + offset.x, centre.y + offset.y, centre.z + offset.z};
    return frame;
}

CameraFrame& NormaliseAxes(CameraFrame& frame) {
    Normalise(frame.forward);
    Normalise(frame.up);
    Normalise(frame.right);
    return frame;
}
