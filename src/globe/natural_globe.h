// The Natural look's picture: the stars, the globe with day and night blended per
// pixel through the twilight, and the atmosphere's glow at the limb.
#pragma once

#include <cstdint>

#include "view/camera_frame.h"

// Draws the scene of this frame (the SunFrame and the texture set as the frame step
// left them) as seen from `camera` (its position), into the current projection.
// Leaves the GL state as it found it, but for the bound texture.
void DrawNaturalScene(const CameraFrame& camera, std::int64_t utcSeconds);

// Deletes the GL objects the Natural look made in the current context (its ramps).
void ReleaseNaturalObjects();
