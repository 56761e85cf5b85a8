#include <GL/gl.h>

#include <vector>

#include "frame/frame_step.h"
#include "front/win32/monitor_layout_logic.h"
#include "front/win32/shell.h"
#include "front/win32/swap_control_logic.h"
#include "view/projection.h"

HWND saverWindow = nullptr;

namespace {

const char kClassName[] = "OpenGL";
const char kWindowTitle[] = "SaverWindow";

void ReportError(const char* text) {
    MessageBoxA(nullptr, text, "Error", MB_OK);
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
    DWORD style;
    HWND parent;
    int x;  // screen coordinates for the saver, the host's client area for the preview
    int y;
    int width;
    int height;
};

// The saver covers the virtual screen, every monitor, whose top left may lie at
// negative coordinates; the preview, the host's whole window rectangle. A host that
// is not a window leaves the size at zero, and creation fails on the parent anyway.
WindowPlacement PlacementFor(RunMode mode, HWND host) {
    if (mode == RunMode::Saver) {
        return {WS_POPUP | WS_VISIBLE,
                nullptr,
                GetSystemMetrics(SM_XVIRTUALSCREEN),
                GetSystemMetrics(SM_YVIRTUALSCREEN),
                GetSystemMetrics(SM_CXVIRTUALSCREEN),
                GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    }
    RECT rect{};
    GetWindowRect(host, &rect);
    return {WS_CHILD | WS_VISIBLE, host, 0, 0, rect.right - rect.left, rect.bottom - rect.top};
}

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT rect, LPARAM list) {
    reinterpret_cast<std::vector<ScreenRect>*>(list)->push_back(
        ScreenRect{rect->left, rect->top, rect->right, rect->bottom});
    return TRUE;
}

// One view per monitor when the saver spans several; none when one view, the whole
// window, is all there is (one monitor, or the preview), so that such a window draws
// exactly as a single-screen window does.
std::vector<ViewRect> MonitorViews(const WindowPlacement& placement) {
    if (runMode != RunMode::Saver) return {};
    std::vector<ScreenRect> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    const ScreenRect window{placement.x, placement.y, placement.x + placement.width,
                            placement.y + placement.height};
    std::vector<ViewRect> views = LayOutMonitorViews(window, monitors);
    if (views.size() == 1 && views[0].x == 0 && views[0].y == 0 &&
        views[0].width == placement.width && views[0].height == placement.height)
        views.clear();
    return views;
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

// Asks the driver, where it offers WGL_EXT_swap_control, to let each SwapBuffers wait
// for the display's next refresh: on real hardware the loop then draws at the
// display's pace instead of spinning a core on frames nobody sees. The loop itself
// keeps no timer. Without the extension nothing changes. Needs the current context.
void RequestDisplayPacedSwaps(HDC deviceContext) {
    using ExtensionsArb = const char*(WINAPI*)(HDC);
    using ExtensionsExt = const char*(WINAPI*)();
    using SwapInterval = BOOL(WINAPI*)(int);
    const char* extensions = nullptr;
    if (const auto arb = ProcAs<ExtensionsArb>(wglGetProcAddress("wglGetExtensionsStringARB")))
        extensions = arb(deviceContext);
    if (extensions == nullptr) {
        if (const auto ext = ProcAs<ExtensionsExt>(wglGetProcAddress("wglGetExtensionsStringEXT")))
            extensions = ext();
    }
    // Older drivers list their WGL extensions with the GL's own.
    const char* glExtensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (!ExtensionListed(extensions, "WGL_EXT_swap_control") &&
        !ExtensionListed(glExtensions, "WGL_EXT_swap_control"))
        return;
    const auto swapInterval = ProcAs<SwapInterval>(wglGetProcAddress("wglSwapIntervalEXT"));
    if (swapInterval != nullptr) swapInterval(1);
}

// Messages first; a frame only when none is waiting. Returns when WM_QUIT is taken.
// Without views the frame fills the window; with them, each view gets the frame.
void RunFrameLoop(HDC deviceContext, const std::vector<ViewRect>& views) {
    MSG message{};
    for (;;) {
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        } else {
            if (views.empty())
                FrameStep();
            else
                FrameStepViews(views.data(), views.size());
            SwapBuffers(deviceContext);
        }
    }
}

}  // namespace

void RunSaverWindow(HWND host, int showCommand) {
    if (!RegisterSaverClass()) {
        ReportError("RegisterClass() failed:  Cannot register window class.");
        return;
    }
    const WindowPlacement placement = PlacementFor(runMode, host);
    // WM_CREATE, and with it the scene and texture set-up, runs inside this call.
    saverWindow = CreateWindowExA(0, kClassName, kWindowTitle, placement.style, placement.x,
                                  placement.y, placement.width, placement.height, placement.parent,
                                  nullptr, moduleInstance, nullptr);
    if (saverWindow == nullptr) return;

    SetScreenSaverRunning(TRUE);
    HDC deviceContext = GetDC(saverWindow);
    HGLRC renderingContext = CreateCurrentContext(deviceContext);
    if (renderingContext == nullptr) {
        // The window stays until the process ends, as after a pixel-format failure;
        // only the system's screen-saver state must not outlive us.
        SetScreenSaverRunning(FALSE);
        return;
    }

    RequestDisplayPacedSwaps(deviceContext);
    ResizeView(placement.width, placement.height);
    ShowWindow(saverWindow, showCommand);
    RunFrameLoop(deviceContext, MonitorViews(placement));

    ReleaseGlObjects();
    wglMakeCurrent(nullptr, nullptr);
    ReleaseDC(saverWindow, deviceContext);
    wglDeleteContext(renderingContext);
    SetScreenSaverRunning(FALSE);
}
