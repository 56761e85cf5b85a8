// The frames-per-second text of the fps option, in the top left corner of the view.
#pragma once

// Draws `text` over the frame just drawn into the current viewport, in the clock's
// stroke font and a light grey. Call after the frame step, before the swap.
void DrawFpsOverlay(char* text);
