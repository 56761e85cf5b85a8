// The words of the Linux programs' command lines: options written with one dash or
// two, as XScreenSaver's hacks take them, and the one-line reason for a refusal.
#pragma once

#include <cstddef>

// Whether `argument` is "-name" or "--name" (`name` given without dashes).
bool IsOption(const char* argument, const char* name);

// Writes the reason into `error` (`size` bytes, cut and always terminated; nothing
// when `size` is 0).
void WriteReason(char* error, std::size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
