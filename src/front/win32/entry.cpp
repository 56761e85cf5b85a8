#include "frame/frame_step.h"
#include "front/win32/command_line.h"
#include "front/win32/saver_process.h"
#include "front/win32/saver_settings.h"
#include "front/win32/settings_dialog.h"
#include "platform/system_library.h"

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

// The saver's own file as the system may name it at the start of the command line:
// as it was loaded, in its long form and in its short form. Empty texts where a
// form is not known.
struct OwnPaths {
    char loaded[MAX_PATH] = "";
    char longForm[MAX_PATH] = "";
    char shortForm[MAX_PATH] = "";
};

void ReadOwnPaths(OwnPaths& paths) {
    const DWORD length = GetModuleFileNameA(nullptr, paths.loaded, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        paths.loaded[0] = '\0';
        return;
    }
    const DWORD longLength = GetLongPathNameA(paths.loaded, paths.longForm, MAX_PATH);
    if (longLength == 0 || longLength >= MAX_PATH) paths.longForm[0] = '\0';
    const DWORD shortLength = GetShortPathNameA(paths.loaded, paths.shortForm, MAX_PATH);
    if (shortLength == 0 || shortLength >= MAX_PATH) paths.shortForm[0] = '\0';
}

// The Windows 9x password-change dialog; where the platform has none, nothing happens.
void ChangeSaverPassword() {
    HMODULE library = LoadSystemLibrary("MPR.DLL");
    if (library == nullptr) return;
    using ChangeFunction = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, DWORD);
    const auto change = ProcAs<ChangeFunction>(GetProcAddress(library, "PwdChangePasswordA"));
    if (change != nullptr) change("SCRSAVE", hostWindow, 0, 0);
    FreeLibrary(library);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    // Before anything loads a library: from here on the system's own libraries, the
    // GL's and the shell's among them, find no file planted beside the saver either.
    RestrictLibrarySearch();
    moduleInstance = instance;
    // The whole line, program name included: the argument WinMain gets has lost it.
    OwnPaths own;
    ReadOwnPaths(own);
    const CommandLine parsed =
        ParseCommandLine(GetCommandLineA(), {own.loaded, own.longForm, own.shortForm});
    runMode = parsed.mode;
    hostWindow = HostWindowOf(parsed);

    saverSettings = SaverSettings{};
    LoadSettings(saverSettings);
    displayOptions = LoadDisplayOptions();
    showClock = displayOptions.showClock ? 1 : 0;
    SetLook(displayOptions.look);

    // Non-zero when the saver could not start, as the Linux front ends report it; a
    // caller such as the Screen Saver control panel only sees this.
    int status = 0;
    switch (runMode) {
        case RunMode::ChangePassword:
            ChangeSaverPassword();
            break;
        case RunMode::Configure:
            ShowSettingsDialog(hostWindow);
            break;
        case RunMode::Preview:
        case RunMode::Saver:
            if (!RunSaverWindow(hostWindow, showCommand)) status = 1;
            break;
        case RunMode::None:
            break;
    }

    saverSettings = SaverSettings{};
    return status;
}
