// Stored values as files: $XDG_CONFIG_HOME (or ~/.config) / <AppTag>_kvr / <name>,
// each holding the text and its terminating NUL, as the registry holds a REG_SZ.
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

}  // namespace

int StoreAppValue(const char* name, const char* text) {
    if (!ValidName(name) || text == nullptr) return 1;
    const std::string config = ConfigFolder();
    if (config.empty() || !MakeFolder(config)) return 1;
    const std::string key = KeyFolder();
    if (!MakeFolder(key)) return 1;

    FileHandle file(std::fopen((key + "/" + name).c_str(), "wb"));
    if (!file) return 1;
    // Like RegSetValueExA, a failed write is not reported once the key exists.
    std::fwrite(text, 1, std::strlen(text) + 1, file.get());
    return 0;
}

void LoadAppValue(const char* name, char (&out)[FixedTextSize]) {
    out[0] = '\0';
    if (!ValidName(name)) return;
    const std::string key = KeyFolder();
    if (key.empty()) return;
    FileHandle file(std::fopen((key + "/" + name).c_str(), "rb"));
    if (!file) return;

    // One byte more than the buffer tells a value that does not fit, which the
    // registry reports as ERROR_MORE_DATA: such a value is not read.
    char buffer[ValueSize + 1];
    const std::size_t size = std::fread(buffer, 1, sizeof buffer, file.get());
    if (size == 0 || size > ValueSize) return;
    std::memcpy(out, buffer, size);
    // A value without its NUL ends inside the buffer.
    out[size < ValueSize ? size : ValueSize - 1] = '\0';
}
