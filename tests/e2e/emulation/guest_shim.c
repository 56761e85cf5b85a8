/* Preloaded into the 32-bit Wine that QEMU's user mode runs (qemu-i386 -E
   LD_PRELOAD=...), for three things that the host's tools cannot do there.

   A standing clock: with SOLVANE_CLOCK_AT=<seconds since 1970> every reading of
   the real-time clocks gives that second. libfaketime cannot serve here: Debian's
   i386 Wine is built with a 64-bit time_t, and its __clock_gettime64 is not among
   the calls libfaketime wraps. The monotonic clocks stay real, so Wine's waits and
   timers run as usual.

   A faster start: QEMU 7.2 treats MAP_FIXED_NOREPLACE as a mere hint and maps
   elsewhere when the place is taken. Wine's address-space reservation keeps such
   mappings when they land high, and then halves every later request down to 64 KiB
   around them: tens of thousands of emulated mmap calls, most of a minute. Here a
   request that does not land where it asked fails with EEXIST, as the kernel's
   would.

   An exit code that survives: once a Wine process has told the wineserver that it
   ends, the server gives its Unix process half a second to go and then kills it.
   Emulated on a busy machine, QEMU can take longer to stop the process's threads,
   and the kill takes the program's exit code with it. So the code is written to
   the file SOLVANE_EXIT_CODE_FILE names, if any, before the process ends, at once
   (the Windows side has finished by then; only the Unix libraries' destructors
   are skipped). */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>

#ifndef MAP_FIXED_NOREPLACE
#define MAP_FIXED_NOREPLACE 0x100000
#endif

/* glibc's 64-bit timespec on i386: a 64-bit second, a 32-bit nanosecond, padding. */
struct timespec64 {
    int64_t tv_sec;
    int32_t tv_nsec;
    int32_t padding;
};

static int StandingSecond(int64_t* second) {
    const char* text = getenv("SOLVANE_CLOCK_AT");
    if (text == NULL || *text == '\0') return 0;
    char* end = NULL;
    long long value = strtoll(text, &end, 10);
    if (*end != '\0') return 0;
    *second = value;
    return 1;
}

static int IsRealTime(clockid_t clock) {
    return clock == CLOCK_REALTIME || clock == CLOCK_REALTIME_COARSE;
}

int __clock_gettime64(clockid_t clock, struct timespec64* time) {
    static int (*real)(clockid_t, struct timespec64*);
    int64_t second;
    if (IsRealTime(clock) && time != NULL && StandingSecond(&second)) {
        time->tv_sec = second;
        time->tv_nsec = 0;
        time->padding = 0;
        return 0;
    }
    if (real == NULL)
        real = (int (*)(clockid_t, struct timespec64*))dlsym(RTLD_NEXT, "__clock_gettime64");
    return real(clock, time);
}

int clock_gettime(clockid_t clock, struct timespec* time) {
    static int (*real)(clockid_t, struct timespec*);
    int64_t second;
    if (IsRealTime(clock) && StandingSecond(&second)) {
        time->tv_sec = (time_t)second;
        time->tv_nsec = 0;
        return 0;
    }
    if (real == NULL)
        real = (int (*)(clockid_t, struct timespec*))dlsym(RTLD_NEXT, "clock_gettime");
    return real(clock, time);
}

static void* Placed(void* wanted, void* got, size_t length, int flags) {
    if (!(flags & MAP_FIXED_NOREPLACE) || got == MAP_FAILED || got == wanted) return got;
    munmap(got, length);
    errno = EEXIST;
    return MAP_FAILED;
}

void* mmap64(void* address, size_t length, int protection, int flags, int file, off64_t offset) {
    static void* (*real)(void*, size_t, int, int, int, off64_t);
    if (real == NULL)
        real = (void* (*)(void*, size_t, int, int, int, off64_t))dlsym(RTLD_NEXT, "mmap64");
    return Placed(address, real(address, length, protection, flags, file, offset), length, flags);
}

void* mmap(void* address, size_t length, int protection, int flags, int file, off_t offset) {
    static void* (*real)(void*, size_t, int, int, int, off_t);
    if (real == NULL)
        real = (void* (*)(void*, size_t, int, int, int, off_t))dlsym(RTLD_NEXT, "mmap");
    return Placed(address, real(address, length, protection, flags, file, offset), length, flags);
}

void exit(int status) {
    const char* path = getenv("SOLVANE_EXIT_CODE_FILE");
    if (path != NULL && *path != '\0') {
        const int file = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (file >= 0) {
            char text[16];
            const int length = snprintf(text, sizeof text, "%d\n", status & 0xff);
            if (write(file, text, (size_t)length) != length) unlink(path);
            close(file);
        }
    }
    fflush(NULL);
    _exit(status);
}
