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
       handles <count>       the owner's kernel handles, from the system's handle list
       windows <count>       the owner's windows, top-level and child
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

/* The system's handle list (SystemHandleInformation, 16), which Wine's server
   answers where GetProcessHandleCount is a stub. */
typedef struct {
    ULONG ownerPid;
    BYTE objectType, flags;
    USHORT value;
    PVOID object;
    ULONG access;
} HandleEntry;
typedef LONG(WINAPI* QuerySystemFunction)(ULONG, PVOID, ULONG, PULONG);

static long HandlesOf(DWORD processId) {
    QuerySystemFunction query = (QuerySystemFunction)(void*)GetProcAddress(
        GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation");
    if (query == NULL) return -1;
    for (ULONG size = 1 << 16; size <= (1u << 26); size *= 2) {
        ULONG* list = malloc(size);
        if (list == NULL) return -1;
        ULONG needed = 0;
        if (query(16, list, size, &needed) >= 0) {
            const HandleEntry* entry = (const HandleEntry*)(list + (sizeof(void*) / sizeof(ULONG)));
            long count = 0;
            for (ULONG i = 0; i < list[0]; ++i) count += entry[i].ownerPid == processId;
            free(list);
            return count;
        }
        free(list);
    }
    return -1;
}

typedef struct {
    DWORD processId;
    long windows;
} WindowCount;

static BOOL CALLBACK CountChildWindow(HWND window, LPARAM param) {
    WindowCount* count = (WindowCount*)param;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == count->processId) ++count->windows;
    return TRUE;
}

/* EnumChildWindows goes through every descendant. */
static BOOL CALLBACK CountWindow(HWND window, LPARAM param) {
    CountChildWindow(window, param);
    EnumChildWindows(window, CountChildWindow, param);
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
    printf("handles %ld\n", HandlesOf(processId));
    WindowCount count = {processId, 0};
    EnumWindows(CountWindow, (LPARAM)&count);
    printf("windows %ld\n", count.windows);
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
