/* Reports, one fact a line, what Windows tells another process about a top-level
   window and the screen: where the window stands, the monitors, and the DPI
   awareness of the window and of the process that owns it. The end-to-end tests
   read it to see the saver as Windows sees it.

   dpi_probe <window-title> [<x> <y>]
       window <left> <top> <right> <bottom>
       topmost <1 if always on top, else 0>
       window-at <x> <y> <title>   (with a point: the top-level window Windows finds there)
       virtual-screen <left> <top> <right> <bottom>
       monitor <left> <top> <right> <bottom>          (one line per monitor)
       process-awareness <0 unaware | 1 system | 2 per monitor | unavailable>
       window-awareness <same values | unavailable>
       window-dpi <dots per inch | unavailable>
       system-dpi <dots per inch of the screen's device context>
   Exits 1 when no window has that title.

   The probe makes itself per-monitor aware first, so that the rectangles are in
   physical pixels whatever the saver declares. The newer functions are looked up
   at run time: they are missing before Windows 8.1 and 10. */
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

typedef BOOL(WINAPI* SetContextFunction)(HANDLE);
typedef HRESULT(WINAPI* ProcessAwarenessFunction)(HANDLE, int*);
typedef HANDLE(WINAPI* WindowContextFunction)(HWND);
typedef int(WINAPI* AwarenessFunction)(HANDLE);
typedef UINT(WINAPI* WindowDpiFunction)(HWND);

/* DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2 */
#define PER_MONITOR_AWARE_V2 ((HANDLE)(INT_PTR)-4)

static FARPROC Find(const char* library, const char* name) {
    HMODULE module = LoadLibraryA(library);
    return module != NULL ? GetProcAddress(module, name) : NULL;
}

static BOOL CALLBACK PrintMonitor(HMONITOR monitor, HDC dc, LPRECT r, LPARAM unused) {
    (void)monitor, (void)dc, (void)unused;
    printf("monitor %ld %ld %ld %ld\n", r->left, r->top, r->right, r->bottom);
    return TRUE;
}

int main(int argc, char** argv) {
    if (argc != 2 && argc != 4) {
        fprintf(stderr, "usage: dpi_probe <window-title> [<x> <y>]\n");
        return 2;
    }
    SetContextFunction setContext =
        (SetContextFunction)(void*)Find("user32.dll", "SetProcessDpiAwarenessContext");
    if (setContext != NULL) setContext(PER_MONITOR_AWARE_V2);

    HWND window = FindWindowA(NULL, argv[1]);
    if (window == NULL) {
        printf("no-window\n");
        return 1;
    }
    RECT r;
    GetWindowRect(window, &r);
    printf("window %ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    printf("topmost %d\n", (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0);
    if (argc == 4) {
        POINT point = {atol(argv[2]), atol(argv[3])};
        char title[256] = "";
        HWND found = WindowFromPoint(point);
        if (found != NULL) GetWindowTextA(GetAncestor(found, GA_ROOT), title, sizeof title);
        printf("window-at %ld %ld %s\n", point.x, point.y, title);
    }
    const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    printf("virtual-screen %d %d %d %d\n", x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN),
           y + GetSystemMetrics(SM_CYVIRTUALSCREEN));
    EnumDisplayMonitors(NULL, NULL, PrintMonitor, 0);

    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    ProcessAwarenessFunction processAwareness =
        (ProcessAwarenessFunction)(void*)Find("shcore.dll", "GetProcessDpiAwareness");
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId);
    int awareness = -1;
    if (processAwareness != NULL && process != NULL &&
        processAwareness(process, &awareness) == S_OK)
        printf("process-awareness %d\n", awareness);
    else
        printf("process-awareness unavailable\n");
    if (process != NULL) CloseHandle(process);

    WindowContextFunction windowContext =
        (WindowContextFunction)(void*)Find("user32.dll", "GetWindowDpiAwarenessContext");
    AwarenessFunction fromContext =
        (AwarenessFunction)(void*)Find("user32.dll", "GetAwarenessFromDpiAwarenessContext");
    if (windowContext != NULL && fromContext != NULL)
        printf("window-awareness %d\n", fromContext(windowContext(window)));
    else
        printf("window-awareness unavailable\n");

    WindowDpiFunction windowDpi = (WindowDpiFunction)(void*)Find("user32.dll", "GetDpiForWindow");
    if (windowDpi != NULL)
        printf("window-dpi %u\n", windowDpi(window));
    else
        printf("window-dpi unavailable\n");

    HDC screen = GetDC(NULL);
    printf("system-dpi %d\n", GetDeviceCaps(screen, LOGPIXELSX));
    ReleaseDC(NULL, screen);
    return 0;
}
