/* A stand-in for the display control panel's preview: a window of a given size
   whose handle goes to the saver on its command line. It reports, one fact a line
   on stdout, what the saver made of it, then destroys its window the way the
   control panel does when the preview closes, and waits for the saver to end.

   preview_host <scr> <switch-format> <width> <height> <hold-ms> [<stop-file>]

   <switch-format> is a printf format with one %llu for the window handle, for
   example "/p %llu" or "/p:%llu". The preview is held for <hold-ms>, or until
   the saver ends or the file <stop-file> exists. The lines written:
     host <width> <height>          the host's whole window rectangle
     child <x> <y> <width> <height> the saver's child window, x and y in the
                                    host's client area ("child none" if none came)
     saver-exit <code>              or "saver-exit timeout" (the saver was killed) */
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

static LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

static void PumpMessages(void) {
    MSG message;
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

/* Pumps messages until the process ends or the time is up; nonzero if it ended. */
static int WaitPumping(HANDLE process, DWORD milliseconds) {
    DWORD start = GetTickCount();
    for (;;) {
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds) return WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
        DWORD woke =
            MsgWaitForMultipleObjects(1, &process, FALSE, milliseconds - elapsed, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0) return 1;
        PumpMessages();
    }
}

/* Holds the preview until the time is up, the saver ends or the stop file exists. */
static void Hold(HANDLE process, DWORD milliseconds, const char* stopFile) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        if (WaitPumping(process, 100)) return;
        if (stopFile != NULL && GetFileAttributesA(stopFile) != INVALID_FILE_ATTRIBUTES) return;
    }
}

int main(int argc, char** argv) {
    if (argc != 6 && argc != 7) {
        fprintf(stderr,
                "usage: preview_host <scr> <switch-format> <width> <height> <hold-ms> "
                "[<stop-file>]\n");
        return 2;
    }
    const char* saverPath = argv[1];
    const char* switchFormat = argv[2];
    int width = atoi(argv[3]);
    int height = atoi(argv[4]);
    DWORD holdMilliseconds = (DWORD)strtoul(argv[5], NULL, 10);
    const char* stopFile = argc == 7 ? argv[6] : NULL;

    WNDCLASSA windowClass = {0};
    windowClass.lpfnWndProc = HostProc;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.hbrBackground = (HBRUSH)GetStockObject(DKGRAY_BRUSH);
    windowClass.lpszClassName = "SolvanePreviewHost";
    if (!RegisterClassA(&windowClass)) return 2;
    HWND host = CreateWindowExA(0, "SolvanePreviewHost", "Solvane preview host",
                                WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, width, height, NULL, NULL,
                                windowClass.hInstance, NULL);
    if (host == NULL) return 2;
    PumpMessages();

    RECT hostRect;
    GetWindowRect(host, &hostRect);
    printf("host %ld %ld\n", hostRect.right - hostRect.left, hostRect.bottom - hostRect.top);
    fflush(stdout);

    char switchText[128];
    snprintf(switchText, sizeof switchText, switchFormat, (unsigned long long)(UINT_PTR)host);
    char commandLine[1024];
    snprintf(commandLine, sizeof commandLine, "\"%s\" %s", saverPath, switchText);
    STARTUPINFOA startup = {0};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {0};
    if (!CreateProcessA(NULL, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
        printf("launch-failed %lu\n", GetLastError());
        return 1;
    }

    /* The child appears once the saver has loaded its textures; give it time, as
       much as a busy machine may need. */
    HWND child = NULL;
    DWORD start = GetTickCount();
    while (child == NULL && GetTickCount() - start < 120000) {
        if (WaitPumping(process.hProcess, 100)) break;
        child = FindWindowExA(host, NULL, NULL, NULL);
    }
    if (child != NULL) {
        RECT childRect;
        GetWindowRect(child, &childRect);
        POINT topLeft = {childRect.left, childRect.top};
        ScreenToClient(host, &topLeft);
        printf("child %ld %ld %ld %ld\n", topLeft.x, topLeft.y, childRect.right - childRect.left,
               childRect.bottom - childRect.top);
    } else {
        printf("child none\n");
    }
    fflush(stdout);

    Hold(process.hProcess, holdMilliseconds, stopFile);
    DestroyWindow(host);
    PumpMessages();
    if (WaitPumping(process.hProcess, 60000)) {
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        printf("saver-exit %lu\n", code);
    } else {
        TerminateProcess(process.hProcess, 1);
        printf("saver-exit timeout\n");
    }
    fflush(stdout);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}
