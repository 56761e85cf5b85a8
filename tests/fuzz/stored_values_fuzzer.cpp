// The saver's numbers as any registry editor may have left them: the screen-saver
// settings' bytes as one read returns them, the registry reads of the saver's own
// values (any type, any length), and its display options read back from the stored
// values (on the host: files, holding any bytes).
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "front/win32/display_options.h"
#include "front/win32/saver_settings.h"
#include "platform/stored_values.h"

namespace {

std::string keyFolder;

void WriteValue(const char* name, const std::uint8_t* data, std::size_t size) {
    const std::string path = keyFolder + "/" + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
    std::fclose(file);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char pattern[] = "/tmp/solvane-fuzz-XXXXXX";
    if (mkdtemp(pattern) == nullptr) std::abort();
    setenv("XDG_CONFIG_HOME", pattern, 1);
    keyFolder = std::string(pattern) + "/QMT_kvr";
    if (mkdir(keyFolder.c_str(), 0700) != 0) std::abort();
    static const std::string root = pattern;
    std::atexit([] { std::system(("rm -rf '" + root + "'").c_str()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // First byte: whether the read succeeded, the fallback, and where the input splits.
    const bool read = (data[0] & 1) != 0;
    const std::size_t split = std::size_t(data[0] >> 1) % size;
    const std::uint8_t* rest = data + 1;
    const std::size_t restSize = size - 1;

    const std::uint32_t fallback = 15u + data[0];
    const std::uint32_t value = DecodeSettingValue(read, rest, restSize, fallback);
    if ((!read || restSize > 4) && value != fallback) std::abort();

    // The same bytes as a registry read of one of the saver's own values, of a type
    // the first byte names.
    char text[FixedTextSize];
    DecodeStoredText(read, rest, restSize, text);
    if (std::memchr(text, '\0', sizeof text) == nullptr) std::abort();
    if ((!read || restSize > FixedTextSize) && text[0] != '\0') std::abort();
    std::uint32_t number = 7;
    const std::uint32_t type = data[0] >> 5;
    if (DecodeStoredNumber(read, type, rest, restSize, number) !=
        (read && type == StoredNumberType && restSize == 4))
        std::abort();

    const std::size_t first = split < restSize ? split : restSize;
    WriteValue(ShowClockValueName, rest, first);
    WriteValue(MonitorsValueName, rest + first, restSize - first);
    const DisplayOptions options = LoadDisplayOptions();
    if (std::uint32_t(options.monitors) > 2) std::abort();
    return 0;
}
