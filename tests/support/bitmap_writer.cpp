#include "tests/support/bitmap_writer.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

void Put16(Bytes& out, std::uint16_t value) {
    out.push_back(std::uint8_t(value));
    out.push_back(std::uint8_t(value >> 8));
}

void Put32(Bytes& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(std::uint8_t(value >> shift));
}

struct Scratch {
    std::string path;
    Scratch() {
        char pattern[] = "/tmp/solvane-test-XXXXXX";
        const char* made = mkdtemp(pattern);
        path = made != nullptr ? std::string(made) + "/" : std::string("/tmp/");
    }
    ~Scratch() {
        std::error_code ignored;
        if (path != "/tmp/") std::filesystem::remove_all(path, ignored);
    }
};

}  // namespace

Bytes CraftBitmap(const BitmapFields& fields, const Bytes& pixelData, std::uint8_t fill) {
    Bytes info;
    Put32(info, 40);
    Put32(info, std::uint32_t(fields.width));
    Put32(info, std::uint32_t(fields.height));
    Put16(info, 1);
    Put16(info, fields.bitCount);
    Put32(info, fields.compression);
    Put32(info, fields.sizeImage);
    Put32(info, 2835);
    Put32(info, 2835);
    Put32(info, 0);
    Put32(info, 0);

    Bytes out;
    Put16(out, fields.type);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, fields.offBits);
    const std::size_t headerBlock = fields.offBits >= 14 ? fields.offBits - 14 : 0;
    info.resize(headerBlock, fill);
    out.insert(out.end(), info.begin(), info.end());
    out.insert(out.end(), pixelData.begin(), pixelData.end());
    return out;
}

const std::string& ScratchFolder() {
    static Scratch scratch;
    return scratch.path;
}

bool WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(file);
}

Bytes ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}
