// The software renderer on the scene the OpenGL peer draws (BenchScene.h):
// the whole grid at 1024 x 768 at each quality, and a 64-square window at
// 1920 x 1080. Frames per second are reported as a counter.
#include "BenchScene.h"
#include "model/NewTrack.h"
#include "model/TrackPod.h"
#include "render/TrackScene.h"

#include <benchmark/benchmark.h>

#include <memory>

using namespace ravok;

namespace {

std::unique_ptr<CTrackPOD> sceneTrack() {
    auto track = std::make_unique<CTrackPOD>();
    NewMtm2Track(*track);
    PaletteColours colours{};
    for (int i = 0; i < 256; ++i) {
        const auto c = bench::scenePaletteColour(i);
        colours[size_t(i)] = {c[0], c[1], c[2]};
    }
    track->palette.set("ART\\BENCH.ACT", colours);
    for (auto& slot : track->terrainTextures) slot.reset();
    for (int slot = 0; slot < bench::kSceneTextures; ++slot) {
        std::vector<uint8_t> pixels(64 * 64);
        for (int v = 0; v < 64; ++v)
            for (int u = 0; u < 64; ++u) pixels[size_t(v * 64 + u)] = bench::sceneTexel(slot, u, v);
        auto texture = std::make_unique<Texture>();
        texture->setPicture("ART\\BENCH" + std::to_string(slot) + ".RAW", 64, 64, pixels.data());
        track->terrainTextures[size_t(slot)] = std::move(texture);
    }
    for (int y = 0; y < kGridSize; ++y)
        for (int x = 0; x < kGridSize; ++x) {
            track->terrain.heights[size_t(y * kGridSize + x)] = bench::sceneHeight(x, y);
            track->terrain.textures[size_t(y * kGridSize + x)] = bench::sceneCellTexture(x, y);
        }
    return track;
}

void renderScene(benchmark::State& state, const bench::SceneCamera& c, int width, int height, int quality) {
    auto track = sceneTrack();
    ViewCamera camera{c.x, c.y, c.z, c.yaw, c.pitch, c.gridSize};
    auto scene = std::make_unique<TrackScene>();
    scene->build(*track, TerrainWindowOf(camera));
    ShadeTables shades;
    BuildTrackShades(shades, *track);
    SoftwareRenderSettings settings = SoftwareRenderSettings::forQuality(quality);
    settings.farLimit = 1 << 20; // the whole grid, as the peer draws it
    SoftwareRenderer renderer(settings, shades);
    FrameBuffer frame;
    frame.resize(width, height);
    for (auto _ : state) {
        scene->draw(renderer, frame, *track, camera, {});
        benchmark::DoNotOptimize(frame.pixels.data());
    }
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["triangles"] = renderer.statistics().filled;
}

void WholeGrid1024x768(benchmark::State& state) {
    renderScene(state, bench::kWholeGridCamera, 1024, 768, int(state.range(0)));
}
void WholeGrid1920x1080(benchmark::State& state) { renderScene(state, bench::kWholeGridCamera, 1920, 1080, 2); }
void Window64At1920x1080(benchmark::State& state) { renderScene(state, bench::kWindowCamera, 1920, 1080, 3); }

} // namespace

BENCHMARK(WholeGrid1024x768)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(WholeGrid1920x1080)->Unit(benchmark::kMillisecond);
BENCHMARK(Window64At1920x1080)->Unit(benchmark::kMillisecond);
