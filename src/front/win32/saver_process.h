// Process-wide state and entry points of the Windows saver, shared by its files.
#pragma once

#include <windows.h>

#include "front/win32/display_options.h"
#include "front/win32/run_mode.h"

extern RunMode runMode;           // set once by the command-line parse
extern HWND hostWindow;           // preview parent, or owner of the About box / password dialog
extern HINSTANCE moduleInstance;  // for the window class and the About box
extern HWND saverWindow;          // as creation returned it; null before
extern DisplayOptions displayOptions;  // the saver's own settings, read at the start

// Creates the saver window for `runMode`, gives it a GL context and runs the frame
// loop until the window is destroyed. Set-up failures are reported in a message box
// and return false, so that the process can end with a status that says so.
bool RunSaverWindow(HWND host, int showCommand);

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// What the window procedure tells the frame loop, which draws only when the picture
// would change. The window needs a frame (it was painted over, or a key came that may
// steer the camera):
void RequestFrame();
// The window's size or a monitor's scale changed: views and text weight are laid out
// anew before the next frame, in the same GL context.
void RequestLayout();
// The displays changed: the full-screen saver covers the new virtual screen, then
// lays out as RequestLayout.
void FollowDisplayChange(HWND window);

// Nonzero when the saver may close: no password service, or the user gave the password.
int VerifySaverPassword(HWND window);

// Converts a function found with GetProcAddress to its real type. Going through a
// data pointer keeps GCC's function-cast warning quiet; Windows guarantees the
// round trip.
template <typename Function>
Function ProcAs(FARPROC proc) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(proc));
}
