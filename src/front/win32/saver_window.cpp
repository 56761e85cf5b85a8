#include <GL/gl.h>

#include <cstdint>
#include <vector>

#include "frame/frame_pacing.h"
#include "frame/frame_step.h"
#include "front/win32/gl_imports.h"
#include "front/win32/monitor_layout.h"
#include "front/win32/saver_process.h"
#include "front/win32/swap_control.h"
#include "platform/clock.h"
#include "platform/system_library.h"
#include "text/extension_list.h"
#include "view/projection.h"

HWND saverWindow = nullptr;

namespace {

const char kClassName[] = "OpenGL";
const char kWindowTitle[] = "SaverWindow";

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

// What the frame loop draws and when. The window procedure only records here what
// changed; the loop, which owns the GL context, lays out and draws.
struct Surface {
    FramePacing pacing;
    bool layoutStale = true;  // the window's size, the monitors or their DPI changed
    ViewPlan plan;
    std::vector<MonitorArea> monitors;  // as they were laid out for (the saver only)
    DWORD checkedTick = 0;              // when the monitors were last compared with them
};
Surface surface;

void ReportError(const char* text) {
    // The full-screen saver is topmost; a box that is not would open behind it.
    const UINT topmost = runMode == RunMode::Saver ? MB_TOPMOST : 0;
    MessageBoxA(nullptr, text, "Error", MB_OK | topmost);
}

// Tells the system whether a screen saver is running; the previous state is not wanted.
void SetScreenSaverRunning(BOOL running) {
    if (runMode != RunMode::Saver) return;
    UINT previous = 0;
    SystemParametersInfoA(SPI_SCREENSAVERRUNNING, running, &previous, 0);
}

bool RegisterSaverClass() {
    WNDCLASSA windowClass{};
    windowClass.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = SaverWindowProc;
    windowClass.hInstance = moduleInstance;
    windowClass.lpszClassName = kClassName;
    return RegisterClassA(&windowClass) != 0;
}

struct WindowPlacement {
    DWORD exStyle;
    DWORD style;
    HWND parent;
    int x;  // screen coordinates for the saver, the host's client area for the preview
    int y;
    int width;
    int height;
};

// The saver covers the virtual screen, every monitor, whose top left may lie at
// negative coordinates, and stays above windows that are always on top, as a screen
// saver must; the preview, the host's whole window rectangle. A host that is not a
// window leaves the size at zero, and creation fails on the parent anyway.
WindowPlacement PlacementFor(RunMode mode, HWND host) {
    if (mode == RunMode::Saver) {
        return {WS_EX_TOPMOST,
                WS_POPUP | WS_VISIBLE,
                nullptr,
                GetSystemMetrics(SM_XVIRTUALSCREEN),
                GetSystemMetrics(SM_YVIRTUALSCREEN),
                GetSystemMetrics(SM_CXVIRTUALSCREEN),
                GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    }
    RECT rect{};
    GetWindowRect(host, &rect);
    return {0, WS_CHILD | WS_VISIBLE, host, 0, 0, rect.right - rect.left, rect.bottom - rect.top};
}

// GetDpiForMonitor of shcore.dll (Windows 8.1 on), loaded once from the system
// folder; null where there is none.
using MonitorDpiFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
MonitorDpiFunction FindMonitorDpiFunction() {
    static bool looked = false;
    static MonitorDpiFunction function = nullptr;
    if (looked) return function;
    looked = true;
    // Stays loaded for the process: the function is asked again at every layout.
    if (HMODULE library = LoadSystemLibrary("shcore.dll"))
        function = ProcAs<MonitorDpiFunction>(GetProcAddress(library, "GetDpiForMonitor"));
    return function;
}

// The monitor's effective DPI, the user's scale for it; where the system cannot say
// per monitor, the one DPI of the screen.
std::uint32_t MonitorDpi(HMONITOR monitor) {
    constexpr int effectiveDpi = 0;  // MDT_EFFECTIVE_DPI
    UINT x = 0, y = 0;
    const MonitorDpiFunction monitorDpi = FindMonitorDpiFunction();
    if (monitorDpi != nullptr && monitor != nullptr &&
        monitorDpi(monitor, effectiveDpi, &x, &y) == S_OK && x != 0)
        return x;
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    return dpi > 0 ? std::uint32_t(dpi) : 0;
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT rect, LPARAM list) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    const bool primary = GetMonitorInfoA(monitor, &info) && (info.dwFlags & MONITORINFOF_PRIMARY);
    reinterpret_cast<std::vector<MonitorArea>*>(list)->push_back(
        MonitorArea{ScreenRect{rect->left, rect->top, rect->right, rect->bottom}, primary,
                    MonitorDpi(monitor)});
    return TRUE;
}

std::vector<MonitorArea> ReadMonitors() {
    std::vector<MonitorArea> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

// The saver's views, by the user's choice of layout, over `monitors`; the preview is
// one view, with the weight of the monitor it stands on.
ViewPlan PlanWindowViews(HWND window, const std::vector<MonitorArea>& monitors) {
    if (runMode != RunMode::Saver) {
        ViewPlan plan;
        plan.strokeWidths.push_back(
            StrokeWidthForDpi(MonitorDpi(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY))));
        return plan;
    }
    RECT client{};
    GetClientRect(window, &client);
    POINT topLeft{client.left, client.top};
    ClientToScreen(window, &topLeft);
    const ScreenRect area{topLeft.x, topLeft.y, topLeft.x + (client.right - client.left),
                          topLeft.y + (client.bottom - client.top)};
    return PlanViews(displayOptions.monitors, area, monitors);
}

// Fits the projection and the views to the window as it is now. Needs the context
// current; keeps the context and its textures.
void LayOutSurface(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    ResizeView(client.right - client.left, client.bottom - client.top);
    if (runMode == RunMode::Saver) surface.monitors = ReadMonitors();
    surface.plan = PlanWindowViews(window, surface.monitors);
    surface.layoutStale = false;
}

// Whether this is Wine, whose ntdll says its version; Windows' has no such export.
bool RunsOnWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// Wine (8 at least) announces no change of the displays made outside it, such as a
// monitor switched off through RandR; Windows does, with WM_DISPLAYCHANGE. So under
// Wine only, at most twice a second (not at every frame of a held steering key), the
// saver compares the monitors with those it laid out for, and handles a difference
// as the announced change.
void NoticeDisplayChange(HWND window) {
    static const bool unannounced = RunsOnWine();
    const DWORD now = GetTickCount();
    if (!unannounced || runMode != RunMode::Saver || now - surface.checkedTick < 500) return;
    surface.checkedTick = now;
    if (!SameMonitors(ReadMonitors(), surface.monitors))
        SendMessageA(window, WM_DISPLAYCHANGE, 0, 0);
}

// Double-buffered RGBA, 32 colour bits; no depth bits are asked for.
PIXELFORMATDESCRIPTOR PixelFormatRequest() {
    PIXELFORMATDESCRIPTOR request{};
    request.nSize = sizeof request;
    request.nVersion = 1;
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    request.iPixelType = PFD_TYPE_RGBA;
    request.cColorBits = 32;
    request.iLayerType = PFD_MAIN_PLANE;
    return request;
}

// Gives the window's device context a pixel format and a current rendering context.
// On failure the reason has been shown and nothing of the context is left over.
HGLRC CreateCurrentContext(HDC deviceContext) {
    // Before the pixel format, which makes gdi32 load opengl32 by name.
    if (!LoadGlImports()) {
        ReportError("Cannot load OpenGL (opengl32.dll and glu32.dll) from the system folder.");
        return nullptr;
    }
    const PIXELFORMATDESCRIPTOR request = PixelFormatRequest();
    const int format = ChoosePixelFormat(deviceContext, &request);
    if (format == 0) {
        ReportError("ChoosePixelFormat() failed:  Cannot find a suitable pixel format.");
        return nullptr;
    }
    if (!SetPixelFormat(deviceContext, format, &request)) {
        ReportError("SetPixelFormat() failed:  Cannot set format specified.");
        return nullptr;
    }
    HGLRC renderingContext = wglCreateContext(deviceContext);
    if (renderingContext == nullptr) {
        ReportError("wglCreateContext() failed:  Cannot create an OpenGL rendering context.");
        return nullptr;
    }
    if (!wglMakeCurrent(deviceContext, renderingContext)) {
        ReportError("wglMakeCurrent() failed:  Cannot make the OpenGL rendering context current.");
        wglDeleteContext(renderingContext);
        return nullptr;
    }
    return renderingContext;
}

// A WGL function of the current context, or null where the driver has none, whatever
// stand-in value it answers with.
template <typename Function>
Function FindWglFunction(const char* name) {
    const PROC proc = wglGetProcAddress(name);
    if (!UsableProcAddress(reinterpret_cast<const void*>(proc))) return nullptr;
    return ProcAs<Function>(proc);
}

// Asks the driver, where it offers WGL_EXT_swap_control, to let each SwapBuffers wait
// for the display's next refresh: while a steering key is held, frames then follow
// at the display's pace instead of spinning a core on frames nobody sees. Without
// the extension nothing changes. Needs the current context.
void RequestDisplayPacedSwaps(HDC deviceContext) {
    using ExtensionsArb = const char*(WINAPI*)(HDC);
    using ExtensionsExt = const char*(WINAPI*)();
    using SwapInterval = BOOL(WINAPI*)(int);
    const char* extensions = nullptr;
    if (const auto arb = FindWglFunction<ExtensionsArb>("wglGetExtensionsStringARB"))
        extensions = arb(deviceContext);
    if (extensions == nullptr) {
        if (const auto ext = FindWglFunction<ExtensionsExt>("wglGetExtensionsStringEXT"))
            extensions = ext();
    }
    // Older drivers list their WGL extensions with the GL's own.
    const char* glExtensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (!ExtensionListed(extensions, "WGL_EXT_swap_control") &&
        !ExtensionListed(glExtensions, "WGL_EXT_swap_control"))
        return;
    if (const auto swapInterval = FindWglFunction<SwapInterval>("wglSwapIntervalEXT"))
        swapInterval(1);
}

// A timer that ends a wait to the millisecond (Windows 10 from 1803 on), so the new
// second is drawn within a display frame of its start; elsewhere null, and the wait's
// own timeout, as coarse as the system's tick, ends it.
HANDLE CreatePreciseTimer() {
    using CreateTimerFunction = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, LPCWSTR, DWORD, DWORD);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    const auto create =
        kernel != nullptr
            ? ProcAs<CreateTimerFunction>(GetProcAddress(kernel, "CreateWaitableTimerExW"))
            : nullptr;
    if (create == nullptr) return nullptr;
    return create(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS);
}

// Sleeps until a message comes or `milliseconds` (1 to 1000) have passed.
void WaitForMessageOrTime(HANDLE timer, int milliseconds) {
    DWORD count = 0;
    if (timer != nullptr) {
        LARGE_INTEGER due{};
        due.QuadPart = -std::int64_t(milliseconds) * 10000;  // relative, in 100 ns
        if (SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE)) count = 1;
    }
    // Only messages that came after the queue was last emptied wake the wait; input
    // that came before it has been handled by then.
    MsgWaitForMultipleObjectsEx(count, count != 0 ? &timer : nullptr, DWORD(milliseconds),
                                QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

void DrawFrame(HDC deviceContext) {
    const ViewPlan& plan = surface.plan;
    const float wholeWidth = plan.strokeWidths.empty() ? 1.0f : plan.strokeWidths[0];
    if (plan.views.empty())
        FrameStep(wholeWidth);
    else
        FrameStepViews(plan.views.data(), plan.views.size(), plan.strokeWidths.data(),
                       plan.clockApart ? &plan.clockView : nullptr);
    SwapBuffers(deviceContext);
    NoteFrameDrawn(surface.pacing, lastFrameTime, PictureMoving(), -1);
}

// Messages first; a frame only when none is waiting and the picture would change
// (frame/frame_pacing.h); otherwise asleep until a message or the next second.
// Returns when WM_QUIT is taken.
void RunFrameLoop(HWND window, HDC deviceContext) {
    HANDLE timer = CreatePreciseTimer();
    MSG message{};
    for (;;) {
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) break;
            TranslateMessage(&message);
            DispatchMessageA(&message);
            continue;
        }
        // The wait below is never longer than a second, so this comes at least as often.
        NoticeDisplayChange(window);
        if (surface.layoutStale) LayOutSurface(window);
        const FrameDecision decision =
            DecideFrame(surface.pacing, ReadCalendarMilliseconds(), -1, NoDelayOption);
        if (decision.draw)
            DrawFrame(deviceContext);
        else
            WaitForMessageOrTime(timer, int((decision.waitMicroseconds + 999) / 1000));
    }
    if (timer != nullptr) CloseHandle(timer);
}

}  // namespace

void RequestFrame() {
    surface.pacing.invalidated = true;
}

void RequestLayout() {
    surface.layoutStale = true;
    surface.pacing.invalidated = true;
}

void FollowDisplayChange(HWND window) {
    if (runMode == RunMode::Saver) {
        const WindowPlacement placement = PlacementFor(RunMode::Saver, nullptr);
        SetWindowPos(window, HWND_TOPMOST, placement.x, placement.y, placement.width,
                     placement.height, SWP_NOACTIVATE);
    }
    RequestLayout();
}

bool RunSaverWindow(HWND host, int showCommand) {
    if (!RegisterSaverClass()) {
        ReportError("RegisterClass() failed:  Cannot register window class.");
        return false;
    }
    const WindowPlacement placement = PlacementFor(runMode, host);
    // WM_CREATE, and with it the scene and texture set-up, runs inside this call.
    saverWindow = CreateWindowExA(placement.exStyle, kClassName, kWindowTitle, placement.style,
                                  placement.x, placement.y, placement.width, placement.height,
                                  placement.parent, nullptr, moduleInstance, nullptr);
    // A preview with no window to show in has nothing to draw: no failure.
    if (saverWindow == nullptr) return runMode == RunMode::Preview && host == nullptr;

    SetScreenSaverRunning(TRUE);
    HDC deviceContext = GetDC(saverWindow);
    HGLRC renderingContext = CreateCurrentContext(deviceContext);
    if (renderingContext == nullptr) {
        // The window stays until the process ends, as after a pixel-format failure;
        // only the system's screen-saver state must not outlive us.
        SetScreenSaverRunning(FALSE);
        return false;
    }

    RequestDisplayPacedSwaps(deviceContext);
    LayOutSurface(saverWindow);
    ShowWindow(saverWindow, showCommand);
    RunFrameLoop(saverWindow, deviceContext);

    ReleaseGlObjects();
    wglMakeCurrent(nullptr, nullptr);
    ReleaseDC(saverWindow, deviceContext);
    wglDeleteContext(renderingContext);
    SetScreenSaverRunning(FALSE);
    return true;
}
