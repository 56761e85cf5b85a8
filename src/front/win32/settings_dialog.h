// The configuration mode of the saver.
#pragma once

#include <windows.h>

// The Settings dialog, modal to `owner` where that is a window: the texture folder,
// the clock and the monitors, and the About box. OK stores the choices for the
// current user; Cancel and Esc store nothing.
void ShowSettingsDialog(HWND owner);
