#include "front/win32/close_policy_logic.h"

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
    if (!InputMayClose(settings, mode)) return false;
    // Differences in 64 bits: two 32-bit coordinates can be further apart than int32
    // holds, and a wrapped difference would hide the travel.
    auto distance = [](std::int32_t a, std::int32_t b) {
        const std::int64_t d = std::int64_t(a) - std::int64_t(b);
        return d < 0 ? -d : d;
    };
    const std::int64_t threshold = settings.mouseThreshold;
    return distance(cursor.x, settings.cursorOrigin.x) > threshold ||
           distance(cursor.y, settings.cursorOrigin.y) > threshold;
}

bool CursorHidden(const SaverSettings& settings, RunMode mode) {
    return InputMayClose(settings, mode);
}

bool SystemCommandSwallowed(RunMode mode, std::uintptr_t wParam) {
    return mode == RunMode::Saver && (wParam == kScScreenSaveCommand || wParam == kScCloseCommand ||
                                      wParam == kScMonitorPowerCommand);
}
