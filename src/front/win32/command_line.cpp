#include "front/win32/command_line.h"

namespace {

bool IsCRuntimeSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// Past `path` at the start of `line` when the program name is exactly that path, else
// null. File names on Windows do not depend on case.
const char* PastOwnPath(const char* line, const char* path) {
    if (path == nullptr || *path == '\0') return nullptr;
    for (; *path != '\0'; ++path, ++line) {
        if (AsciiLower(*line) != AsciiLower(*path)) return nullptr;
    }
    return *line == ' ' || *line == '\0' ? line : nullptr;
}

// Past the program name and the one character that ends it. Only a double quote or a
// space ends it: a tab after an unquoted name is part of the name.
const char* SkipProgramName(const char* p, std::initializer_list<const char*> ownPaths) {
    if (*p == '"') {
        ++p;
        while (*p != '\0' && *p != '"') ++p;
    } else {
        const char* own = nullptr;
        for (const char* path : ownPaths) {
            if (own == nullptr) own = PastOwnPath(p, path);
        }
        if (own != nullptr) {
            p = own;
        } else {
            while (*p != '\0' && *p != ' ') ++p;
        }
    }
    if (*p != '\0') ++p;
    return p;
}

const char* SkipSpacesAndColons(const char* p) {
    while (*p == ' ' || *p == ':') ++p;
    return p;
}

CommandLine WithNumber(RunMode mode, const char* text) {
    return {mode, HostSource::Number, ReadHandleNumber(text)};
}

}  // namespace

std::intptr_t ReadHandleNumber(const char* text) {
    if (text == nullptr) return 0;
    const char* p = text;
    while (IsCRuntimeSpace(*p)) ++p;
    bool negative = false;
    if (*p == '-' || *p == '+') {
        negative = *p == '-';
        ++p;
    }
    std::uint32_t value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) value = value * 10u + std::uint32_t(*p - '0');
    if (negative) value = 0u - value;
    return std::intptr_t(std::int32_t(value));
}

CommandLine ParseCommandLine(const char* line, std::initializer_list<const char*> ownPaths) {
    const CommandLine noHost{RunMode::None, HostSource::Null, 0};
    if (line == nullptr) return {RunMode::Configure, HostSource::Null, 0};

    const char* p = SkipProgramName(line, ownPaths);
    while (*p == ' ') ++p;
    if (*p == '\0') return {RunMode::Configure, HostSource::Null, 0};
    if (*p == '-' || *p == '/') ++p;

    switch (*p) {
        case 'S':
        case 's':
            return {RunMode::Saver, HostSource::Null, 0};
        case 'P':
        case 'p':
        case 'L':
        case 'l':
            return WithNumber(RunMode::Preview, SkipSpacesAndColons(p + 1));
        case 'A':
        case 'a':
            return WithNumber(RunMode::ChangePassword, SkipSpacesAndColons(p + 1));
        case 'C':
        case 'c': {
            const char* rest = SkipSpacesAndColons(p + 1);
            if (*rest == '\0') return {RunMode::Configure, HostSource::Foreground, 0};
            return WithNumber(RunMode::Configure, rest);
        }
        default:
            return noHost;
    }
}
