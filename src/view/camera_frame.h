// A movable coordinate frame: the Camera, the fixed WorldFrame and the SunFrame.
#pragma once

struct Vec3 {
    float x, y, z;
};

// Origin, three unit axes and a vertical field of view. Angles handed to the
// operations below are in degrees and turn by the right-hand rule.
struct CameraFrame {
    Vec3 position;      // world units
    Vec3 forward;       // viewing direction, unit length
    Vec3 up;            // unit length
    Vec3 right;         // unit length; forward x up when the frame is made
    float fieldOfView;  // degrees, vertical; only the Camera's is used
};

// The viewer: 18000 units out on +x, looking at the globe's centre, +y up.
extern CameraFrame Camera;
// The world axes; the reference of the SunFrame's first turn. Never changes.
extern CameraFrame WorldFrame;
// Places the globe in the scene: a point p of the globe's own frame lies at
// p.x*forward + p.y*up + p.z*right + position. Rebuilt every frame.
extern CameraFrame SunFrame;
// The globe's centre, about which every orbit turns.
extern Vec3 Pivot;

// Puts the Camera, the Pivot and the WorldFrame at their start values.
void CreateFrames();
// Puts the SunFrame at its start value (the world axes at the origin).
void CreateSunFrame();

// Moves `position` by `distance` world units along (a, b, c), a direction in the
// frame's own axes (forward, up, right); only (a, b, c) is normalised. Returns `frame`.
CameraFrame& MoveFrame(CameraFrame& frame, float a, float b, float c, float distance);

// Turns forward, up and right by `angle` degrees about a*forward + b*up + c*right
// of the frame itself; position is unchanged. Returns `frame`.
CameraFrame& RotateFrame(CameraFrame& frame, float a, float b, float c, float angle);

// Turns the axes of `frame` and its offset from `pivot` by `angle` degrees about
// the axis a*forward + b*up + c*right of `axisFrame` through `pivot`. `axisFrame`
// may be `frame` itself: its axes are read before anything is written. Returns `frame`.
CameraFrame& OrbitFrame(CameraFrame& frame, const CameraFrame& axisFrame, const Vec3& pivot,
                        float a, float b, float c, float angle);

// Rescales forward, up and right to unit length. Returns `frame`.
CameraFrame& NormaliseAxes(CameraFrame& frame);
