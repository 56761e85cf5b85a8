#include "view/projection.h"

#include <GL/gl.h>
#include <GL/glu.h>

// Perspective and the 45-degree resize projection hold from process start; the rest
// are the set-up values too, so nothing reads an unset field before SetUpScene.
ViewSettings viewSettings = {1, 2.0f, 20000.0f, 45.0f, 1.0f, 250.0f, 250.0f, 500.0f, 500.0f};

void SetUpViewSettings() {
    viewSettings.orthoCentreX = 250.0f;
    viewSettings.orthoCentreY = 250.0f;
    viewSettings.orthoWidth = 500.0f;
    viewSettings.orthoHeight = 500.0f;
    viewSettings.perspective = 1;
    viewSettings.farPlane = 20000.0f;
    viewSettings.nearPlane = 2.0f;
}

void PlaceView(const ViewRect& view) {
    viewSettings.aspect = view.height == 0
                              ? static_cast<float>(view.width)
                              : static_cast<float>(view.width) / static_cast<float>(view.height);
    glViewport(view.x, view.y, view.width, view.height);
}

void ResizeView(std::int32_t width, std::int32_t height) {
    PlaceView(ViewRect{0, 0, width, height});
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (viewSettings.perspective != 0) {
        gluPerspective(viewSettings.resizeFieldOfView, viewSettings.aspect, viewSettings.nearPlane,
                       viewSettings.farPlane);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDrawBuffer(GL_BACK);
        glEnable(GL_DEPTH_TEST);
    } else {
        // Only the right edge follows the aspect ratio, so the text grid of the 2D mode
        // keeps square cells on the left-anchored window.
        const float halfWidth = viewSettings.orthoWidth / 2.0f;
        const float halfHeight = viewSettings.orthoHeight / 2.0f;
        gluOrtho2D(viewSettings.orthoCentreX - halfWidth,
                   (viewSettings.orthoCentreX + halfWidth) * viewSettings.aspect,
                   viewSettings.orthoCentreY - halfHeight, viewSettings.orthoCentreY + halfHeight);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
}

void ApplyCamera(const CameraFrame& frame) {
    // The whole viewing transform lives in the projection matrix; the model-view
    // matrix stays the identity that ResizeView left.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(frame.fieldOfView, viewSettings.aspect, viewSettings.nearPlane,
                   viewSettings.farPlane);
    glBlendFunc(GL_ONE_MINUS_DST_COLOR, GL_SRC_ALPHA);
    const Vec3& eye = frame.position;
    gluLookAt(eye.x, eye.y, eye.z, double(eye.x) + double(frame.forward.x),
              double(eye.y) + double(frame.forward.y), double(eye.z) + double(frame.forward.z),
              frame.up.x, frame.up.y, frame.up.z);
}

void ClearView(int mode, float red, float green, float blue, bool depth) {
    switch (mode) {
        case Given:
            glClearColor(red, green, blue, 1.0f);
            break;
        case Black:
            glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
            break;
        case White:
            glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
            break;
        case Sage:
            glClearColor(0.74f, 0.8f, 0.78f, 1.0f);
            break;
        default:  // keeps the clear colour last set
            break;
    }
    if (viewSettings.perspective != 0 && depth) {
        // The stencil too, though nothing uses it: a software GL keeps depth and stencil
        // in one word, and clearing the depth alone rewrites every word by a mask at
        // several times the cost of a plain fill. Without a stencil buffer it is a no-op.
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        glClearDepth(1.0);
    } else {
        glClear(GL_COLOR_BUFFER_BIT);
    }
}
