#include "front/win32/close_policy.h"

#include "frame/run_end.h"

CloseDecision DecideClose(const SaverSettings& settings, RunMode mode, std::uint32_t nowTick) {
    if (mode != RunMode::Saver) return CloseDecision::Default;
    if (settings.closeRequested == 0 || settings.checkingPassword != 0) {
        return CloseDecision::Swallow;
    }
    // Unsigned 32-bit on purpose: the tick count wraps after 49.7 days, and the
    // difference stays right across the wrap.
    const std::uint32_t elapsed = nowTick - settings.startTick;
    const std::uint32_t grace = settings.passwordDelay * 1000u;
    return elapsed <= grace ? CloseDecision::Destroy : CloseDecision::AskPassword;
}

bool InputMayClose(const SaverSettings& settings, RunMode mode) {
    return mode == RunMode::Saver && settings.checkingPassword == 0;
}

bool ActivationRequestsClose(const SaverSettings& settings, RunMode mode, std::uintptr_t wParam) {
    return InputMayClose(settings, mode) && (wParam & 0xFFFFu) == 0;
}

bool KeyOrButtonRequestsClose(const SaverSettings& settings, RunMode mode, bool spaceDown) {
    return spaceDown && InputMayClose(settings, mode);
}

bool TravelRequestsClose(const SaverSettings& settings, RunMode mode, ScreenPoint cursor) {
    // In doubles, exact for 32-bit coordinates: a wrapped difference would hide the travel.
    return InputMayClose(settings, mode) &&
           TravelBeyond(double(cursor.x) - settings.cursorOrigin.x,
                        double(cursor.y) - settings.cursorOrigin.y, settings.mouseThreshold);
}

bool CursorHidden(const SaverSettings& settings, RunMode mode) {
    return InputMayClose(settings, mode);
}

bool SystemCommandSwallowed(RunMode mode, std::uintptr_t wParam) {
    return mode == RunMode::Saver && (wParam == kScScreenSaveCommand || wParam == kScCloseCommand ||
                                      wParam == kScMonitorPowerCommand);
}
