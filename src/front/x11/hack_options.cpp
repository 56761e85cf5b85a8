#include "front/x11/hack_options.h"

#include <X11/X.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "front/posix/cloud_options.h"
#include "front/posix/option_words.h"

namespace {
// GLX's errors, counted from the extension's error base (GLX 1.3 protocol); the
// header that names them declares the whole wire protocol with it.
constexpr int GlxBadDrawable = 2;
constexpr int GlxBadWindow = 12;

const char UsageFormat[] =
    "usage: solvane [-root | -window | -window-id ID] [-delay MICROSECONDS] [-fps]\n"
    "               [-clock | -no-clock] [-natural | -classic] [-textures DIR]\n"
    "               [-display NAME] [-clouds none|still|live] [-clouds-url URL]\n"
    "  -root             draw on the root window, or on $XSCREENSAVER_WINDOW\n"
    "  -window           draw in a window of its own (the default when run by hand)\n"
    "  -window-id ID     draw on the window ID (decimal or 0x hexadecimal)\n"
    "  -delay N          microseconds at least from one frame to the next (default %ld);\n"
    "                    frames come when the picture changes, 0 draws without pause\n"
    "  -fps              show frames per second in the top left corner\n"
    "  -no-clock         leave out the date and time (-clock shows them, the default)\n"
    "  -natural          a soft twilight, city lights at dusk, filtered imagery, an\n"
    "                    atmosphere and the stars (-classic: the original look, the\n"
    "                    default)\n"
    "  -textures DIR     folder of the sixteen tiles d11.bmp ... n24.bmp, or a file in it\n"
    "                    (default /usr/share/solvane/textures, or the build's)\n"
    "  -clouds MODE      none (the default), still (the map that ships) or live\n"
    "                    (today's clouds, fetched every 3 hours and kept in\n"
    "                    $XDG_CACHE_HOME/solvane)\n"
    "  -clouds-url URL   where live clouds come from (http or https)\n"
    "Options take one dash or two. In its own window the numeric keypad steers\n"
    "the camera; q or Escape ends it.\n";

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// Digits of one base only, up to the end or trailing white space; nothing that does
// not fit in 64 bits.
bool ReadUnsigned(const char* text, int base, std::uint64_t& value) {
    const char* p = text;
    const char* digitsStart = p;
    std::uint64_t result = 0;
    for (; *p != '\0' && !IsSpace(*p); ++p) {
        int digit;
        if (*p >= '0' && *p <= '9')
            digit = *p - '0';
        else if (base == 16 && *p >= 'a' && *p <= 'f')
            digit = *p - 'a' + 10;
        else if (base == 16 && *p >= 'A' && *p <= 'F')
            digit = *p - 'A' + 10;
        else
            return false;
        if (result > (UINT64_MAX - std::uint64_t(digit)) / std::uint64_t(base)) return false;
        result = result * std::uint64_t(base) + std::uint64_t(digit);
    }
    if (p == digitsStart) return false;
    while (IsSpace(*p)) ++p;
    if (*p != '\0') return false;
    value = result;
    return true;
}

// A whole decimal number in [0, high], nothing else.
bool ParseDelay(const char* text, long& value) {
    std::uint64_t parsed = 0;
    if (text == nullptr || !(*text >= '0' && *text <= '9')) return false;
    if (!ReadUnsigned(text, 10, parsed) || parsed > std::uint64_t(MaxDelayMicroseconds))
        return false;
    value = long(parsed);
    return true;
}

}  // namespace

bool ParseWindowId(const char* text, std::uint64_t& id) {
    if (text == nullptr) return false;
    while (IsSpace(*text)) ++text;
    std::uint64_t value = 0;
    const bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    if (!ReadUnsigned(hex ? text + 2 : text, hex ? 16 : 10, value) || value == 0 ||
        value > MaxWindowId)
        return false;
    id = value;
    return true;
}

bool ParseHackOptions(int argc, const char* const* argv, HackOptions& options, char* error,
                      std::size_t errorSize) {
    if (errorSize > 0) error[0] = '\0';
    options = HackOptions{};
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (IsOption(argument, "help") || IsOption(argument, "h")) {
            options.help = true;
        } else if (IsOption(argument, "root")) {
            options.target = TargetKind::Root;
        } else if (IsOption(argument, "window")) {
            options.target = TargetKind::Own;
        } else if (IsOption(argument, "fps")) {
            options.fps = true;
        } else if (IsOption(argument, "natural") || IsOption(argument, "classic")) {
            options.look = IsOption(argument, "natural") ? Look::Natural : Look::Classic;
        } else if (IsOption(argument, "clock") || IsOption(argument, "no-clock")) {
            options.clock = IsOption(argument, "clock");
        } else if (IsOption(argument, "window-id") || IsOption(argument, "delay") ||
                   IsOption(argument, "textures") || IsOption(argument, "display") ||
                   IsCloudOption(argument)) {
            if (i + 1 >= argc) {
                WriteReason(error, errorSize, "%s needs a value", argument);
                return false;
            }
            const char* value = argv[++i];
            if (IsOption(argument, "window-id")) {
                if (!ParseWindowId(value, options.windowId)) {
                    WriteReason(
                        error, errorSize,
                        "-window-id '%s' is not a window id (1 to 0xffffffff, decimal or 0x "
                        "hexadecimal)",
                        value);
                    return false;
                }
                options.target = TargetKind::WindowId;
            } else if (IsOption(argument, "delay")) {
                if (!ParseDelay(value, options.delayMicroseconds)) {
                    WriteReason(error, errorSize, "-delay '%s' is not a whole number from 0 to %ld",
                                value, MaxDelayMicroseconds);
                    return false;
                }
            } else if (IsCloudOption(argument)) {
                if (!TakeCloudOption(argument, value, options.clouds, options.cloudsUrl, error,
                                     errorSize))
                    return false;
            } else if (*value == '\0') {
                WriteReason(error, errorSize, "%s needs a value", argument);
                return false;
            } else if (IsOption(argument, "textures")) {
                options.textures = value;
            } else {
                options.display = value;
            }
        } else {
            WriteReason(error, errorSize, "unknown option '%s'", argument);
            return false;
        }
    }
    return true;
}

DrawTarget ChooseDrawTarget(const HackOptions& options, const char* environmentWindow) {
    std::uint64_t given = 0;
    const bool environment = ParseWindowId(environmentWindow, given);
    switch (options.target) {
        case TargetKind::WindowId:
            return {TargetKind::WindowId, options.windowId};
        case TargetKind::Own:
            return {TargetKind::Own, 0};
        case TargetKind::Root:
            if (environment) return {TargetKind::WindowId, given};
            return {TargetKind::Root, 0};
        case TargetKind::Unset:
            break;
    }
    if (environment) return {TargetKind::WindowId, given};
    return {TargetKind::Own, 0};
}

bool ErrorMeansWindowGone(int errorCode, std::uint64_t resource, std::uint64_t window,
                          std::uint64_t glxWindow, int glxErrorBase) {
    if (resource == 0 || (resource != window && resource != glxWindow)) return false;
    if (errorCode == BadWindow || errorCode == BadDrawable) return true;
    return glxErrorBase > 0 &&
           (errorCode == glxErrorBase + GlxBadDrawable || errorCode == glxErrorBase + GlxBadWindow);
}

void PrintHackUsage(std::FILE* to) {
    std::fprintf(to, UsageFormat, DefaultDelayMicroseconds);
}
