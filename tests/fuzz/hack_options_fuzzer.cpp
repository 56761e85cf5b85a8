// The hack's command line and $XSCREENSAVER_WINDOW as anyone may write them: the
// input split at NUL bytes into arguments, the last one also the environment's
// window, and a reason buffer of any size down to none.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "front/x11/hack_options.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t errorSize = data[0] % 80;
    std::vector<std::string> words{"solvane"};
    std::string word;
    for (std::size_t i = 1; i < size && words.size() < 64; ++i) {
        if (data[i] == 0) {
            words.push_back(word);
            word.clear();
        } else {
            word += char(data[i]);
        }
    }
    words.push_back(word);
    std::vector<const char*> argv;
    for (const std::string& w : words) argv.push_back(w.c_str());

    HackOptions options;
    std::vector<char> error(errorSize + 1, 'x');
    const bool parsed =
        ParseHackOptions(int(argv.size()), argv.data(), options, error.data(), errorSize);
    // The reason stays inside its buffer, terminated, and is given on failure.
    if (error[errorSize] != 'x') std::abort();
    if (errorSize > 0 && std::memchr(error.data(), '\0', errorSize) == nullptr) std::abort();
    if (!parsed && errorSize > 1 && error[0] == '\0') std::abort();
    if (parsed) {
        if (options.delayMicroseconds < 0 || options.delayMicroseconds > MaxDelayMicroseconds)
            std::abort();
        const DrawTarget target = ChooseDrawTarget(options, argv.back());
        if (target.kind == TargetKind::Unset) std::abort();
        if (target.kind == TargetKind::WindowId && target.window == 0) std::abort();
    }
    std::uint64_t id = 0;
    for (const char* w : argv) {
        if (ParseWindowId(w, id) && id == 0) std::abort();
    }
    return 0;
}
