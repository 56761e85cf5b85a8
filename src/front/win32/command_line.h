// The screen-saver command line, read into a run mode and the handle that comes with it.
// Pure: the one Win32 dependency (the foreground window for a bare "c") is left to
// the caller through `HostSource::Foreground`.
#pragma once

#include <cstdint>
#include <initializer_list>

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
// `ownPaths` name the saver's own file as the system may write it (its long and its
// short path; null or empty ones are passed over). An unquoted program name is
// skipped at its first space, unless the line starts with one of them, compared
// without regard to ASCII case and followed by a space or the end: that is skipped
// whole, spaces and all. Where a volume keeps no 8.3 names, the short path the
// system starts the saver with is the long one, spaces included, and unquoted.
CommandLine ParseCommandLine(const char* line, std::initializer_list<const char*> ownPaths = {});

// Reads a decimal window handle the way a C runtime's atoi would (leading white space,
// one sign, digits up to the first non-digit, 0 without digits), except that overlong
// numbers wrap in 32 bits instead of overflowing: handles are 32-bit values, sign-extended
// on 64-bit Windows, so a host that prints them unsigned still names the right window.
std::intptr_t ReadHandleNumber(const char* text);
