// Stored values as files: $XDG_CONFIG_HOME (or ~/.config) / <AppTag>_kvr / <name>,
// each holding the text and its terminating NUL, as the registry holds a REG_SZ, or
// a number's four bytes, little-endian, as it holds a REG_DWORD.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "platform/stored_values.h"

namespace {

constexpr std::size_t ValueSize = FixedTextSize;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

std::string ConfigFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') return config;
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') return std::string();
    return std::string(home) + "/.config";
}

std::string KeyFolder() {
    const std::string config = ConfigFolder();
    if (config.empty()) return config;
    return config + "/" + std::string(AppTag, strnlen(AppTag, sizeof AppTag)) + "_kvr";
}

// A value name becomes a file name: nothing that would leave the key's folder.
bool ValidName(const char* name) {
    return name != nullptr && name[0] != '\0' && std::strchr(name, '/') == nullptr &&
           std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0;
}

bool MakeFolder(const std::string& path) {
    return ::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

// The value's file, opened for writing (the key's folders made as needed) or for
// reading; empty when the name is not a value's or the file cannot be opened.
FileHandle CreateValueFile(const char* name) {
    if (!ValidName(name)) return nullptr;
    const std::string config = ConfigFolder();
    if (config.empty() || !MakeFolder(config)) return nullptr;
    const std::string key = KeyFolder();
    if (!MakeFolder(key)) return nullptr;
    return FileHandle(std::fopen((key + "/" + name).c_str(), "wb"));
}

FileHandle OpenValueFile(const char* name) {
    if (!ValidName(name)) return nullptr;
    const std::string key = KeyFolder();
    if (key.empty()) return nullptr;
    return FileHandle(std::fopen((key + "/" + name).c_str(), "rb"));
}

// Writes the value's file whole. 0 when every byte reached the file: a full disk
// often shows only when the buffer is flushed at the close.
int WriteValueFile(const char* name, const void* data, std::size_t size) {
    FileHandle file = CreateValueFile(name);
    if (!file) return 1;
    const bool written = std::fwrite(data, 1, size, file.get()) == size;
    return std::fclose(file.release()) == 0 && written ? 0 : 1;
}

}  // namespace

int StoreAppValue(const char* name, const char* text) {
    if (text == nullptr) return 1;
    return WriteValueFile(name, text, std::strlen(text) + 1);
}

void LoadAppValue(const char* name, char (&out)[FixedTextSize]) {
    out[0] = '\0';
    FileHandle file = OpenValueFile(name);
    if (!file) return;
    // One byte more than the buffer tells a value that does not fit, which the
    // registry reports as ERROR_MORE_DATA: such a value is not read.
    std::uint8_t buffer[ValueSize + 1];
    const std::size_t size = std::fread(buffer, 1, sizeof buffer, file.get());
    DecodeStoredText(true, buffer, size, out);
}

bool LoadAppNumber(const char* name, std::uint32_t& value) {
    FileHandle file = OpenValueFile(name);
    if (!file) return false;
    // A fifth byte tells a longer value, which is not a number.
    std::uint8_t data[5];
    const std::size_t size = std::fread(data, 1, sizeof data, file.get());
    return DecodeStoredNumber(true, StoredNumberType, data, size, value);
}

int StoreAppNumber(const char* name, std::uint32_t value) {
    const unsigned char data[4] = {std::uint8_t(value), std::uint8_t(value >> 8),
                                   std::uint8_t(value >> 16), std::uint8_t(value >> 24)};
    return WriteValueFile(name, data, sizeof data);
}
