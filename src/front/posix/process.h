// What the Linux front ends need of their own process and of the system around it.
#pragma once

#include <cstdint>
#include <string>

// SIGTERM, SIGINT and SIGHUP end a front end, and stay deliverable all the time: the
// first asks for a clean end at the next chance and wakes the event wait through a
// pipe, so one that comes just before the wait sleeps is not missed; a second ends
// the program at once by the signal's default action, wherever a clean end is stuck
// (reading tiles at start-up, a swap on a server that does not answer). The handler
// restarts whatever call it lands in: the window-system libraries need not expect
// EINTR. False, with a message under `program`'s name, when there is no pipe.
bool CatchEndSignals(const char* program);
// The first end signal caught, or 0.
int EndSignal();

// The event wait of every front end: sleeps until the display connection `fd` is
// ready for `events` (POLLIN, with POLLOUT while a flush is pending), an end signal
// comes, or `microseconds` have passed. Returns the connection's revents, 0 when
// something else woke it, or -1 when the wait failed (errno says why).
int WaitForConnection(int fd, short events, long microseconds);

// Bad Things happen when the display connection lands on fd 0, 1 or 2 and a library
// then writes to "stderr" (XScreenSaver's hacks guard against it the same way).
void KeepStandardFilesOpen();

std::int64_t MonotonicMicroseconds();

// The folder of the running program, or empty when it cannot be told.
std::string ProgramFolder();
