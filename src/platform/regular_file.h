// Opening a file that must be an ordinary file: a FIFO or a device named like a
// tile would block the start-up in the open, or stream forever.
#pragma once

#include <cstdio>

// Opens `path` for reading in binary mode when it is a regular file; null when it
// is not, or cannot be opened. The caller closes the stream.
std::FILE* OpenRegularFile(const char* path);
