// The command line of solvane-wayland. Pure: no Wayland calls, so that the rules
// can be tested, and fuzzed, without a compositor.
#pragma once

#include <cstddef>
#include <cstdio>

#include "clouds/cloud_source.h"
#include "frame/frame_pacing.h"
#include "globe/look.h"

struct WaylandOptions {
    const char* textures = nullptr;  // the --textures folder as given; null: the default
    bool clock = true;               // false with --no-clock
    bool fps = false;
    // The shortest time from one frame to the next (frame/frame_pacing.h); 0 runs free.
    long delayMicroseconds = DefaultDelayMicroseconds;
    CloudMode clouds = CloudMode::NoClouds;  // --clouds none|still|live
    const char* cloudsUrl = nullptr;         // --clouds-url; null: DefaultCloudUrl
    Look look = Look::Classic;               // --look natural|classic
    bool help = false;
};

// Fills `options` from argv[1..argc-1]. Options take one dash or two, as the hack's
// do. Returns false with a one-line reason in `error` (always terminated when
// errorSize > 0) for an unknown option, a missing or empty value, a malformed delay,
// or a word that is no option.
bool ParseWaylandOptions(int argc, const char* const* argv, WaylandOptions& options, char* error,
                         std::size_t errorSize);

void PrintWaylandUsage(std::FILE* to);
