/* Shared by the test doubles: appends one line per call to the file named by
   SOLVANE_DOUBLE_LOG, so a test can count the calls and read their arguments; and,
   when they are loaded, the file they were loaded from to the one named by
   SOLVANE_DOUBLE_LOAD_LOG, so a test can tell the copy in the system folder from one
   planted beside the saver. */
#ifndef SOLVANE_E2E_DOUBLE_LOG_H
#define SOLVANE_E2E_DOUBLE_LOG_H

#include <stdio.h>
#include <windows.h>

static void AppendLine(const char* variable, const char* line) {
    char path[MAX_PATH];
    DWORD length = GetEnvironmentVariableA(variable, path, sizeof path);
    if (length == 0 || length >= sizeof path) return;
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line, (DWORD)lstrlenA(line), &written, NULL);
    WriteFile(file, "\n", 1, &written, NULL);
    CloseHandle(file);
}

static void AppendDoubleLog(const char* line) {
    AppendLine("SOLVANE_DOUBLE_LOG", line);
}

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        char line[MAX_PATH + 8] = "loaded ";
        GetModuleFileNameA(module, line + 7, MAX_PATH);
        AppendLine("SOLVANE_DOUBLE_LOAD_LOG", line);
    }
    return TRUE;
}

#endif
