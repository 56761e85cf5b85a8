// The command line of solvane-snapshot.
#pragma once

#include <cstddef>
#include <cstdint>

#include "globe/look.h"

constexpr int MaxSnapshotSide = 8192;  // pixels; larger pbuffers are refused by llvmpipe anyway
constexpr int MaxSnapshotFrames = 100000;

struct SnapshotOptions {
    const char* textures = nullptr;  // the texture folder as given
    const char* out = nullptr;       // the PNG to write
    std::int64_t utcSeconds = 0;     // the pinned moment, seconds since 1970 UTC
    int width = 1024;
    int height = 768;
    int frames = 2;         // frame steps run at the pinned moment
    const char* hold = "";  // keypad keys held from the second frame on, e.g. "6" or "82"
    bool lookAt = false;
    double lookLatitude = 0;       // degrees, north positive
    double lookLongitude = 0;      // degrees, east positive
    bool noClock = false;          // the frame without the clock text
    const char* clouds = nullptr;  // the cloud map to draw, as given; none: no cloud layer
    Look look = Look::Classic;
    bool info = false;
    bool help = false;
};

// Seconds since 1970-01-01 00:00:00 UTC of a moment written exactly as
// YYYY-MM-DDTHH:MM:SSZ, a date of the proleptic Gregorian calendar from 1970 to
// 9999. Returns false for anything else.
bool ParseUtcMoment(const char* text, std::int64_t& seconds);

// The Win32 virtual-key code of a numeric-keypad key written as its label: '0' to
// '9', '.', '*' or '/'. -1 for any other character.
int KeypadKey(char label);

// Fills `options` from argv[1..argc-1]. Returns false with a one-line reason in
// `error` (always terminated) when an argument is unknown, malformed, out of range
// or missing; --help alone succeeds with options.help set.
bool ParseSnapshotOptions(int argc, const char* const* argv, SnapshotOptions& options, char* error,
                          std::size_t errorSize);

extern const char SnapshotUsage[];
