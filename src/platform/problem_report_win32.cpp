#include <windows.h>

#include <cstdio>
#include <cstring>

#include "platform/problem_report.h"

void ReportProblem(const char* text) {
    char line[512];
    std::snprintf(line, sizeof line, "Solvane: %s\n", text);
    // Only to a debugger that is there: OutputDebugString raises an exception to find
    // one, which a 32-bit Wine under QEMU's user mode does not survive.
    if (IsDebuggerPresent()) OutputDebugStringA(line);
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (error == nullptr || error == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(error, line, DWORD(std::strlen(line)), &written, nullptr);
}
