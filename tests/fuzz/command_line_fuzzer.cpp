// The screen-saver command line as any launcher may write it, with the saver's own
// path taken from the same bytes so that the whole-path rule is met often.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "front/win32/command_line.h"

namespace {

bool SameOutcome(const CommandLine& a, const CommandLine& b) {
    return a.mode == b.mode && a.host == b.host &&
           (a.host != HostSource::Number || a.hostNumber == b.hostNumber);
}

void Check(const CommandLine& parsed) {
    switch (parsed.mode) {
        case RunMode::None:
        case RunMode::Saver:
            if (parsed.host != HostSource::Null) std::abort();
            break;
        case RunMode::Preview:
        case RunMode::ChangePassword:
            if (parsed.host != HostSource::Number) std::abort();
            break;
        case RunMode::Configure:
            break;
        default:
            std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte says how much of the line is the saver's own path.
    const std::string line(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string own = line.substr(0, data[0] % (line.size() + 1));

    const CommandLine plain = ParseCommandLine(line.c_str());
    const CommandLine named = ParseCommandLine(line.c_str(), {own.c_str(), nullptr, ""});
    Check(plain);
    Check(named);
    // A path without a space ends where the first space ends any unquoted name.
    if (own.find(' ') == std::string::npos && !SameOutcome(plain, named)) std::abort();
    ReadHandleNumber(line.c_str());
    return 0;
}
