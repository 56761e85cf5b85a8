// Runs frames of the saver with the clock pinned and GL calls going nowhere, for
// callgrind (profile.sh) and for the allocation check: every heap allocation of a
// frame must be a glyph node of the clock text, which the text renderer builds and
// frees per character.
//
// --gl-digest instead records every GL call of frames at several moments of a year,
// with camera keys held, and prints their number and a digest of their names and
// arguments: a change that must not alter what is drawn must not alter the digest.
//
//   solvane_frame_profile [frames] [--check-allocations] [--gl-digest]
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "bench/bench_scene.h"
#include "frame/frame_step.h"
#include "platform/clock.h"
#include "platform/key_state.h"
#include "tests/support/gl_recorder.h"
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

// FNV-1a over the formatted calls: numbers as %.9g, exact for every float argument.
int PrintGlDigest() {
    SetUpBenchScene();
    SetGlRecording(true);
    std::uint64_t digest = 1469598103934665603ULL;
    std::size_t calls = 0;
    // Moments across the year and the day, each a few seconds long so the spin runs;
    // some frames with keys held, which move the camera over other parts of the globe.
    const std::int64_t day = 86400;
    const std::int64_t moments[] = {BenchMoment, BenchMoment - 180 * day + 7 * 3600 + 1234,
                                    BenchMoment - 90 * day - 11 * 3600 + 59,
                                    BenchMoment + 9 * day + 5 * 3600 + 3599};
    const int keys[] = {0, 0x66, 0x68, 0x69, 0x6A, 0, 0x64, 0x62, 0x63, 0x6F};
    int frame = 0;
    for (const std::int64_t moment : moments) {
        for (int second = 0; second < 5; ++second, ++frame) {
            PinCalendarTime(moment + second);
            const int key = keys[frame % 10];
            if (key != 0) SetKeyState(key, std::int16_t(0x8000));
            ClearGlCalls();
            FrameStep();
            if (key != 0) SetKeyState(key, 0);
            for (const GlCall& call : RecordedGlCalls()) {
                for (const char c : FormatGlCall(call) + "\n") {
                    digest ^= static_cast<unsigned char>(c);
                    digest *= 1099511628211ULL;
                }
            }
            calls += RecordedGlCalls().size();
        }
    }
    std::printf("GL calls: %zu in %d frames, digest %016llx\n", calls, frame,
                static_cast<unsigned long long>(digest));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    int frames = 100;
    bool check = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--check-allocations") == 0) {
            check = true;
        } else if (std::strcmp(argv[i], "--gl-digest") == 0) {
            return PrintGlDigest();
        } else {
            char* end = nullptr;
            const long value = std::strtol(argv[i], &end, 10);
            if (end == argv[i] || *end != '\0' || value < 1 || value > 1000000) {
                std::fprintf(stderr, "usage: %s [frames] [--check-allocations] [--gl-digest]\n",
                             argv[0]);
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
