#include "globe_angles.h"

#include <cmath>

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double DegreesPerRadian = 180.0 / Pi;

struct Vec3d {
    double x, y, z;
};

Vec3d Widen(const Vec3& v) {
    return {v.x, v.y, v.z};
}

double Dot(const Vec3d& a, const Vec3d& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vec3d Scale(const Vec3d& v, double k) {
    return {v.x * k, v.y * k, v.z * k};
}

Vec3d Add(const Vec3d& a, const Vec3d& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

Vec3d Subtract(const Vec3d& a, const Vec3d& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

Vec3d Cross(const Vec3d& a, const Vec3d& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

double Length(const Vec3d& v) {
    return std::sqrt(Dot(v, v));
}

Vec3d Unit(const Vec3d& v) {
    const double length = Length(v);
    return length > 0 ? Scale(v, 1.0 / length) : v;
}

Vec3 Narrow(const Vec3d& v) {
    return {static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)};
}

Vec3d SceneFromGlobe(const CameraFrame& sunFrame, const Vec3d& v) {
    const Vec3d f = Widen(sunFrame.forward), u = Widen(sunFrame.up), r = Widen(sunFrame.right);
    return {v.x * f.x + v.y * u.x + v.z * r.x, v.x * f.y + v.y * u.y + v.z * r.y,
            v.x * f.z + v.y * u.z + v.z * r.z};
}

// The SunFrame's axes are orthonormal, so its inverse is the transpose.
Vec3d GlobeFromScene(const CameraFrame& sunFrame, const Vec3d& v) {
    return {Dot(v, Widen(sunFrame.forward)), Dot(v, Widen(sunFrame.up)),
            Dot(v, Widen(sunFrame.right))};
}

GlobePoint PointOfDirection(const Vec3d& v) {
    const Vec3d n = Unit(v);
    const double y = n.y > 1.0 ? 1.0 : (n.y < -1.0 ? -1.0 : n.y);
    return {std::asin(y) * DegreesPerRadian, std::atan2(-n.z, -n.x) * DegreesPerRadian};
}

}  // namespace

Vec3 GlobeNormal(double latitude, double longitude) {
    const double phi = latitude / DegreesPerRadian, lambda = longitude / DegreesPerRadian;
    return Narrow(
        {-std::cos(phi) * std::cos(lambda), std::sin(phi), -std::cos(phi) * std::sin(lambda)});
}

GlobePoint SubsolarPoint(const CameraFrame& sunFrame) {
    return PointOfDirection(GlobeFromScene(sunFrame, {1.0, 0.0, 0.0}));
}

GlobePoint PointBeneath(const CameraFrame& sunFrame, const CameraFrame& camera, double& distance) {
    const Vec3d offset = Subtract(Widen(camera.position), Widen(sunFrame.position));
    distance = Length(offset);
    return PointOfDirection(GlobeFromScene(sunFrame, offset));
}

void PlaceCameraAbove(CameraFrame& camera, const CameraFrame& sunFrame, double latitude,
                      double longitude, double distance) {
    const Vec3d outward = Unit(SceneFromGlobe(sunFrame, Widen(GlobeNormal(latitude, longitude))));
    const Vec3d forward = Scale(outward, -1.0);
    Vec3d up = Widen(sunFrame.up);
    up = Subtract(up, Scale(forward, Dot(up, forward)));
    if (Length(up) < 1e-6) {
        up = SceneFromGlobe(sunFrame, Widen(GlobeNormal(0.0, longitude + 180.0)));
        up = Subtract(up, Scale(forward, Dot(up, forward)));
    }
    up = Unit(up);
    camera.position = Narrow(Add(Widen(sunFrame.position), Scale(outward, distance)));
    camera.forward = Narrow(forward);
    camera.up = Narrow(up);
    // As the Camera is made and aligned: right = forward x up.
    camera.right = Narrow(Cross(forward, up));
}
