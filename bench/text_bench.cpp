// The clock readout and the stroke text, GL calls going nowhere.
#include <benchmark/benchmark.h>

#include <cstring>
#include <ctime>

#include "bench/bench_scene.h"
#include "text/clock_readout.h"
#include "text/stroke_font.h"
#include "text/text_renderer.h"
#include "view/camera_frame.h"

namespace {

// 31 December 2026, 23:59:59: the longest clock text, 30 characters.
std::tm LongestLocalTime() {
    std::tm local{};
    local.tm_year = 126;
    local.tm_mon = 11;
    local.tm_mday = 31;
    local.tm_hour = 23;
    local.tm_min = 59;
    local.tm_sec = 59;
    return local;
}

void CountAllocations(benchmark::State& state, std::uint64_t start) {
    state.counters["allocs"] =
        benchmark::Counter(double(AllocationCount() - start), benchmark::Counter::kAvgIterations);
}

void BM_ComposeClockText(benchmark::State& state) {
    const std::tm local = LongestLocalTime();
    char text[ClockTextSize];
    const std::uint64_t start = AllocationCount();
    for (auto _ : state) {
        ComposeClockText(local, text);
        benchmark::DoNotOptimize(text);
    }
    CountAllocations(state, start);
}
BENCHMARK(BM_ComposeClockText);

// Glyphs of few and of many points: a stroke, a digit, the longest letter.
void BM_BuildAndFreeGlyph(benchmark::State& state) {
    const int code = int(state.range(0));
    const std::uint64_t start = AllocationCount();
    for (auto _ : state) {
        GlyphNode* glyph = BuildGlyph(code);
        benchmark::DoNotOptimize(glyph);
        FreeGlyph(glyph);
    }
    CountAllocations(state, start);
}
BENCHMARK(BM_BuildAndFreeGlyph)->Arg('1')->Arg('8')->Arg('Q')->Arg(':');

// The longest clock text in front of the Camera, as the frame step draws it.
void BM_DrawStrokeText(benchmark::State& state) {
    SetUpBenchScene();
    char composed[ClockTextSize];
    ComposeClockText(LongestLocalTime(), composed);
    char text[ClockTextSize];
    const std::uint64_t start = AllocationCount();
    for (auto _ : state) {
        std::memcpy(text, composed, sizeof text);
        DrawStrokeText(text, 0.3f, 0.3f, 0.3f, 23, 0, &Camera);
        benchmark::ClobberMemory();
    }
    CountAllocations(state, start);
}
BENCHMARK(BM_DrawStrokeText);

}  // namespace
