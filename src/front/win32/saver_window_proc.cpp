#include "clouds/cloud_source.h"
#include "frame/scene_setup.h"
#include "front/win32/close_policy.h"
#include "front/win32/saver_clouds.h"
#include "front/win32/saver_process.h"
#include "front/win32/saver_settings.h"
#include "platform/system_library.h"
#include "textures/texture_set.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace {

// The scene is set up by the first creation only; a second window reuses it.
int sceneInitialised = 0;
// Nonzero while that set-up runs. It may show the folder dialog before the saver is on
// screen: focus passing to the dialog, and the mouse used on it, are not the user
// asking to leave, just as during the password prompt.
int settingUpScene = 0;

ScreenPoint CursorPosition() {
    POINT cursor{};
    GetCursorPos(&cursor);
    return {cursor.x, cursor.y};
}

void OnCreate(HWND window) {
    saverSettings.window = window;
    saverSettings.cursorOrigin = CursorPosition();
    saverSettings.startTick = GetTickCount();
    if (sceneInitialised) return;
    settingUpScene = 1;
    SetUpScene();
    StartSaverClouds();
    settingUpScene = 0;
    sceneInitialised = 1;
    // Travel counts from where the dialog, if there was one, left the cursor.
    saverSettings.cursorOrigin = CursorPosition();
}

void OnDestroy() {
    PostQuitMessage(0);
    StopClouds();
    FreeTextureSet();
}

void OnActivation(WPARAM wParam) {
    if (settingUpScene) return;
    if (ActivationRequestsClose(saverSettings, runMode, wParam)) RequestClose(saverSettings);
}

// True when the message is answered here, with 0; false when the default handling runs.
bool OnClose(HWND window) {
    switch (DecideClose(saverSettings, runMode, GetTickCount())) {
        case CloseDecision::Default:
            return false;
        case CloseDecision::Swallow:
            break;
        case CloseDecision::Destroy:
            DestroyWindow(window);
            break;
        case CloseDecision::AskPassword: {
            BeginPasswordPrompt(saverSettings);
            const int allowed = VerifySaverPassword(window);
            EndPasswordPrompt(saverSettings);
            if (allowed) DestroyWindow(window);
            break;
        }
    }
    return true;
}

void OnSetCursor() {
    SetCursor(CursorHidden(saverSettings, runMode) ? nullptr : LoadCursorA(nullptr, IDC_ARROW));
}

void OnKeyOrButton() {
    // The space bar is read for every key and button, whatever the mode.
    const bool spaceDown = GetAsyncKeyState(VK_SPACE) != 0;
    if (settingUpScene) return;
    if (KeyOrButtonRequestsClose(saverSettings, runMode, spaceDown)) RequestClose(saverSettings);
}

// Drawing happens in the frame loop, between messages; here the window only says
// that it needs a frame.
void OnPaint(HWND window) {
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    EndPaint(window, &paint);
    RequestFrame();
}

void OnDisplayChange(HWND window) {
    FollowDisplayChange(window);
    // A monitor switched off takes the cursor onto another: that is not the user's
    // travel, so it counts from where the change left the cursor.
    saverSettings.cursorOrigin = CursorPosition();
}

void OnMouseMove() {
    // The message's own coordinates are client-relative; travel is measured on screen.
    if (settingUpScene || !InputMayClose(saverSettings, runMode)) return;
    if (TravelRequestsClose(saverSettings, runMode, CursorPosition())) RequestClose(saverSettings);
}

}  // namespace

int VerifySaverPassword(HWND window) {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT) return 1;

    HMODULE library = LoadSystemLibrary("PASSWORD.CPL");
    if (library == nullptr) return 1;
    using VerifyFunction = BOOL(WINAPI*)(HWND);
    const auto verify = ProcAs<VerifyFunction>(GetProcAddress(library, "VerifyScreenSavePwd"));
    if (verify == nullptr) {
        FreeLibrary(library);
        return 1;
    }
    const BOOL result = verify(window);
    FreeLibrary(library);
    return result;
}

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            OnCreate(window);
            break;
        case WM_DESTROY:
            OnDestroy();
            break;
        case WM_ACTIVATE:
        case WM_ACTIVATEAPP:
        case WM_NCACTIVATE:
            OnActivation(wParam);
            break;
        case WM_CLOSE:
            if (OnClose(window)) return 0;
            break;
        case WM_SETCURSOR:
            OnSetCursor();
            break;
        case WM_PAINT:
            OnPaint(window);
            return 0;
        case WM_SIZE:
        case WM_DPICHANGED:
            RequestLayout();
            break;
        case WM_DISPLAYCHANGE:
            OnDisplayChange(window);
            break;
        case WM_KEYDOWN:
            // A frame at once, so a steering key's first press shows without waiting
            // for the next second; the frame step keeps frames coming while it is held.
            RequestFrame();
            OnKeyOrButton();
            break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            OnKeyOrButton();
            break;
        case WM_SYSCOMMAND:
            if (SystemCommandSwallowed(runMode, wParam)) return 0;
            break;
        case WM_MOUSEMOVE:
            OnMouseMove();
            break;
        default:
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
