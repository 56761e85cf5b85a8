#include <windows.h>

#include "front/win32/saver_settings.h"

namespace {

const char kScreenSaversKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Screen Savers";

std::uint32_t ReadSetting(HKEY key, const char* name, std::uint32_t fallback) {
    unsigned char buffer[4] = {0, 0, 0, 0};
    DWORD size = sizeof buffer;
    const LONG status = RegQueryValueExA(key, name, nullptr, nullptr, buffer, &size);
    return DecodeSettingValue(status == ERROR_SUCCESS, buffer, size, fallback);
}

HWND WindowOf(const SaverSettings& settings) {
    return static_cast<HWND>(settings.window);
}

}  // namespace

void LoadSettings(SaverSettings& settings) {
    settings.passwordDelay = kDefaultPasswordDelay;
    settings.mouseThreshold = kDefaultMouseThreshold;
    settings.checkingPassword = 0;

    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kScreenSaversKey, 0, KEY_ALL_ACCESS, &key) !=
        ERROR_SUCCESS) {
        return;
    }
    settings.passwordDelay = ReadSetting(key, "Password Delay", settings.passwordDelay);
    settings.mouseThreshold =
        std::int32_t(ReadSetting(key, "Mouse Threshold", std::uint32_t(settings.mouseThreshold)));
    RegCloseKey(key);
}

void RequestClose(SaverSettings& settings) {
    settings.closeRequested = 1;
    PostMessageA(WindowOf(settings), WM_CLOSE, 0, 0);
}

void BeginPasswordPrompt(SaverSettings& settings) {
    settings.checkingPassword = 1;
    SendMessageA(WindowOf(settings), WM_SETCURSOR, 0, 0);
}

void EndPasswordPrompt(SaverSettings& settings) {
    settings.checkingPassword = 0;
    SendMessageA(WindowOf(settings), WM_SETCURSOR, 0, 0);
    POINT cursor{};
    if (GetCursorPos(&cursor)) settings.cursorOrigin = {cursor.x, cursor.y};
}
