#include <windows.h>

#include <cstdio>
#include <cstring>

#include "platform/problem_report.h"

void ReportProblem(const char* text) {
    char line[512];
    std::snprintf(line, sizeof line, "Solvane: %s\n", text);
    OutputDebugStringA(line);
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (error == nullptr || error == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(error, line, DWORD(std::strlen(line)), &written, nullptr);
}
