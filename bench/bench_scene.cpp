#include "bench/bench_scene.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "frame/frame_step.h"
#include "frame/scene_setup.h"
#include "platform/clock.h"
#include "tests/support/bitmap_writer.h"
#include "tests/support/gl_recorder.h"
#include "textures/texture_set.h"
#include "view/projection.h"

#ifndef SOLVANE_BENCH_TEXTURES
#define SOLVANE_BENCH_TEXTURES ""
#endif

namespace {

constexpr const char* TileNames[16] = {
    "d11.bmp", "d12.bmp", "d13.bmp", "d14.bmp", "d21.bmp", "d22.bmp", "d23.bmp", "d24.bmp",
    "n11.bmp", "n12.bmp", "n13.bmp", "n14.bmp", "n21.bmp", "n22.bmp", "n23.bmp", "n24.bmp",
};

bool HasAllTiles(const std::string& folder) {
    if (folder.empty()) return false;
    for (const char* name : TileNames) {
        std::FILE* file = std::fopen((folder + name).c_str(), "rb");
        if (file == nullptr) return false;
        std::fclose(file);
    }
    return true;
}

// Tiles with some structure, so nothing downstream can take a shortcut on uniform data.
bool WriteMadeUpTiles(const std::string& folder, int size) {
    for (int i = 0; i < 16; ++i) {
        const Bytes file = Bitmap24(size, size, [i](int x, int y) {
            return Rgb{std::uint8_t(x * 7 + i), std::uint8_t(y * 5),
                       std::uint8_t((x ^ y) + 16 * i)};
        });
        if (!WriteBytes(folder + TileNames[i], file)) return false;
    }
    return true;
}

}  // namespace

BenchScene ChooseTextureFolder(int fallbackSize) {
    const char* chosen = std::getenv("SOLVANE_BENCH_TEXTURES");
    std::string folder = chosen != nullptr ? chosen : SOLVANE_BENCH_TEXTURES;
    if (!folder.empty() && folder.back() != '/') folder += '/';
    if (HasAllTiles(folder)) return {folder, true, 0};

    folder = ScratchFolder();
    if (!WriteMadeUpTiles(folder, fallbackSize)) {
        std::fprintf(stderr, "cannot write made-up tiles into %s\n", folder.c_str());
        std::exit(2);
    }
    return {folder, false, fallbackSize};
}

const BenchScene& SetUpBenchScene() {
    static const BenchScene scene = [] {
        // The clock text and the first frame's alignment read local time; make it
        // the same on every machine.
        setenv("TZ", "UTC", 1);
        tzset();
        SetGlRecording(false);

        BenchScene chosen = ChooseTextureFolder(512);
        if (SetUpSceneWithFolder(chosen.folder.c_str()) == 0) {
            std::fprintf(stderr, "texture folder too long: %s\n", chosen.folder.c_str());
            std::exit(2);
        }
        if (TextureList != nullptr) chosen.tileSize = BitmapWidth(TextureList->header);
        ResizeView(1024, 768);
        PinCalendarTime(BenchMoment);
        firstFrame = 1;
        previousSecond = 0;
        FrameStep();  // builds the mesh and aligns the Camera
        return chosen;
    }();
    return scene;
}
