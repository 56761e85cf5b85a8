// Runs frames of the saver with the clock pinned and GL calls going nowhere, for
// callgrind (profile.sh) and for the allocation check: every heap allocation of a
// frame must be a glyph node of the clock text, which the text renderer builds and
// frees per character.
//
//   solvane_frame_profile [frames] [--check-allocations]
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "bench/bench_scene.h"
#include "globe/frame_step.h"
#include "text/clock_readout.h"
#include "text/stroke_font.h"

namespace {

// The frames callgrind measures: profile.sh collects only inside this function.
__attribute__((noinline)) void ProfiledFrames(int frames) {
    for (int i = 0; i < frames; ++i) FrameStep();
}

// Glyph nodes one drawing of the clock text builds at BenchMoment.
std::uint64_t GlyphNodesOfClockText() {
    const std::time_t now = static_cast<std::time_t>(BenchMoment);
    std::tm local{};
    localtime_r(&now, &local);
    char text[ClockTextSize];
    ComposeClockText(local, text);
    std::uint64_t nodes = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        GlyphNode* glyph = BuildGlyph(static_cast<unsigned char>(*c));
        for (const GlyphNode* node = glyph; node != nullptr; node = node->next) ++nodes;
        FreeGlyph(glyph);
    }
    return nodes;
}

}  // namespace

int main(int argc, char** argv) {
    int frames = 100;
    bool check = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--check-allocations") == 0) {
            check = true;
        } else {
            char* end = nullptr;
            const long value = std::strtol(argv[i], &end, 10);
            if (end == argv[i] || *end != '\0' || value < 1 || value > 1000000) {
                std::fprintf(stderr, "usage: %s [frames] [--check-allocations]\n", argv[0]);
                return 2;
            }
            frames = int(value);
        }
    }

    const BenchScene& scene = SetUpBenchScene();
    const std::uint64_t glyphNodes = GlyphNodesOfClockText();

    const std::uint64_t before = AllocationCount();
    ProfiledFrames(frames);
    const std::uint64_t allocations = AllocationCount() - before;

    const double perFrame = double(allocations) / frames;
    std::printf("tiles: %s, %d px\n", scene.defaultTiles ? "default" : "made-up", scene.tileSize);
    std::printf("frames: %d\n", frames);
    std::printf("allocations per frame: %.2f (glyph nodes of the clock text: %llu, other: %.2f)\n",
                perFrame, static_cast<unsigned long long>(glyphNodes),
                perFrame - double(glyphNodes));
    if (check && allocations != glyphNodes * std::uint64_t(frames)) {
        std::printf("FAIL: the frame allocates more than the glyph nodes\n");
        return 1;
    }
    return 0;
}
