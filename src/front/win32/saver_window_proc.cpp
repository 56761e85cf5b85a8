#include "frame/scene_setup.h"
#include "front/win32/close_policy_logic.h"
#include "front/win32/saver_settings.h"
#include "front/win32/shell.h"
#include "platform/system_library.h"
#include "textures/texture_set.h"

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
    settingUpScene = 0;
    sceneInitialised = 1;
    // Travel counts from where the dialog, if there was one, left the cursor.
    saverSettings.cursorOrigin = CursorPosition();
}

void OnDestroy() {
    PostQuitMessage(0);
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
        case WM_KEYDOWN:
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
