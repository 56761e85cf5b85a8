#include "front/wayland/wayland_options.h"

#include <cstdio>
#include <cstring>

#include "front/posix/cloud_options.h"
#include "front/posix/option_words.h"

namespace {

const char UsageFormat[] =
    "usage: solvane-wayland [--textures DIR] [--no-clock] [--fps] [--delay MICROSECONDS]\n"
    "                       [--clouds none|still|live] [--clouds-url URL]\n"
    "                       [--look natural|classic]\n"
    "  --textures DIR    folder of the sixteen tiles d11.bmp ... n24.bmp, or a file in it\n"
    "                    (default /usr/share/solvane/textures, or the build's)\n"
    "  --no-clock        no date and time under the globe\n"
    "  --clouds MODE     none (the default), still (the map that ships) or live\n"
    "                    (today's clouds, fetched every 3 hours and kept in\n"
    "                    $XDG_CACHE_HOME/solvane)\n"
    "  --clouds-url URL  where live clouds come from (http or https)\n"
    "  --look LOOK       natural: a soft twilight, city lights at dusk, filtered\n"
    "                    imagery, an atmosphere and the stars; classic: the\n"
    "                    original look (the default)\n"
    "  --fps             show frames per second in the top left corner\n"
    "  --delay N         microseconds at least from one frame to the next (default %ld);\n"
    "                    frames come when the picture changes, 0 draws without pause\n"
    "Full screen on every output; any key, button or pointer travel ends it, as do\n"
    "SIGTERM and SIGINT. Options take one dash or two.\n";

// Decimal digits only, in [0, MaxDelayMicroseconds].
bool ParseDelay(const char* text, long& value) {
    if (*text == '\0') return false;
    long result = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9') return false;
        result = result * 10 + (*p - '0');
        if (result > MaxDelayMicroseconds) return false;
    }
    value = result;
    return true;
}

}  // namespace

bool ParseWaylandOptions(int argc, const char* const* argv, WaylandOptions& options, char* error,
                         std::size_t errorSize) {
    if (errorSize > 0) error[0] = '\0';
    options = WaylandOptions{};
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (IsOption(argument, "help") || IsOption(argument, "h")) {
            options.help = true;
        } else if (IsOption(argument, "no-clock")) {
            options.clock = false;
        } else if (IsOption(argument, "fps")) {
            options.fps = true;
        } else if (IsCloudOption(argument)) {
            if (i + 1 >= argc) {
                WriteReason(error, errorSize, "%s needs a value", argument);
                return false;
            }
            if (!TakeCloudOption(argument, argv[++i], options.clouds, options.cloudsUrl, error,
                                 errorSize))
                return false;
        } else if (IsOption(argument, "look")) {
            const char* value = i + 1 < argc ? argv[++i] : "";
            if (std::strcmp(value, "natural") != 0 && std::strcmp(value, "classic") != 0) {
                WriteReason(error, errorSize, "%s needs natural or classic", argument);
                return false;
            }
            options.look = value[0] == 'n' ? Look::Natural : Look::Classic;
        } else if (IsOption(argument, "textures") || IsOption(argument, "delay")) {
            if (i + 1 >= argc || argv[i + 1][0] == '\0') {
                WriteReason(error, errorSize, "%s needs a value", argument);
                return false;
            }
            const char* value = argv[++i];
            if (IsOption(argument, "textures")) {
                options.textures = value;
            } else if (!ParseDelay(value, options.delayMicroseconds)) {
                WriteReason(error, errorSize, "%s '%s' is not a whole number from 0 to %ld",
                            argument, value, MaxDelayMicroseconds);
                return false;
            }
        } else if (argument[0] == '-') {
            WriteReason(error, errorSize, "unknown option '%s'", argument);
            return false;
        } else {
            WriteReason(error, errorSize, "'%s' is no option (a folder goes after --textures)",
                        argument);
            return false;
        }
    }
    return true;
}

void PrintWaylandUsage(std::FILE* to) {
    std::fprintf(to, UsageFormat, DefaultDelayMicroseconds);
}
