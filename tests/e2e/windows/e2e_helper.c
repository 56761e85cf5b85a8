/* Small jobs the end-to-end tests cannot do from a Unix shell.

   e2e_helper run <program> <command-line-file> <timeout-ms>
       Starts <program> with exactly the command line in the file (its last line
       end dropped; tabs, quotes and the program-name part kept as written), waits,
       prints "exit <code>" or, after killing it, "exit timeout", and returns the
       program's exit code (or 259).
   e2e_helper window <title> <ms>
       Shows a top-level window with that title, asks to bring it to the
       foreground, keeps it for <ms> and ends. Taking the activation from a
       full-screen window is what it is for. */
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

static int RunExact(const char* program, const char* commandLineFile, DWORD timeoutMilliseconds) {
    static char commandLine[4096];
    FILE* file = fopen(commandLineFile, "rb");
    if (file == NULL) {
        fprintf(stderr, "cannot read %s\n", commandLineFile);
        return 2;
    }
    size_t length = fread(commandLine, 1, sizeof commandLine - 1, file);
    fclose(file);
    commandLine[length] = '\0';
    if (length > 0 && commandLine[length - 1] == '\n') commandLine[--length] = '\0';
    if (length > 0 && commandLine[length - 1] == '\r') commandLine[--length] = '\0';

    STARTUPINFOA startup = {0};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {0};
    if (!CreateProcessA(program, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup,
                        &process)) {
        printf("launch-failed %lu\n", GetLastError());
        return 2;
    }
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process.hProcess, timeoutMilliseconds) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &code);
        printf("exit %lu\n", code);
    } else {
        TerminateProcess(process.hProcess, 1);
        printf("exit timeout\n");
    }
    fflush(stdout);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return (int)code;
}

static LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

static int ShowForegroundWindow(const char* title, DWORD milliseconds) {
    WNDCLASSA windowClass = {0};
    windowClass.lpfnWndProc = PlainProc;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    windowClass.lpszClassName = "SolvaneE2eWindow";
    if (!RegisterClassA(&windowClass)) return 2;
    HWND window =
        CreateWindowExA(WS_EX_TOPMOST, "SolvaneE2eWindow", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                        100, 100, 300, 200, NULL, NULL, windowClass.hInstance, NULL);
    if (window == NULL) return 2;
    SetForegroundWindow(window);
    SetActiveWindow(window);
    DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        MsgWaitForMultipleObjects(0, NULL, FALSE, 50, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    DestroyWindow(window);
    return 0;
}

int main(int argc, char** argv) {
    if (argc == 5 && strcmp(argv[1], "run") == 0)
        return RunExact(argv[2], argv[3], (DWORD)strtoul(argv[4], NULL, 10));
    if (argc == 4 && strcmp(argv[1], "window") == 0)
        return ShowForegroundWindow(argv[2], (DWORD)strtoul(argv[3], NULL, 10));
    fprintf(stderr,
            "usage: e2e_helper run <program> <command-line-file> <timeout-ms>\n"
            "       e2e_helper window <title> <ms>\n");
    return 2;
}
