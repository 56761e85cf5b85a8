// solvane-tiles: makes a texture folder from an equirectangular day map and night
// map (JPEG, PNG or BMP, twice as wide as high).
#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "cloud_map.h"
#include "tile_cutter.h"

namespace {

constexpr int DefaultSize = 512;
constexpr int MaxSize = 8192;

void PrintUsage(std::FILE* to) {
    std::fprintf(to,
                 "usage: solvane-tiles [--size N] DAY-MAP NIGHT-MAP OUTPUT-FOLDER\n"
                 "       solvane-tiles [--size N] --flightgear DIR OUTPUT-FOLDER\n"
                 "       solvane-tiles --clouds TILE-FOLDER OUTPUT.png\n"
                 "Cuts two equirectangular maps (2:1, longitude -180 at the left edge,\n"
                 "north up) into d11.bmp ... d24.bmp, n11.bmp ... n24.bmp and tex.tex.\n"
                 "N is the side of each tile, a power of two up to %d (default %d).\n"
                 "--clouds joins clouds_N1.png ... clouds_S4.png (grey + alpha, 90 x 90\n"
                 "degrees each, overlapping) into one grey cloud map of 2048 x 1024.\n"
                 "With --flightgear, DIR holds FlightGear's world_N1.png ... world_S4.png\n"
                 "(Models/Astro/Textures): day tiles from their colours, night tiles from\n"
                 "their city lights over a dim Moon-lit Earth.\n",
                 MaxSize, DefaultSize);
}

bool ParseSize(const char* text, int& size) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || value < 1 || value > MaxSize) return false;
    if ((value & (value - 1)) != 0) return false;
    size = int(value);
    return true;
}

bool LoadMap(const char* path, MapImage& map) {
    int channels = 0;
    stbi_uc* data = stbi_load(path, &map.width, &map.height, &channels, 3);
    if (data == nullptr) {
        std::fprintf(stderr, "solvane-tiles: cannot read %s: %s\n", path, stbi_failure_reason());
        return false;
    }
    map.rgb.assign(data, data + std::size_t(map.width) * map.height * 3);
    stbi_image_free(data);
    if (map.width != 2 * map.height) {
        std::fprintf(stderr,
                     "solvane-tiles: %s is %d x %d; an equirectangular map is twice as "
                     "wide as high\n",
                     path, map.width, map.height);
        return false;
    }
    return true;
}

// FlightGear's tile of our row and column: N1 ... N4 north, S1 ... S4 south, from
// longitude -180 eastward, each a square RGBA PNG.
struct LoadedTile {
    int side = 0;
    std::vector<std::uint8_t> rgba;
};

bool LoadLightedTile(const std::string& folder, int row, int column, LoadedTile& tile) {
    const std::string path =
        folder + "/world_" + (row == 1 ? "N" : "S") + char('0' + column) + ".png";
    int width = 0, height = 0, channels = 0;
    stbi_uc* data = stbi_load(path.c_str(), &width, &height, &channels, 4);
    if (data == nullptr) {
        std::fprintf(stderr, "solvane-tiles: cannot read %s: %s\n", path.c_str(),
                     stbi_failure_reason());
        return false;
    }
    tile.rgba.assign(data, data + std::size_t(width) * height * 4);
    stbi_image_free(data);
    if (width != height || channels != 4) {
        std::fprintf(
            stderr,
            "solvane-tiles: %s is %d x %d with %d channels; a square RGBA tile was expected\n",
            path.c_str(), width, height, channels);
        return false;
    }
    tile.side = width;
    return true;
}

bool WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.string().c_str(), "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "solvane-tiles: cannot write %s: %s\n", path.string().c_str(),
                     std::strerror(errno));
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        std::fprintf(stderr, "solvane-tiles: cannot write %s\n", path.string().c_str());
        return false;
    }
    return true;
}

constexpr int CloudMapWidth = 2048;

int MakeCloudMap(const std::string& folder, const char* out) {
    static const char* const names[8] = {"N1", "N2", "N3", "N4", "S1", "S2", "S3", "S4"};
    CloudTile tiles[8];
    for (int t = 0; t < 8; ++t) {
        const std::string path = folder + "/clouds_" + names[t] + ".png";
        int width = 0, height = 0, channels = 0;
        stbi_uc* data = stbi_load(path.c_str(), &width, &height, &channels, 2);
        if (data == nullptr || width != height) {
            std::fprintf(stderr, "solvane-tiles: cannot read %s as a square tile\n", path.c_str());
            if (data != nullptr) stbi_image_free(data);
            return 1;
        }
        tiles[t].side = width;
        tiles[t].greyAlpha.assign(data, data + std::size_t(width) * height * 2);
        stbi_image_free(data);
    }
    const std::vector<std::uint8_t> map = ComposeCloudMap(tiles, CloudMapWidth);
    if (map.empty()) {
        std::fprintf(stderr, "solvane-tiles: the cloud tiles in %s do not fit together\n",
                     folder.c_str());
        return 1;
    }
    if (stbi_write_png(out, CloudMapWidth, CloudMapWidth / 2, 1, map.data(), CloudMapWidth) == 0) {
        std::fprintf(stderr, "solvane-tiles: cannot write %s\n", out);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--clouds") == 0) return MakeCloudMap(argv[2], argv[3]);
    int size = DefaultSize;
    const char* paths[3] = {};
    int count = 0;
    const char* flightgear = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            PrintUsage(stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--size") == 0) {
            if (i + 1 >= argc || !ParseSize(argv[i + 1], size)) {
                std::fprintf(stderr, "solvane-tiles: --size needs a power of two from 1 to %d\n",
                             MaxSize);
                return 2;
            }
            ++i;
        } else if (std::strcmp(argv[i], "--flightgear") == 0) {
            if (i + 1 >= argc || argv[i + 1][0] == '\0') {
                std::fprintf(stderr, "solvane-tiles: --flightgear needs a folder\n");
                return 2;
            }
            flightgear = argv[++i];
        } else if (count < 3) {
            paths[count++] = argv[i];
        } else {
            count = 4;
        }
    }
    if (count != (flightgear != nullptr ? 1 : 3)) {
        PrintUsage(stderr);
        return 2;
    }

    MapImage maps[2];
    if (flightgear == nullptr && (!LoadMap(paths[0], maps[0]) || !LoadMap(paths[1], maps[1])))
        return 1;

    // Every FlightGear tile must be there before anything is written.
    for (int k = 0; flightgear != nullptr && k < 8; ++k) {
        const std::string path =
            std::string(flightgear) + "/world_" + (k < 4 ? "N" : "S") + char('1' + k % 4) + ".png";
        int width = 0, height = 0, channels = 0;
        if (stbi_info(path.c_str(), &width, &height, &channels) == 0) {
            std::fprintf(stderr, "solvane-tiles: cannot read %s\n", path.c_str());
            return 1;
        }
    }
    const std::filesystem::path folder = paths[count - 1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::fprintf(stderr, "solvane-tiles: cannot make %s: %s\n", paths[count - 1],
                     error.message().c_str());
        return 1;
    }

    const char letters[2] = {'d', 'n'};
    for (int row = 1; row <= 2; ++row) {
        for (int column = 1; column <= 4; ++column) {
            // One source tile at a time: the whole FlightGear set is half a gigabyte.
            LoadedTile source;
            if (flightgear != nullptr && !LoadLightedTile(flightgear, row, column, source))
                return 1;
            for (int m = 0; m < 2; ++m) {
                const char name[8] = {
                    letters[m], char('0' + row), char('0' + column), '.', 'b', 'm', 'p', '\0'};
                const MapImage tile =
                    flightgear != nullptr
                        ? CutLightedTile({source.side, source.rgba.data()}, size, m == 1)
                        : CutTile(maps[m], row, column, size);
                if (!WriteFile(folder / name, EncodeBitmap24(tile))) return 1;
            }
        }
    }
    // Only the marker's location matters to the saver; the text is for people.
    const std::string marker = "Solvane texture folder: pick this file to use these tiles.\r\n";
    if (!WriteFile(folder / "tex.tex", std::vector<std::uint8_t>(marker.begin(), marker.end()))) {
        return 1;
    }
    return 0;
}
