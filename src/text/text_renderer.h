// Draws text with the stroke font on a grid of 80 columns by 25 rows over the view.
#pragma once

#include "view/camera_frame.h"

constexpr int TextColumns = 80;
constexpr int TextRows = 25;

// Upper-cases `text` in place while drawing it from (`row`, `column`), row 0 at the
// top. In perspective the grid lies just in front of `frame` (null: the Camera).
// `lineWidth` is the strokes' width in pixels; any other than 1 is set for the text
// alone and the GL's 1 restored after it, and 1 (or a width that is not positive)
// sets nothing.
void DrawStrokeText(char* text, float red, float green, float blue, int row, int column,
                    const CameraFrame* frame, float lineWidth = 1.0f);
