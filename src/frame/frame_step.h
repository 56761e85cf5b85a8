// One frame of the saver's work, in its fixed order.
#pragma once

#include <cstddef>
#include <cstdint>

#include "view/projection.h"

// 1 until the end of the first frame, which builds the mesh and aligns the Camera.
extern int firstFrame;
// The UTC second read by the previous frame.
extern int previousSecond;
// The calendar time, in whole seconds, that the last frame showed.
extern std::int64_t lastFrameTime;
// Whether frames carry the clock text (the date and time); nonzero by default.
extern int showClock;

// Whether the next frame would show another picture even within the same second:
// a steering key was down in the last frame, or the last frame was the first (its
// camera was aligned only after it had projected). A front end that draws only
// when the picture changes draws again at once then (frame/frame_pacing.h).
bool PictureMoving();

// One frame into the viewport that ResizeView set: AdvanceFrame, ClearFrame and
// DrawFrameView, which together make the GL calls of one frame in their order.
// `strokeWidth`: the clock text's line width in pixels (DrawFrameView).
void FrameStep(float strokeWidth = 1.0f);

// One frame into each of `count` views of one window (a screen of several monitors):
// the frame's work once, one clear of the whole window, then each view with its own
// viewport and aspect ratio, as a window of the view's size would show it, and with
// the clock's stroke width of `strokeWidths[i]` (null: 1 in every view). Given a
// `clockView`, the views draw no clock and the clock stands there alone instead, with
// the first view's stroke width, as a window of that view's size would show it.
void FrameStepViews(const ViewRect* views, std::size_t count, const float* strokeWidths = nullptr,
                    const ViewRect* clockView = nullptr);

// The work of a frame that does not depend on where it is drawn, done once per
// frame: keys, clock, the spin, steering, the clock text, the mesh on the first
// frame, the Sun and the shading, the tile choice, the first frame's alignment and
// the plan of the texture passes. Calls no GL.
void AdvanceFrame();
// The same for the calendar time `now` (whole seconds) that a front end's pacing
// decision read (frame/frame_pacing.h), so that every output shows that second.
void AdvanceFrame(std::int64_t now);

// Clears the whole window for a frame, to black: the colour, and the depth that the
// Classic look's patches test against (the Natural look tests none).
void ClearFrame();

// Draws the frame that AdvanceFrame prepared into the current viewport: projection
// and view from the Camera as it was before the first frame's alignment, the clock
// text, the patches (in the Natural look its scene, then the clock over it, with the
// depth test off), and the reset of the current matrix. Clears nothing.
// `strokeWidth` is the clock text's line width in pixels: 1 on an unscaled display,
// the display's scale on others, so that the text keeps its weight. Without
// `withClock`, the text is left out.
void DrawFrameView(float strokeWidth = 1.0f, bool withClock = true);

// Deletes the GL objects the frame step keeps in the current context (the texture
// objects of the texture set). Every front end calls it with its context still
// current, just before destroying that context: the objects go with the context
// they were made in, and a later FrameStep in another context makes its own.
void ReleaseGlObjects();
