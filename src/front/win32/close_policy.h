// The saver's close policy as plain decisions; the window procedure asks these and
// carries out the answer.
#pragma once

#include <cstdint>

#include "front/win32/run_mode.h"
#include "front/win32/saver_settings.h"

enum class CloseDecision {
    Default,      // not the saver's business: the default handling destroys the window
    Swallow,      // nothing happens, the message is answered 0
    Destroy,      // within the grace period: close without a password
    AskPassword,  // after the grace period: the password check decides
};

// WM_CLOSE at tick `nowTick` (GetTickCount, milliseconds).
CloseDecision DecideClose(const SaverSettings& settings, RunMode mode, std::uint32_t nowTick);

// Input counts toward closing only in the full-screen saver and not while the password
// prompt is up.
bool InputMayClose(const SaverSettings& settings, RunMode mode);

// WM_ACTIVATE, WM_ACTIVATEAPP and WM_NCACTIVATE report a loss of activation with zero
// in the low 16 bits of wParam.
bool ActivationRequestsClose(const SaverSettings& settings, RunMode mode, std::uintptr_t wParam);

// A key or mouse button closes the saver only while the space bar is down.
bool KeyOrButtonRequestsClose(const SaverSettings& settings, RunMode mode, bool spaceDown);

// Travel from `cursorOrigin` to `cursor` beyond the threshold along either axis.
bool TravelRequestsClose(const SaverSettings& settings, RunMode mode, ScreenPoint cursor);

// The saver keeps the cursor hidden except while the password prompt is up.
bool CursorHidden(const SaverSettings& settings, RunMode mode);

// The full-screen saver swallows the system's requests to start a screen saver, to
// close the window and to switch the monitor off. The whole wParam is compared.
bool SystemCommandSwallowed(RunMode mode, std::uintptr_t wParam);

constexpr std::uintptr_t kScCloseCommand = 0xF060;         // SC_CLOSE
constexpr std::uintptr_t kScScreenSaveCommand = 0xF140;    // SC_SCREENSAVE
constexpr std::uintptr_t kScMonitorPowerCommand = 0xF170;  // SC_MONITORPOWER
