// The work done once at start-up: loading the sixteen textures and building the mesh.
#include <benchmark/benchmark.h>

#include "bench/bench_scene.h"
#include "globe/day_night_tiles.h"
#include "globe/globe_mesh.h"
#include "globe/sun_shading.h"
#include "textures/texture_set.h"

namespace {

// Reads the sixteen bitmaps from the texture folder and makes their RGB copies.
void BM_BuildTextureSet(benchmark::State& state) {
    const BenchScene& scene = SetUpBenchScene();
    for (auto _ : state) {
        BuildTextureSet();
        benchmark::DoNotOptimize(TextureList);
    }
    state.SetLabel(std::string(scene.defaultTiles ? "default tiles " : "made-up tiles ") +
                   std::to_string(scene.tileSize) + " px");
}
BENCHMARK(BM_BuildTextureSet)->Unit(benchmark::kMillisecond);

void BM_BuildGlobeMesh(benchmark::State& state) {
    SetUpBenchScene();
    for (auto _ : state) {
        BuildGlobeMesh();
        benchmark::DoNotOptimize(SceneList);
    }
    // Leave the scene list as a frame would, for whatever runs next.
    UpdateSunFrame(0, 0, 18, 22, 12);
    ShadeGlobe();
    AssignTileTextures();
}
BENCHMARK(BM_BuildGlobeMesh)->Unit(benchmark::kMicrosecond);

}  // namespace
