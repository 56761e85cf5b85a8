#include <sys/stat.h>

#include "platform/regular_file.h"

std::FILE* OpenRegularFile(const char* path) {
    if (path == nullptr) return nullptr;
    // Device names (CON, COM1, a named pipe) are not regular files.
    struct _stat64 info {};
    if (_stat64(path, &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG) return nullptr;
    return std::fopen(path, "rb");
}
