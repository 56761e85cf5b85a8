// The command line of the XScreenSaver hack and the window it draws on.
// Pure: no X calls, so that the rules can be tested without a display.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "clouds/cloud_source.h"
#include "frame/frame_pacing.h"
#include "globe/look.h"

// X carries window ids in 32 bits; Xlib would cut a longer one to another window's.
constexpr std::uint64_t MaxWindowId = 0xffffffffu;

enum class TargetKind {
    Unset,     // no -root, -window or -window-id given
    Own,       // a window of the hack's own (-window)
    Root,      // the root window, or the one $XSCREENSAVER_WINDOW names (-root)
    WindowId,  // the window -window-id names
};

struct HackOptions {
    TargetKind target = TargetKind::Unset;
    std::uint64_t windowId = 0;  // for TargetKind::WindowId
    long delayMicroseconds = DefaultDelayMicroseconds;
    bool fps = false;
    bool clock = true;                       // the date and time (-clock, -no-clock)
    const char* textures = nullptr;          // the -textures folder as given; null: the default
    const char* display = nullptr;           // -display NAME; null: $DISPLAY
    CloudMode clouds = CloudMode::NoClouds;  // -clouds none|still|live
    const char* cloudsUrl = nullptr;         // -clouds-url; null: DefaultCloudUrl
    Look look = Look::Classic;               // -natural, -classic; the last one counts
    bool help = false;
};

// Fills `options` from argv[1..argc-1]. Options are written with one dash or two, as
// XScreenSaver's hacks take them; when several of -root, -window and -window-id are
// given the last one counts. Returns false with a one-line reason in `error` (always
// terminated) for an unknown option, a missing value or a malformed number.
bool ParseHackOptions(int argc, const char* const* argv, HackOptions& options, char* error,
                      std::size_t errorSize);

// An X window id as XScreenSaver writes it: decimal, or hexadecimal after "0x" or
// "0X", with white space around it allowed and nothing else. Zero is no window, nor
// is anything above MaxWindowId.
bool ParseWindowId(const char* text, std::uint64_t& id);

struct DrawTarget {
    TargetKind kind;       // Own, Root or WindowId
    std::uint64_t window;  // for WindowId
};

// Where to draw. -window-id names its window. -root means the window that
// $XSCREENSAVER_WINDOW names (the daemon's, which it hands every hack it starts), else
// the root window. -window is a window of our own. With none of them given the hack
// takes $XSCREENSAVER_WINDOW when it is set and makes its own window otherwise, so
// that a hack started by hand opens a window. `environmentWindow` is the text of
// $XSCREENSAVER_WINDOW or null; one that is not a window id counts as unset.
DrawTarget ChooseDrawTarget(const HackOptions& options, const char* environmentWindow);

// Whether an X error means that the window drawn on is gone (its owner destroyed it,
// which ends the hack quietly) rather than a fault of ours: a missing window or
// drawable (core or GLX error) about `window` or its `glxWindow`. `glxErrorBase` is
// the GLX extension's first error code, 0 when unknown.
bool ErrorMeansWindowGone(int errorCode, std::uint64_t resource, std::uint64_t window,
                          std::uint64_t glxWindow, int glxErrorBase);

// The usage text, with the default delay.
void PrintHackUsage(std::FILE* to);
