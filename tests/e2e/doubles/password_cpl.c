/* Stands in for the Windows 9x password control panel, PASSWORD.CPL, which only
   exists on those systems. The answer comes from the first character of the file
   named by SOLVANE_PASSWORD_ANSWER_FILE, read at every call so that a test can
   change its mind between prompts, or else from SOLVANE_PASSWORD_ANSWER; "1"
   accepts, anything else (or nothing) refuses. Like a user who moves the mouse
   while the real prompt is up, it moves the cursor by SOLVANE_PASSWORD_CURSOR_SHIFT
   pixels to the right when that is set. */
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

#include "double_log.h"

static BOOL ReadAnswer(void) {
    char value[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("SOLVANE_PASSWORD_ANSWER_FILE", value, sizeof value);
    if (length > 0 && length < sizeof value) {
        char first = '0';
        HANDLE file = CreateFileA(value, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD got = 0;
            ReadFile(file, &first, 1, &got, NULL);
            CloseHandle(file);
        }
        return first == '1';
    }
    length = GetEnvironmentVariableA("SOLVANE_PASSWORD_ANSWER", value, sizeof value);
    return length > 0 && length < sizeof value && value[0] == '1';
}

/* The cursor the saver shows while it waits for us: it promises the arrow. */
static const char* CursorName(void) {
    HCURSOR cursor = GetCursor();
    if (cursor == NULL) return "none";
    if (cursor == LoadCursorA(NULL, (LPCSTR)IDC_ARROW)) return "arrow";
    return "other";
}

__declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND window) {
    char title[64] = "";
    if (IsWindow(window)) GetWindowTextA(window, title, sizeof title);
    char shift[16];
    DWORD shiftLength =
        GetEnvironmentVariableA("SOLVANE_PASSWORD_CURSOR_SHIFT", shift, sizeof shift);
    if (shiftLength > 0 && shiftLength < sizeof shift) {
        POINT cursor;
        if (GetCursorPos(&cursor)) SetCursorPos(cursor.x + atoi(shift), cursor.y);
    }
    BOOL answer = ReadAnswer();
    char line[256];
    snprintf(line, sizeof line, "VerifyScreenSavePwd window=%llu title=%s cursor=%s answer=%d",
             (unsigned long long)(UINT_PTR)window, title, CursorName(), answer ? 1 : 0);
    AppendDoubleLog(line);
    return answer;
}
