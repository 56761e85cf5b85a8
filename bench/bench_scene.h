// The saver's scene as window creation leaves it, for benchmarks and the profile
// driver: GL calls go nowhere, the clock is pinned, the mesh is built.
#pragma once

#include <cstdint>
#include <string>

// 2026-12-22 18:00:00 UTC: the terminator crosses the camera's view, so the frame
// has both day and night patches in sight.
constexpr std::int64_t BenchMoment = 1797962400;

struct BenchScene {
    std::string folder;  // the texture folder, ending in '/'
    bool defaultTiles;   // true: the tiles solvane-tiles cut; false: made-up ones
    int tileSize;        // pixels per side of each of the sixteen tiles
};

// Sets the scene up once per process (later calls return the same scene): local
// time is UTC, the clock is pinned at BenchMoment, the texture set is loaded and
// one frame has run, so the mesh exists and the Camera is aligned.
const BenchScene& SetUpBenchScene();

// The texture folder the benchmarks use: the default tiles in the build folder when
// they exist, else sixteen made-up tiles of `fallbackSize` pixels in a scratch folder.
BenchScene ChooseTextureFolder(int fallbackSize);

// Heap allocations (operator new and new[]) since the process started.
std::uint64_t AllocationCount();
