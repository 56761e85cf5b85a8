#include "front/posix/process.h"

#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

volatile sig_atomic_t endSignal = 0;
int signalPipe[2] = {-1, -1};

void OnEndSignal(int signal) {
    if (endSignal != 0) {
        // Asked twice: whoever sends it will not wait for a clean end.
        struct sigaction fallback {};
        fallback.sa_handler = SIG_DFL;
        sigemptyset(&fallback.sa_mask);
        sigaction(signal, &fallback, nullptr);
        raise(signal);
        return;
    }
    endSignal = signal;
    const int savedErrno = errno;
    const char wake = 0;
    // A full pipe already holds a wake, so a failed write loses nothing.
    if (write(signalPipe[1], &wake, 1) < 0) {
    }
    errno = savedErrno;
}

}  // namespace

bool CatchEndSignals(const char* program) {
    if (pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        std::fprintf(stderr, "%s: cannot make a pipe: %s\n", program, std::strerror(errno));
        return false;
    }
    constexpr int endSignals[] = {SIGTERM, SIGINT, SIGHUP};
    struct sigaction action {};
    action.sa_handler = OnEndSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigset_t endSet;
    sigemptyset(&endSet);
    for (int signal : endSignals) {
        sigaddset(&action.sa_mask, signal);
        sigaddset(&endSet, signal);
    }
    for (int signal : endSignals) sigaction(signal, &action, nullptr);
    // Even when the parent left them blocked.
    sigprocmask(SIG_UNBLOCK, &endSet, nullptr);
    return true;
}

int EndSignal() {
    return endSignal;
}

int WaitForConnection(int fd, short events, long microseconds) {
    pollfd watched[2] = {{fd, events, 0}, {signalPipe[0], POLLIN, 0}};
    const timespec timeout{time_t(microseconds / 1000000), long(microseconds % 1000000) * 1000};
    const int ready = ppoll(watched, 2, &timeout, nullptr);
    const int waitError = errno;
    // The pipe only wakes the wait; EndSignal says what came.
    char wakes[16];
    while (read(signalPipe[0], wakes, sizeof wakes) > 0) {
    }
    if (ready < 0 && waitError != EINTR) {
        errno = waitError;
        return -1;
    }
    return ready > 0 ? watched[0].revents : 0;
}

void KeepStandardFilesOpen() {
    for (int i = 0; i < 3; ++i) {
        const int fd = open("/dev/null", O_RDWR);
        if (fd > 2) {
            close(fd);
            break;
        }
    }
}

std::int64_t MonotonicMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

std::string ProgramFolder() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return std::string();
    path[length] = '\0';
    std::string folder(path);
    const std::size_t slash = folder.rfind('/');
    return slash == std::string::npos ? std::string() : folder.substr(0, slash);
}
