#include "snapshot_options.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "front/posix/option_words.h"

const char SnapshotUsage[] =
    "usage: solvane-snapshot --textures DIR --utc YYYY-MM-DDTHH:MM:SSZ --out FILE.png\n"
    "                        [--size WxH] [--frames N] [--hold KEYS] [--look-at LAT,LON]\n"
    "                        [--no-clock] [--info] [--clouds FILE] [--look natural|classic]\n"
    "  --textures DIR    folder holding d11.bmp ... n24.bmp\n"
    "  --utc MOMENT      the moment the clock is pinned to, UTC\n"
    "  --size WxH        picture size in pixels (default 1024x768)\n"
    "  --frames N        frame steps run at that moment (default 2; at least 2\n"
    "                    with --hold or --look-at)\n"
    "  --hold KEYS       numeric-keypad keys held down from the second frame on\n"
    "                    (the first aligns the camera), by their labels: 4 and 6\n"
    "                    circle the axis, 8 and 2 tilt, 9 3 7 1 . 0 move, * and /\n"
    "                    roll; 6 degrees a frame (e.g. --hold 6 --frames 5)\n"
    "  --look-at LAT,LON place the camera above this point before the last frame\n"
    "                    (degrees, north and east positive)\n"
    "  --no-clock        draw the frame without the date and time\n"
    "  --clouds FILE     draw the cloud layer from this JPEG or PNG cloud map\n"
    "                    (grey, twice as wide as high, 1024 to 8192 pixels wide)\n"
    "  --look LOOK       classic (the default) or natural: twilight, city lights at\n"
    "                    dusk, filtered imagery, atmosphere and stars\n"
    "  --info            print the subsolar point and where the camera stands\n"
    "                    after the last frame\n"
    "The local time of the clock text is the process's time zone (TZ).\n"
    "Exit status: 0 done, 1 the picture could not be written, 2 bad arguments,\n"
    "unreadable textures or no usable headless GL.\n";

namespace {

// Exactly `count` decimal digits starting at `text`.
bool ReadDigits(const char* text, int count, int& value) {
    value = 0;
    for (int i = 0; i < count; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

// Days from 1970-01-01 to the given date (civil calendar, month 1..12).
std::int64_t DaysSinceEpoch(int year, int month, int day) {
    const int y = year - (month <= 2 ? 1 : 0);
    const int era = y / 400;  // years here are never negative
    const int yearOfEra = y - era * 400;
    const int shiftedMonth = month > 2 ? month - 3 : month + 9;
    const int dayOfYear = (153 * shiftedMonth + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return static_cast<std::int64_t>(era) * 146097 + dayOfEra - 719468;
}

// A whole decimal number in [low, high], nothing else.
bool ParseInt(const char* text, int low, int high, int& value) {
    if (text == nullptr || *text == '\0' || *text == '+' || *text == '-' || *text == ' ')
        return false;
    errno = 0;
    char* end = nullptr;
    const long parsed = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || parsed < low || parsed > high) return false;
    value = static_cast<int>(parsed);
    return true;
}

bool ParseSize(const char* text, int& width, int& height) {
    const char* cross = std::strchr(text, 'x');
    if (cross == nullptr) return false;
    char first[16];
    const std::size_t length = static_cast<std::size_t>(cross - text);
    if (length == 0 || length >= sizeof first) return false;
    std::memcpy(first, text, length);
    first[length] = '\0';
    return ParseInt(first, 1, MaxSnapshotSide, width) &&
           ParseInt(cross + 1, 1, MaxSnapshotSide, height);
}

// A finite decimal number with nothing after it except, for the latitude, the comma.
bool ParseAngle(const char* text, char stop, double& value, const char*& rest) {
    if (*text == '\0' || *text == ' ') return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtod(text, &end);
    if (end == text || errno != 0 || *end != stop || !std::isfinite(value)) return false;
    // strtod also takes hexadecimal, "inf" and "nan"; only plain decimals are meant here.
    for (const char* p = text; p != end; ++p)
        if (std::strchr("0123456789.+-eE", *p) == nullptr) return false;
    rest = end;
    return true;
}

bool ParseLookAt(const char* text, double& latitude, double& longitude) {
    const char* rest = nullptr;
    if (!ParseAngle(text, ',', latitude, rest)) return false;
    if (!ParseAngle(rest + 1, '\0', longitude, rest)) return false;
    return latitude >= -90.0 && latitude <= 90.0 && longitude >= -360.0 && longitude <= 360.0;
}

bool ParseHold(const char* text) {
    if (*text == '\0') return false;
    for (const char* p = text; *p != '\0'; ++p)
        if (KeypadKey(*p) < 0) return false;
    return true;
}

}  // namespace

int KeypadKey(char label) {
    if (label >= '0' && label <= '9') return 0x60 + (label - '0');  // VK_NUMPAD0 ...
    switch (label) {
        case '*':
            return 0x6A;  // VK_MULTIPLY
        case '.':
            return 0x6E;  // VK_DECIMAL
        case '/':
            return 0x6F;  // VK_DIVIDE
        default:
            return -1;
    }
}

bool ParseUtcMoment(const char* text, std::int64_t& seconds) {
    if (text == nullptr || std::strlen(text) != 20) return false;
    int year, month, day, hour, minute, second;
    if (!ReadDigits(text, 4, year) || text[4] != '-' || !ReadDigits(text + 5, 2, month) ||
        text[7] != '-' || !ReadDigits(text + 8, 2, day) || text[10] != 'T' ||
        !ReadDigits(text + 11, 2, hour) || text[13] != ':' || !ReadDigits(text + 14, 2, minute) ||
        text[16] != ':' || !ReadDigits(text + 17, 2, second) || text[19] != 'Z')
        return false;
    if (year < 1970 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) ||
        hour > 23 || minute > 59 || second > 59)
        return false;
    seconds = DaysSinceEpoch(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
    return true;
}

bool ParseSnapshotOptions(int argc, const char* const* argv, SnapshotOptions& options, char* error,
                          std::size_t errorSize) {
    if (errorSize > 0) error[0] = '\0';
    options = SnapshotOptions{};
    bool haveUtc = false;
    for (int i = 1; i < argc; ++i) {
        const char* name = argv[i];
        if (std::strcmp(name, "--help") == 0 || std::strcmp(name, "-h") == 0) {
            options.help = true;
            continue;
        }
        if (std::strcmp(name, "--info") == 0) {
            options.info = true;
            continue;
        }
        if (std::strcmp(name, "--no-clock") == 0) {
            options.noClock = true;
            continue;
        }
        static const char* const valued[] = {"--textures", "--utc",    "--size",
                                             "--frames",   "--hold",   "--look-at",
                                             "--out",      "--clouds", "--look"};
        bool known = false;
        for (const char* option : valued) known = known || std::strcmp(name, option) == 0;
        if (!known) {
            WriteReason(error, errorSize, "unknown argument '%s'", name);
            return false;
        }
        if (i + 1 >= argc) {
            WriteReason(error, errorSize, "%s needs a value", name);
            return false;
        }
        const char* value = argv[++i];
        if (std::strcmp(name, "--textures") == 0) {
            if (*value == '\0') {
                WriteReason(error, errorSize, "--textures needs a folder");
                return false;
            }
            options.textures = value;
        } else if (std::strcmp(name, "--out") == 0) {
            if (*value == '\0') {
                WriteReason(error, errorSize, "--out needs a file name");
                return false;
            }
            options.out = value;
        } else if (std::strcmp(name, "--clouds") == 0) {
            if (*value == '\0') {
                WriteReason(error, errorSize, "--clouds needs a file name");
                return false;
            }
            options.clouds = value;
        } else if (std::strcmp(name, "--utc") == 0) {
            if (!ParseUtcMoment(value, options.utcSeconds)) {
                WriteReason(error, errorSize,
                            "--utc '%s' is not a moment like 2026-12-22T12:00:00Z (from 1970 on)",
                            value);
                return false;
            }
            haveUtc = true;
        } else if (std::strcmp(name, "--size") == 0) {
            if (!ParseSize(value, options.width, options.height)) {
                WriteReason(error, errorSize, "--size '%s' is not WIDTHxHEIGHT with sides 1 to %d",
                            value, MaxSnapshotSide);
                return false;
            }
        } else if (std::strcmp(name, "--frames") == 0) {
            if (!ParseInt(value, 1, MaxSnapshotFrames, options.frames)) {
                WriteReason(error, errorSize, "--frames '%s' is not a whole number from 1 to %d",
                            value, MaxSnapshotFrames);
                return false;
            }
        } else if (std::strcmp(name, "--look") == 0) {
            if (!ParseLookName(value, options.look)) {
                WriteReason(error, errorSize, "--look '%s' is not natural or classic", value);
                return false;
            }
        } else if (std::strcmp(name, "--hold") == 0) {
            if (!ParseHold(value)) {
                WriteReason(error, errorSize,
                            "--hold '%s' is not a list of keypad keys (0 to 9, '.', '*', '/')",
                            value);
                return false;
            }
            options.hold = value;
        } else {
            if (!ParseLookAt(value, options.lookLatitude, options.lookLongitude)) {
                WriteReason(error, errorSize,
                            "--look-at '%s' is not LAT,LON in degrees (latitude -90 to 90, "
                            "longitude -360 to 360)",
                            value);
                return false;
            }
            options.lookAt = true;
        }
    }
    if (options.help) return true;
    if (options.textures == nullptr || !haveUtc || options.out == nullptr) {
        WriteReason(error, errorSize, "--textures, --utc and --out are required");
        return false;
    }
    // The first frame turns the camera to the hour after its projection is set, so a
    // camera placed or steered before it would be drawn half turned, or not at all.
    if (options.frames < 2 && (options.lookAt || options.hold[0] != '\0')) {
        WriteReason(
            error, errorSize,
            "--look-at and --hold need --frames 2 or more: the first frame aligns the camera");
        return false;
    }
    return true;
}
