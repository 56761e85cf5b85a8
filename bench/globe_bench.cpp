// The per-frame work of the globe and the whole frame step, GL calls going nowhere.
#include <benchmark/benchmark.h>

#include "bench/bench_scene.h"
#include "frame/frame_step.h"
#include "globe/day_night_tiles.h"
#include "globe/globe_mesh.h"
#include "globe/patch_renderer.h"
#include "globe/sun_shading.h"
#include "platform/clock.h"
#include "view/keyboard_camera.h"

namespace {

constexpr int Second = 0, Minute = 0, Hour = 18, Day = 22, Month = 12;  // BenchMoment

// Heap allocations per iteration, next to the time.
class AllocationMeter {
  public:
    explicit AllocationMeter(benchmark::State& state) : state_(state), start_(AllocationCount()) {}
    ~AllocationMeter() {
        const double count = double(AllocationCount() - start_);
        state_.counters["allocs"] = benchmark::Counter(count, benchmark::Counter::kAvgIterations);
    }

  private:
    benchmark::State& state_;
    std::uint64_t start_;
};

// The scene list as the frame leaves it before drawing.
void ShadeAndTile() {
    UpdateSunFrame(Second, Minute, Hour, Day, Month);
    ShadeGlobe();
    AssignTileTextures();
}

void BM_UpdateSunFrame(benchmark::State& state) {
    SetUpBenchScene();
    AllocationMeter meter(state);
    for (auto _ : state) {
        UpdateSunFrame(Second, Minute, Hour, Day, Month);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_UpdateSunFrame);

void BM_ShadeGlobe(benchmark::State& state) {
    SetUpBenchScene();
    UpdateSunFrame(Second, Minute, Hour, Day, Month);
    AllocationMeter meter(state);
    for (auto _ : state) {
        ShadeGlobe();
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * PatchCount * 4);  // vertices
}
BENCHMARK(BM_ShadeGlobe);

void BM_SunFrameAndShading(benchmark::State& state) {
    SetUpBenchScene();
    AllocationMeter meter(state);
    for (auto _ : state) {
        UpdateSunFrame(Second, Minute, Hour, Day, Month);
        ShadeGlobe();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SunFrameAndShading);

void BM_AssignTileTextures(benchmark::State& state) {
    SetUpBenchScene();
    UpdateSunFrame(Second, Minute, Hour, Day, Month);
    ShadeGlobe();
    AllocationMeter meter(state);
    for (auto _ : state) {
        AssignTileTextures();
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * PatchCount);
}
BENCHMARK(BM_AssignTileTextures);

// Sixteen texture passes and the closing pass: name selection, the back-face test
// and the immediate-mode calls, which go to a GL that does nothing.
void BM_DrawPatches(benchmark::State& state) {
    SetUpBenchScene();
    ShadeAndTile();
    AllocationMeter meter(state);
    for (auto _ : state) {
        DrawPatches(SceneList, Camera);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * PatchCount);
}
BENCHMARK(BM_DrawPatches);

void BM_PollKeys(benchmark::State& state) {
    SetUpBenchScene();
    AllocationMeter meter(state);
    for (auto _ : state) {
        PollKeys();
        ClearKeys();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PollKeys);

// One whole frame with the clock standing still: no spin, the same text each frame.
void BM_FrameStep(benchmark::State& state) {
    SetUpBenchScene();
    PinCalendarTime(BenchMoment);
    FrameStep();
    AllocationMeter meter(state);
    for (auto _ : state) {
        FrameStep();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FrameStep);

// One whole frame with a new second every frame: the Camera spins each time.
void BM_FrameStepTicking(benchmark::State& state) {
    SetUpBenchScene();
    std::int64_t now = BenchMoment;
    AllocationMeter meter(state);
    for (auto _ : state) {
        // Stay within the hour, so the picture stays much the same.
        PinCalendarTime(BenchMoment + (++now - BenchMoment) % 3600);
        FrameStep();
        benchmark::ClobberMemory();
    }
    PinCalendarTime(BenchMoment);
}
BENCHMARK(BM_FrameStepTicking);

}  // namespace
