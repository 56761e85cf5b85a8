#include "front/x11/tile_folder.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "textures/bitmap_loader.h"
#include "textures/texture_folder.h"
#include "textures/texture_set.h"

namespace {

bool IsFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string WithSeparator(const std::string& folder) {
    return !folder.empty() && folder.back() == '/' ? folder : folder + "/";
}

std::uint32_t Field(const ByteBlock& header, std::size_t offset, std::size_t size) {
    if (header.size() < offset + size) return 0;
    std::uint32_t value = 0;
    for (std::size_t i = size; i-- > 0;) value = value << 8 | header[offset + i];
    return value;
}

// Why the tile at `path` cannot be drawn, or empty when it can.
std::string TileProblem(const std::string& path) {
    errno = 0;
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return path + ": " + std::strerror(errno);
    if (!S_ISREG(info.st_mode)) return path + ": not a file";
    ByteBlock header;
    const auto pixels = LoadBitmapFile(path.c_str(), header);
    if (!pixels) return path + ": not a readable bitmap (unreadable, cut short or another format)";
    const std::uint32_t bitCount = Field(header, 14, 2);
    const std::uint32_t compression = Field(header, 16, 4);
    if (bitCount != 24 || compression != 0 || BitmapWidth(header) <= 0 ||
        BitmapHeight(header) <= 0 || !ConvertToRgb(header, *pixels))
        return path + ": not an uncompressed bottom-up 24-bit bitmap";
    return std::string();
}

}  // namespace

std::vector<std::string> DefaultTextureFolders(const std::string& programFolder) {
    std::vector<std::string> folders{InstalledTextureFolder};
    if (!programFolder.empty()) folders.push_back(WithSeparator(programFolder) + "textures");
    return folders;
}

std::string ChooseTextureFolder(const char* given, const std::vector<std::string>& candidates) {
    if (given != nullptr && given[0] != '\0') {
        const std::string path(given);
        const std::size_t slash = path.rfind('/');
        if (!IsFile(path)) return path;
        return slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
    }
    for (const std::string& folder : candidates)
        if (IsFile(WithSeparator(folder) + TextureFileNames[0])) return folder;
    return candidates.empty() ? std::string() : candidates.front();
}

std::vector<std::string> FindTileProblems(const std::string& folder) {
    const std::string prefix = WithSeparator(folder);
    if (prefix.size() > MaxFolderLength)
        return {"the texture folder path " + prefix + " is too long (" +
                std::to_string(MaxFolderLength) + " characters at most)"};
    struct stat info {};
    errno = 0;
    if (stat(folder.c_str(), &info) != 0)
        return {"the texture folder " + folder + ": " + std::strerror(errno)};
    if (!S_ISDIR(info.st_mode)) return {"the texture folder " + folder + " is not a folder"};
    std::vector<std::string> problems;
    for (const char* name : TextureFileNames) {
        std::string problem = TileProblem(prefix + name);
        if (!problem.empty()) problems.push_back(std::move(problem));
    }
    return problems;
}
