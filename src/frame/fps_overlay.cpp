#include "frame/fps_overlay.h"

#include <GL/gl.h>

#include "text/text_renderer.h"
#include "view/camera_frame.h"
#include "view/projection.h"

namespace {
constexpr float FpsGrey = 0.6f;
}  // namespace

void DrawFpsOverlay(char* text) {
    // The frame step leaves the projection at identity; the text grid needs the view.
    ApplyCamera(Camera);
    DrawStrokeText(text, FpsGrey, FpsGrey, FpsGrey, 0, 0, &Camera);
    glLoadIdentity();
}
