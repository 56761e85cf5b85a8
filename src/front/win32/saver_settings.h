// The saver's two user settings and the input state the close policy works with.
// Windows types stay out of this header so that the pure parts build on the host.
#pragma once

#include <cstddef>
#include <cstdint>

struct ScreenPoint {
    std::int32_t x;  // screen pixels
    std::int32_t y;
};

struct SaverSettings {
    void* window;                   // the saver window (an HWND), null until it exists
    std::uint32_t passwordDelay;    // seconds after creation in which a close needs no password
    std::int32_t mouseThreshold;    // pixels of travel along either axis that close the saver
    ScreenPoint cursorOrigin;       // where travel is measured from
    std::uint32_t startTick;        // GetTickCount at the window's creation, milliseconds
    std::int32_t checkingPassword;  // nonzero while the password prompt is up
    std::int32_t closeRequested;    // set once by the first close request, never cleared
};

constexpr std::uint32_t kDefaultPasswordDelay = 15;  // seconds
constexpr std::int32_t kDefaultMouseThreshold = 50;  // pixels

// The one record of the process; the entry clears and loads it before a mode runs.
extern SaverSettings saverSettings;

// Defaults, then "Password Delay" and "Mouse Threshold" from the user's
// screen-saver key where they can be read.
void LoadSettings(SaverSettings& settings);
// Marks the close as requested and posts WM_CLOSE to the saver window.
void RequestClose(SaverSettings& settings);
// Raise and lower `checkingPassword`, letting the window update its cursor each time;
// the end also moves `cursorOrigin` to where the cursor now stands.
void BeginPasswordPrompt(SaverSettings& settings);
void EndPasswordPrompt(SaverSettings& settings);

// The value a setting takes from one registry read into a 4-byte buffer. `bytes`
// holds `length` bytes of the value's data. A failed read, or data longer than the
// field, keeps `fallback`; shorter data fills the low bytes of the little-endian
// field and the rest are zero, so a one-byte 30 reads as 30.
std::uint32_t DecodeSettingValue(bool readSucceeded, const unsigned char* bytes, std::size_t length,
                                 std::uint32_t fallback);
