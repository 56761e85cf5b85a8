#include "frame/frame_step.h"
#include "front/win32/command_line_logic.h"
#include "front/win32/saver_settings.h"
#include "front/win32/settings_dialog.h"
#include "front/win32/shell.h"

RunMode runMode = RunMode::None;
HWND hostWindow = nullptr;
HINSTANCE moduleInstance = nullptr;
DisplayOptions displayOptions;

namespace {

HWND HostWindowOf(const CommandLine& parsed) {
    switch (parsed.host) {
        case HostSource::Number:
            return reinterpret_cast<HWND>(parsed.hostNumber);
        case HostSource::Foreground:
            return GetForegroundWindow();
        case HostSource::Null:
            break;
    }
    return nullptr;
}

// The Windows 9x password-change dialog; where the platform has none, nothing happens.
void ChangeSaverPassword() {
    HMODULE library = LoadLibraryA("MPR.DLL");
    if (library == nullptr) return;
    using ChangeFunction = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, DWORD);
    const auto change = ProcAs<ChangeFunction>(GetProcAddress(library, "PwdChangePasswordA"));
    if (change != nullptr) change("SCRSAVE", hostWindow, 0, 0);
    FreeLibrary(library);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    moduleInstance = instance;
    // The whole line, program name included: the argument WinMain gets has lost it.
    const CommandLine parsed = ParseCommandLine(GetCommandLineA());
    runMode = parsed.mode;
    hostWindow = HostWindowOf(parsed);

    saverSettings = SaverSettings{};
    LoadSettings(saverSettings);
    displayOptions = LoadDisplayOptions();
    showClock = displayOptions.showClock ? 1 : 0;

    switch (runMode) {
        case RunMode::ChangePassword:
            ChangeSaverPassword();
            break;
        case RunMode::Configure:
            ShowSettingsDialog(hostWindow);
            break;
        case RunMode::Preview:
        case RunMode::Saver:
            RunSaverWindow(hostWindow, showCommand);
            break;
        case RunMode::None:
            break;
    }

    saverSettings = SaverSettings{};
    return 0;
}
