// solvane-wayland's command line as anyone may write it.
#include <cstdint>
#include <cstdlib>

#include "argv_input.h"
#include "front/wayland/wayland_options.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ArgvInput input(data, size, "solvane-wayland");
    WaylandOptions options;
    const bool parsed = ParseWaylandOptions(input.argc(), input.argv.data(), options,
                                            input.error.data(), input.errorSize);
    input.CheckError(parsed);
    if (parsed &&
        (options.delayMicroseconds < 0 || options.delayMicroseconds > MaxDelayMicroseconds))
        std::abort();
    return 0;
}
