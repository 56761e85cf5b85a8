// The size of the fixed 8-bit texts the saver keeps (the texture folder, texture
// paths, stored values, the clock text): characters, the terminating NUL included.
#pragma once

constexpr int FixedTextSize = 100;
