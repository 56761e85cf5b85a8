// The saver's own settings, chosen in its Settings dialog and stored under the
// application's key beside the texture folder. Windows types stay out so that the
// rules are tested on the host.
#pragma once

#include <cstdint>
#include <string>

#include "clouds/cloud_source.h"
#include "globe/look.h"

// How the saver covers several monitors. The numbers are the stored values.
enum class MonitorLayout : std::uint32_t {
    EachOwn = 0,    // each monitor its own globe (the default)
    AcrossAll = 1,  // one globe across the whole virtual screen, with its aspect
    MainOnly = 2,   // the primary monitor's globe; the others stay black
};

struct DisplayOptions {
    bool showClock = true;  // the date and time under the globe
    MonitorLayout monitors = MonitorLayout::EachOwn;
    CloudMode clouds = CloudMode::NoClouds;
    std::string cloudsUrl = DefaultCloudUrl;  // only read: no dialog edits it
    Look look = Look::Classic;
};

// The stored values' names (DWORDs).
constexpr char ShowClockValueName[] = "ShowClock";
constexpr char MonitorsValueName[] = "Monitors";
constexpr char CloudsValueName[] = "Clouds";        // DWORD: 0 None, 1 Still, 2 Live
constexpr char CloudsUrlValueName[] = "CloudsUrl";  // string: where Live fetches from
constexpr char LookValueName[] = "Look";            // DWORD: 0 Classic, 1 Natural

// The options from the stored values. A value that is missing, not a DWORD, or out of
// range (ShowClock other than 0 or 1, Monitors above 2, Clouds above 2, Look other
// than 0 or 1) keeps its default; a CloudsUrl that is not an http or https URL reads
// as the default one.
DisplayOptions LoadDisplayOptions();

// Stores ShowClock, Monitors, Clouds and Look (CloudsUrl is set by hand or by policy).
// Returns 0 on success, 1 when any could not be written.
int StoreDisplayOptions(const DisplayOptions& options);
