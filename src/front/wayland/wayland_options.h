// The command line of solvane-wayland. Pure: no Wayland calls, so that the rules
// can be tested, and fuzzed, without a compositor.
#pragma once

#include <cstddef>
#include <cstdio>

#include "globe/look.h"

// delayMicroseconds when --delay is not given: frames follow the picture, drawn only
// when it changes (frame/frame_pacing.h).
constexpr long PacedFrames = -1;
// Ten seconds, as the hack's -delay: a longer pause would leave the clock standing.
constexpr long MaxWaylandDelayMicroseconds = 10000000;

struct WaylandOptions {
    const char* textures = nullptr;  // the --textures folder as given; null: the default
    bool clock = true;               // false with --no-clock
    bool fps = false;
    Look look = Look::Classic;  // --look natural|classic
    // PacedFrames, or the microseconds to wait after every frame whether the picture
    // changed or not (0: as fast as the machine draws, for measuring).
    long delayMicroseconds = PacedFrames;
    bool help = false;
};

// Fills `options` from argv[1..argc-1]. Options take one dash or two, as the hack's
// do. Returns false with a one-line reason in `error` (always terminated when
// errorSize > 0) for an unknown option, a missing or empty value, a malformed delay,
// or a word that is no option.
bool ParseWaylandOptions(int argc, const char* const* argv, WaylandOptions& options, char* error,
                         std::size_t errorSize);

void PrintWaylandUsage(std::FILE* to);
