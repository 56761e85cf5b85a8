#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/cache_files.h"

namespace {

bool MakeFolder(const std::string& path) {
    return mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

}  // namespace

std::string CacheFolder() {
    std::string base;
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache != nullptr && cache[0] == '/') {
        base = cache;
    } else {
        const char* home = std::getenv("HOME");
        if (home == nullptr || home[0] != '/') return std::string();
        base = std::string(home) + "/.cache";
        if (!MakeFolder(base)) return std::string();
    }
    const std::string folder = base + "/solvane";
    if (!MakeFolder(folder)) return std::string();
    return folder;
}

bool ReplaceFileWhole(const std::string& path, const void* data, std::size_t size) {
    std::string name = path + ".XXXXXX";
    std::vector<char> pattern(name.begin(), name.end());
    pattern.push_back('\0');
    const int file = mkstemp(pattern.data());
    if (file < 0) return false;
    const char* bytes = static_cast<const char*>(data);
    std::size_t written = 0;
    while (written < size) {
        const ssize_t count = write(file, bytes + written, size - written);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) break;
        written += std::size_t(count);
    }
    // The data must be on the disk before the name points at it.
    const bool whole = written == size && fsync(file) == 0;
    if (close(file) != 0 || !whole || std::rename(pattern.data(), path.c_str()) != 0) {
        unlink(pattern.data());
        return false;
    }
    return true;
}
