#include "front/posix/option_words.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

bool IsOption(const char* argument, const char* name) {
    if (argument[0] != '-') return false;
    const char* rest = argument[1] == '-' ? argument + 2 : argument + 1;
    return std::strcmp(rest, name) == 0;
}

void WriteReason(char* error, std::size_t size, const char* format, ...) {
    if (size == 0) return;
    va_list args;
    va_start(args, format);
    std::vsnprintf(error, size, format, args);
    va_end(args);
}
