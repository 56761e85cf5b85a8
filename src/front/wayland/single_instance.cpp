#include "front/wayland/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

bool TakeDisplayLock() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime == nullptr || runtime[0] != '/') return true;
    const char* display = std::getenv("WAYLAND_DISPLAY");
    // The name libwayland connects to when none is given.
    std::string name = display != nullptr && display[0] != '\0' ? display : "wayland-0";
    // A display given as a path names a socket anywhere: one file name still.
    for (char& c : name)
        if (c == '/') c = '_';
    const std::string path = std::string(runtime) + "/solvane-wayland-" + name + ".lock";
    // Kept open, unclosed, until the process ends; not inherited by children.
    const int descriptor = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (descriptor < 0) return true;
    if (::flock(descriptor, LOCK_EX | LOCK_NB) == 0) return true;
    const bool held = errno == EWOULDBLOCK;
    ::close(descriptor);
    return !held;
}
