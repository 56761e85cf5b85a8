#include "frame/frame_step.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdint>
#include <ctime>
#include <limits>

#include "clouds/cloud_layer.h"
#include "globe/day_night_tiles.h"
#include "globe/globe_mesh.h"
#include "globe/look.h"
#include "globe/natural_globe.h"
#include "globe/patch_renderer.h"
#include "globe/sun_shading.h"
#include "platform/clock.h"
#include "text/clock_readout.h"
#include "text/text_renderer.h"
#include "textures/texture_set.h"
#include "view/camera_frame.h"
#include "view/keyboard_camera.h"
#include "view/projection.h"

int firstFrame = 1;
int previousSecond = 0;
std::int64_t lastFrameTime = 0;
int showClock = 1;

namespace {
constexpr float SpinStep = -0.25f;  // degrees per change of the UTC second

// 1970-01-01 00:00:00, the stand-in for a time that cannot be broken down on the
// first frame.
std::tm EpochTime() {
    std::tm epoch{};
    epoch.tm_mday = 1;
    epoch.tm_year = 70;
    epoch.tm_wday = 4;
    return epoch;
}

// The last broken-down times, kept for a frame whose time cannot be broken down.
std::tm lastUtc = EpochTime();
std::tm lastLocal = EpochTime();

// Breaks `seconds` down with `convert` (gmtime or localtime) into `last`. A time
// before 1970 (which Windows cannot convert), one that does not fit time_t, or a
// failing conversion keeps the previous frame's value, or the epoch on the first.
void BreakDown(std::int64_t seconds, std::tm* (*convert)(const std::time_t*), std::tm& last) {
    if (firstFrame != 0) last = EpochTime();
    if (seconds < 0 || seconds > std::int64_t(std::numeric_limits<std::time_t>::max())) return;
    const std::time_t time = static_cast<std::time_t>(seconds);
    // The standard functions hand back a shared record; copy it at once.
    const std::tm* broken = convert(&time);
    if (broken != nullptr) last = *broken;
}

// Turns the Camera to the Earth's axis and then along its parallel to a longitude
// taken from the local hour, so the saver opens above the viewer's side of the Earth.
void AlignCamera(int localHour) {
    Camera.up = SunFrame.up;
    const Vec3 f = Camera.forward;
    const Vec3 u = Camera.up;
    Vec3 right{f.y * u.z - f.z * u.y, f.z * u.x - f.x * u.z, f.x * u.y - f.y * u.x};
    // The Earth's axis is not square to the view, so the product is shorter than a
    // unit; a key orbit about it in the next frame, before that frame's NormaliseAxes,
    // would not be a true rotation. Rescale it here (the direction stays).
    const double length = std::sqrt(double(right.x) * right.x + double(right.y) * right.y +
                                    double(right.z) * right.z);
    if (length > 0.0) {
        right.x = float(right.x / length);
        right.y = float(right.y / length);
        right.z = float(right.z / length);
    }
    Camera.right = right;
    const float angle = static_cast<float>((localHour - 1) * 60 * 0.25 + 180.0);
    OrbitFrame(Camera, SunFrame, Pivot, 0, 1, 0, angle);
}

bool pictureMoving = false;

char clockText[ClockTextSize];
// The Camera that projects this frame and carries its text: as steered, before the
// first frame's alignment. The patches face the Camera as it is after it.
CameraFrame viewCamera;
}  // namespace

void AdvanceFrame() {
    AdvanceFrame(ReadCalendarTime());
}

void AdvanceFrame(std::int64_t now) {
    PollKeys();

    lastFrameTime = now;
    BreakDown(now, &std::gmtime, lastUtc);
    const std::tm utc = lastUtc;

    if (utc.tm_sec != previousSecond) {
        OrbitFrame(Camera, SunFrame, Pivot, 0, 1, 0, SpinStep);
        previousSecond = utc.tm_sec;
    }

    BreakDown(now, &std::localtime, lastLocal);
    const std::tm local = lastLocal;

    SteerCamera();
    viewCamera = Camera;
    ComposeClockText(local, clockText);
    if (firstFrame != 0) BuildGlobeMesh();
    UpdateSunFrame(utc.tm_sec, utc.tm_min, utc.tm_hour, utc.tm_mday, utc.tm_mon + 1);
    // The Natural look draws its globe from the SunFrame itself; of the patches it
    // takes only their places, for the cloud shell.
    const bool classic = CurrentLook() == Look::Classic;
    if (classic) {
        ShadeGlobe();
        AssignTileTextures();
    } else {
        PlaceGlobe();
    }
    pictureMoving = firstFrame != 0 || SteeringKeysDown();
    if (firstFrame != 0) {
        AlignCamera(local.tm_hour);
        firstFrame = 0;
    }
    if (classic) PlanPatches(SceneList);
    ClearKeys();
}

namespace {
// The clock text in the current projection, at its place in the view's bottom left.
void DrawClock(float strokeWidth) {
    if (showClock != 0)
        DrawStrokeText(clockText, 0.3f, 0.3f, 0.3f, 23, 0, &viewCamera, strokeWidth);
}
}  // namespace

void DrawFrameView(float strokeWidth, bool withClock) {
    ApplyCamera(viewCamera);
    if (CurrentLook() == Look::Natural) {
        // Stars, globe, air and clouds each lie over what came before, and the clock
        // over them all, so nothing tests depth, which a software GL pays at every
        // pixel. The scene faces the camera that projects it, the first frame too.
        glDisable(GL_DEPTH_TEST);
        DrawNaturalScene(viewCamera, lastFrameTime);
        DrawCloudLayer(viewCamera);
        if (withClock) DrawClock(strokeWidth);
        glEnable(GL_DEPTH_TEST);
    } else {
        if (withClock) DrawClock(strokeWidth);
        DrawPlannedPatches(Camera);
        DrawCloudLayer(Camera);
    }
    glLoadIdentity();
}

void ClearFrame() {
    ClearView(Given, 0.0f, 0.0f, 0.0f, CurrentLook() != Look::Natural);
}

void FrameStep(float strokeWidth) {
    AdvanceFrame();
    ClearFrame();
    DrawFrameView(strokeWidth);
}

void FrameStepViews(const ViewRect* views, std::size_t count, const float* strokeWidths,
                    const ViewRect* clockView) {
    AdvanceFrame();
    // A clear takes the whole window whatever the viewport, so it comes once, before
    // any view is drawn; it also blackens what lies between monitors of unequal size.
    ClearFrame();
    for (std::size_t i = 0; i < count; ++i) {
        PlaceView(views[i]);
        DrawFrameView(strokeWidths != nullptr ? strokeWidths[i] : 1.0f, clockView == nullptr);
    }
    if (clockView != nullptr) {
        PlaceView(*clockView);
        ApplyCamera(viewCamera);
        DrawClock(strokeWidths != nullptr && count > 0 ? strokeWidths[0] : 1.0f);
        glLoadIdentity();
    }
}

bool PictureMoving() {
    return pictureMoving;
}

void ReleaseGlObjects() {
    ReleaseNaturalObjects();
    ReleaseTextureObjects();
    ReleaseCloudObjects();
}
