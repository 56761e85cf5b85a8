// The texture folder as any registry editor or open-file dialog may hand it over: the
// stored value's bytes, then the files the picker answers with, followed through the
// folder's set-up to the sixteen texture paths and the tiles' names.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/marker_picker.h"
#include "textures/texture_folder.h"
#include "textures/texture_set.h"

namespace {

std::string valueFile;
std::string root;

// The input's paths kept inside the fuzzer's own folder, its working folder: an
// absolute path is taken below it and ".." cannot climb out, so that no run reads
// the machine's installed tiles, which would be slow and differ from one machine to
// the next. Single dots, separators and every other byte stay as they came.
std::string Confined(std::string path) {
    for (std::size_t i = 1; i < path.size(); ++i)
        if (path[i - 1] == '.' && path[i] == '.') path[i] = '_';
    return !path.empty() && path[0] == '/' ? root + path : path;
}

void WriteStoredFolder(const std::string& text) {
    std::FILE* file = std::fopen(valueFile.c_str(), "wb");
    if (file == nullptr) std::abort();
    if (!text.empty() && std::fwrite(text.data(), 1, text.size(), file) != text.size())
        std::abort();
    std::fclose(file);
}

std::size_t BoundedLength(const char* text, std::size_t size) {
    const void* end = std::memchr(text, '\0', size);
    if (end == nullptr) std::abort();  // every text stays terminated
    return std::size_t(static_cast<const char*>(end) - text);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char pattern[] = "/tmp/solvane-fuzz-XXXXXX";
    if (mkdtemp(pattern) == nullptr) std::abort();
    setenv("XDG_CONFIG_HOME", pattern, 1);
    const std::string key = std::string(pattern) + "/QMT_kvr";
    if (mkdir(key.c_str(), 0700) != 0) std::abort();
    valueFile = key + "/path";
    root = pattern;
    if (chdir(pattern) != 0) std::abort();
    std::atexit([] { std::system(("rm -rf '" + root + "'").c_str()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte is the stored value's length; the rest, split at new lines, are
    // the picker's answers.
    const std::size_t stored = data[0] < size - 1 ? data[0] : size - 1;
    WriteStoredFolder(Confined(std::string(reinterpret_cast<const char*>(data + 1), stored)));
    const std::string picks(reinterpret_cast<const char*>(data + 1 + stored), size - 1 - stored);
    ClearMarkerPicks();
    for (std::size_t start = 0; start <= picks.size();) {
        const std::size_t end = std::min(picks.find('\n', start), picks.size());
        QueueMarkerPick(Confined(picks.substr(start, end - start)).c_str());
        start = end + 1;
    }

    TextureFolder[0] = '\0';
    SettleTextureFolder();
    if (BoundedLength(TextureFolder, FolderTextSize) > MaxFolderLength) std::abort();

    BuildTextureSet();
    char prefix[FolderTextSize];
    const std::size_t prefixLength = TexturePathPrefix(prefix);
    int index = 0;
    for (const TextureRecord* record = TextureList; record != nullptr; record = record->next) {
        // Each path is the prefix the tiles' names take, then the file name, whole.
        const std::size_t length = BoundedLength(record->path, sizeof record->path);
        if (index >= TextureCount || length != prefixLength + 7 ||
            std::memcmp(record->path, prefix, prefixLength) != 0 ||
            std::strcmp(record->path + prefixLength, TextureFileNames[index]) != 0)
            std::abort();
        ++index;
    }
    if (index != TextureCount) std::abort();
    FreeTextureSet();

    char folder[FolderTextSize] = "untouched";
    if (CutMarkerPath(picks.c_str(), folder)) {
        const std::size_t length = BoundedLength(folder, sizeof folder);
        if (length > MaxFolderLength || std::strncmp(picks.c_str() + length, "tex.tex", 7) != 0)
            std::abort();
    } else if (std::strcmp(folder, "untouched") != 0) {
        std::abort();
    }
    return 0;
}
