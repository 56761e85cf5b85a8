// The clock text's stroke width on a scaled display, so that strokes keep their weight.
#pragma once

#include <cstdint>

// The width in pixels at a display scale of `scale` (buffer pixels per logical pixel,
// 1.25 for 125 %): the scale itself. Exactly 1 at 1 or below, or when the scale is
// unknown (not a number), and at most 5 (the largest scale Windows offers), so that a
// nonsense reading cannot smear the text.
float StrokeWidthForScale(double scale);

// The same for a display of `dpi` dots per inch, 96 being a scale of 1 (0: unknown).
float StrokeWidthForDpi(std::uint32_t dpi);
