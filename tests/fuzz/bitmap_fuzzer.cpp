// Feeds arbitrary bytes to the bitmap loader as a file, and converts what loads.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "textures/bitmap_loader.h"

namespace {
std::string inputPath;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char pattern[] = "/tmp/solvane-fuzz-XXXXXX";
    const int fd = mkstemp(pattern);
    if (fd < 0) std::abort();
    close(fd);
    inputPath = pattern;
    std::atexit([] { std::remove(inputPath.c_str()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(inputPath.c_str(), "wb");
    if (file == nullptr) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
    std::fclose(file);

    ByteBlock header = {1, 2, 3};
    const std::optional<ByteBlock> pixels = LoadBitmapFile(inputPath.c_str(), header);
    if (!pixels) {
        if (!header.empty()) std::abort();  // a failure leaves the header empty
        return 0;
    }
    // Nothing beyond the input can have been loaded.
    if (header.size() + pixels->size() + 14 > size) std::abort();

    const std::optional<ByteBlock> rgb = ConvertToRgb(header, *pixels);
    if (rgb) {
        const std::size_t stride = (3 * std::size_t(BitmapWidth(header)) + 3) / 4 * 4;
        if (BitmapHeight(header) < 0 || rgb->size() != stride * std::size_t(BitmapHeight(header))) {
            std::abort();
        }
    }
    return 0;
}
