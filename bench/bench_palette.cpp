// Timings of the palette work that runs for every texture loaded and every palette change.
#include "art/FogTable.h"
#include "art/Palette.h"
#include "model/NewTrack.h"

#include <benchmark/benchmark.h>

#include <vector>

using namespace ravok;

static void RemapTexture256(benchmark::State& state) {
    TrackPalette track;
    track.setColours(*GamePaletteColours(0));
    std::vector<uint8_t> pixels(256 * 256);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint8_t(i * 31);
    for (auto _ : state) {
        RemapToTrackPalette(track, pixels, DefaultPalette());
        benchmark::DoNotOptimize(pixels.data());
    }
}
BENCHMARK(RemapTexture256);

static void BuildFogTableForPalette(benchmark::State& state) {
    auto colours = *GamePaletteColours(5);
    for (auto _ : state) benchmark::DoNotOptimize(BuildFogTable(colours, 5));
}
BENCHMARK(BuildFogTableForPalette);
