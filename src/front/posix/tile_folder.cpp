#include "front/posix/tile_folder.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "frame/scene_setup.h"
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

constexpr std::size_t FileHeaderSize = 14;

std::string FormatProblem(const std::string& path) {
    return path + ": not an uncompressed bottom-up 24-bit bitmap";
}

bool DrawableFormat(const ByteBlock& header) {
    return Field(header, 14, 2) == 24 && Field(header, 16, 4) == 0 && BitmapWidth(header) > 0 &&
           BitmapHeight(header) > 0;
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
    if (!DrawableFormat(header) || !ConvertToRgb(header, *pixels)) return FormatProblem(path);
    return std::string();
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Whether `record` holds the image of the regular file at `path` as the file is now:
// the file's header block is the record's and the file is long enough for the
// record's pixels. A record the set could not load holds a stand-in image instead,
// whose header is not its file's.
bool HoldsItsFile(const TextureRecord& record, const std::string& path) {
    struct stat info {};
    if (record.header.empty() || record.pixelBytes == 0 || stat(path.c_str(), &info) != 0 ||
        !S_ISREG(info.st_mode))
        return false;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    ByteBlock bytes(FileHeaderSize + record.header.size());
    if (!file || std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
        return false;
    const std::uint64_t pixelOffset = Field(bytes, 10, 4);
    return bytes[0] == 'B' && bytes[1] == 'M' && pixelOffset == bytes.size() &&
           std::equal(record.header.begin(), record.header.end(), bytes.begin() + FileHeaderSize) &&
           std::uint64_t(info.st_size) >= pixelOffset + record.pixelBytes;
}

// The folder's own problem, or empty when its tiles can be looked at.
std::string FolderProblem(const std::string& folder) {
    const std::string prefix = WithSeparator(folder);
    if (prefix.size() > MaxFolderLength)
        return "the texture folder path " + prefix + " is too long (" +
               std::to_string(MaxFolderLength) + " characters at most)";
    struct stat info {};
    errno = 0;
    if (stat(folder.c_str(), &info) != 0)
        return "the texture folder " + folder + ": " + std::strerror(errno);
    if (!S_ISDIR(info.st_mode)) return "the texture folder " + folder + " is not a folder";
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
    std::string problem = FolderProblem(folder);
    if (!problem.empty()) return {problem};
    std::vector<std::string> problems;
    for (const char* name : TextureFileNames) {
        problem = TileProblem(WithSeparator(folder) + name);
        if (!problem.empty()) problems.push_back(std::move(problem));
    }
    return problems;
}

std::vector<std::string> FindLoadedTileProblems(const std::string& folder) {
    std::string problem = FolderProblem(folder);
    if (!problem.empty()) return {problem};
    std::vector<std::string> problems;
    const TextureRecord* record = TextureList;
    for (const char* name : TextureFileNames) {
        const std::string path = WithSeparator(folder) + name;
        if (record != nullptr && HoldsItsFile(*record, path))
            problem = DrawableFormat(record->header) && !record->rgb.empty() ? std::string()
                                                                             : FormatProblem(path);
        else
            problem = TileProblem(path);
        if (!problem.empty()) problems.push_back(std::move(problem));
        if (record != nullptr) record = record->next;
    }
    return problems;
}

void SetUpSceneWithTiles(const std::string& folder, const char* program,
                         const char* textureOption) {
    const bool settled = SetUpSceneWithFolder(folder.c_str()) != 0;
    if (!settled) SetUpSceneWithFolder("/");
    const std::vector<std::string> problems = FindLoadedTileProblems(folder);
    if (problems.empty() && settled) return;
    std::fprintf(stderr, "%s: cannot use the tiles in %s:\n", program, folder.c_str());
    for (const std::string& problem : problems) std::fprintf(stderr, "  %s\n", problem.c_str());
    std::fprintf(stderr,
                 "%s: drawing the globe without pictures, in its day and night shading "
                 "only; %s DIR names a folder of tiles\n",
                 program, textureOption);
    DropTextureImages();
}
