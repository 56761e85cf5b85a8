// Draws text with the stroke font on a grid of 80 columns by 25 rows over the view.
#pragma once

#include "view/camera_frame.h"

constexpr int TextColumns = 80;
constexpr int TextRows = 25;

// Upper-cases `text` in place while drawing it from (`row`, `column`), row 0 at the
// top. In perspective the grid lies just in front of `frame` (null: the Camera).
void DrawStrokeText(char* text, float red, float green, float blue, int row, int column,
                    const CameraFrame* frame);
