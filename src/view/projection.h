// The scene's projection settings and the calls that connect the view to the GL.
#pragma once

#include <cstdint>

#include "view/camera_frame.h"

struct ViewSettings {
    std::int32_t perspective;  // 1: perspective; 0: the orthographic window
    float nearPlane;           // world units
    float farPlane;            // world units
    float resizeFieldOfView;   // degrees, for the projection ResizeView sets
    float aspect;              // viewport width / height
    float orthoCentreX, orthoCentreY;
    float orthoWidth, orthoHeight;
};

extern ViewSettings viewSettings;

enum ClearMode { Given = 0, Black = 1, White = 2, Sage = 3 };

// A viewport in the GL's window coordinates: pixels from the window's bottom left.
struct ViewRect {
    std::int32_t x, y, width, height;
};

// The fixed values of viewSettings: the first step of the scene set-up
// (frame/scene_setup.h).
void SetUpViewSettings();
// Viewport, aspect ratio and initial projection for a window of that size in pixels.
void ResizeView(std::int32_t width, std::int32_t height);
// Viewport and aspect ratio only: one view of several inside the window, each drawn
// as a window of the view's size would be. The next ApplyCamera takes the aspect.
void PlaceView(const ViewRect& view);
// Projection, viewing transform and blend function of this frame from `frame`.
void ApplyCamera(const CameraFrame& frame);
// Clears the colour (and in perspective, unless `depth` is false, the depth) buffer;
// see ClearMode.
void ClearView(int mode, float red, float green, float blue, bool depth = true);
