// Which GL frame-buffer configuration a front end takes, whatever offers them (EGL on
// Wayland or headless, GLX for the hack): of those with 8-bit RGB that can draw on the
// surface, the cheapest by ConfigCost.
#pragma once

#include <cstddef>

struct ConfigTraits {
    int alpha = 0;  // bits of each kind
    int depth = 0;
    int stencil = 0;
    bool fits = true;  // can draw on the surface at hand (the window's visual, ...)
};

// An alpha channel costs more than any depth: a compositor would blend what lies
// beneath through the globe, since the patches blend into the frame buffer. The frame
// expects no depth or stencil buffer (the Windows saver asks for none), so each of
// their bits costs too. A configuration that does not fit is never taken.
long ConfigCost(const ConfigTraits& traits);

// The index of the cheapest that fits, the first of equals; -1 when none fits.
int CheapestConfig(const ConfigTraits* configs, std::size_t count);
