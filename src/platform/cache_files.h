// The user's cache folder and whole-file replacement in it. Paths are UTF-8.
#pragma once

#include <cstddef>
#include <string>

// The folder Solvane keeps its cache in, created if missing: %LOCALAPPDATA%\Solvane on
// Windows, $XDG_CACHE_HOME/solvane (an absolute $XDG_CACHE_HOME only, else
// ~/.cache/solvane) elsewhere. Empty when there is none to be had.
std::string CacheFolder();

// Writes `size` bytes to a new temporary file beside `path`, flushes it to the disk and
// renames it over `path`, so that a reader (or a crash) sees the old file or the new,
// never a part. Returns false, leaving `path` as it was and no temporary behind, on any
// failure.
bool ReplaceFileWhole(const std::string& path, const void* data, std::size_t size);
