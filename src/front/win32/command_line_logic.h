// The screen-saver command line, read into a run mode and the handle that comes with it.
// Pure: the one Win32 dependency (the foreground window for a bare "c") is left to
// the caller through `HostSource::Foreground`.
#pragma once

#include <cstdint>

#include "front/win32/run_mode.h"

enum class HostSource {
    Null,        // no host window
    Number,      // `hostNumber` is the handle, as the host wrote it in decimal
    Foreground,  // the current foreground window owns the About box
};

struct CommandLine {
    RunMode mode;
    HostSource host;
    std::intptr_t hostNumber;  // meaningful only for HostSource::Number
};

// `line` is the whole command line, program name included; null reads as empty.
CommandLine ParseCommandLine(const char* line);

// Reads a decimal window handle the way a C runtime's atoi would (leading white space,
// one sign, digits up to the first non-digit, 0 without digits), except that overlong
// numbers wrap in 32 bits instead of overflowing: handles are 32-bit values, sign-extended
// on 64-bit Windows, so a host that prints them unsigned still names the right window.
std::intptr_t ReadHandleNumber(const char* text);
