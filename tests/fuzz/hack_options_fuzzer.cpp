// The hack's command line and $XSCREENSAVER_WINDOW as anyone may write them: the
// last argument is also the environment's window.
#include <cstdint>
#include <cstdlib>

#include "argv_input.h"
#include "front/x11/hack_options.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ArgvInput input(data, size, "solvane");
    HackOptions options;
    const bool parsed = ParseHackOptions(input.argc(), input.argv.data(), options,
                                         input.error.data(), input.errorSize);
    input.CheckError(parsed);
    if (parsed) {
        if (options.delayMicroseconds < 0 || options.delayMicroseconds > MaxDelayMicroseconds)
            std::abort();
        const DrawTarget target = ChooseDrawTarget(options, input.argv.back());
        if (target.kind == TargetKind::Unset) std::abort();
        if (target.kind == TargetKind::WindowId && target.window == 0) std::abort();
    }
    std::uint64_t id = 0;
    for (const char* word : input.argv) {
        if (ParseWindowId(word, id) && id == 0) std::abort();
    }
    return 0;
}
