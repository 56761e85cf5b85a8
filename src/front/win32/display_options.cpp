#include "front/win32/display_options.h"

#include "platform/stored_values.h"

DisplayOptions LoadDisplayOptions() {
    DisplayOptions options;
    std::uint32_t value = 0;
    if (LoadAppNumber(ShowClockValueName, value) && value <= 1) options.showClock = value == 1;
    if (LoadAppNumber(MonitorsValueName, value) && value <= 2)
        options.monitors = static_cast<MonitorLayout>(value);
    if (LoadAppNumber(CloudsValueName, value)) options.clouds = CloudModeFromNumber(value);
    char url[FixedTextSize];
    LoadAppValue(CloudsUrlValueName, url);
    if (CloudUrlAllowed(url)) options.cloudsUrl = url;
    if (LoadAppNumber(LookValueName, value)) options.look = LookFromStoredValue(value);
    return options;
}

int StoreDisplayOptions(const DisplayOptions& options) {
    const int clock = StoreAppNumber(ShowClockValueName, options.showClock ? 1 : 0);
    const int monitors = StoreAppNumber(MonitorsValueName, std::uint32_t(options.monitors));
    const int clouds = StoreAppNumber(CloudsValueName, std::uint32_t(options.clouds));
    const int look = StoreAppNumber(LookValueName, std::uint32_t(options.look));
    return clock != 0 || monitors != 0 || clouds != 0 || look != 0 ? 1 : 0;
}
