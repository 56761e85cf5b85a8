// The two looks of the globe. Classic is the original picture: a day or a night tile
// per 5-degree patch, sampled texel by texel. Natural blends day and night per pixel
// through a soft twilight, brings the city lights on at dusk, filters the imagery
// and adds an atmosphere and the stars. Front ends choose once, at set-up.
#pragma once

#include <cstdint>

// The numbers are the stored values (the saver's registry value "Look").
enum class Look : std::uint32_t { Classic = 0, Natural = 1 };

// Chooses the look of every frame from now on; before the first frame, so that the
// textures are made for it (their sampling differs). Classic until called.
void SetLook(Look look);
Look CurrentLook();

// "natural" or "classic" (exactly, lower case) into `look`; false for anything else,
// with `look` untouched.
bool ParseLookName(const char* name, Look& look);

// The look a stored number names: 1 is Natural, anything else Classic.
Look LookFromStoredValue(std::uint32_t value);
