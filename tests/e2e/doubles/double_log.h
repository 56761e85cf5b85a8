/* Shared by the test doubles: appends one line per call to the file named by
   SOLVANE_DOUBLE_LOG, so a test can count the calls and read their arguments. */
#ifndef SOLVANE_E2E_DOUBLE_LOG_H
#define SOLVANE_E2E_DOUBLE_LOG_H

#include <stdio.h>
#include <windows.h>

static void AppendDoubleLog(const char* line) {
    char path[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("SOLVANE_DOUBLE_LOG", path, sizeof path);
    if (length == 0 || length >= sizeof path) return;
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line, (DWORD)lstrlenA(line), &written, NULL);
    WriteFile(file, "\n", 1, &written, NULL);
    CloseHandle(file);
}

#endif
